// Any surface's pixels as 0x00RRGGBB, the form the present and the
// screenshots take: the desktop's formats through vector loops, any other
// through its channel masks.
#include <cstddef>
#include <cstring>

#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::Channel;
using surfaceinternal::ChannelOf;
using surfaceinternal::ReadPixel;
using surfaceinternal::ValidSourceRect;

// Widening by repeating the top bits (31 -> 255, 63 -> 255), for formats
// other than the four the desktop can have.
uint32_t ReplicateChannel(uint32_t pixel, const Channel& c) {
  if (c.bits == 0) return 0;
  const uint32_t v = (pixel & c.mask) >> c.shift;
  if (c.bits >= 8) return v >> (c.bits - 8);
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += c.bits) {
    const int shift = 8 - c.bits - filled;
    out |= shift >= 0 ? v << shift : v >> -shift;
  }
  return out & 0xFF;
}

typedef uint16_t U16x8 __attribute__((vector_size(16)));
typedef uint32_t U32x4 __attribute__((vector_size(16)));

// 16-bit pixels to 0x00RRGGBB, eight at a time: the channels are widened in
// 16-bit lanes and the two halves interleaved into 32-bit pixels.
template <int kRedShift, int kGreenBits>
void Convert16(const uint16_t* s, uint32_t* d, int n) {
  constexpr uint16_t kGreenMax = (1 << kGreenBits) - 1;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    U16x8 v;
    std::memcpy(&v, s + i, 16);
    U16x8 r = (v >> kRedShift) & 31;
    r = (r << 3) | (r >> 2);
    U16x8 g = (v >> 5) & kGreenMax;
    g = (g << (8 - kGreenBits)) | (g >> (2 * kGreenBits - 8));
    U16x8 b = v & 31;
    b = (b << 3) | (b >> 2);
    const U16x8 gb = (g << 8) | b;
    const U16x8 low = __builtin_shufflevector(gb, r, 0, 8, 1, 9, 2, 10, 3, 11);
    const U16x8 high = __builtin_shufflevector(gb, r, 4, 12, 5, 13, 6, 14, 7, 15);
    std::memcpy(d + i, &low, 16);
    std::memcpy(d + i + 4, &high, 16);
  }
  for (; i < n; ++i) {
    const uint32_t v = s[i];
    uint32_t r = (v >> kRedShift) & 31, g = (v >> 5) & kGreenMax, b = v & 31;
    r = (r << 3) | (r >> 2);
    g = (g << (8 - kGreenBits)) | (g >> (2 * kGreenBits - 8));
    b = (b << 3) | (b >> 2);
    d[i] = r << 16 | g << 8 | b;
  }
}

void Convert32(const uint32_t* s, uint32_t* d, int n) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    U32x4 v;
    std::memcpy(&v, s + i, 16);
    v &= 0x00FFFFFF;
    std::memcpy(d + i, &v, 16);
  }
  for (; i < n; ++i) d[i] = s[i] & 0x00FFFFFF;
}

void Convert24(const uint8_t* s, uint32_t* d, int n) {
  for (int i = 0; i < n; ++i, s += 3) d[i] = s[0] | s[1] << 8 | static_cast<uint32_t>(s[2]) << 16;
}

}  // namespace

bool ConvertToXrgb8888(const Surface& surface, const Rect& rect, uint32_t* out, int outPitch) {
  if (surface.pixels == nullptr || out == nullptr) return false;
  if (!ValidSourceRect(surface.width, surface.height, rect)) return false;
  const PixelFormat& f = surface.format;
  const int w = rect.right - rect.left;
  const int bpp = f.bytesPerPixel;
  const Channel r = ChannelOf(f.redMask), g = ChannelOf(f.greenMask), b = ChannelOf(f.blueMask);
  const bool is565 = bpp == 2 && f.redMask == 0xF800 && f.greenMask == 0x07E0 && f.blueMask == 0x001F;
  const bool is555 = bpp == 2 && f.redMask == 0x7C00 && f.greenMask == 0x03E0 && f.blueMask == 0x001F;
  const bool isRgb = f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* src = surface.pixels + static_cast<size_t>(y) * surface.pitch + static_cast<size_t>(rect.left) * bpp;
    uint32_t* dst = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) +
                                                static_cast<ptrdiff_t>(y - rect.top) * outPitch);
    if (is565) {
      Convert16<11, 6>(reinterpret_cast<const uint16_t*>(src), dst, w);
    } else if (is555) {
      Convert16<10, 5>(reinterpret_cast<const uint16_t*>(src), dst, w);
    } else if (isRgb && bpp == 4) {
      Convert32(reinterpret_cast<const uint32_t*>(src), dst, w);
    } else if (isRgb && bpp == 3) {
      Convert24(src, dst, w);
    } else {
      for (int x = 0; x < w; ++x) {
        const uint32_t v = ReadPixel(surface, rect.left + x, y);
        dst[x] = ReplicateChannel(v, r) << 16 | ReplicateChannel(v, g) << 8 | ReplicateChannel(v, b);
      }
    }
  }
  return true;
}

}  // namespace plat
