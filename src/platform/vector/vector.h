// Lines, filled polygons and curves on a software surface, drawn as the old
// graphics interface drew them with antialiasing off: one-pixel lines leave
// out their last point, wider pens are centred on the path with round ends
// and joins, polygons are filled in alternate (even-odd) mode and cover the
// pixels whose centres lie inside. Everything is cut to the surface.
//
// Colours here are surface pixel values (the caller converts colours with
// ColourToPixel). Every call answers false, drawing nothing, when the
// surface cannot be drawn on (lost, or the primary surface).
#pragma once
#include <cstdint>

#include "platform/image/surface.h"

namespace plat {

struct Brush {
  enum class Style { Hollow, Solid, DiagonalCross };
  Style style = Style::Hollow;
  uint32_t value = 0;
  // For the hatch: fill the gaps with `background`, or leave them alone.
  bool opaqueGaps = false;
  uint32_t background = 0;
};

// The diagonal-cross hatch: set where a pixel lies on one of the two
// diagonals of its 8 x 8 cell, counted from the surface's top-left corner.
inline bool OnDiagonalCross(int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 7; }

// Connected line segments through `count` points; `closed` adds the segment
// back to the first point. Width 1 or less is the one-pixel pen.
bool DrawPolyline(Surface& surface, const Point* points, int count, bool closed, uint32_t value,
                  int width);
// Cubic curves through 1 + 3n points (the end point of one curve starts the
// next). Any other count draws nothing.
bool DrawPolyBezier(Surface& surface, const Point* points, int count, uint32_t value, int width);
// Fills the inside of a polygon (even-odd) with a brush; a hollow brush
// fills nothing.
bool FillPolygon(Surface& surface, const Point* points, int count, const Brush& brush);
// Inverts every colour bit of the pixels of a rectangle (right and bottom
// exclusive).
bool InvertRect(Surface& surface, const Rect& rect);

}  // namespace plat
