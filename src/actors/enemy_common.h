// Helpers the enemy kinds share (enemies.cpp).
#pragma once
#include <cstdint>

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

inline bool SlotFits(int slot) { return slot >= 0 && slot < kEnemyPoolSize; }

}  // namespace foes
