// Our own polygon filling, each pixel taken when its centre lies inside:
// the same on every system. The system-specific parts of vector.h hand
// their polygon fills here, and the wide pen (vector_pen.h) its outlines.
#pragma once
#include <cstdint>

#include "platform/image/surface.h"
#include "platform/vector/vector.h"

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
// Fills a polygon, even-odd or non-zero; its corners must lie within about
// a million pixels of the surface.
void FillFixedPolygon(Surface& s, const FixedPoint* points, int count, FillRule rule,
                      const Brush& brush);

// Fills a polygon through integer corners in alternate (even-odd) mode
// with the brush (a hollow brush fills nothing). The surface must be
// drawable and every corner within kFillReach.
void FillEvenOdd(Surface& s, const Point* points, int count, const Brush& brush);

}  // namespace plat
