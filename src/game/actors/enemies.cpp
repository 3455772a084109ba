// What the four enemy kinds share: the pools, the stun around companion 2's
// landing point, the companions' bump test and the trace of every pool.
#include <cmath>
#include <cstdio>

#include "actors/actor_model.h"
#include "actors/enemy_common.h"
#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/elsystem.h>
#include "world/trace.h"
#include "world/world.h"
#include "world/sound_cues.h"

Soldier soldiersA[kEnemyPoolSize];
Soldier soldiersB[kEnemyPoolSize];
Archer archers[kEnemyPoolSize];
ShieldGuard shieldGuards[kEnemyPoolSize];

void ResetEnemies() {
  for (int i = 0; i < kEnemyPoolSize; ++i) {
    soldiersA[i] = Soldier{};
    soldiersB[i] = Soldier{};
    archers[i] = Archer{};
    shieldGuards[i] = ShieldGuard{};
  }
}

namespace foes {

namespace {
// The shake of a stunned archer or shield guard, by shake step.
constexpr float kShake[2] = {2.0f, -2.0f};
}  // namespace

void RunStun(StunFields& s, float& x, float y, int32_t& state, int32_t& facing,
             int32_t& frameStep, int32_t* animMode) {
  // Companion 2 lying landed (re)arms the stun; a second landing during a
  // running stun refreshes only its strength, never its centre or timer.
  if (companionState[2] == 5) {
    s.stunActive = 1;
    if (companions[2].powered) {
      s.stunDuration = 6.0f;
      s.stunDiameter = 375.0f;
    } else {
      s.stunDuration = 4.0f;
      s.stunDiameter = 250.0f;
    }
  }
  if (!s.stunActive) return;
  if (s.stunTimer == 0.0f) {
    s.stunCentreX = companions[2].x;
    s.stunCentreY = companions[2].y;
  }
  s.stunTimer += elSystem::dt;
  if (s.stunTimer < s.stunDuration) {
    float dx = (s.stunCentreX + 24.0f) - (x - scrollX + 24.0f);
    float dy = (s.stunCentreY + 24.0f) - (y - scrollY + 24.0f);
    float d = std::sqrt(dx * dx + dy * dy);
    if (d < s.stunDiameter / 2.0f) {
      state = 3;
      if (animMode) {
        // A soldier already stunned (row 4) keeps the mode it fell with.
        if (facing == 3) {
          *animMode = 4;
        } else if (facing != 4) {
          *animMode = 3;
        }
        facing = 4;
      } else {
        facing = 4;
        if (Tick(s.shakeTimer, 0.5f)) {
          s.shakeStep = Toggle(s.shakeStep);
          x += kShake[s.shakeStep];
          frameStep = s.shakeStep;
        }
      }
    }
  } else {
    // Every enemy that had the stun armed wakes up, in the circle or not.
    s.stunTimer = 0.0f;
    s.stunActive = 0;
    state = 1;
    facing = 0;
  }
}

bool KilledByCompanion(float x, float y, int32_t& state, float& animTimer) {
  // Dying enemies are still offered to every companion, so companions 1 and
  // 2 land on a body that is already blinking out. One whose blink ended
  // this frame is gone: a hit would start its dying, and its drop, again.
  if (state == 0) return false;
  for (int j = 0; j < kCompanionCount; ++j) {
    if (CompanionHits(j, 48, 48, x - scrollX, y - scrollY, false, false) && state != 99) {
      state = 99;
      animTimer = 0.0f;
      cues::Play(cues::kDefeat);
      return true;
    }
  }
  return false;
}

bool NearCompanion(float ex, float ey, float x, float y) {
  float dx = (ex - scrollX + 24.0f) - (x + 28.0f);
  float dy = (ey - scrollY + 24.0f) - (y + 28.0f);
  return std::sqrt(dx * dx + dy * dy) < 39.0f;
}

}  // namespace foes

namespace {

template <typename Record>
bool PoolTouches(const Record (&pool)[kEnemyPoolSize], float x, float y, int j) {
  if (j < 0 || j >= kCompanionCount || companionState[j] == 0) return false;
  for (const Record& e : pool) {
    if (e.state != 0 && foes::NearCompanion(e.x, e.y, x, y)) return true;
  }
  return false;
}

void TraceStun(FILE* out, const StunFields& s) { std::fprintf(out, ",\"stunActive\":%d}", s.stunActive); }

void TraceSoldiers(FILE* out, const Soldier (&pool)[kEnemyPoolSize], const char* kind, bool& first) {
  for (int i = 0; i < kEnemyPoolSize; ++i) {
    const Soldier& e = pool[i];
    if (e.state == 0) continue;
    std::fprintf(out,
                 "%s{\"kind\":\"%s\",\"slot\":%d,\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"facing\":%d,"
                 "\"frameStep\":%d,\"animMode\":%d",
                 first ? "" : ",", kind, i, e.state, e.x, e.y, e.facing, e.frameStep, e.animMode);
    TraceStun(out, e.stun);
    first = false;
  }
}

template <typename Record>
void TraceStill(FILE* out, const Record (&pool)[kEnemyPoolSize], const char* kind, bool& first) {
  for (int i = 0; i < kEnemyPoolSize; ++i) {
    const Record& e = pool[i];
    if (e.state == 0) continue;
    std::fprintf(out,
                 "%s{\"kind\":\"%s\",\"slot\":%d,\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"facing\":%d,"
                 "\"frameStep\":%d",
                 first ? "" : ",", kind, i, e.state, e.x, e.y, e.facing, e.frameStep);
    TraceStun(out, e.stun);
    first = false;
  }
}

}  // namespace

bool SoldierATouches(float x, float y, int j) { return PoolTouches(soldiersA, x, y, j); }
bool ArcherTouches(float x, float y, int j) { return PoolTouches(archers, x, y, j); }
bool SoldierBTouches(float x, float y, int j) { return PoolTouches(soldiersB, x, y, j); }
bool ShieldGuardTouches(float x, float y, int j) { return PoolTouches(shieldGuards, x, y, j); }

void TraceFoes(FILE* out) {
  // Pools in the order the game frame runs them.
  std::fputs(",\"enemies\":[", out);
  bool first = true;
  TraceStill(out, archers, "Archer", first);
  TraceStill(out, shieldGuards, "ShieldGuard", first);
  TraceSoldiers(out, soldiersA, "SoldierA", first);
  TraceSoldiers(out, soldiersB, "SoldierB", first);
  std::fputs("],\"items\":[", out);
  first = true;
  for (int i = 0; i < kItemPoolSize; ++i) {
    const ItemDrop& item = items[i];
    if (!item.live) continue;
    std::fprintf(out, "%s{\"i\":%d,\"kind\":%d,\"x\":%.9g,\"y\":%.9g}", first ? "" : ",", i, item.kind,
                 item.x, item.y);
    first = false;
  }
  const DragonBoss& d = dragon;
  std::fprintf(out,
               "],\"boss\":{\"hp\":%d,\"phase\":%d,\"state\":%d,\"bodyX\":%.9g,\"bodyY\":%.9g,"
               "\"headX\":%.9g,\"headY\":%.9g,\"lane\":%d,\"enraged\":%d,\"guarded\":%d,\"hurt\":%d,"
               "\"cycles\":%d,\"volleys\":%d}",
               d.hp, d.phase, d.state, d.bodyX, d.bodyY, d.headX, d.headY, d.lane, d.enraged, d.guarded,
               d.hurt, d.cycles, d.volleys);
}
