// Pixel reads and writes, lines, rectangles, polygons and curves on the back
// screen. Each call stands alone, so it can come between any two blits of a
// frame. Primitives are cut to the back screen only, not to the clip
// rectangle: they draw where the old graphics interface drew, and a wipe
// does not hide them.
#include <algorithm>
#include <utility>

#include "draw/eldraw.h"
#include "platform/image/surface.h"
#include "platform/vector/vector.h"

namespace elDraw {

namespace {

// What a primitive answers: 1 when the back screen could be drawn on, 0
// when it could not (not set up, or lost until the next restore).
int Answer(bool drawn) { return drawn ? 1 : 0; }

// A colour (0x00BBGGRR) as a back-screen pixel value; the top byte of a
// colour is ignored.
uint32_t PixelOf(const plat::Surface& back, uint32_t colour) {
  return plat::ColourToPixel(back.format, colour & 0xFFFFFF);
}

}  // namespace

void GetPixel(int x, int y, int* red, int* green, int* blue) {
  // Outside the screen, or on a lost one, the old interface answered with
  // all bits set, which reads as white.
  uint32_t colour = 0xFFFFFFFFu;
  if (screen.backScreen != nullptr) colour = plat::GdiGetPixel(*screen.backScreen, x, y);
  if (red) *red = static_cast<int>(colour & 0xFF);
  if (green) *green = static_cast<int>((colour >> 8) & 0xFF);
  if (blue) *blue = static_cast<int>((colour >> 16) & 0xFF);
}

int SetPixel(int x, int y, uint32_t colour) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr || plat::IsLost(*back)) return 0;
  plat::GdiSetPixel(*back, x, y, colour & 0xFFFFFF);
  return 1;
}

int Line(int x1, int y1, int x2, int y2, uint32_t colour, int width) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  const plat::Point points[2] = {{x1, y1}, {x2, y2}};
  return Answer(plat::DrawPolyline(*back, points, 2, false, PixelOf(*back, colour), width));
}

int Rectangle(int left, int top, int right, int bottom, uint32_t fillColour, uint32_t penColour,
              int width) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  // Corners given the wrong way round describe the same rectangle.
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right == left || bottom == top) return Answer(!plat::IsLost(*back));
  // The fill covers the pixels from left to right - 1 and top to bottom - 1;
  // the pen then runs along the outermost of them.
  // That is exactly the blitter's colour fill, cut to the screen.
  const plat::Rect area{std::max(left, 0), std::max(top, 0), std::min(right, back->width),
                        std::min(bottom, back->height)};
  if (area.left < area.right && area.top < area.bottom &&
      plat::BltFill(*back, area, PixelOf(*back, fillColour)) != plat::Result::Ok)
    return 0;
  const plat::Point frame[4] = {
      {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  return Answer(plat::DrawPolyline(*back, frame, 4, true, PixelOf(*back, penColour), width));
}

int Polygon(const Point* points, int count, uint32_t colour, uint32_t background, int width,
            int hatchMode) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  const uint32_t value = PixelOf(*back, colour);
  // Mode 0 is a hollow brush; every other mode hatches, mode 2 over a
  // transparent background and the others over the background colour.
  plat::Brush brush;
  brush.style = hatchMode == 0 ? plat::Brush::Style::Hollow : plat::Brush::Style::DiagonalCross;
  brush.value = value;
  brush.opaqueGaps = hatchMode != 2;
  brush.background = PixelOf(*back, background);
  if (count < 0) count = 0;
  if (!plat::FillPolygon(*back, points, count, brush)) return 0;
  return Answer(plat::DrawPolyline(*back, points, count, true, value, width));
}

int Bezier(const Point* points, int count, uint32_t colour, int width) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  return Answer(plat::DrawPolyBezier(*back, points, count, PixelOf(*back, colour), width));
}

int InvertArea(int left, int top, int right, int bottom) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  return Answer(plat::InvertRect(*back, plat::Rect{left, top, right, bottom}));
}

}  // namespace elDraw
