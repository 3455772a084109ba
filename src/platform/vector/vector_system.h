// The shapes our own vector drawing leaves to the system's drawing library:
// cairo on Linux (vector_cairo.cpp), GDI on Windows (vector_gdi.cpp). The front
// (vector_front.cpp) has checked the surface and the arguments and drawn
// everything else; `box` is the area the shape may change, the points'
// bounds widened by the pen and cut to the surface, never empty.
#pragma once
#include <cstdint>

#include "platform/image/surface.h"
#include "platform/vector/vector.h"

namespace plat {

// A round pen of `width` >= 2 pixels, round at its ends and joins, along
// connected segments between the pixel centres of `count` >= 2 points;
// `closed` adds the segment back to the first. The front takes one straight
// segment itself, unless its pen is too wide for our own or its ends lie far.
void SystemStrokeLines(Surface& s, const Rect& box, const Point* points, int count, bool closed,
                       uint32_t value, int width);
// The same pen along cubic curves through 1 + 3n points.
void SystemStrokeCurves(Surface& s, const Rect& box, const Point* points, int count, uint32_t value,
                        int width);
// An even-odd fill of a polygon of `count` >= 3 corners, one of them
// farther away than our own fill reaches (ReachesFar), with a brush that is
// not hollow.
void SystemFillFar(Surface& s, const Rect& box, const Point* points, int count, const Brush& brush);

}  // namespace plat
