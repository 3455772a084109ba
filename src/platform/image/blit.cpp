// The software blitter: copies with and without the source colour key,
// stretched copies, fills.
//
// Keyed rows are merged sixteen bytes at a time by a compare and select, in
// blocks whose groups are all read before any is written. Pictures that are
// drawn keyed again and again without changing are copied by their opaque
// runs instead (keyed_runs.cpp).
#include <cstddef>
#include <cstring>

#include "platform/backend.h"
#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::ColumnStep;
using surfaceinternal::kMaxSide;
using surfaceinternal::kPrefetchRows;
using surfaceinternal::Prefetch;

typedef uint16_t U16x8 __attribute__((vector_size(16)));
typedef uint32_t U32x4 __attribute__((vector_size(16)));

template <typename V, typename T>
V Load(const T* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename V, typename T>
void Store(T* p, V v) {
  std::memcpy(p, &v, sizeof v);
}

// Keyed merging of whole 16-byte groups. `kRange` compares against both key
// bounds; otherwise the key is a single value.
template <typename V, bool kRange>
struct KeyedMerge {
  V lo, hi;
  V operator()(V source, V dest) const {
    V transparent;  // all ones where the source pixel is not drawn
    if constexpr (kRange)
      transparent = (V)((source >= lo) & (source <= hi));
    else
      transparent = (V)(source == lo);
    return (dest & transparent) | (source & ~transparent);
  }
};

// Merges `kCount` groups: the first kCount - 1 from `at` on, the last one
// ending at `end` (it may overlap the one before; its pixels get the same
// values twice). Every group is read before any is written. Merged one
// group after another, each read of the screen waited behind the write
// before it and a row ran at a fraction of the speed; and an overlapping
// last group read after the write before it would wait for that write.
template <int kCount, typename T, typename V, typename Merge>
inline void MergeGroups(T* __restrict d, const T* __restrict s, int at, int end, const Merge& merge) {
  constexpr int kLanes = 16 / sizeof(T);
  V src[kCount], dst[kCount];
#pragma GCC unroll 8
  for (int j = 0; j < kCount - 1; ++j) {
    src[j] = Load<V>(s + at + j * kLanes);
    dst[j] = Load<V>(d + at + j * kLanes);
  }
  src[kCount - 1] = Load<V>(s + end - kLanes);
  dst[kCount - 1] = Load<V>(d + end - kLanes);
#pragma GCC unroll 8
  for (int j = 0; j < kCount - 1; ++j) Store(d + at + j * kLanes, merge(src[j], dst[j]));
  Store(d + end - kLanes, merge(src[kCount - 1], dst[kCount - 1]));
}

// One keyed row of 16- or 32-bit pixels: four groups at a time while more
// than six remain, then the last one to six groups, the final one ending at
// the row's end.
template <typename T, typename V, bool kRange>
void KeyedRow(T* __restrict d, const T* __restrict s, int n, T low, T high) {
  constexpr int kLanes = 16 / sizeof(T);
  if (n < kLanes) {
    for (int i = 0; i < n; ++i) {
      const T v = s[i];
      if (kRange ? (v < low || v > high) : v != low) d[i] = v;
    }
    return;
  }
  const KeyedMerge<V, kRange> merge{V{} + low, V{} + high};
  int i = 0;
  for (; n - i > 6 * kLanes; i += 4 * kLanes) MergeGroups<4, T, V>(d, s, i, i + 4 * kLanes, merge);
  switch ((n - i + kLanes - 1) / kLanes) {
    case 1: MergeGroups<1, T, V>(d, s, i, n, merge); break;
    case 2: MergeGroups<2, T, V>(d, s, i, n, merge); break;
    case 3: MergeGroups<3, T, V>(d, s, i, n, merge); break;
    case 4: MergeGroups<4, T, V>(d, s, i, n, merge); break;
    case 5: MergeGroups<5, T, V>(d, s, i, n, merge); break;
    default: MergeGroups<6, T, V>(d, s, i, n, merge); break;
  }
}

uint32_t Read24(const uint8_t* p) { return p[0] | p[1] << 8 | static_cast<uint32_t>(p[2]) << 16; }

void KeyedRow24(uint8_t* d, const uint8_t* s, int n, uint32_t low, uint32_t high) {
  for (int i = 0; i < n; ++i, d += 3, s += 3) {
    const uint32_t v = Read24(s);
    if (v < low || v > high) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

void KeyedRowAny(int bpp, uint8_t* d, const uint8_t* s, int n, uint32_t low, uint32_t high) {
  if (bpp == 2) {
    auto* d16 = reinterpret_cast<uint16_t*>(d);
    auto* s16 = reinterpret_cast<const uint16_t*>(s);
    const auto lo = static_cast<uint16_t>(low), hi = static_cast<uint16_t>(high);
    if (lo == hi)
      KeyedRow<uint16_t, U16x8, false>(d16, s16, n, lo, hi);
    else
      KeyedRow<uint16_t, U16x8, true>(d16, s16, n, lo, hi);
  } else if (bpp == 4) {
    auto* d32 = reinterpret_cast<uint32_t*>(d);
    auto* s32 = reinterpret_cast<const uint32_t*>(s);
    if (low == high)
      KeyedRow<uint32_t, U32x4, false>(d32, s32, n, low, high);
    else
      KeyedRow<uint32_t, U32x4, true>(d32, s32, n, low, high);
  } else {
    KeyedRow24(d, s, n, low, high);
  }
}

// A whole keyed rectangle of 16- or 32-bit pixels, rows top to bottom, the
// row merge inlined.
template <typename T, typename V, bool kRange>
void KeyedRows(uint8_t* d, ptrdiff_t dPitch, const uint8_t* s, ptrdiff_t sPitch, int w, int h, T low, T high) {
  const size_t rowBytes = static_cast<size_t>(w) * sizeof(T);
  for (int j = 0; j < kPrefetchRows && j < h; ++j) {
    Prefetch(s + j * sPitch, rowBytes);
    Prefetch(d + j * dPitch, rowBytes);
  }
  for (int j = 0; j < h; ++j, d += dPitch, s += sPitch) {
    if (j + kPrefetchRows < h) {
      Prefetch(s + kPrefetchRows * sPitch, rowBytes);
      Prefetch(d + kPrefetchRows * dPitch, rowBytes);
    }
    KeyedRow<T, V, kRange>(reinterpret_cast<T*>(d), reinterpret_cast<const T*>(s), w, low, high);
  }
}

// A row of a surface copied aside, for copies within one surface.
uint8_t overlapRow[kMaxSide * 4];

bool Overlaps(const Surface& dest, int x, int y, const Surface& source, const Rect& from) {
  if (&dest != &source) return false;
  const int w = from.right - from.left, h = from.bottom - from.top;
  return x < from.right && from.left < x + w && y < from.bottom && from.top < y + h;
}

bool Inside(const Surface& s, int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return left >= 0 && top >= 0 && right <= s.width && bottom <= s.height;
}

bool Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Present: the source goes to the window through the running backend.
Result Present(Surface& primary, Surface& source, const Rect& sourceRect) {
  if (source.lost || primary.lost) return Result::SurfaceLost;
  if (source.pixels == nullptr) return Result::Failed;
  if (Empty(sourceRect)) return Result::Ok;
  if (!Inside(source, sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom))
    return Result::InvalidRect;
  if (Backend* backend = ActiveBackend()) backend->Present(source, sourceRect);
  surfaceinternal::CountPresent();
  return Result::Ok;
}

template <typename T, typename V>
void FillRow(T* d, int n, T v) {
  constexpr int kLanes = 16 / sizeof(T);
  const V vv = V{} + v;
  int i = 0;
  for (; i + kLanes <= n; i += kLanes) Store(d + i, vv);
  for (; i < n; ++i) d[i] = v;
}

void FillRow24(uint8_t* d, int n, uint32_t v) {
  // Sixteen pixels make a whole number of bytes and of 16-byte stores.
  uint8_t pattern[48];
  for (int i = 0; i < 16; ++i) {
    pattern[3 * i] = static_cast<uint8_t>(v);
    pattern[3 * i + 1] = static_cast<uint8_t>(v >> 8);
    pattern[3 * i + 2] = static_cast<uint8_t>(v >> 16);
  }
  int i = 0;
  for (; i + 16 <= n; i += 16) std::memcpy(d + 3 * i, pattern, 48);
  std::memcpy(d + 3 * i, pattern, static_cast<size_t>(n - i) * 3);
}

}  // namespace

// --- Shared with the old graphics interface's calls -------------------------------

namespace surfaceinternal {

void CopyRect(Surface& dest, int x, int y, Surface& source, const Rect& from, bool keyed) {
  const int w = from.right - from.left, h = from.bottom - from.top;
  const int bpp = source.format.bytesPerPixel;
  const size_t rowBytes = static_cast<size_t>(w) * bpp;
  keyed = keyed && source.hasKey;
  const bool overlap = Overlaps(dest, x, y, source, from);
  if (keyed && !overlap && surfaceinternal::CopyOpaqueRuns(dest, x, y, source, from)) return;
  if (keyed && !overlap && (bpp == 2 || bpp == 4)) {
    uint8_t* d = dest.pixels + static_cast<size_t>(y) * dest.pitch + static_cast<size_t>(x) * bpp;
    const uint8_t* s =
        source.pixels + static_cast<size_t>(from.top) * source.pitch + static_cast<size_t>(from.left) * bpp;
    const uint32_t low = source.keyLow, high = source.keyHigh;
    const auto low16 = static_cast<uint16_t>(low), high16 = static_cast<uint16_t>(high);
    if (bpp == 2 && low16 == high16)
      KeyedRows<uint16_t, U16x8, false>(d, dest.pitch, s, source.pitch, w, h, low16, high16);
    else if (bpp == 2)
      KeyedRows<uint16_t, U16x8, true>(d, dest.pitch, s, source.pitch, w, h, low16, high16);
    else if (low == high)
      KeyedRows<uint32_t, U32x4, false>(d, dest.pitch, s, source.pitch, w, h, low, high);
    else
      KeyedRows<uint32_t, U32x4, true>(d, dest.pitch, s, source.pitch, w, h, low, high);
    return;
  }
  // Within one surface, rows are taken in the order that reads each source
  // row before it is overwritten, each through a copy of the row.
  const bool upward = overlap && y > from.top;
  for (int j = 0; j < kPrefetchRows && j < h; ++j) {
    const int row = upward ? h - 1 - j : j;
    Prefetch(source.pixels + static_cast<size_t>(from.top + row) * source.pitch + static_cast<size_t>(from.left) * bpp, rowBytes);
    Prefetch(dest.pixels + static_cast<size_t>(y + row) * dest.pitch + static_cast<size_t>(x) * bpp, rowBytes);
  }
  for (int j = 0; j < h; ++j) {
    const int row = upward ? h - 1 - j : j;
    const uint8_t* s = source.pixels + static_cast<size_t>(from.top + row) * source.pitch +
                       static_cast<size_t>(from.left) * bpp;
    uint8_t* d = dest.pixels + static_cast<size_t>(y + row) * dest.pitch + static_cast<size_t>(x) * bpp;
    if (j + kPrefetchRows < h) {
      const int ahead = upward ? row - kPrefetchRows : row + kPrefetchRows;
      Prefetch(s + static_cast<ptrdiff_t>(ahead - row) * source.pitch, rowBytes);
      Prefetch(d + static_cast<ptrdiff_t>(ahead - row) * dest.pitch, rowBytes);
    }
    if (overlap) {
      std::memcpy(overlapRow, s, rowBytes);
      s = overlapRow;
    }
    if (keyed)
      KeyedRowAny(bpp, d, s, w, source.keyLow, source.keyHigh);
    else
      std::memcpy(d, s, rowBytes);
  }
}

void StretchRect(Surface& dest, const Rect& clip, const Rect& to, Surface& source, const Rect& from,
                 bool keyed) {
  const int bpp = source.format.bytesPerPixel;
  const int sw = from.right - from.left, sh = from.bottom - from.top;
  const int dw = to.right - to.left, dh = to.bottom - to.top;
  keyed = keyed && source.hasKey;
  const uint32_t low = source.keyLow, high = source.keyHigh;
  for (int y = clip.top; y < clip.bottom; ++y) {
    const int sy = from.top + static_cast<int>(static_cast<int64_t>(y - to.top) * sh / dh);
    const uint8_t* s = source.pixels + static_cast<size_t>(sy) * source.pitch + static_cast<size_t>(from.left) * bpp;
    uint8_t* d = dest.pixels + static_cast<size_t>(y) * dest.pitch;
    ColumnStep step(clip.left - to.left, sw, dw);
    if (bpp == 2) {
      auto* s16 = reinterpret_cast<const uint16_t*>(s);
      auto* d16 = reinterpret_cast<uint16_t*>(d);
      for (int x = clip.left; x < clip.right; ++x, step.Next()) {
        const uint16_t v = s16[step.offset];
        if (!keyed || v < low || v > high) d16[x] = v;
      }
    } else if (bpp == 4) {
      auto* s32 = reinterpret_cast<const uint32_t*>(s);
      auto* d32 = reinterpret_cast<uint32_t*>(d);
      for (int x = clip.left; x < clip.right; ++x, step.Next()) {
        const uint32_t v = s32[step.offset];
        if (!keyed || v < low || v > high) d32[x] = v;
      }
    } else {
      for (int x = clip.left; x < clip.right; ++x, step.Next()) {
        const uint8_t* p = s + static_cast<size_t>(step.offset) * 3;
        const uint32_t v = Read24(p);
        if (!keyed || v < low || v > high) std::memcpy(d + static_cast<size_t>(x) * 3, p, 3);
      }
    }
  }
}

}  // namespace surfaceinternal

// --- Blits -------------------------------------------------------------------------

Result BltFast(Surface& dest, int x, int y, Surface& source, const Rect& sourceRect, bool keyed) {
  if (dest.lost || source.lost) return Result::SurfaceLost;
  if (dest.primary) return Present(dest, source, sourceRect);
  if (Empty(sourceRect)) return Result::Ok;
  const int64_t w = static_cast<int64_t>(sourceRect.right) - sourceRect.left;
  const int64_t h = static_cast<int64_t>(sourceRect.bottom) - sourceRect.top;
  if (!Inside(source, sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom) ||
      !Inside(dest, x, y, x + w, y + h))
    return Result::InvalidRect;
  if (dest.pixels == nullptr || source.pixels == nullptr ||
      dest.format.bytesPerPixel != source.format.bytesPerPixel)
    return Result::Failed;
  surfaceinternal::Touch(dest);
  surfaceinternal::CopyRect(dest, x, y, source, sourceRect, keyed);
  return Result::Ok;
}

Result Blt(Surface& dest, const Rect& destRect, Surface& source, const Rect& sourceRect, bool keyed) {
  if (dest.lost || source.lost) return Result::SurfaceLost;
  if (dest.primary) return Present(dest, source, sourceRect);
  if (Empty(sourceRect) || Empty(destRect)) return Result::Ok;
  if (!Inside(source, sourceRect.left, sourceRect.top, sourceRect.right, sourceRect.bottom) ||
      !Inside(dest, destRect.left, destRect.top, destRect.right, destRect.bottom))
    return Result::InvalidRect;
  if (dest.pixels == nullptr || source.pixels == nullptr ||
      dest.format.bytesPerPixel != source.format.bytesPerPixel)
    return Result::Failed;
  surfaceinternal::Touch(dest);
  if (destRect.right - destRect.left == sourceRect.right - sourceRect.left &&
      destRect.bottom - destRect.top == sourceRect.bottom - sourceRect.top) {
    surfaceinternal::CopyRect(dest, destRect.left, destRect.top, source, sourceRect, keyed);
  } else {
    surfaceinternal::StretchRect(dest, destRect, destRect, source, sourceRect, keyed);
  }
  return Result::Ok;
}

Result BltFill(Surface& dest, const Rect& rect, uint32_t value) {
  if (dest.lost) return Result::SurfaceLost;
  if (Empty(rect)) return Result::Ok;
  if (!Inside(dest, rect.left, rect.top, rect.right, rect.bottom)) return Result::InvalidRect;
  if (dest.pixels == nullptr) return Result::Failed;
  surfaceinternal::Touch(dest);
  const int bpp = dest.format.bytesPerPixel;
  if (bpp < 4) value &= (1u << (8 * bpp)) - 1;
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  // A fill of whole rows of a surface without padding is one long row.
  if (w == dest.width && static_cast<int64_t>(w) * bpp == dest.pitch) {
    w *= h;
    h = 1;
  }
  const uint8_t byte0 = static_cast<uint8_t>(value);
  const bool sameBytes = (bpp == 2 && value == byte0 * 0x0101u) || (bpp == 3 && value == byte0 * 0x010101u) ||
                         (bpp == 4 && value == byte0 * 0x01010101u);
  for (int j = 0; j < h; ++j) {
    uint8_t* d = dest.pixels + static_cast<size_t>(rect.top + j) * dest.pitch + static_cast<size_t>(rect.left) * bpp;
    if (sameBytes)
      std::memset(d, byte0, static_cast<size_t>(w) * bpp);
    else if (bpp == 2)
      FillRow<uint16_t, U16x8>(reinterpret_cast<uint16_t*>(d), w, static_cast<uint16_t>(value));
    else if (bpp == 4)
      FillRow<uint32_t, U32x4>(reinterpret_cast<uint32_t*>(d), w, value);
    else
      FillRow24(d, w, value);
  }
  return Result::Ok;
}

}  // namespace plat
