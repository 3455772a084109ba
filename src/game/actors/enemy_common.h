// Helpers the enemy kinds share (enemies.cpp).
#pragma once
#include <cstdint>

#include "actors/foes.h"
#include "actors/foes_state.h"

namespace foes {

// One frame of the stun for an enemy that is not dying. Soldiers pass their
// animation mode; archers and shield guards pass none and shake instead.
void RunStun(StunFields& s, float& x, float y, int32_t& state, int32_t& facing, int32_t& frameStep,
             int32_t* animMode);
// Offers the enemy at world (x, y) to the flying companions; the first that
// strikes a living enemy starts its dying. True when it did.
bool KilledByCompanion(float x, float y, int32_t& state, float& animTimer);
// Whether an enemy at world (ex, ey) lies within 39 pixels of a companion at
// view position (x, y), centre to centre.
bool NearCompanion(float ex, float ey, float x, float y);

// A dying enemy blinks for two seconds: it shows in the first and the third
// half second of its death timer.
inline bool ShownWhileDying(float deathTime) {
  return deathTime < 0.5f || (deathTime > 1.0f && deathTime < 1.5f);
}
// The end of the blink: the slot is free again and the enemy may leave an
// item where it fell.
template <typename Record>
void EndDying(Record& e) {
  e.state = 0;
  e.frameStep = 0;
  e.facing = 0;
  RollItemDrop(e.x, e.y);
}

inline bool SlotFits(int slot) { return slot >= 0 && slot < kEnemyPoolSize; }

}  // namespace foes
