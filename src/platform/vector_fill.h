// Our own polygon filling: alternate (even-odd) mode through integer
// corners, each pixel taken when its centre lies inside. The same on every
// system; the system-specific parts of vector.h hand their fills here.
#pragma once

#include "platform/surface.h"
#include "platform/vector.h"

namespace plat {

// Polygons with a corner farther from the origin than this (ReachesFar) are
// left to the caller's own way of drawing; within it, every edge position is
// exact in 64-bit arithmetic.
constexpr int kFillReach = 1000000;
bool ReachesFar(const Point* points, int count);

// Fills the polygon with the brush (a hollow brush fills nothing). The
// surface must be drawable and every corner within kFillReach.
void FillEvenOdd(Surface& s, const Point* points, int count, const Brush& brush);

}  // namespace plat
