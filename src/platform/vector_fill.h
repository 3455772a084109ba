// Our own polygon filling: alternate (even-odd) mode through integer
// corners, each pixel taken when its centre lies inside. The same on every
// system; the system-specific parts of vector.h hand their fills here.
#pragma once
#include <cstdint>


#include "platform/surface.h"
#include "platform/vector.h"

namespace plat {

// Polygons with a corner farther from the origin than this (ReachesFar) are
// left to the caller's own way of drawing; within it, every edge position is
// exact in 64-bit arithmetic.
constexpr int kFillReach = 1000000;
bool ReachesFar(const Point* points, int count);

// A point in 1/256 pixel, the precision cairo and our own fills share.
struct FixedPoint {
  int64_t x, y;
};
enum class FillRule { EvenOdd, NonZero };
// Fills a polygon whose corners lie within about a million pixels of the
// surface.
void FillFixedPolygon(Surface& s, const FixedPoint* points, int count, FillRule rule,
                      const Brush& brush);

// Fills the polygon with the brush (a hollow brush fills nothing). The
// surface must be drawable and every corner within kFillReach.
void FillEvenOdd(Surface& s, const Point* points, int count, const Brush& brush);

}  // namespace plat
