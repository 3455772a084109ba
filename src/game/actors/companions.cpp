// The three companions: idling, joining, following in formation, flying
// when struck, landing, being hurt, running back and riding through a
// screen change, regrouping, and panicking once the party's life is gone.
// Also the party table through which enemies and shots reach the four
// members.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "actors/actor_model.h"
#include "actors/float_math.h"
#include "actors/foes.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/trace.h"
#include "world/world.h"
#include "world/sound_cues.h"

Companion companions[kCompanionCount];
int32_t companionState[kCompanionCount];
int32_t companionSlot[kCompanionCount] = {-1, -1, -1};

namespace {

constexpr int kCell = 56;
constexpr int32_t kWalkColumns[4] = {2, 3, 4, 5};
// Formation points around the princess's centre: above, right, below, left.
constexpr int32_t kSlotOffset[4][2] = {{0, -72}, {72, 0}, {0, 72}, {-72, 0}};

struct Launch {
  int32_t flightDir, facing, trailX, trailY, hitX, hitY;
};
// By the princess's facing at the strike (down, right, up, left, then the
// diagonals down-right, up-right, down-left, up-left).
constexpr Launch kLaunch[8] = {
    {2, 0, -28, 0, 0, 52},      {0, 1, 0, -28, 52, 0},     {6, 2, -28, -56, 0, -52},
    {4, 3, -56, -28, -52, 0},   {1, 1, 0, 0, 52, 52},      {7, 1, 0, -56, 52, -52},
    {3, 3, -56, 0, -52, 52},    {5, 3, -56, -56, -52, -52},
};

Blocking ProbeCompanion(const Companion& c) {
  return ProbeEdges(c.x + scrollX, c.y + scrollY, 12, 32, 56, 36, 8, 56);
}

bool IntoBlocked(const Companion& c, const Blocking& b) {
  return (c.vx > 0.0f && b.right) || (c.vx < 0.0f && b.left) || (c.vy > 0.0f && b.down) ||
         (c.vy < 0.0f && b.up);
}

float Distance(float dx, float dy) { return std::sqrt(dx * dx + dy * dy); }

float CentreDistanceToPlayer(const Companion& c) {
  float dx = (player.x + 48.0f) - (c.x + 28.0f);
  float dy = (player.y + 48.0f) - (c.y + 28.0f);
  return Distance(dx, dy);
}

// The formation point nearest to the companion at (x, y), skipping the
// slots held by the others: key1 when n is 1, key1 and key2 when n is 2.
int NearestSlot(int key1, int key2, int n, float x, float y) {
  float best = 800.0f;
  int result = 0;
  for (int s = 0; s < 4; ++s) {
    if (n == 2 && (s == key1 || s == key2)) continue;
    if (n == 1 && s == key1) continue;
    float dx = (player.x + 48.0f + static_cast<float>(kSlotOffset[s][0])) - (x + 28.0f);
    float dy = (player.y + 48.0f + static_cast<float>(kSlotOffset[s][1])) - (y + 28.0f);
    float d = Distance(dx, dy);
    if (d < best) {
      best = d;
      result = s;
    }
  }
  return result;
}

// The nearest slot that none of the other present companions holds.
int FreeSlotFor(int i) {
  int keys[2] = {-1, -1};
  int n = 0;
  for (int j = 0; j < kCompanionCount; ++j) {
    if (j == i || companionState[j] == 0) continue;
    keys[n++] = companionSlot[j];
  }
  return NearestSlot(keys[0], keys[1], n, companions[i].x, companions[i].y);
}

// Walks toward the formation point of the companion's slot at 80 px/s;
// returns the distance to that point.
float WalkToSlot(int i) {
  Companion& c = companions[i];
  int32_t slot = companionSlot[i];
  // A companion without a slot keeps the point it last walked to.
  if (slot >= 0 && slot < 4) {
    c.slotOffsetX = kSlotOffset[slot][0];
    c.slotOffsetY = kSlotOffset[slot][1];
  }
  float dx = (player.x + 48.0f + static_cast<float>(c.slotOffsetX)) - (c.x + 28.0f);
  float dy = (player.y + 48.0f + static_cast<float>(c.slotOffsetY)) - (c.y + 28.0f);
  c.heading = AngleTo(dx, dy);
  c.vx = fmath::Cos(c.heading) * 80.0f;
  c.vy = fmath::Sin(c.heading) * 80.0f;
  c.facing = PartyRow(FacingOf(c.heading));
  if (Tick(c.animTimer, 0.3f)) c.walkStep = (c.walkStep + 1) % 4;
  c.column = kWalkColumns[c.walkStep];
  c.row = c.facing;
  return Distance(dx, dy);
}

// The walk of the run back and of the ride, ticking every 0.6 s.
void SlowWalk(Companion& c) {
  if (Tick(c.animTimer, 0.6f)) c.walkStep = (c.walkStep + 1) % 4;
  c.column = kWalkColumns[c.walkStep];
  c.row = c.facing;
}

void Land(int i) {
  companionState[i] = 5;
  companions[i].landedTimer = 0.0f;
}

void UpdateWell(int i, const Blocking& b) {
  Companion& c = companions[i];
  int32_t& state = companionState[i];
  const float dt = elSystem::dt;

  if (!c.bumped) {
    if ((c.vx > 0.0f && !b.right) || (c.vx < 0.0f && !b.left) || state == 6) c.x += c.vx * dt;
    if ((c.vy > 0.0f && !b.down) || (c.vy < 0.0f && !b.up) || state == 6) c.y += c.vy * dt;
  }
  if (state <= 5) {
    bool clamped = false;
    if (c.x < -4.0f) c.x = -4.0f, clamped = true;
    if (c.x > 748.0f) c.x = 748.0f, clamped = true;
    if (c.y < -4.0f) c.y = -4.0f, clamped = true;
    if (c.y > 548.0f) c.y = 548.0f, clamped = true;
    if (clamped && state == 4) state = 5;
  }

  c.strikeResult = SwingHit(static_cast<int>(c.x), static_cast<int>(c.y), 56, 56, 48, 48);
  if (c.strikeResult > 0) {
    elDraw::Print(static_cast<int>(c.x), static_cast<int>(c.y - 10.0f), "あたった！！");
    c.launchFacing = static_cast<int32_t>(player.facing);
    c.walkStep = 0;
    c.flightDistance = 0.0f;
    state = 4;
    cues::Play(cues::kLaunch);
    if (c.strikeResult == 2) c.powered = true;
    // SwingHit strikes only in the eight walking facings.
    const Launch& l = kLaunch[c.launchFacing & 7];
    c.flightDir = l.flightDir;
    c.facing = l.facing;
    c.trailOffsetX = l.trailX;
    c.trailOffsetY = l.trailY;
    c.hitOffsetX = l.hitX;
    c.hitOffsetY = l.hitY;
  }
  if (state != 4 && state != 5) c.powered = false;

  // Each handler runs when the state matches at its turn, so a state entered
  // by one handler is handled by a later one in the same frame.
  if (state == 1) WalkToSlot(i);
  if (state == 2 || state == 3) {
    c.vx = 0.0f;
    c.vy = 0.0f;
    companionSlot[i] = -1;
    if (Tick(c.animTimer, 0.3f)) c.walkStep = Toggle(c.walkStep);
    c.column = c.walkStep;
    c.row = c.facing;
  }
  if (state == 4) {
    float a = DegToRad(static_cast<float>(c.flightDir * 45));
    float speed = c.powered ? 300.0f : 200.0f;
    c.vx = fmath::Cos(a) * speed;
    c.vy = fmath::Sin(a) * speed;
    c.flightDistance += speed * dt;
    companionSlot[i] = -1;
    if (Tick(c.animTimer, 0.3f)) c.flightFrame = Toggle(c.flightFrame);
    c.column = c.launchFacing;
    c.row = 4 + c.flightFrame;
    if (i == 0) {
      int sx = c.launchFacing * kCell;
      int sy = c.flightFrame * kCell;
      elDraw::Draw(static_cast<int>(c.x) + c.trailOffsetX + 28,
                   static_cast<int>(c.y) + c.trailOffsetY + 28, pictures.companionTrail, sx, sy,
                   sx + kCell, sy + kCell);
    }
    if (c.flightDistance >= 300.0f || IntoBlocked(c, b)) {
      state = 5;
      c.animTimer = 0.0f;
    }
  }
  if (state == 5) {
    c.vx = 0.0f;
    c.vy = 0.0f;
    companionSlot[i] = -1;
    c.landedTimer += dt;
    if (c.landedTimer > 1.0f) {
      state = 3;
      c.landedTimer = 0.0f;
    }
    c.column = 8;
    c.row = c.facing;
  }
  if (state == 6) {
    float dx = (player.x + 48.0f) - (c.x + 28.0f);
    float dy = (player.y + 48.0f) - (c.y + 28.0f);
    c.heading = AngleTo(dx, dy);
    c.vx = fmath::Cos(c.heading) * c.returnSpeedX;
    c.vy = fmath::Sin(c.heading) * c.returnSpeedY;
    c.facing = PartyRow(FacingOf(c.heading));
    SlowWalk(c);
    if (std::fabs(dx) < 8.0f && std::fabs(dy) < 8.0f) state = 7;
  }
  if (state == 7) {
    c.x = player.x + 24.0f;
    c.y = player.y + 24.0f;
    SlowWalk(c);
    if (player.inputLocked == 0) state = 8;
  }
  if (state == 8) {
    float d = WalkToSlot(i);
    if (d < 2.0f || c.bumped) state = 2;
    if (IntoBlocked(c, b)) state = 2;
  }

  if (c.blinkTimer > 0.0f) {
    c.blinkTimer -= dt;
    c.blink = static_cast<uint32_t>(static_cast<int32_t>(c.blinkTimer * 10.0f) % 2);
  } else {
    c.blink = 0;
    c.hitLatch = false;
  }
}

void UpdatePanic(int i) {
  Companion& c = companions[i];
  c.fleeTimer += elSystem::dt;
  if (c.fleeTimer < 1.0f) {
    if (Tick(c.animTimer, 0.3f)) c.walkStep = Toggle(c.walkStep);
    c.column = c.walkStep + 9;
    c.fleeAngle = std::rand() % 360;
  } else {
    float a = DegToRad(static_cast<float>(c.fleeAngle));
    c.x += fmath::Cos(a) * 400.0f * elSystem::dt;
    c.y += fmath::Sin(a) * 400.0f * elSystem::dt;
    if (Tick(c.animTimer, 0.3f)) c.walkStep = Toggle(c.walkStep);
    c.column = c.walkStep + 11;
    if (c.x < -60.0f || c.x > 804.0f || c.y < -60.0f || c.y > 604.0f) companionState[i] = 0;
  }
}

void UpdateHurt(int i) {
  Companion& c = companions[i];
  if (Tick(c.animTimer, 0.3f)) c.hurtStep += 1;
  c.column = c.hurtStep + 6;
  c.row = PartyRow(FacingOf(c.knockAngle));
}

void UpdateCompanion(int i) {
  if (companionState[i] == 0) return;
  Companion& c = companions[i];
  Blocking b = ProbeCompanion(c);
  if (c.hurtStep == 2 && player.hp > 0) {
    UpdateWell(i, b);
  } else if (player.hp < 1) {
    UpdatePanic(i);
  } else {
    UpdateHurt(i);
  }
  if (!(c.blink != 0 && c.hurtStep > 1)) {
    int sx = c.column * kCell;
    int sy = c.row * kCell;
    elDraw::Draw(static_cast<int>(c.x), static_cast<int>(c.y), pictures.companion[i], sx, sy,
                 sx + kCell, sy + kCell);
  }
}

// Whether the companion's next step would touch the body of a live enemy.
void BumpTest(int i) {
  int32_t state = companionState[i];
  if (state == 6 || state == 7) {
    for (Companion& c : companions) c.bumped = false;
    return;
  }
  Companion& c = companions[i];
  int count = 0;
  if (state != 0) {
    float nx = c.x + c.vx * elSystem::dt;
    float ny = c.y + c.vy * elSystem::dt;
    count += SoldierATouches(nx, ny, i) ? 1 : 0;
    count += ArcherTouches(nx, ny, i) ? 1 : 0;
    count += SoldierBTouches(nx, ny, i) ? 1 : 0;
    count += ShieldGuardTouches(nx, ny, i) ? 1 : 0;
  }
  // The piercing companion flies through bodies.
  c.bumped = count > 0 && !(i == 0 && state == 4);
}

void FollowTest(int i) {
  int32_t& state = companionState[i];
  if (state != 1 && state != 2 && state != 3) return;
  Companion& c = companions[i];
  float d = CentreDistanceToPlayer(c);
  if (d < 76.0f) {
    state = 2;
    c.followTimer = 0.0f;
  } else if (d > 76.0f && c.followTimer > 0.5f && state == 2) {
    companionSlot[i] = FreeSlotFor(i);
    state = 1;
  } else {
    c.followTimer += elSystem::dt;
  }
}

}  // namespace

void PlaceCompanion(int i, float worldX, float worldY) {
  if (i < 0 || i >= kCompanionCount) return;
  companions[i].x = worldX - scrollX;
  companions[i].y = worldY - scrollY;
  companionSlot[i] = -1;
  companionState[i] = 3;
  companions[i].hurtStep = 2;
}

void UpdateCompanions() {
  for (int i = 0; i < kCompanionCount; ++i) {
    BumpTest(i);
    UpdateCompanion(i);
    FollowTest(i);
  }
}

void GatherCompanions() {
  for (int i = 0; i < kCompanionCount; ++i) {
    if (companionState[i] != 1 && companionState[i] != 3) continue;
    if (CentreDistanceToPlayer(companions[i]) < 174.0f) {
      companionState[i] = 1;
      companionSlot[i] = FreeSlotFor(i);
    }
  }
}

bool CompanionHits(int j, int w, int h, float x, float y, bool boxTest, bool stopOnHit) {
  if (j < 0 || j >= kCompanionCount) return false;
  Companion& c = companions[j];
  int margin;
  if (j == 0) {
    margin = c.powered ? 8 : 4;
  } else {
    margin = 24;
    c.hitOffsetX = 0;
    c.hitOffsetY = 0;
  }
  if (companionState[j] != 4) return false;
  float dx = (x + static_cast<float>(w / 2)) - (c.x + 28.0f + static_cast<float>(c.hitOffsetX));
  float dy = (y + static_cast<float>(h / 2)) - (c.y + 28.0f + static_cast<float>(c.hitOffsetY));
  if (boxTest) {
    if (!(std::fabs(dx) < static_cast<float>(margin + w / 2) &&
          std::fabs(dy) < static_cast<float>(margin + h / 2))) {
      return false;
    }
  } else if (!(Distance(dx, dy) < static_cast<float>(margin + w / 2))) {
    return false;
  }
  if (stopOnHit || j != 0) {
    Land(j);
    cues::Play(cues::kHit);
  }
  return true;
}

bool HurtCompanion(int i, float knockAngle) {
  if (i < 0 || i >= kCompanionCount) return false;
  Companion& c = companions[i];
  if (c.hitLatch || companionState[i] == 4 || companionState[i] == 6) return false;
  c.hitLatch = true;
  c.knockAngle = knockAngle;
  c.blinkTimer = 4.0f;
  c.hurtStep = 0;
  player.hp -= 1;
  cues::Play(cues::kHurt);
  return true;
}

void ResetCompanions() {
  for (int i = 0; i < kCompanionCount; ++i) {
    companions[i] = Companion{};
    companionState[i] = 0;
    companionSlot[i] = -1;
  }
}

// ---------------------------------------------------------------------------
// The party table. Member numbers outside 0..3 name nobody.

float PartyX(int m) {
  if (m == 0) return player.x;
  return m > 0 && m < kPartySize ? companions[m - 1].x : 0.0f;
}
float PartyY(int m) {
  if (m == 0) return player.y;
  return m > 0 && m < kPartySize ? companions[m - 1].y : 0.0f;
}
float PartyCentreX(int m) {
  if (m == 0) return player.x + 48.0f;
  return m > 0 && m < kPartySize ? companions[m - 1].x + 28.0f : 0.0f;
}
float PartyCentreY(int m) {
  if (m == 0) return player.y + 48.0f;
  return m > 0 && m < kPartySize ? companions[m - 1].y + 28.0f : 0.0f;
}
bool HurtMember(int m, float angle) {
  if (m == 0) return HurtPlayer(angle);
  return m > 0 && m < kPartySize && HurtCompanion(m - 1, angle);
}

void TraceCompanionFields(FILE* out, int i) {
  if (i < 0 || i >= kCompanionCount) return;
  const Companion& c = companions[i];
  std::fprintf(out,
               ",\"vx\":%.9g,\"vy\":%.9g,\"facing\":%d,\"column\":%d,\"row\":%d"
               ",\"flightDir\":%d,\"flightDistance\":%.9g,\"powered\":%d,\"hurtStep\":%d"
               ",\"hitLatch\":%d,\"landedTimer\":%.9g,\"followTimer\":%.9g",
               static_cast<double>(c.vx), static_cast<double>(c.vy), c.facing, c.column, c.row,
               c.flightDir, static_cast<double>(c.flightDistance), c.powered ? 1 : 0, c.hurtStep,
               c.hitLatch ? 1 : 0, static_cast<double>(c.landedTimer),
               static_cast<double>(c.followTimer));
}
