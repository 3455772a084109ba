// The shapes our own vector drawing leaves to GDI on Windows
// (vector_system.h): wide pens along several segments or curves, pens wider
// than our own, and polygons reaching far away. GDI draws them white into a
// mask over the shape's box, and the mask's pixels are set in the surface
// with the caller's value. The diagonal-cross hatch is laid over the
// polygon's mask with the same rule as on every system (OnDiagonalCross).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/image/surface.h"
#include "platform/vector/vector.h"
#include "platform/vector/vector_system.h"
#include "platform/windows/win32_api.h"

namespace plat {
namespace {

// One memory device context with a 32-bit mask section, grown as needed and
// kept for the next call.
HDC maskDc = nullptr;
HBITMAP maskBitmap = nullptr;
HGDIOBJ firstBitmap = nullptr;
uint32_t* maskBits = nullptr;
int maskWidth = 0, maskHeight = 0;

bool EnsureMask(int width, int height) {
  if (maskDc == nullptr) maskDc = CreateCompatibleDC(nullptr);
  if (maskDc == nullptr) return false;
  if (width <= maskWidth && height <= maskHeight) return true;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = std::max(width, maskWidth);
  info.bmiHeader.biHeight = -std::max(height, maskHeight);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(maskDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return false;
  HGDIOBJ old = SelectObject(maskDc, bitmap);
  if (firstBitmap == nullptr) firstBitmap = old;
  if (maskBitmap != nullptr) DeleteObject(maskBitmap);
  maskBitmap = bitmap;
  maskBits = static_cast<uint32_t*>(bits);
  maskWidth = static_cast<int>(info.bmiHeader.biWidth);
  maskHeight = static_cast<int>(-info.bmiHeader.biHeight);
  return true;
}

// The points in GDI's form, kept between calls so that a frame of shapes
// allocates nothing once the longest path has been drawn. GDI's coordinates
// are narrower than ours; far points are pulled in.
std::vector<POINT> gdiPoints;
const std::vector<POINT>& GdiPoints(const Point* p, int count, bool closed) {
  gdiPoints.clear();
  for (int i = 0; i < count; ++i)
    gdiPoints.push_back(POINT{std::clamp(p[i].x, -4000000, 4000000), std::clamp(p[i].y, -4000000, 4000000)});
  if (closed) gdiPoints.push_back(gdiPoints.front());
  return gdiPoints;
}

// Clears the mask over `box` (not empty), lets `draw` paint it white in
// surface coordinates, then hands every painted pixel to `put`.
template <typename Draw, typename Put>
void WithMask(Surface& s, const Rect& box, Draw draw, Put put) {
  const int w = box.right - box.left, h = box.bottom - box.top;
  if (!EnsureMask(w, h)) return;
  GdiFlush();
  for (int y = 0; y < h; ++y) std::memset(maskBits + static_cast<size_t>(y) * maskWidth, 0, 4 * static_cast<size_t>(w));
  HRGN clip = CreateRectRgn(0, 0, w, h);
  SelectClipRgn(maskDc, clip);
  DeleteObject(clip);
  SetViewportOrgEx(maskDc, -box.left, -box.top, nullptr);
  draw(maskDc);
  SetViewportOrgEx(maskDc, 0, 0, nullptr);
  GdiFlush();
  const int bytes = s.format.bytesPerPixel;
  for (int y = 0; y < h; ++y) {
    const uint32_t* mask = maskBits + static_cast<size_t>(y) * maskWidth;
    uint8_t* row = s.pixels + static_cast<size_t>(box.top + y) * s.pitch + static_cast<size_t>(box.left) * bytes;
    for (int x = 0; x < w; ++x) {
      if (mask[x] & 0xFFFFFF) put(row + static_cast<size_t>(x) * bytes, box.left + x, box.top + y);
    }
  }
}

// The path in a white geometric pen with round ends and joins, set in the
// surface with `value`: connected lines, or cubic curves.
void StrokeWide(Surface& s, const Rect& box, const Point* points, int count, bool closed, bool curves,
                uint32_t value, int width) {
  const std::vector<POINT>& path = GdiPoints(points, count, closed);
  const int bytes = s.format.bytesPerPixel;
  WithMask(
      s, box,
      [&](HDC dc) {
        LOGBRUSH brush{BS_SOLID, RGB(255, 255, 255), 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                static_cast<DWORD>(width), &brush, 0, nullptr);
        if (pen == nullptr) return;
        HGDIOBJ old = SelectObject(dc, pen);
        if (curves) PolyBezier(dc, path.data(), static_cast<DWORD>(path.size()));
        else Polyline(dc, path.data(), static_cast<int>(path.size()));
        SelectObject(dc, old);
        DeleteObject(pen);
      },
      [&](uint8_t* pixel, int, int) { StorePixelValue(pixel, bytes, value); });
}

}  // namespace

void SystemStrokeLines(Surface& s, const Rect& box, const Point* points, int count, bool closed,
                       uint32_t value, int width) {
  StrokeWide(s, box, points, count, closed, false, value, width);
}

void SystemStrokeCurves(Surface& s, const Rect& box, const Point* points, int count, uint32_t value,
                        int width) {
  StrokeWide(s, box, points, count, false, true, value, width);
}

void SystemFillFar(Surface& s, const Rect& box, const Point* points, int count, const Brush& brush) {
  const std::vector<POINT>& path = GdiPoints(points, count, false);
  const bool hatch = brush.style == Brush::Style::DiagonalCross;
  const int bytes = s.format.bytesPerPixel;
  WithMask(
      s, box,
      [&](HDC dc) {
        SetPolyFillMode(dc, ALTERNATE);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        // Without a pen GDI fills the pixels whose centres lie inside.
        Polygon(dc, path.data(), static_cast<int>(path.size()));
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
      },
      [&](uint8_t* pixel, int x, int y) {
        if (!hatch) StorePixelValue(pixel, bytes, brush.value);
        else if (OnDiagonalCross(x, y)) StorePixelValue(pixel, bytes, brush.value);
        else if (brush.opaqueGaps) StorePixelValue(pixel, bytes, brush.background);
      });
}

}  // namespace plat
