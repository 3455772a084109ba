// Opaque runs of unchanging pictures: a picture that is drawn keyed again
// and again without changing (a sprite) gets a list of its opaque runs per
// row, so that a large draw of a mostly transparent picture only copies its
// runs.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::IndexOf;
using surfaceinternal::kMaxSurfaces;
using surfaceinternal::kPrefetchRows;
using surfaceinternal::Prefetch;

// A run list is built only for a picture drawn keyed at least this many
// times since its content last changed (work surfaces that are redrawn
// before every use never pay for it), for draws at least this wide, and kept
// only while the runs are long enough to beat the plain keyed row.
constexpr int kRunBuildAfter = 2;
constexpr int kRunMinWidth = 64;
constexpr int kRunMinPixelsPerRun = 32;

struct RunList {
  bool ready = false;
  bool useless = false;  // the picture is too ragged for runs to pay
  int uses = 0;
  uint32_t keyLow = 0, keyHigh = 0;
  std::vector<uint32_t> rowFirst;  // per row, the index of its first run; one more at the end
  std::vector<uint16_t> runs;      // start and end (exclusive) column of each opaque run
};
RunList runLists[kMaxSurfaces];

template <typename T>
bool BuildRuns(const Surface& s, RunList& list) {
  const size_t limit = static_cast<size_t>(s.width) * s.height / kRunMinPixelsPerRun + s.height;
  list.rowFirst.resize(static_cast<size_t>(s.height) + 1);
  list.runs.clear();
  list.runs.reserve(2 * limit);
  const uint32_t low = s.keyLow, high = s.keyHigh;
  size_t count = 0;
  for (int y = 0; y < s.height; ++y) {
    list.rowFirst[y] = static_cast<uint32_t>(count);
    const T* row = reinterpret_cast<const T*>(s.pixels + static_cast<size_t>(y) * s.pitch);
    int x = 0;
    while (x < s.width) {
      while (x < s.width && row[x] >= low && row[x] <= high) ++x;
      if (x == s.width) break;
      const int start = x;
      while (x < s.width && (row[x] < low || row[x] > high)) ++x;
      if (++count > limit) return false;
      list.runs.push_back(static_cast<uint16_t>(start));
      list.runs.push_back(static_cast<uint16_t>(x));
    }
  }
  list.rowFirst[s.height] = static_cast<uint32_t>(count);
  return true;
}

// The run list to draw `source` with, or null for the plain keyed rows.
const RunList* RunsFor(Surface& source, int drawWidth) {
  const int bpp = source.format.bytesPerPixel;
  if (drawWidth < kRunMinWidth || (bpp != 2 && bpp != 4)) return nullptr;
  const int i = IndexOf(&source);
  if (i < 0) return nullptr;
  RunList& list = runLists[i];
  if (list.keyLow != source.keyLow || list.keyHigh != source.keyHigh) {
    list.ready = list.useless = false;
    list.uses = 0;
    list.keyLow = source.keyLow;
    list.keyHigh = source.keyHigh;
  }
  if (list.ready) return &list;
  if (list.useless || ++list.uses < kRunBuildAfter) return nullptr;
  list.ready = bpp == 2 ? BuildRuns<uint16_t>(source, list) : BuildRuns<uint32_t>(source, list);
  list.useless = !list.ready;
  return list.ready ? &list : nullptr;
}

// Copies a run: short ones inline in 16-byte moves (the last one may
// overlap the one before), long ones through the library.
inline void CopyRun(uint8_t* d, const uint8_t* s, size_t n) {
  if (n > 256) {
    std::memcpy(d, s, n);
  } else if (n >= 16) {
    for (size_t i = 0; i + 16 < n; i += 16) std::memcpy(d + i, s + i, 16);
    std::memcpy(d + n - 16, s + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(d, s, 8);
    std::memcpy(d + n - 8, s + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(d, s, 4);
    std::memcpy(d + n - 4, s + n - 4, 4);
  } else if (n >= 2) {
    std::memcpy(d, s, 2);
    std::memcpy(d + n - 2, s + n - 2, 2);
  }
}

void CopyRuns(Surface& dest, int x, int y, const Surface& source, const Rect& from, const RunList& list) {
  const int bpp = source.format.bytesPerPixel;
  const size_t rowBytes = static_cast<size_t>(from.right - from.left) * bpp;
  for (int sy = from.top; sy < from.top + kPrefetchRows && sy < from.bottom; ++sy) {
    Prefetch(source.pixels + static_cast<size_t>(sy) * source.pitch + static_cast<size_t>(from.left) * bpp, rowBytes);
    Prefetch(dest.pixels + static_cast<size_t>(y + sy - from.top) * dest.pitch + static_cast<size_t>(x) * bpp,
             rowBytes);
  }
  for (int sy = from.top; sy < from.bottom; ++sy) {
    if (sy + kPrefetchRows < from.bottom) {
      const int ahead = sy + kPrefetchRows;
      Prefetch(source.pixels + static_cast<size_t>(ahead) * source.pitch + static_cast<size_t>(from.left) * bpp,
               rowBytes);
      Prefetch(dest.pixels + static_cast<size_t>(y + ahead - from.top) * dest.pitch + static_cast<size_t>(x) * bpp,
               rowBytes);
    }
    const uint16_t* r = list.runs.data() + 2 * static_cast<size_t>(list.rowFirst[sy]);
    const uint16_t* end = list.runs.data() + 2 * static_cast<size_t>(list.rowFirst[sy + 1]);
    if (r == end) continue;
    const size_t count = static_cast<size_t>(end - r) / 2;
    if (from.left > 0 && count <= 32) {
      // The first run that ends after the left edge, counted without
      // branches: a search would guess wrong at nearly every step.
      size_t before = 0;
      for (size_t k = 0; k < count; ++k) before += r[2 * k + 1] <= from.left;
      r += 2 * before;
    } else if (from.left > 0) {
      size_t lo = 0, hi = count;
      while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (r[2 * mid + 1] <= from.left)
          lo = mid + 1;
        else
          hi = mid;
      }
      r += 2 * lo;
    }
    // Both rows start at the draw's left edge, and a run is placed by its
    // distance from that edge: a destination left of the source column
    // never makes a pointer before the start of the row.
    const uint8_t* srcRow =
        source.pixels + static_cast<size_t>(sy) * source.pitch + static_cast<size_t>(from.left) * bpp;
    uint8_t* dstRow = dest.pixels + static_cast<size_t>(y + sy - from.top) * dest.pitch +
                      static_cast<size_t>(x) * bpp;
    for (; r < end; r += 2) {
      const int a = std::max<int>(r[0], from.left), b = std::min<int>(r[1], from.right);
      if (r[0] >= from.right) break;
      const size_t offset = static_cast<size_t>(a - from.left) * bpp;
      CopyRun(dstRow + offset, srcRow + offset, static_cast<size_t>(b - a) * bpp);
    }
  }
}

}  // namespace

namespace surfaceinternal {

void Touch(Surface& surface) {
  const int i = IndexOf(&surface);
  if (i < 0) return;
  RunList& list = runLists[i];
  list.ready = list.useless = false;
  list.uses = 0;
}

bool CopyOpaqueRuns(Surface& dest, int x, int y, Surface& source, const Rect& from) {
  const RunList* list = RunsFor(source, from.right - from.left);
  if (list == nullptr) return false;
  CopyRuns(dest, x, y, source, from, *list);
  return true;
}

}  // namespace surfaceinternal
}  // namespace plat
