// Polygon filling of our own, giving the pixels the old interface gave
// with antialiasing off, and the ones cairo gives for the same path:
//
// - Corners are kept in 1/256 pixel. An edge crosses the rows whose centre
//   lies at or below its upper end and above its lower end; on each, its x
//   is taken 1/256 pixel above the centre, in 1/256 pixel rounded down.
// - The pixel columns whose centre lies at or right of that x are right of
//   the edge. Crossings are cut to the surface, and a gap of one column
//   between two spans of a row is filled (cairo's converter does both).
//
// Edges are walked row by row with a quotient and a remainder, so no row
// divides. Nothing is allocated once the edge table has grown to the
// largest polygon seen.
#include "platform/vector/vector_fill.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {

namespace {

struct Edge {
  int top, bottom;      // the rows it crosses, bottom exclusive
  int dir;              // +1 going down the outline, -1 going up
  int64_t x;            // at the current row, in 1/256 pixel, rounded down
  int64_t rest;         // the remainder of x, in [0, dy)
  int64_t stepX, stepRest, dy;
};

std::vector<Edge> edges;
std::vector<Edge*> active;
std::vector<int> columns;
std::vector<FixedPoint> corners;

// The first row or column whose centre lies at or past v (in 1/256 pixel).
inline int64_t Cell(int64_t v) { return (v + 127) >> 8; }

// num / c rounded down, with its remainder in [0, c); c > 0.
inline void FloorDiv(int64_t num, int64_t c, int64_t& q, int64_t& r) {
  q = num / c;
  r = num % c;
  if (r < 0) {
    --q;
    r += c;
  }
}

inline void Step(Edge& e) {
  e.x += e.stepX;
  e.rest += e.stepRest;
  if (e.rest >= e.dy) {
    e.rest -= e.dy;
    ++e.x;
  }
}

// The brush's pixels on one span of a row, the hatch counted from the
// surface's top-left corner. The solid brush, the common case, is told
// apart when the fill is compiled.
template <int kBytes, bool kSolid>
inline void Span(uint8_t* row, int left, int right, int y, const Brush& b) {
  uint8_t* p = row + static_cast<size_t>(left) * kBytes;
  if (kSolid) {
    if constexpr (kBytes == 2) {
      // Four 16-bit pixels a store.
      const uint64_t four = (b.value & 0xFFFFu) * 0x0001000100010001ull;
      const int n = right - left;
      int i = 0;
      for (; i + 4 <= n; i += 4) std::memcpy(p + 2 * i, &four, 8);
      for (; i < n; ++i) StorePixelValue(p + 2 * i, 2, b.value);
    } else {
      for (int x = left; x < right; ++x, p += kBytes) StorePixelValue(p, kBytes, b.value);
    }
    return;
  }
  if (b.opaqueGaps) {
    for (int x = left; x < right; ++x, p += kBytes)
      StorePixelValue(p, kBytes, OnDiagonalCross(x, y) ? b.value : b.background);
    return;
  }
  // Only the two diagonals of each cell: columns y and 7 - y, modulo 8.
  for (const int phase : {y & 7, 7 - (y & 7)}) {
    for (int x = left + ((phase - left) & 7); x < right; x += 8)
      StorePixelValue(row + static_cast<size_t>(x) * kBytes, kBytes, b.value);
  }
}

// One row of the general case: the crossings taken from left to right,
// columns cut to the surface first. A span ends where the winding number
// leaves the inside, unless the next crossing is at most one column further
// on, in which case the gap is filled and the span goes on.
template <int kBytes, bool kSolid>
void GeneralRow(Surface& s, Edge** act, size_t n, int y, int mask, const Brush& brush) {
  int* const col = columns.data();
  for (size_t i = 1; i < n; ++i) {
    Edge* e = act[i];
    size_t j = i;
    for (; j > 0 && act[j - 1]->x > e->x; --j) act[j] = act[j - 1];
    act[j] = e;
  }
  for (size_t i = 0; i < n; ++i)
    col[i] = static_cast<int>(std::clamp<int64_t>(Cell(act[i]->x), 0, s.width));
  uint8_t* row = s.pixels + static_cast<size_t>(y) * s.pitch;
  int winding = 0, start = -1;
  for (size_t i = 0; i < n; ++i) {
    winding += act[i]->dir;
    if ((winding & mask) == 0) {
      if (i + 1 == n || col[i + 1] > col[i] + 1) {
        if (start >= 0 && start < col[i]) Span<kBytes, kSolid>(row, start, col[i], y, brush);
        start = -1;
      }
    } else if (start < 0) {
      start = col[i];
    }
  }
  for (size_t i = 0; i < n; ++i) Step(*act[i]);
}

// Walks the rows from firstRow to lastRow - 1 with the edges sorted by top
// row. Where only two edges cross a stretch of rows that close the inside
// again (most rows of most shapes), the stretch is one tight loop.
template <int kBytes, bool kSolid>
void FillRows(Surface& s, int firstRow, int lastRow, int mask, const Brush& brush) {
  Edge* const all = edges.data();
  Edge** const act = active.data();
  const size_t total = edges.size();
  size_t next = 0, n = 0;
  for (int y = firstRow; y < lastRow;) {
    while (next < total && all[next].top <= y) act[n++] = &all[next++];
    size_t kept = 0;
    int until = next < total ? all[next].top : lastRow;
    for (size_t i = 0; i < n; ++i) {
      if (act[i]->bottom <= y) continue;
      act[kept++] = act[i];
      until = std::min(until, act[i]->bottom);
    }
    n = kept;
    if (n == 0) {
      y = until;
      continue;
    }
    if (n == 2 && (mask == 1 || act[0]->dir + act[1]->dir == 0)) {
      // Local copies, so that the pixel stores cannot make the compiler
      // reload them.
      Edge a = *act[0], b = *act[1];
      const Brush paint = brush;
      const int64_t width = s.width;
      uint8_t* row = s.pixels + static_cast<size_t>(y) * s.pitch;
      for (; y < until; ++y, row += s.pitch) {
        int left = static_cast<int>(std::clamp<int64_t>(Cell(a.x), 0, width));
        int right = static_cast<int>(std::clamp<int64_t>(Cell(b.x), 0, width));
        if (left > right) std::swap(left, right);
        if (left < right) Span<kBytes, kSolid>(row, left, right, y, paint);
        Step(a);
        Step(b);
      }
      *act[0] = a;
      *act[1] = b;
      continue;
    }
    GeneralRow<kBytes, kSolid>(s, act, n, y, mask, brush);
    ++y;
  }
}

}  // namespace

bool ReachesFar(const Point* p, int count) {
  for (int i = 0; i < count; ++i)
    if (std::abs(static_cast<int64_t>(p[i].x)) > kFillReach ||
        std::abs(static_cast<int64_t>(p[i].y)) > kFillReach)
      return true;
  return false;
}

void FillFixedPolygon(Surface& s, const FixedPoint* p, int count, FillRule rule, const Brush& brush) {
  if (brush.style == Brush::Style::Hollow || count < 3) return;
  edges.clear();
  int firstRow = s.height, lastRow = 0;
  for (int i = 0; i < count; ++i) {
    FixedPoint a = p[i], b = p[(i + 1) % count];
    if (a.y == b.y) continue;  // a level edge crosses no row
    Edge e;
    e.dir = 1;
    if (a.y > b.y) {
      std::swap(a, b);
      e.dir = -1;
    }
    e.top = static_cast<int>(std::clamp<int64_t>(Cell(a.y), 0, s.height));
    e.bottom = static_cast<int>(std::clamp<int64_t>(Cell(b.y), 0, s.height));
    if (e.top >= e.bottom) continue;
    const int64_t dx = b.x - a.x;
    e.dy = b.y - a.y;
    // One row down moves x by 256 dx / dy, rounded down, with its remainder.
    FloorDiv(256 * dx, e.dy, e.stepX, e.stepRest);
    // On the first row, x is taken 1/256 pixel above the centre.
    FloorDiv((256 * static_cast<int64_t>(e.top) + 127 - a.y) * dx, e.dy, e.x, e.rest);
    e.x += a.x;
    edges.push_back(e);
    firstRow = std::min(firstRow, e.top);
    lastRow = std::max(lastRow, e.bottom);
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
  if (active.size() < edges.size()) {
    active.resize(edges.size());
    columns.resize(edges.size());
  }
  const int mask = rule == FillRule::EvenOdd ? 1 : ~0;
  const bool solid = brush.style == Brush::Style::Solid;
  switch (s.format.bytesPerPixel) {
    case 2: (solid ? FillRows<2, true> : FillRows<2, false>)(s, firstRow, lastRow, mask, brush); break;
    case 3: (solid ? FillRows<3, true> : FillRows<3, false>)(s, firstRow, lastRow, mask, brush); break;
    default: (solid ? FillRows<4, true> : FillRows<4, false>)(s, firstRow, lastRow, mask, brush); break;
  }
}

void FillEvenOdd(Surface& s, const Point* p, int count, const Brush& brush) {
  corners.clear();
  for (int i = 0; i < count; ++i) corners.push_back({int64_t{256} * p[i].x, int64_t{256} * p[i].y});
  FillFixedPolygon(s, corners.data(), count, FillRule::EvenOdd, brush);
}

}  // namespace plat
