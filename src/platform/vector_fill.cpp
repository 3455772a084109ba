// Polygon filling of our own, giving the pixels the old interface gave
// with antialiasing off, and the ones cairo gives for the same path:
//
// - Row y is sampled just above its centre, at y + 127/256; an edge from
//   corner row a to corner row b (a < b) crosses rows a to b - 1.
// - On that row the edge's x is kept in 1/256 pixel, rounded down; pixel
//   columns from (x + 127) / 256 onwards lie right of it. Between the first
//   and second crossing of a row, the third and fourth and so on, the pixels
//   are inside.
//
// Edges are walked row by row with a quotient and a remainder, so no row
// divides. Nothing is allocated once the edge table has grown to the
// largest polygon seen.
#include "platform/vector_fill.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace plat {

namespace {

struct Edge {
  int top, bottom;      // the rows it crosses, bottom exclusive
  int64_t x;            // at the current row, in 1/256 pixel, rounded down
  int64_t rest;         // the remainder of x, in [0, dy)
  int64_t stepX, stepRest, dy;
};

std::vector<Edge> edges;
std::vector<Edge*> active;

// The pixel column where the inside begins or ends for an edge at x.
inline int Column(int64_t x) { return static_cast<int>((x + 127) >> 8); }

// The edge's position on row y (top <= y).
void StartAt(Edge& e, int64_t x1, int64_t y1, int64_t dx, int y) {
  const int64_t num = (256 * (static_cast<int64_t>(y) - y1) + 127) * dx;
  int64_t q = num / e.dy, r = num % e.dy;
  if (r < 0) {
    --q;
    r += e.dy;
  }
  e.x = 256 * x1 + q;
  e.rest = r;
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
// surface's top-left corner.
template <int kBytes>
void Span(uint8_t* row, int left, int right, int y, const Brush& b) {
  uint8_t* p = row + static_cast<size_t>(left) * kBytes;
  if (b.style == Brush::Style::Solid) {
    for (int x = left; x < right; ++x, p += kBytes) StorePixelValue(p, kBytes, b.value);
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

template <int kBytes>
void FillRows(Surface& s, int firstRow, int lastRow, const Brush& brush) {
  size_t next = 0;  // edges are sorted by top row
  active.clear();
  for (int y = firstRow; y < lastRow; ++y) {
    while (next < edges.size() && edges[next].top <= y) active.push_back(&edges[next++]);
    // Keep the edges still crossing this row, in order of their column.
    size_t n = 0;
    for (Edge* e : active)
      if (e->bottom > y) active[n++] = e;
    active.resize(n);
    for (size_t i = 1; i < n; ++i) {
      Edge* e = active[i];
      size_t j = i;
      for (; j > 0 && active[j - 1]->x > e->x; --j) active[j] = active[j - 1];
      active[j] = e;
    }
    uint8_t* row = s.pixels + static_cast<size_t>(y) * s.pitch;
    const auto column = [&](size_t i) { return std::clamp(Column(active[i]->x), 0, s.width); };
    for (size_t i = 0; i + 1 < n; i += 2) {
      const int left = column(i);
      int right = column(i + 1);
      while (i + 3 < n && column(i + 2) <= right + 1) {
        right = column(i + 3);
        i += 2;
      }
      if (left < right) Span<kBytes>(row, left, right, y, brush);
    }
    for (Edge* e : active) Step(*e);
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

void FillEvenOdd(Surface& s, const Point* p, int count, const Brush& brush) {
  if (brush.style == Brush::Style::Hollow || count < 3) return;
  edges.clear();
  int firstRow = s.height, lastRow = 0;
  for (int i = 0; i < count; ++i) {
    Point a = p[i], b = p[(i + 1) % count];
    if (a.y == b.y) continue;  // a level edge crosses no row
    if (a.y > b.y) std::swap(a, b);
    Edge e;
    e.top = std::max(a.y, 0);
    e.bottom = std::min(b.y, s.height);
    if (e.top >= e.bottom) continue;
    const int64_t dx = static_cast<int64_t>(b.x) - a.x;
    e.dy = static_cast<int64_t>(b.y) - a.y;
    // One row down moves x by 256 dx / dy, floored, with its remainder.
    e.stepX = (256 * dx) / e.dy;
    e.stepRest = (256 * dx) % e.dy;
    if (e.stepRest < 0) {
      --e.stepX;
      e.stepRest += e.dy;
    }
    StartAt(e, a.x, a.y, dx, e.top);
    edges.push_back(e);
    firstRow = std::min(firstRow, e.top);
    lastRow = std::max(lastRow, e.bottom);
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
  switch (s.format.bytesPerPixel) {
    case 2: FillRows<2>(s, firstRow, lastRow, brush); break;
    case 3: FillRows<3>(s, firstRow, lastRow, brush); break;
    default: FillRows<4>(s, firstRow, lastRow, brush); break;
  }
}

}  // namespace plat
