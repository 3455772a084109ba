// The shapes our own vector drawing leaves to cairo on Linux
// (vector_system.h): wide pens along several segments (with round joins)
// and along curves, pens wider than our own, and shapes reaching a million
// pixels away. Copying cairo's round joins and curve flattening is not worth
// it for the few such shapes a game draws; our own fills and single wide
// segments give exactly cairo's pixels, which the tests check on random
// shapes.
//
// Cairo draws with antialiasing off, straight into RGB565 and 32-bit
// surfaces; it samples each pixel at its centre, which is the old
// interface's rule for integer corners (a rectangle's right and bottom edges
// lie outside it). Surfaces of other formats (555, 24-bit) are copied into a
// 32-bit scratch area around the shape and back: every channel is widened by
// repeating its top bits and narrowed by cutting them, which gives back
// every untouched pixel exactly.
#include "platform/vector/vector.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/image/surface.h"
#include "platform/vector/vector_system.h"

namespace plat {

namespace {

// --- Colours -------------------------------------------------------------------

int CountBits(uint32_t mask) {
  int n = 0;
  for (; mask != 0; mask &= mask - 1) ++n;
  return n;
}
int LowZeros(uint32_t mask) {
  int n = 0;
  while (n < 32 && ((mask >> n) & 1u) == 0) ++n;
  return n;
}

// One channel of a pixel value widened to 8 bits by repeating its top bits.
uint32_t Widen(uint32_t value, uint32_t mask) {
  const int bits = CountBits(mask);
  if (bits == 0) return 0;
  uint32_t v = (value & mask) >> LowZeros(mask);
  if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) {
    const int shift = 8 - bits - filled;
    out |= shift >= 0 ? v << shift : v >> -shift;
  }
  return out & 0xFF;
}
// The reverse: an 8-bit channel cut to a mask's width and put in place.
struct Narrowing {
  uint32_t mask;
  int bits, low;
  explicit Narrowing(uint32_t m) : mask(m), bits(CountBits(m)), low(LowZeros(m)) {}
  uint32_t operator()(uint32_t v8) const {
    if (bits == 0) return 0;
    const uint32_t v = bits >= 8 ? v8 << (bits - 8) : v8 >> (8 - bits);
    return (v << low) & mask;
  }
};

// A pixel value as 0x00RRGGBB that narrows back to the same value.
uint32_t ToXrgb(uint32_t value, const PixelFormat& f) {
  return Widen(value, f.redMask) << 16 | Widen(value, f.greenMask) << 8 | Widen(value, f.blueMask);
}

void SetSource(cairo_t* cr, uint32_t xrgb) {
  cairo_set_source_rgb(cr, ((xrgb >> 16) & 0xFF) / 255.0, ((xrgb >> 8) & 0xFF) / 255.0,
                       (xrgb & 0xFF) / 255.0);
}

// --- Where cairo draws -------------------------------------------------------------

cairo_format_t DirectFormat(const PixelFormat& f) {
  if (f.bytesPerPixel == 2 && f.redMask == 0xF800 && f.greenMask == 0x07E0 && f.blueMask == 0x001F)
    return CAIRO_FORMAT_RGB16_565;
  if (f.bytesPerPixel == 4 && f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF)
    return CAIRO_FORMAT_RGB24;
  return CAIRO_FORMAT_INVALID;
}

// The cairo surface and context over the last surface drawn on directly,
// kept so that a frame of primitives makes no new ones.
struct DirectCanvas {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  const uint8_t* data = nullptr;
  int width = 0, height = 0, pitch = 0;
  cairo_format_t format = CAIRO_FORMAT_INVALID;
};
DirectCanvas direct;

// The scratch area for the other formats, grown once to the largest shape.
std::vector<uint32_t> scratch;

// The 8 x 8 hatch cell as a repeating pattern, made once.
uint32_t hatchCell[64];
cairo_surface_t* hatchSurface = nullptr;
cairo_pattern_t* hatchPattern = nullptr;

cairo_t* DirectContext(Surface& s, cairo_format_t format) {
  DirectCanvas& d = direct;
  if (d.cr == nullptr || d.data != s.pixels || d.width != s.width || d.height != s.height ||
      d.pitch != s.pitch || d.format != format) {
    if (d.cr != nullptr) cairo_destroy(d.cr);
    if (d.surface != nullptr) cairo_surface_destroy(d.surface);
    d.surface = cairo_image_surface_create_for_data(s.pixels, format, s.width, s.height, s.pitch);
    d.cr = cairo_create(d.surface);
    d.data = s.pixels;
    d.width = s.width;
    d.height = s.height;
    d.pitch = s.pitch;
    d.format = format;
  }
  cairo_surface_mark_dirty(d.surface);
  return d.cr;
}

// Runs `draw` with a cairo context whose user space is the surface's pixel
// grid; `box` bounds what may change (cut to the surface, not empty).
template <typename DrawFn>
void WithCairo(Surface& s, const Rect& box, DrawFn draw) {
  const cairo_format_t format = DirectFormat(s.format);
  if (format != CAIRO_FORMAT_INVALID) {
    cairo_t* cr = DirectContext(s, format);
    cairo_new_path(cr);
    draw(cr);
    cairo_surface_flush(direct.surface);
    // Cairo fills the spare top byte of a 32-bit pixel; ours keep it zero.
    if (format == CAIRO_FORMAT_RGB24) {
      for (int y = box.top; y < box.bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(s.pixels + static_cast<size_t>(y) * s.pitch);
        for (int x = box.left; x < box.right; ++x) row[x] &= 0x00FFFFFFu;
      }
    }
    return;
  }
  const int w = box.right - box.left, h = box.bottom - box.top;
  const size_t need = static_cast<size_t>(w) * h;
  if (scratch.size() < need) scratch.resize(need);
  ConvertToXrgb8888(s, box, scratch.data(), w * 4);
  cairo_surface_t* area = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(scratch.data()), CAIRO_FORMAT_RGB24, w, h, w * 4);
  cairo_surface_set_device_offset(area, -box.left, -box.top);
  cairo_t* cr = cairo_create(area);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(area);
  cairo_surface_destroy(area);
  const PixelFormat& f = s.format;
  const Narrowing red(f.redMask), green(f.greenMask), blue(f.blueMask);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = s.pixels + static_cast<size_t>(box.top + y) * s.pitch +
                   static_cast<size_t>(box.left) * f.bytesPerPixel;
    const uint32_t* in = scratch.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      const uint32_t c = in[x];
      const uint32_t v = red((c >> 16) & 0xFF) | green((c >> 8) & 0xFF) | blue(c & 0xFF);
      StorePixelValue(row + static_cast<size_t>(x) * f.bytesPerPixel, f.bytesPerPixel, v);
    }
  }
}

// Cairo's fixed-point coordinates end near 8 million. Shapes reaching
// farther than kFar are cut, in exact arithmetic, to a window kMargin
// pixels around the surface first, which leaves every pixel on it as it was.
constexpr double kFar = 1000000;
constexpr double kMargin = 64;

bool IsFar(const Point* p, int count) {
  for (int i = 0; i < count; ++i)
    if (std::abs(static_cast<double>(p[i].x)) > kFar || std::abs(static_cast<double>(p[i].y)) > kFar) return true;
  return false;
}

struct Window {
  double left, top, right, bottom;
};
Window AroundSurface(const Surface& s, int width) {
  const double m = kMargin + width;
  return Window{-m, -m, s.width + m, s.height + m};
}

// Cuts the segment to the window; false when none of it lies inside.
bool CutSegment(double& x0, double& y0, double& x1, double& y1, const Window& w) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - w.left, w.right - x0, y0 - w.top, w.bottom - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

// The path of connected segments through the pixel centres. With round
// ends and joins a stroke is the union of its segments, so segments cut
// apart far away draw the same pixels.
void AddPolyline(cairo_t* cr, const Surface& s, const Point* p, int count, bool closed, int width) {
  if (!IsFar(p, count)) {
    cairo_move_to(cr, p[0].x + 0.5, p[0].y + 0.5);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, p[i].x + 0.5, p[i].y + 0.5);
    if (closed) cairo_close_path(cr);
    return;
  }
  const Window w = AroundSurface(s, width);
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) {
    const Point& a = p[i];
    const Point& b = p[(i + 1) % count];
    double x0 = a.x + 0.5, y0 = a.y + 0.5, x1 = b.x + 0.5, y1 = b.y + 0.5;
    if (!CutSegment(x0, y0, x1, y1, w)) continue;
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
  }
}

// The polygon's outline through its corners, cut to the window edge by
// edge where it reaches far; even-odd insides within the window stay.
std::vector<double> cutPolygon[2];
void CutPolygonAt(const std::vector<double>& in, std::vector<double>& out, int side, double limit) {
  out.clear();
  const size_t n = in.size() / 2;
  auto inside = [&](double x, double y) {
    switch (side) {
      case 0: return x >= limit;
      case 1: return x <= limit;
      case 2: return y >= limit;
      default: return y <= limit;
    }
  };
  for (size_t i = 0; i < n; ++i) {
    const double x0 = in[2 * i], y0 = in[2 * i + 1];
    const double x1 = in[2 * ((i + 1) % n)], y1 = in[2 * ((i + 1) % n) + 1];
    const bool in0 = inside(x0, y0), in1 = inside(x1, y1);
    if (in0) out.insert(out.end(), {x0, y0});
    if (in0 != in1) {
      const double t = side < 2 ? (limit - x0) / (x1 - x0) : (limit - y0) / (y1 - y0);
      out.insert(out.end(), {x0 + t * (x1 - x0), y0 + t * (y1 - y0)});
    }
  }
}

void AddPolygon(cairo_t* cr, const Surface& s, const Point* p, int count) {
  if (!IsFar(p, count)) {
    cairo_move_to(cr, p[0].x, p[0].y);
    for (int i = 1; i < count; ++i) cairo_line_to(cr, p[i].x, p[i].y);
    cairo_close_path(cr);
    return;
  }
  const Window w = AroundSurface(s, 0);
  std::vector<double>& a = cutPolygon[0];
  std::vector<double>& b = cutPolygon[1];
  a.clear();
  for (int i = 0; i < count; ++i) a.insert(a.end(), {static_cast<double>(p[i].x), static_cast<double>(p[i].y)});
  CutPolygonAt(a, b, 0, w.left);
  CutPolygonAt(b, a, 1, w.right);
  CutPolygonAt(a, b, 2, w.top);
  CutPolygonAt(b, a, 3, w.bottom);
  if (a.size() < 6) return;
  cairo_move_to(cr, a[0], a[1]);
  for (size_t i = 2; i < a.size(); i += 2) cairo_line_to(cr, a[i], a[i + 1]);
  cairo_close_path(cr);
}

// Curve points are only brought within cairo's range; a curve reaching
// millions of pixels away is not a shape anyone draws on purpose.
double Coord(int v) { return std::clamp(v, -4000000, 4000000); }

void StrokeWide(cairo_t* cr, int width) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

}  // namespace

void SystemStrokeLines(Surface& s, const Rect& box, const Point* points, int count, bool closed,
                       uint32_t value, int width) {
  const uint32_t colour = ToXrgb(value, s.format);
  WithCairo(s, box, [&](cairo_t* cr) {
    AddPolyline(cr, s, points, count, closed, width);
    SetSource(cr, colour);
    StrokeWide(cr, width);
  });
}

void SystemStrokeCurves(Surface& s, const Rect& box, const Point* points, int count, uint32_t value,
                        int width) {
  const uint32_t colour = ToXrgb(value, s.format);
  WithCairo(s, box, [&](cairo_t* cr) {
    cairo_move_to(cr, Coord(points[0].x) + 0.5, Coord(points[0].y) + 0.5);
    for (int i = 1; i + 2 < count; i += 3) {
      cairo_curve_to(cr, Coord(points[i].x) + 0.5, Coord(points[i].y) + 0.5,
                     Coord(points[i + 1].x) + 0.5, Coord(points[i + 1].y) + 0.5,
                     Coord(points[i + 2].x) + 0.5, Coord(points[i + 2].y) + 0.5);
    }
    SetSource(cr, colour);
    StrokeWide(cr, width);
  });
}

void SystemFillFar(Surface& s, const Rect& box, const Point* points, int count, const Brush& brush) {
  const uint32_t colour = ToXrgb(brush.value, s.format);
  if (brush.style == Brush::Style::DiagonalCross) {
    if (hatchSurface == nullptr) {
      hatchSurface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(hatchCell),
                                                         CAIRO_FORMAT_ARGB32, 8, 8, 8 * 4);
      hatchPattern = cairo_pattern_create_for_surface(hatchSurface);
      cairo_pattern_set_extend(hatchPattern, CAIRO_EXTEND_REPEAT);
      cairo_pattern_set_filter(hatchPattern, CAIRO_FILTER_NEAREST);
    }
    const uint32_t gap = brush.opaqueGaps ? 0xFF000000u | ToXrgb(brush.background, s.format) : 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) hatchCell[y * 8 + x] = OnDiagonalCross(x, y) ? 0xFF000000u | colour : gap;
    cairo_surface_mark_dirty(hatchSurface);
  }
  WithCairo(s, box, [&](cairo_t* cr) {
    AddPolygon(cr, s, points, count);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    if (brush.style == Brush::Style::DiagonalCross) {
      // Transparent gaps must leave the surface as it is.
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      cairo_set_source(cr, hatchPattern);
    } else {
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      SetSource(cr, colour);
    }
    cairo_fill(cr);
  });
}

}  // namespace plat
