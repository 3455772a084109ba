// The wide round pen along one straight segment, as an outline of our own
// filled by vector_fill.cpp.
//
// The outline is the one cairo strokes with antialiasing off, so wide lines
// keep the pixels they always had: the pen is a polygon of n corners around
// a circle of half the pen's width, n the least even number that keeps
// every side within 0.1 pixel of the circle; each corner, and the segment's
// two sides, are rounded to 1/256 pixel. The outline runs along one side,
// round the far end through the pen's corners from the one facing along the
// segment to the one facing back, along the other side and round the near
// end the same way.
#include "platform/vector/vector_pen.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/vector/vector_fill.h"

namespace plat {

namespace {

struct Slope {
  int64_t dx, dy;
};

constexpr double kPi = 3.14159265358979323846;

// To 1/256 pixel, a tie going to the even number.
int64_t ToFixed(double v) { return static_cast<int64_t>(std::nearbyint(v * 256)); }

constexpr int kMaxCorners = 128;

// The pen for one width, made again only when the width changes.
struct Pen {
  int width = 0;
  int count = 0;
  FixedPoint corner[kMaxCorners];
  Slope in[kMaxCorners], out[kMaxCorners];  // the sides arriving and leaving
};
Pen pen;

// For a radius of 1 pixel or more.
int CornersNeeded(double radius) {
  constexpr double kTolerance = 0.1;
  int n = static_cast<int>(std::ceil(2 * kPi / std::acos(1 - kTolerance / radius)));
  if (n % 2 != 0) ++n;
  return n < 4 ? 4 : n;
}

// False when the pen would need more corners than the table holds.
bool MakePen(int width) {
  if (pen.width == width) return true;
  const double radius = width / 2.0;
  const int count = CornersNeeded(radius);
  if (count > kMaxCorners) return false;
  pen.width = width;
  pen.count = count;
  for (int i = 0; i < pen.count; ++i) {
    const double theta = 2 * kPi * i / static_cast<double>(pen.count);
    pen.corner[i] = {ToFixed(radius * std::cos(theta)), ToFixed(radius * std::sin(theta))};
  }
  for (int i = 0; i < pen.count; ++i) {
    const FixedPoint& prev = pen.corner[(i + pen.count - 1) % pen.count];
    const FixedPoint& here = pen.corner[i];
    const FixedPoint& next = pen.corner[(i + 1) % pen.count];
    pen.in[i] = {here.x - prev.x, here.y - prev.y};
    pen.out[i] = {next.x - here.x, next.y - here.y};
  }
  return true;
}

int64_t Cross(const Slope& a, const Slope& b) { return a.dx * b.dy - a.dy * b.dx; }

// The corner where an outline running round the pen backwards (down the
// corner numbers) turns through direction d: d lies from the reverse of the
// side leaving the corner up to, not including, the reverse of the side
// arriving at it. -1 if none does (a pen too small to turn evenly).
int CornerFacing(const Slope& d) {
  for (int i = 0; i < pen.count; ++i) {
    const Slope from{-pen.out[i].dx, -pen.out[i].dy}, to{-pen.in[i].dx, -pen.in[i].dy};
    const int64_t turn = Cross(from, to), start = Cross(from, d), end = Cross(d, to);
    const bool afterStart = start == 0 ? from.dx * d.dx + from.dy * d.dy > 0 : (start < 0) == (turn < 0);
    if (afterStart && end != 0 && (end < 0) == (turn < 0)) return i;
  }
  return -1;
}

// Room for both ends' corners and the four side points.
FixedPoint outline[2 * kMaxCorners + 8];

// The round end at `centre`: the pen's corners from the one facing `from`
// down to the one facing `to`, both included. -1 when the pen cannot say.
int AddCap(int n, const FixedPoint& centre, const Slope& from, const Slope& to) {
  int i = CornerFacing(from);
  const int end = CornerFacing(to);
  if (i < 0 || end < 0) return -1;
  for (;;) {
    outline[n++] = {centre.x + pen.corner[i].x, centre.y + pen.corner[i].y};
    if (i == end) return n;
    if (i-- == 0) i += pen.count;
  }
}

}  // namespace

bool WideSegment(Surface& s, const Point& a, const Point& b, int width, uint32_t value) {
  if (width < 2 || width > kMaxOwnPenWidth || (a.x == b.x && a.y == b.y)) return false;
  const Point ends[2] = {a, b};
  if (ReachesFar(ends, 2) || !MakePen(width)) return false;
  // Through the pixel centres.
  const FixedPoint p{256 * int64_t{a.x} + 128, 256 * int64_t{a.y} + 128};
  const FixedPoint q{256 * int64_t{b.x} + 128, 256 * int64_t{b.y} + 128};
  const Slope along{q.x - p.x, q.y - p.y}, back{-along.dx, -along.dy};
  // The unit direction, then the side offset of half the width.
  double ux = along.dx / 256.0, uy = along.dy / 256.0;
  if (ux == 0) {
    uy = uy > 0 ? 1 : -1;
  } else if (uy == 0) {
    ux = ux > 0 ? 1 : -1;
  } else {
    const double length = std::hypot(ux, uy);
    ux /= length;
    uy /= length;
  }
  const double half = width / 2.0;
  const FixedPoint left{ToFixed(-uy * half), ToFixed(ux * half)};
  int n = 0;
  outline[n++] = {p.x + left.x, p.y + left.y};
  outline[n++] = {q.x + left.x, q.y + left.y};
  n = AddCap(n, q, along, back);
  if (n < 0) return false;
  outline[n++] = {q.x - left.x, q.y - left.y};
  outline[n++] = {p.x - left.x, p.y - left.y};
  n = AddCap(n, p, back, along);
  if (n < 0) return false;
  Brush brush;
  brush.style = Brush::Style::Solid;
  brush.value = value;
  FillFixedPolygon(s, outline, n, FillRule::NonZero, brush);
  return true;
}

}  // namespace plat
