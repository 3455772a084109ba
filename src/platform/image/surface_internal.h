// What the surface files share among themselves (not for use outside
// src/platform).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/image/surface.h"

namespace plat::surfaceinternal {

// The registry's size, and the largest side a surface may have.
constexpr int kMaxSurfaces = 1024;
constexpr int kMaxSide = 16384;

// Nearest-pixel column walk: the source offset of destination column dx is
// (dx * sw) / dw, stepped without a division per pixel.
struct ColumnStep {
  int offset, remainder, whole, part, divisor;
  ColumnStep(int dx, int sw, int dw) {
    const int64_t start = static_cast<int64_t>(dx) * sw;
    offset = static_cast<int>(start / dw);
    remainder = static_cast<int>(start % dw);
    whole = sw / dw;
    part = sw % dw;
    divisor = dw;
  }
  void Next() {
    offset += whole;
    remainder += part;
    if (remainder >= divisor) {
      remainder -= divisor;
      ++offset;
    }
  }
};

// Channel layout taken from a mask.
struct Channel {
  int shift = 0, bits = 0;
  uint32_t mask = 0;
};
inline Channel ChannelOf(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  c.shift = __builtin_ctz(mask);
  c.bits = __builtin_popcount(mask);
  return c;
}

// A pixel's value; (x, y) lies inside the surface.
inline uint32_t ReadPixel(const Surface& s, int x, int y) {
  return LoadPixelValue(s.pixels + static_cast<size_t>(y) * s.pitch +
                            static_cast<size_t>(x) * s.format.bytesPerPixel,
                        s.format.bytesPerPixel);
}

// A source rectangle that is not empty and lies inside a width x height
// picture.
inline bool ValidSourceRect(int width, int height, const Rect& r) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
         r.bottom <= height;
}

// Rows of a small draw land anywhere in a screen that does not fit the
// nearest cache, and each is too short for the processor to see the stride
// in time: the rows a few ahead are asked for while this one is copied.
constexpr int kPrefetchRows = 4;

inline void Prefetch(const uint8_t* p, size_t bytes) {
  if (bytes > 512) return;  // long rows are streamed well without help
  const uintptr_t first = reinterpret_cast<uintptr_t>(p) & ~uintptr_t{63};
  const uintptr_t last = reinterpret_cast<uintptr_t>(p + bytes - 1);
  for (uintptr_t line = first; line <= last; line += 64) __builtin_prefetch(reinterpret_cast<const void*>(line));
}

// The registry index of a live surface, or -1.
int IndexOf(const Surface* surface);
void CountPresent();

// Forgets what the keyed blit learned about a surface's content; called
// whenever the content may change.
void Touch(Surface& surface);

// Copies `from` of `source` to (x, y) of `dest`. Both rectangles lie inside
// their surfaces, are not empty, and the formats have equal pixel sizes.
void CopyRect(Surface& dest, int x, int y, Surface& source, const Rect& from, bool keyed);
// Copies `from` of a keyed `source` to (x, y) of `dest` through the list of
// its opaque runs, when it has one that pays; false, with nothing drawn,
// when it has none. The rectangles are as for CopyRect and do not overlap.
bool CopyOpaqueRuns(Surface& dest, int x, int y, Surface& source, const Rect& from);
// Nearest-pixel stretch of `from` onto `to`, drawing only the part inside
// `clip` (which lies within both `to` and the destination surface).
void StretchRect(Surface& dest, const Rect& clip, const Rect& to, Surface& source, const Rect& from,
                 bool keyed);

// The two steps of LoadBitmap on bytes in memory (for the tests): the
// header checks, then the decoding of a file that passed them.
bool BmpPlausible(const uint8_t* file, size_t size);
bool DecodeBmp(const uint8_t* file, size_t size, Bitmap& bitmap);

}  // namespace plat::surfaceinternal
