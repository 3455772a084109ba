// The princess: walking, calling, swinging at her companions, being hurt and
// knocked back, and dying. Her update also draws her.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "actors/actor_model.h"
#include "actors/float_math.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/input.h>
#include <zolbeck/keys.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/trace.h"
#include "world/world.h"
#include "world/sound_cues.h"

PlayerState player;

namespace {

constexpr int kCell = 96;
constexpr int kKeyCall = 0x56;   // "V"
constexpr int kKeySwing = 0x43;  // "C"
constexpr float kNotWalking = 400.0f;

struct Walk {
  int32_t code;
  float heading;
  uint32_t facing;
};
// The held arrows add up to a code; opposite arrows together make a code
// that is not listed, which stands still.
constexpr Walk kWalkTable[] = {
    {1, 270.0f, 2},   {10, 0.0f, 1},     {11, 315.0f, 5},  {100, 90.0f, 0},
    {110, 45.0f, 4},  {1000, 180.0f, 3}, {1001, 225.0f, 7}, {1100, 135.0f, 6},
};
constexpr int32_t kWalkColumns[4] = {2, 3, 4, 5};

// Eighteen probes around her feet: the rows at 48 and 72 stop upward and
// downward steps, the columns at 24 and 72 stop leftward and rightward ones.
Blocking ProbePlayer() {
  return ProbeEdges(player.x + scrollX, player.y + scrollY, 28, 48, 72, 52, 24, 72);
}

// One step of `speed` pixels per second along `angle` radians; each
// component is dropped when it points into a blocked side.
void Step(const Blocking& b, float angle, float speed) {
  float sx = fmath::Cos(angle) * speed;
  float sy = fmath::Sin(angle) * speed;
  if (!((sx > 0.0f && b.right) || (sx < 0.0f && b.left))) player.x += sx * elSystem::dt;
  if (!((sy > 0.0f && b.down) || (sy < 0.0f && b.up))) player.y += sy * elSystem::dt;
}

void ReadKey(int virtualKey, uint32_t& field) {
  int state = static_cast<int>(field);
  elSystem::KeyEdge(virtualKey, state);
  field = static_cast<uint32_t>(state);
}

void UpdateNormal(const Blocking& b) {
  PlayerState& p = player;
  if (p.keyCall == 1) GatherCompanions();
  if (p.keySwing == 1 && !p.swinging) {
    p.swinging = true;
    cues::Play(cues::kSwing);
    p.animTimer = 0.0f;
    p.animStep = 0;
  }
  if (!p.swinging) {
    p.directionCode = 0;
    if (p.keyRight == 3) p.directionCode += 10;
    if (p.keyLeft == 3) p.directionCode += 1000;
    if (p.keyUp == 3) p.directionCode += 1;
    if (p.keyDown == 3) p.directionCode += 100;
    p.moveHeading = kNotWalking;
    for (const Walk& w : kWalkTable) {
      if (w.code == p.directionCode) {
        p.moveHeading = w.heading;
        p.facing = w.facing;
        break;
      }
    }
    if (p.directionCode != 0 && p.moveHeading < kNotWalking && p.inputLocked == 0) {
      Step(b, DegToRad(p.moveHeading), 100.0f);
    }
  }
  auto edge = [](uint32_t s) { return s == 1 || s == 2; };
  if (edge(p.keyUp) || edge(p.keyDown) || edge(p.keyLeft) || edge(p.keyRight)) {
    p.animStep = 0;
    p.walkStepDir = 1;
  }
  if (p.swinging) {
    p.column = p.animStep + 6;
    if (Tick(p.animTimer, 0.2f)) {
      p.animStep += 1;
      if (p.animStep == 3) {
        p.swinging = false;
        p.animStep = 0;
      }
    }
  } else if (p.keyUp != 0 || p.keyDown != 0 || p.keyLeft != 0 || p.keyRight != 0) {
    if (Tick(p.animTimer, 0.3f)) {
      p.animStep += p.walkStepDir;
      if (p.animStep > 2 || p.animStep < 1) p.walkStepDir = -p.walkStepDir;
    }
    // A walk resumed after a knock-back can carry a step and direction that
    // leave the table for one tick; hold the index inside it.
    int32_t step = p.animStep < 0 ? 0 : (p.animStep > 3 ? 3 : p.animStep);
    p.column = kWalkColumns[step];
  } else {
    if (Tick(p.animTimer, 0.3f)) p.animStep = Toggle(p.animStep);
    p.column = p.animStep;
  }
  if (p.invulnTimer > 0.0f) {
    p.invulnTimer -= elSystem::dt;
    p.blink = static_cast<uint32_t>(static_cast<int32_t>(p.invulnTimer * 10.0f) % 2);
  } else {
    p.blink = 0;
    p.hitLatch = false;
  }
}

void UpdateDying() {
  PlayerState& p = player;
  const bool gameOverShown = p.deathTimer >= 11.0f;
  p.deathTimer += elSystem::dt;
  if (!gameOverShown && p.deathTimer >= 11.0f) {
    cues::Play(cues::kGameOver);
  }
  if (p.deathTimer < 1.0f) {
    if (Tick(p.animTimer, 0.3f)) p.animStep = Toggle(p.animStep);
    p.column = p.animStep;
    p.facing = 8;
  } else if (p.deathTimer < 11.0f) {
    if (Tick(p.animTimer, 0.3f)) {
      p.animStep += 1;
      if (p.animStep > 3) p.animStep -= 2;
    }
    p.column = p.animStep + 2;
  } else {
    elDraw::Print(400, 350, "GAME_OVER");
  }
}

void UpdateKnockedBack(const Blocking& b) {
  PlayerState& p = player;
  // The timer is not reset by the hit, so the knock-back runs out whenever
  // the animation timer passes 0.5 s.
  if (Tick(p.animTimer, 0.5f)) p.controllable = 1;
  p.column = 11;
  p.facing = static_cast<uint32_t>(PartyRow(FacingOf(p.knockAngle)));
  if (p.x > -8.0f && p.x < 712.0f && p.y > -10.0f && p.y < 514.0f) {
    Step(b, p.knockAngle + 3.141592f, 100.0f);
  }
}

}  // namespace

void PlacePlayer(float worldX, float worldY) {
  player.x = worldX - 24.0f - scrollX;
  player.y = worldY - 24.0f - scrollY;
  player.animStep = 0;
  player.facing = 0;
  player.walkStepDir = 1;
  player.animTimer = 0.0f;
  player.deathTimer = 0.0f;
  player.controllable = 1;
}

void UpdatePlayer() {
  PlayerState& p = player;
  if (p.inputLocked == 0) {
    ReadKey(VK_UP, p.keyUp);
    ReadKey(VK_DOWN, p.keyDown);
    ReadKey(VK_LEFT, p.keyLeft);
    ReadKey(VK_RIGHT, p.keyRight);
    ReadKey(kKeyCall, p.keyCall);
    ReadKey(kKeySwing, p.keySwing);
  }
  Blocking b = ProbePlayer();
  if (p.hp < 1) {
    UpdateDying();
  } else if (p.controllable == 1) {
    UpdateNormal(b);
  } else {
    UpdateKnockedBack(b);
  }
  if (!(p.blink != 0 && p.controllable != 0)) {
    int sx = p.column * kCell;
    int sy = static_cast<int>(p.facing) * kCell;
    elDraw::Draw(static_cast<int>(p.x), static_cast<int>(p.y), pictures.princess, sx, sy,
                 sx + kCell, sy + kCell);
  }
}

int SwingHit(int x, int y, int w, int h, int e, int f) {
  const PlayerState& p = player;
  if (!p.swinging || p.animStep != 2) return 0;
  float px = p.x + 48.0f;
  float py = p.y + 48.0f;
  int gx = x + w / 2;
  int gy = y + h / 2;
  int r = h / 2 + 4;
  int ee = e / 2;
  int ff = f / 2;
  // Centre of the sweet spot, then whether the strike box (or either of the
  // two boxes of a diagonal) holds the target's centre.
  float sx = 0.0f, sy = 0.0f;
  auto in = [&](float cx, float cy, int halfW, int halfH) {
    return std::fabs(cx - static_cast<float>(gx)) < static_cast<float>(halfW) &&
           std::fabs(cy - static_cast<float>(gy)) < static_cast<float>(halfH);
  };
  bool boxes = false;
  switch (p.facing) {
    case 0:
      sx = px - 36.0f, sy = py;
      boxes = in(px - 36.0f, py + 12.0f, ee + 12, ff + 36);
      break;
    case 1:
      sx = px, sy = py + 36.0f;
      boxes = in(px + 12.0f, py + 36.0f, ee + 36, ff + 12);
      break;
    case 2:
      sx = px + 36.0f, sy = py;
      boxes = in(px + 36.0f, py - 12.0f, ee + 12, ff + 36);
      break;
    case 3:
      sx = px, sy = py - 36.0f;
      boxes = in(px - 12.0f, py - 36.0f, ee + 36, ff + 12);
      break;
    case 4:
      sx = px - 36.0f, sy = py + 36.0f;
      boxes = in(px - 36.0f, py + 24.0f, ee + 12, ff + 24) ||
              in(px - 12.0f, py + 36.0f, ee + 12, ff + 12);
      break;
    case 5:
      sx = px + 36.0f, sy = py + 36.0f;
      boxes = in(px + 36.0f, py + 24.0f, ee + 12, ff + 24) ||
              in(px + 12.0f, py + 36.0f, ee + 12, ff + 12);
      break;
    case 6:
      sx = px - 36.0f, sy = py - 36.0f;
      boxes = in(px - 24.0f, py - 36.0f, ee + 24, ff + 12) ||
              in(px - 36.0f, py - 12.0f, ee + 12, ff + 12);
      break;
    case 7:
      sx = px + 36.0f, sy = py - 36.0f;
      boxes = in(px + 24.0f, py - 36.0f, ee + 24, ff + 12) ||
              in(px + 36.0f, py - 12.0f, ee + 12, ff + 12);
      break;
    default:
      return 0;  // dying
  }
  float dx = sx - static_cast<float>(gx);
  float dy = sy - static_cast<float>(gy);
  if (std::sqrt(dx * dx + dy * dy) < static_cast<float>(r)) return 2;
  return boxes ? 1 : 0;
}

bool HurtPlayer(float knockAngle) {
  if (player.hitLatch) return false;
  player.hitLatch = true;
  player.knockAngle = knockAngle;
  player.invulnTimer = 1.0f;
  player.controllable = 0;
  player.hp -= 1;
  cues::Play(cues::kHurt);
  return true;
}

void HealPlayer(int amount) { player.hp += amount; }

void ResetPlayer() { player = PlayerState{}; }

void TracePlayerFields(FILE* out) {
  const PlayerState& p = player;
  std::fprintf(out,
               ",\"facing\":%u,\"column\":%d,\"animStep\":%d,\"swinging\":%d"
               ",\"controllable\":%d,\"inputLocked\":%u,\"hitLatch\":%d"
               ",\"invulnTimer\":%.9g,\"deathTimer\":%.9g",
               p.facing, p.column, p.animStep, p.swinging ? 1 : 0, p.controllable, p.inputLocked,
               p.hitLatch ? 1 : 0, static_cast<double>(p.invulnTimer),
               static_cast<double>(p.deathTimer));
}
