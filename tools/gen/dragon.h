// What the dragon's picture files share: the colours of fire and rounding to
// whole pixels, and the pictures of art_dragon_fire.cpp.
#pragma once
#include <cmath>

#include "canvas.h"

namespace gen::dragon {

// Fire, from the hottest to the coolest.
constexpr Rgb kFire[6] = {{255, 252, 224}, {255, 236, 128}, {248, 192, 56},
                          {240, 128, 40},  {208, 64, 32},   {144, 36, 40}};

inline int R(float v) { return static_cast<int>(std::lround(v)); }

// The shadow under the dragon, the roar, the fireballs in five directions and
// the breath of fire (art_dragon_fire.cpp).
Canvas Shadow();
Canvas Roar();
Canvas Fireballs();
Canvas Breath();

}  // namespace gen::dragon
