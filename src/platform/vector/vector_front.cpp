// Lines, filled polygons and curves (vector.h): the front every system
// shares, and the parts that are our own code everywhere. The front checks
// the surface and the arguments and draws with our own code whatever it
// can: the one-pixel pen (a thin stepped line without its last point, which
// no library draws), a wide pen along one straight segment (vector_pen.cpp),
// polygon fills (vector_fill.cpp) and inverting a rectangle. Only the rest
// goes to the system's drawing library (vector_system.h): wide pens along
// several segments or curves, pens wider than our own, and shapes reaching
// far away.
#include "platform/vector/vector.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/image/surface.h"
#include "platform/vector/vector_fill.h"
#include "platform/vector/vector_pen.h"
#include "platform/vector/vector_system.h"

namespace plat {

namespace {

// The pixels of one pen run, all known to lie on the surface: one step along
// the major axis each, and one along the minor axis whenever the remainder
// passes the divisor.
template <int kBytes>
void ThinRun(uint8_t* p, int64_t count, int64_t rest, int64_t minor, int64_t divisor,
             std::ptrdiff_t majorStep, std::ptrdiff_t minorStep, uint32_t value) {
  for (int64_t i = 0; i < count; ++i, p += majorStep) {
    StorePixelValue(p, kBytes, value);
    rest += 2 * minor;
    if (rest >= divisor) {
      rest -= divisor;
      p += minorStep;
    }
  }
}

// From (x1, y1) towards (x2, y2), leaving out (x2, y2). Along the longer axis
// every step sets one pixel; the other coordinate is the nearest, a tie
// going back towards the start. Only the steps that land on the surface are
// walked, so far-away end points cost nothing.
void ThinSegment(Surface& s, int x1, int y1, int x2, int y2, uint32_t value) {
  const int64_t dx = static_cast<int64_t>(x2) - x1, dy = static_cast<int64_t>(y2) - y1;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx >= ady;
  const int64_t steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
  if (steps == 0) return;
  const int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1, sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
  const int64_t start = xMajor ? x1 : y1, other = xMajor ? y1 : x1;
  const int64_t limit = xMajor ? s.width : s.height;
  // Steps whose major coordinate start + sMajor * i lies in [0, limit).
  int64_t first = 0, last = steps - 1;
  if (sMajor > 0) {
    first = std::max<int64_t>(first, -start);
    last = std::min<int64_t>(last, limit - 1 - start);
  } else {
    first = std::max<int64_t>(first, start - (limit - 1));
    last = std::min<int64_t>(last, start);
  }
  // The minor offset of step i is (2 i minor + steps - 1) / (2 steps),
  // kept as a quotient and a remainder so that no step divides.
  const int64_t divisor = 2 * steps;
  // (In 128 bits when far-away end points would make 2 i minor overflow 64.)
  using Wide = __int128;
  const bool narrow = steps < (int64_t{1} << 30);
  const auto offsetAt = [&](int64_t i) {
    return narrow ? (2 * i * minor + steps - 1) / divisor
                  : static_cast<int64_t>((Wide{2} * i * minor + steps - 1) / divisor);
  };
  // The offset only ever grows with i, so the steps whose minor coordinate
  // lies on the surface form one run: its ends are found by halving.
  const int64_t minorLimit = xMajor ? s.height : s.width;
  const int64_t lowOffset = sMinor > 0 ? -other : other - (minorLimit - 1);
  const int64_t highOffset = sMinor > 0 ? minorLimit - 1 - other : other;
  const auto offsetFits = [&](int64_t i) {
    const int64_t o = offsetAt(i);
    return o >= lowOffset && o <= highOffset;
  };
  if (first <= last && !(offsetFits(first) && offsetFits(last))) {
    int64_t lo = first, hi = last + 1;  // the first step with offset >= lowOffset
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (offsetAt(mid) >= lowOffset) hi = mid; else lo = mid + 1;
    }
    int64_t lo2 = lo, hi2 = last + 1;  // the first step with offset > highOffset
    while (lo2 < hi2) {
      const int64_t mid = lo2 + (hi2 - lo2) / 2;
      if (offsetAt(mid) > highOffset) hi2 = mid; else lo2 = mid + 1;
    }
    first = lo;
    last = lo2 - 1;
  }
  if (first > last) return;
  // A segment starting on the surface (the usual case, and every piece of
  // a curve) needs no division here.
  const int64_t off = first == 0 ? 0 : offsetAt(first);
  const int64_t rest = first == 0 ? steps - 1
                       : narrow   ? (2 * first * minor + steps - 1) % divisor
                                  : static_cast<int64_t>((Wide{2} * first * minor + steps - 1) % divisor);
  const int64_t a = start + sMajor * first, b = other + sMinor * off;
  const int64_t x = xMajor ? a : b, y = xMajor ? b : a;
  const int bpp = s.format.bytesPerPixel;
  const std::ptrdiff_t majorStep = xMajor ? sMajor * bpp : sMajor * static_cast<std::ptrdiff_t>(s.pitch);
  const std::ptrdiff_t minorStep = xMajor ? sMinor * static_cast<std::ptrdiff_t>(s.pitch) : sMinor * bpp;
  uint8_t* p = s.pixels + static_cast<size_t>(y) * s.pitch + static_cast<size_t>(x) * bpp;
  const int64_t count = last - first + 1;
  switch (bpp) {
    case 2: ThinRun<2>(p, count, rest, minor, divisor, majorStep, minorStep, value); break;
    case 3: ThinRun<3>(p, count, rest, minor, divisor, majorStep, minorStep, value); break;
    default: ThinRun<4>(p, count, rest, minor, divisor, majorStep, minorStep, value); break;
  }
}

// One-pixel lines through the points, each segment leaving out its end point.
void ThinPolyline(Surface& s, const Point* p, int count, bool closed, uint32_t value) {
  for (int i = 0; i + 1 < count; ++i) ThinSegment(s, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, value);
  if (closed && count > 1) ThinSegment(s, p[count - 1].x, p[count - 1].y, p[0].x, p[0].y, value);
}

// The curve flattened into whole-pixel points for the one-pixel pen: each
// cubic is cut into as many pieces as its control polygon is long in steps
// of four pixels, at most 256.
constexpr int kMaxPieces = 256;
Point flattened[kMaxPieces + 1];

int Flatten(const Point* p, Point* out) {
  const double x0 = p[0].x, y0 = p[0].y, x1 = p[1].x, y1 = p[1].y;
  const double x2 = p[2].x, y2 = p[2].y, x3 = p[3].x, y3 = p[3].y;
  const double length = std::hypot(x1 - x0, y1 - y0) + std::hypot(x2 - x1, y2 - y1) +
                        std::hypot(x3 - x2, y3 - y2);
  const int pieces = static_cast<int>(std::clamp(std::ceil(length / 4), 1.0, double{kMaxPieces}));
  int n = 0;
  for (int i = 0; i <= pieces; ++i) {
    const double t = static_cast<double>(i) / pieces, u = 1 - t;
    const double x = u * u * u * x0 + 3 * u * u * t * x1 + 3 * u * t * t * x2 + t * t * t * x3;
    const double y = u * u * u * y0 + 3 * u * u * t * y1 + 3 * u * t * t * y2 + t * t * t * y3;
    const Point q{static_cast<int>(std::floor(std::clamp(x, -1e9, 1e9) + 0.5)),
                  static_cast<int>(std::floor(std::clamp(y, -1e9, 1e9) + 0.5))};
    if (n == 0 || q.x != out[n - 1].x || q.y != out[n - 1].y) out[n++] = q;
  }
  return n;
}

// Cubic curves through 1 + 3n points with the one-pixel pen.
void ThinPolyBezier(Surface& s, const Point* points, int count, uint32_t value) {
  for (int i = 0; i + 3 < count; i += 3) {
    const int n = Flatten(points + i, flattened);
    ThinPolyline(s, flattened, n, false, value);
  }
  // Each curve leaves out its end point; the next one starts there, so
  // only the very last point stays out.
}

// --- The front -------------------------------------------------------------

// True when the surface can be drawn on (not lost, not the primary surface).
bool Drawable(Surface& s) {
  LockInfo lock;
  if (Lock(s, lock) != Result::Ok) return false;
  Unlock(s);
  return true;
}

// The area a shape may change: its points' bounds (count >= 1), widened by
// `margin` and cut to the surface.
Rect BoundsOf(const Surface& s, const Point* p, int count, int margin) {
  int64_t l = p[0].x, t = p[0].y, r = p[0].x, b = p[0].y;
  for (int i = 1; i < count; ++i) {
    l = std::min<int64_t>(l, p[i].x);
    t = std::min<int64_t>(t, p[i].y);
    r = std::max<int64_t>(r, p[i].x);
    b = std::max<int64_t>(b, p[i].y);
  }
  return Rect{static_cast<int>(std::clamp<int64_t>(l - margin, 0, s.width)),
              static_cast<int>(std::clamp<int64_t>(t - margin, 0, s.height)),
              static_cast<int>(std::clamp<int64_t>(r + margin + 1, 0, s.width)),
              static_cast<int>(std::clamp<int64_t>(b + margin + 1, 0, s.height))};
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// A wide pen reaches half its width, and a pixel or two of rounding, past
// the path.
int PenMargin(int width) { return width / 2 + 2; }

}  // namespace

bool DrawPolyline(Surface& s, const Point* points, int count, bool closed, uint32_t value, int width) {
  if (!Drawable(s)) return false;
  if (points == nullptr || count < 2) return true;
  if (width <= 1) {
    ThinPolyline(s, points, count, closed, value);
    return true;
  }
  // One straight segment is our own pen, unless it is wider than our own
  // or reaches far.
  if (count == 2 && !closed && WideSegment(s, points[0], points[1], width, value)) return true;
  const Rect box = BoundsOf(s, points, count, PenMargin(width));
  if (!Empty(box)) SystemStrokeLines(s, box, points, count, closed, value, width);
  return true;
}

bool DrawPolyBezier(Surface& s, const Point* points, int count, uint32_t value, int width) {
  if (!Drawable(s)) return false;
  if (points == nullptr || count < 4 || (count - 1) % 3 != 0) return true;
  if (width <= 1) {
    ThinPolyBezier(s, points, count, value);
    return true;
  }
  const Rect box = BoundsOf(s, points, count, PenMargin(width));
  if (!Empty(box)) SystemStrokeCurves(s, box, points, count, value, width);
  return true;
}

bool FillPolygon(Surface& s, const Point* points, int count, const Brush& brush) {
  if (!Drawable(s)) return false;
  if (points == nullptr || count < 3 || brush.style == Brush::Style::Hollow) return true;
  if (!ReachesFar(points, count)) {
    FillEvenOdd(s, points, count, brush);
    return true;
  }
  const Rect box = BoundsOf(s, points, count, 1);
  if (!Empty(box)) SystemFillFar(s, box, points, count, brush);
  return true;
}

bool InvertRect(Surface& s, const Rect& r) {
  LockInfo lock;
  if (Lock(s, lock) != Result::Ok) return false;
  const int left = std::max(r.left, 0), top = std::max(r.top, 0);
  const int right = std::min(r.right, s.width), bottom = std::min(r.bottom, s.height);
  const PixelFormat& f = s.format;
  // Only the colour bits: the spare top bit of a 555 pixel stays clear.
  const uint32_t bits = f.redMask | f.greenMask | f.blueMask;
  const int bpp = f.bytesPerPixel;
  for (int y = top; y < bottom; ++y) {
    uint8_t* row = lock.pixels + static_cast<size_t>(y) * lock.pitch;
    for (int x = left; x < right; ++x) {
      uint8_t* p = row + static_cast<size_t>(x) * bpp;
      StorePixelValue(p, bpp, LoadPixelValue(p, bpp) ^ bits);
    }
  }
  Unlock(s);
  return true;
}

}  // namespace plat
