// The one-pixel pen and the other vector drawing that is our own on every
// system, shared by the system-specific parts of vector.h.
#pragma once
#include <cstdint>

#include "platform/surface.h"
#include "platform/vector.h"

namespace plat {

// True when the surface can be drawn on (not lost, not the primary surface).
bool Drawable(Surface& s);
// The points' bounds (count >= 1), widened by `margin` and cut to the surface.
Rect BoundsOf(const Surface& s, const Point* p, int count, int margin);
// One-pixel lines through the points, each segment leaving out its end point.
void ThinPolyline(Surface& s, const Point* p, int count, bool closed, uint32_t value);
// Cubic curves through 1 + 3n points with the one-pixel pen.
void ThinPolyBezier(Surface& s, const Point* points, int count, uint32_t value);

}  // namespace plat
