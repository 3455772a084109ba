// The two melee soldiers. Both wander at random, chase party members that
// come within 150 pixels and strike at close range; SoldierA keeps chasing
// once it has started, SoldierB gives up when nobody is near.
#include <cmath>
#include <cstdlib>

#include "actors/actor_model.h"
#include "actors/float_math.h"
#include "actors/enemy_common.h"
#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/world.h"

namespace {

constexpr int kCell = 48;
constexpr float kWalkSpeed = 50.0f;
constexpr float kStanding = 400.0f;
constexpr float kAwareness = 150.0f;
constexpr float kStrikeReach = 24.0f;

// Wander directions 1..8 and the direction code each walks with.
constexpr int32_t kDirectionCode[9] = {0, 10, 1000, 1, 100, 11, 110, 1001, 1100};
constexpr int32_t kFrameColumn[8] = {0, 1, 2, 1, 3, 4, 5, 6};

int WanderPick(int index) {
  // Twelve entries for each of the eight directions, then four to stand.
  return index < 96 ? index / 12 + 1 : 0;
}

struct Heading {
  float degrees;
  int32_t facing;  // -1 keeps the facing
};

Heading HeadingOf(int32_t code) {
  switch (code) {
    case 1: return {270.0f, 3};
    case 10: return {0.0f, 2};
    case 11: return {315.0f, 2};
    case 100: return {90.0f, 0};
    case 110: return {45.0f, 2};
    case 1000: return {180.0f, 1};
    case 1001: return {225.0f, 1};
    case 1100: return {135.0f, 1};
    default: return {kStanding, -1};
  }
}

const char* DirectionWord(int32_t code) {
  switch (code) {
    case 1: return "上";
    case 10: return "右";
    case 11: return "右上";
    case 100: return "下";
    case 110: return "右下";
    case 1000: return "左";
    case 1001: return "左上";
    case 1100: return "左下";
    default: return "静止";
  }
}

// The strike box of each facing (down, left, right, up), relative to the
// cell, the knock angle pointing from the victim back at the soldier, and
// whether the effect is the sideways sheet (32 x 48) or the vertical one
// (48 x 32).
struct StrikeBox {
  int offsetX, offsetY, width, height;
  float knockAngle;
  bool sideways;
};
constexpr StrikeBox kStrike[4] = {
    {0, 24, 48, 32, 4.712388f, false},
    {-8, 0, 32, 48, 0.0f, true},
    {24, 0, 32, 48, 3.141592f, true},
    {0, -8, 48, 32, 1.570796f, false},
};

Blocking Probe(const Soldier& s) { return ProbeEdges(s.x, s.y, 4, 24, 48, 28, 0, 48); }

bool DirectionFree(int pick, const Blocking& b) {
  switch (pick) {
    case 1: return !b.right;
    case 2: return !b.left;
    case 3: return !b.up;
    case 4: return !b.down;
    case 5: return !b.up && !b.right;
    case 6: return !b.down && !b.right;
    case 7: return !b.up && !b.left;
    case 8: return !b.down && !b.left;
    default: return true;
  }
}

void Wander(Soldier& s, const Blocking& b) {
  s.wanderTimer += elSystem::dt;
  if (!s.cycleStarted) {
    s.cycleStarted = 1;
    s.randomIndex = std::rand() % 100;
    s.directionPick = WanderPick(s.randomIndex);
    // The heading field is read as radians here whatever it holds; the pair
    // only matters for the first frame of a chase.
    s.vx = kWalkSpeed * fmath::Cos(s.heading);
    s.vy = kWalkSpeed * fmath::Sin(s.heading);
  }
  if (s.wanderTimer >= 2.0f) {
    s.directionPick = 0;
    s.vx = 0.0f;
    s.vy = 0.0f;
  }
  if (s.wanderTimer >= 3.0f) {
    s.wanderTimer = 0.0f;
    s.cycleStarted = 0;
  }
  int pick = s.directionPick >= 0 && s.directionPick <= 8 ? s.directionPick : 0;
  if (DirectionFree(pick, b)) s.directionCode = kDirectionCode[pick];
  Heading h = HeadingOf(s.directionCode);
  s.heading = h.degrees;
  if (h.facing >= 0) s.facing = h.facing;
  if (s.directionCode != 0 && s.heading < kStanding) {
    float a = DegToRad(s.heading);
    s.x += fmath::Cos(a) * kWalkSpeed * elSystem::dt;
    s.y += fmath::Sin(a) * kWalkSpeed * elSystem::dt;
  }
}

void Chase(Soldier& s, const Blocking& b) {
  float dt = elSystem::dt;
  if (s.animMode != 2) {
    if (!(s.vx > 0.0f && b.right) && !(s.vx < 0.0f && b.left)) s.x += s.vx * dt;
    if (!(s.vy > 0.0f && b.down) && !(s.vy < 0.0f && b.up)) s.y += s.vy * dt;
  }
  for (int k = 0; k < kPartySize; ++k) {
    if (!s.nearMember[k]) continue;
    if (s.memberDist[k] >= kStrikeReach && s.animMode != 2) {
      s.animMode = 1;
      float dx = (PartyX(k) + 24.0f) - (s.x - scrollX + 12.0f);
      float dy = (PartyY(k) + 24.0f) - (s.y - scrollY + 12.0f);
      float a = AngleTo(dx, dy);
      if (k == 0) {
        s.heading = a;
      } else {
        s.aimAngle[k - 1] = a;
      }
      s.vx = kWalkSpeed * fmath::Cos(a);
      s.vy = kWalkSpeed * fmath::Sin(a);
      s.facing = EnemyRow(FacingOf(a));
    } else {
      s.animMode = 2;
    }
    break;
  }
}

void Die(Soldier& s, int sprite) {
  switch (s.facing) {
    case 0: s.frameStep = 0; break;
    case 1: s.frameStep = 3; break;
    case 2: s.frameStep = 2; break;
    case 3: s.frameStep = 1; break;
    default: break;
  }
  s.facing = 4;
  s.deathTimer += elSystem::dt;
  if (foes::ShownWhileDying(s.deathTimer)) {
    int c = s.frameStep;
    elDraw::Draw(static_cast<int>(s.x - scrollX), static_cast<int>(s.y - scrollY), sprite, c * kCell,
                 4 * kCell, c * kCell + kCell, 5 * kCell);
  }
  if (s.deathTimer > 2.0f) foes::EndDying(s);
}

void Animate(Soldier& s) {
  if (s.state == 1) s.animMode = s.directionCode != 0 ? 1 : 0;
  if (Tick(s.animTimer, 0.5f)) {
    switch (s.animMode) {
      case 0:
        s.frameStep = Toggle(s.frameStep);
        break;
      case 1:
        s.frameStep += 1;
        if (s.frameStep > 4) s.frameStep = 1;
        break;
      case 2:
        s.frameStep += 1;
        if (s.frameStep < 5) s.frameStep = 5;
        if (s.frameStep == 8) {
          s.frameStep = 0;
          s.animMode = 0;
          for (int32_t& n : s.nearMember) n = 0;
        }
        break;
      case 3:
        s.frameStep += 2;
        if (s.frameStep > 2) s.frameStep = 0;
        break;
      case 4:
        s.frameStep += 1;
        if (s.frameStep > 4 || s.frameStep < 3) s.frameStep = 3;
        break;
      case 5:
        s.frameStep += 1;
        if (s.frameStep == 8) {
          s.frameStep = 0;
          s.state = 1;
          s.facing = 0;
        }
        break;
      default:
        break;
    }
  }
}

void DrawSoldier(const Soldier& s, int sprite) {
  // The frame steps of every mode stay within the table; a step outside it
  // would read past it, so it shows the first column instead.
  int c = s.frameStep >= 0 && s.frameStep < 8 ? kFrameColumn[s.frameStep] : 0;
  int r = s.facing;
  elDraw::Draw(static_cast<int>(s.x - scrollX), static_cast<int>(s.y - scrollY), sprite, c * kCell,
               r * kCell, c * kCell + kCell, r * kCell + kCell);
}

void UpdateSoldier(Soldier& s, bool kindA, int sprite) {
  Blocking b = Probe(s);
  s.directionCode = 0;
  switch (s.state) {
    case 1: Wander(s, b); break;
    case 2: Chase(s, b); break;
    case 99: Die(s, sprite); break;
    default: break;  // appearing and stunned stand still
  }
  // A soldier whose blink has just ended (state 0) is gone: the stun would
  // wake it up again and the animation would draw it once more.
  bool standing = s.state != 99 && s.state != 0;
  if (standing) foes::RunStun(s.stun, s.x, s.y, s.state, s.facing, s.frameStep, &s.animMode);
  if (standing) {
    Animate(s);
    DrawSoldier(s, sprite);
  }
  if (kindA) {
    if (s.state == 1) {
      elDraw::Print(0, 0, "%s", DirectionWord(s.directionCode));
    } else if (s.state == 2) {
      elDraw::Print(0, 0, "追従");
    }
    elDraw::Print(0, 20, "act=%d", s.animMode);
  }
}

void Awareness(Soldier& s, bool kindA) {
  if (s.state == 0 || s.state == 3 || s.state == 80 || s.state == 99) return;
  // SoldierA looks at the members' upper-left quarter, SoldierB at their
  // cell centres; the scan stops at the first member found near.
  float memberOffset = kindA ? 24.0f : 48.0f;
  float ex = s.x - scrollX + 24.0f;
  float ey = s.y - scrollY + 24.0f;
  for (int k = 0; k < kPartySize; ++k) {
    s.memberDx[k] = (PartyX(k) + memberOffset) - ex;
    s.memberDy[k] = (PartyY(k) + memberOffset) - ey;
    s.memberDist[k] = std::sqrt(s.memberDx[k] * s.memberDx[k] + s.memberDy[k] * s.memberDy[k]);
    s.nearMember[k] = s.memberDist[k] < kAwareness ? 1 : 0;
    if (s.nearMember[k]) break;
  }
  bool anyNear = false;
  for (int32_t n : s.nearMember) anyNear = anyNear || n != 0;
  if (anyNear) {
    s.state = 2;
  } else if (!kindA) {
    s.state = 1;
  }
}

void StrikeTest(const Soldier& s) {
  if (s.animMode != 2 || (s.frameStep != 6 && s.frameStep != 7)) return;
  if (s.facing < 0 || s.facing > 3) return;
  const StrikeBox& box = kStrike[s.facing];
  for (int k = 0; k < kPartySize; ++k) {
    float ax = s.x - scrollX + static_cast<float>(box.offsetX) - 24.0f;
    float ay = s.y - scrollY + static_cast<float>(box.offsetY) - 24.0f;
    if (std::fabs(ax - PartyX(k)) < 48.0f && std::fabs(ay - PartyY(k)) < 48.0f) {
      elDraw::Print(0, 40, "当たった");
      HurtMember(k, box.knockAngle);
    }
  }
  elDraw::Draw(static_cast<int>(s.x - scrollX) + box.offsetX,
               static_cast<int>(s.y - scrollY) + box.offsetY,
               box.sideways ? pictures.strikeHorizontal : pictures.strikeVertical, 0, 0,
               box.width, box.height);
}

void Place(Soldier (&pool)[kEnemyPoolSize], int slot, float worldX, float worldY) {
  if (!foes::SlotFits(slot)) return;
  Soldier& s = pool[slot];
  s.directionCode = 0;
  s.directionPick = 0;
  s.frameStep = 5;
  s.facing = 4;
  s.animMode = 5;
  s.cycleStarted = 0;
  s.randomIndex = 0;
  s.animTimer = s.deathTimer = s.wanderTimer = 0.0f;
  s.vx = s.vy = 0.0f;
  for (int k = 0; k < kPartySize; ++k) {
    s.memberDx[k] = s.memberDy[k] = s.memberDist[k] = 0.0f;
    s.nearMember[k] = 0;
  }
  s.x = worldX;
  s.y = worldY;
  s.state = 80;
}

void UpdatePool(Soldier (&pool)[kEnemyPoolSize], bool kindA, int sprite) {
  for (Soldier& s : pool) {
    if (s.state == 0 || !EnemyOnScreen(s.x, s.y)) continue;
    UpdateSoldier(s, kindA, sprite);
    Awareness(s, kindA);
    StrikeTest(s);
    foes::KilledByCompanion(s.x, s.y, s.state, s.animTimer);
  }
}

}  // namespace

void PlaceSoldierA(int slot, float worldX, float worldY) { Place(soldiersA, slot, worldX, worldY); }
void PlaceSoldierB(int slot, float worldX, float worldY) { Place(soldiersB, slot, worldX, worldY); }
void UpdateSoldiersA() { UpdatePool(soldiersA, true, pictures.soldierA); }
void UpdateSoldiersB() { UpdatePool(soldiersB, false, pictures.soldierB); }
