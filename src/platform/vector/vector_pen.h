// The wide round pen of our own, the same on every system.
#pragma once
#include <cstdint>

#include "platform/image/surface.h"

namespace plat {

// Wider pens are left to the system's drawing library: their pen polygons
// grow past the fixed table.
constexpr int kMaxOwnPenWidth = 64;

// Draws one straight segment between pixel centres with a round pen of
// `width` pixels, round at both ends. Answers false, drawing nothing, for
// what it leaves to the caller: a width below 2 or above kMaxOwnPenWidth, a
// segment of no length, or ends more than a million pixels away. The
// surface must be drawable.
bool WideSegment(Surface& s, const Point& a, const Point& b, int width, uint32_t value);

}  // namespace plat
