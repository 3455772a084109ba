// Software drawing surfaces: formats, the surface registry, loss and
// restoration, locks, the present hook, the old graphics interface's pixel
// calls and the conversion the present uses. The blits are in blit.cpp and
// the BMP decoding in bmp_decode.cpp.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "platform/backend.h"
#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::ColumnStep;
using surfaceinternal::kMaxSide;
using surfaceinternal::kMaxSurfaces;

constexpr int kMaxSpares = 64;
// Rows start on 16-byte boundaries, so that whole-row vector work never
// straddles two rows' worth of cache lines more than it must.
constexpr int kRowAlign = 16;
constexpr size_t kBufferAlign = 64;

Surface pool[kMaxSurfaces];
bool live[kMaxSurfaces];
uint32_t presents = 0;

// Buffers of released surfaces, kept for later surfaces that fit.
struct Spare {
  uint8_t* pixels = nullptr;
  size_t capacity = 0;
};
Spare spares[kMaxSpares];
int spareCount = 0;

uint8_t* AllocateBuffer(size_t capacity) {
  return static_cast<uint8_t*>(::operator new(capacity, std::align_val_t{kBufferAlign}, std::nothrow));
}
void FreeBuffer(uint8_t* pixels) {
  if (pixels != nullptr) ::operator delete(pixels, std::align_val_t{kBufferAlign});
}

// Takes the smallest spare buffer that holds `capacity` bytes, or allocates.
uint8_t* TakeBuffer(size_t capacity, size_t& gotCapacity) {
  int best = -1;
  for (int i = 0; i < spareCount; ++i)
    if (spares[i].capacity >= capacity && (best < 0 || spares[i].capacity < spares[best].capacity))
      best = i;
  if (best >= 0) {
    uint8_t* pixels = spares[best].pixels;
    gotCapacity = spares[best].capacity;
    spares[best] = spares[--spareCount];
    return pixels;
  }
  gotCapacity = capacity;
  return AllocateBuffer(capacity);
}

// Keeps a buffer for reuse. A full pool gives up its smallest buffer (or
// this one, when it is the smallest), so the large ones stay.
void KeepBuffer(uint8_t* pixels, size_t capacity) {
  if (pixels == nullptr) return;
  if (spareCount < kMaxSpares) {
    spares[spareCount++] = {pixels, capacity};
    return;
  }
  int smallest = 0;
  for (int i = 1; i < spareCount; ++i)
    if (spares[i].capacity < spares[smallest].capacity) smallest = i;
  if (spares[smallest].capacity >= capacity) {
    FreeBuffer(pixels);
    return;
  }
  FreeBuffer(spares[smallest].pixels);
  spares[smallest] = {pixels, capacity};
}

}  // namespace

// Gives the kept buffers back when the platform stops, so that a later start
// begins with none.
void FreeSpareBuffers() {
  for (int i = 0; i < spareCount; ++i) FreeBuffer(spares[i].pixels);
  spareCount = 0;
}

namespace {

int SlotOf(const Surface* surface) {
  if (surface < pool || surface >= pool + kMaxSurfaces) return -1;
  return static_cast<int>(surface - pool);
}

Surface* NewSlot() {
  for (int i = 0; i < kMaxSurfaces; ++i)
    if (!live[i]) {
      live[i] = true;
      pool[i] = Surface{};
      return &pool[i];
    }
  return nullptr;
}

// Channel layout taken from a mask.
struct Channel {
  int shift = 0, bits = 0;
  uint32_t mask = 0;
};
Channel ChannelOf(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  c.shift = __builtin_ctz(mask);
  c.bits = __builtin_popcount(mask);
  return c;
}

// GDI's choice of channel value: the nearest one the channel can hold, as
// the old interface sees the channel (value v reads back as v shifted up, so
// a 5-bit channel holds 0, 8, ..., 248). Rounding against those steps, and
// not against 255 / 31, is what makes writing back a colour that was read
// leave the pixel as it was, which the colour-key rule relies on.
uint32_t NearestChannel(uint32_t v8, const Channel& c) {
  if (c.bits == 0) return 0;
  if (c.bits >= 8) return v8 << (c.bits - 8) << c.shift;
  const uint32_t max = (1u << c.bits) - 1;
  const uint32_t step = 256u >> c.bits;
  return std::min(max, (v8 + step / 2) / step) << c.shift;
}

// How the old interface reads a channel back: shifted up, low bits zero.
uint32_t ReadChannel(uint32_t pixel, const Channel& c) {
  if (c.bits == 0) return 0;
  const uint32_t v = (pixel & c.mask) >> c.shift;
  return c.bits >= 8 ? v >> (c.bits - 8) : v << (8 - c.bits);
}

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

uint32_t ReadPixel(const Surface& s, int x, int y) {
  return LoadPixelValue(s.pixels + static_cast<size_t>(y) * s.pitch +
                            static_cast<size_t>(x) * s.format.bytesPerPixel,
                        s.format.bytesPerPixel);
}

void WritePixel(Surface& s, int x, int y, uint32_t v) {
  StorePixelValue(s.pixels + static_cast<size_t>(y) * s.pitch +
                      static_cast<size_t>(x) * s.format.bytesPerPixel,
                  s.format.bytesPerPixel, v);
}

bool Usable(const Surface& s) { return s.pixels != nullptr && !s.lost; }

// Per-channel lookup tables turning 0x00RRGGBB into a surface value with the
// GDI rounding; rebuilt when another format is asked for.
struct ColourTables {
  uint32_t red = 0, green = 0, blue = 0;  // the masks the tables are for
  bool built = false;
  uint32_t r[256], g[256], b[256];
};
ColourTables colourTables;

const ColourTables& TablesFor(const PixelFormat& f) {
  ColourTables& t = colourTables;
  if (!t.built || t.red != f.redMask || t.green != f.greenMask || t.blue != f.blueMask) {
    const Channel r = ChannelOf(f.redMask), g = ChannelOf(f.greenMask), b = ChannelOf(f.blueMask);
    for (uint32_t v = 0; v < 256; ++v) {
      t.r[v] = NearestChannel(v, r);
      t.g[v] = NearestChannel(v, g);
      t.b[v] = NearestChannel(v, b);
    }
    t.red = f.redMask;
    t.green = f.greenMask;
    t.blue = f.blueMask;
    t.built = true;
  }
  return t;
}

// The destination rectangle cut to the surface; false when nothing is left.
bool ClipToSurface(const Surface& s, const Rect& r, Rect& out) {
  out.left = std::max(r.left, 0);
  out.top = std::max(r.top, 0);
  out.right = std::min(r.right, s.width);
  out.bottom = std::min(r.bottom, s.height);
  return out.left < out.right && out.top < out.bottom;
}

bool ValidSourceRect(int width, int height, const Rect& r) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= width &&
         r.bottom <= height;
}

}  // namespace

// --- Internal, shared with the blits ------------------------------------------

namespace surfaceinternal {

int IndexOf(const Surface* surface) {
  const int i = SlotOf(surface);
  return i >= 0 && live[i] ? i : -1;
}

void CountPresent() { ++presents; }

}  // namespace surfaceinternal

// --- Formats ------------------------------------------------------------------

PixelFormat FormatForDepth(int depth) {
  PixelFormat f;
  switch (depth) {
    case 15:
      f.bitsPerPixel = 16;
      f.bytesPerPixel = 2;
      f.redMask = 0x7C00;
      f.greenMask = 0x03E0;
      f.blueMask = 0x001F;
      break;
    case 24:
    case 32:
      f.bitsPerPixel = depth;
      f.bytesPerPixel = depth / 8;
      f.redMask = 0xFF0000;
      f.greenMask = 0x00FF00;
      f.blueMask = 0x0000FF;
      break;
    default:  // 16, and anything the desktop cannot have
      break;
  }
  return f;
}

PixelFormat DesktopFormat() {
  Backend* backend = ActiveBackend();
  return FormatForDepth(backend ? backend->DesktopDepth() : 16);
}

// --- Surfaces -------------------------------------------------------------------

Surface* CreateSurface(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  const PixelFormat format = DesktopFormat();
  const int pitch = (width * format.bytesPerPixel + kRowAlign - 1) / kRowAlign * kRowAlign;
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  Surface* s = NewSlot();
  if (s == nullptr) return nullptr;
  size_t capacity = 0;
  uint8_t* pixels = TakeBuffer(bytes, capacity);
  if (pixels == nullptr) {
    live[SlotOf(s)] = false;
    return nullptr;
  }
  std::memset(pixels, 0, bytes);
  s->width = width;
  s->height = height;
  s->pitch = pitch;
  s->format = format;
  s->pixels = pixels;
  s->capacity = capacity;
  surfaceinternal::Touch(*s);
  return s;
}

Surface* CreatePrimarySurface() {
  Surface* s = NewSlot();
  if (s == nullptr) return nullptr;
  s->format = DesktopFormat();
  s->primary = true;
  return s;
}

void ReleaseSurface(Surface* surface) {
  const int i = surfaceinternal::IndexOf(surface);
  if (i < 0) return;
  surfaceinternal::Touch(*surface);
  KeepBuffer(surface->pixels, surface->capacity);
  pool[i] = Surface{};
  live[i] = false;
}

bool IsLost(const Surface& surface) { return surface.lost; }

Result Restore(Surface& surface) {
  if (!surface.lost) return Result::Ok;
  surface.lost = false;
  if (surface.pixels != nullptr) {
    std::memset(surface.pixels, 0, static_cast<size_t>(surface.pitch) * surface.height);
    surfaceinternal::Touch(surface);
  }
  return Result::Ok;
}

void LoseAllSurfaces() {
  for (int i = 0; i < kMaxSurfaces; ++i)
    if (live[i]) pool[i].lost = true;
}

void SetColorKey(Surface& surface, bool enable, uint32_t low, uint32_t high) {
  surface.hasKey = enable;
  surface.keyLow = enable ? low : 0;
  surface.keyHigh = enable ? high : 0;
}

Result Lock(Surface& surface, LockInfo& info) {
  if (surface.lost) return Result::SurfaceLost;
  if (surface.pixels == nullptr) return Result::Failed;
  info.pixels = surface.pixels;
  info.pitch = surface.pitch;
  surfaceinternal::Touch(surface);
  return Result::Ok;
}

void Unlock(Surface& surface) { surfaceinternal::Touch(surface); }

// The backend paces its presents itself; there is no beam to wait for.
void WaitForVerticalBlank() {}
// The window is always the system's own surface here.
void FlipToGdiSurface() {}

uint32_t PresentCount() { return presents; }

// --- The old graphics interface --------------------------------------------------

uint32_t ColourToPixel(const PixelFormat& format, uint32_t colour) {
  const uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  return NearestChannel(r, ChannelOf(format.redMask)) | NearestChannel(g, ChannelOf(format.greenMask)) |
         NearestChannel(b, ChannelOf(format.blueMask));
}

uint32_t GdiGetPixel(Surface& surface, int x, int y) {
  constexpr uint32_t kInvalid = 0xFFFFFFFF;
  if (!Usable(surface) || x < 0 || y < 0 || x >= surface.width || y >= surface.height) return kInvalid;
  const uint32_t v = ReadPixel(surface, x, y);
  const PixelFormat& f = surface.format;
  return ReadChannel(v, ChannelOf(f.redMask)) | ReadChannel(v, ChannelOf(f.greenMask)) << 8 |
         ReadChannel(v, ChannelOf(f.blueMask)) << 16;
}

uint32_t GdiSetPixel(Surface& surface, int x, int y, uint32_t colour) {
  constexpr uint32_t kInvalid = 0xFFFFFFFF;
  if (!Usable(surface) || x < 0 || y < 0 || x >= surface.width || y >= surface.height) return kInvalid;
  WritePixel(surface, x, y, ColourToPixel(surface.format, colour));
  surfaceinternal::Touch(surface);
  return GdiGetPixel(surface, x, y);
}

bool GdiStretchBitmap(Surface& dest, const Rect& destRect, const Bitmap& bitmap, const Rect& sourceRect) {
  if (!Usable(dest)) return false;
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() < static_cast<size_t>(bitmap.width) * bitmap.height)
    return false;
  if (!ValidSourceRect(bitmap.width, bitmap.height, sourceRect)) return false;
  if (destRect.right <= destRect.left || destRect.bottom <= destRect.top) return false;
  Rect clip;
  if (!ClipToSurface(dest, destRect, clip)) return true;  // nothing of it is on the surface
  surfaceinternal::Touch(dest);

  const ColourTables& t = TablesFor(dest.format);
  const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
  const int dw = destRect.right - destRect.left, dh = destRect.bottom - destRect.top;
  const int bpp = dest.format.bytesPerPixel;
  for (int y = clip.top; y < clip.bottom; ++y) {
    const int sy = sourceRect.top + static_cast<int>(static_cast<int64_t>(y - destRect.top) * sh / dh);
    const uint32_t* src = bitmap.pixels.data() + static_cast<size_t>(sy) * bitmap.width + sourceRect.left;
    uint8_t* row = dest.pixels + static_cast<size_t>(y) * dest.pitch;
    ColumnStep step(clip.left - destRect.left, sw, dw);
    for (int x = clip.left; x < clip.right; ++x, step.Next()) {
      const uint32_t c = src[step.offset];
      const uint32_t v = t.r[(c >> 16) & 0xFF] | t.g[(c >> 8) & 0xFF] | t.b[c & 0xFF];
      uint8_t* p = row + static_cast<size_t>(x) * bpp;
      if (bpp == 2) {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
      } else if (bpp == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
      } else {
        std::memcpy(p, &v, 4);
      }
    }
  }
  return true;
}

bool GdiStretchBlt(Surface& dest, const Rect& destRect, Surface& source, const Rect& sourceRect) {
  if (!Usable(dest) || !Usable(source)) return false;
  if (dest.format.bytesPerPixel != source.format.bytesPerPixel) return false;
  if (!ValidSourceRect(source.width, source.height, sourceRect)) return false;
  if (destRect.right <= destRect.left || destRect.bottom <= destRect.top) return false;
  Rect clip;
  if (!ClipToSurface(dest, destRect, clip)) return true;
  surfaceinternal::Touch(dest);
  const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
  const int dw = destRect.right - destRect.left, dh = destRect.bottom - destRect.top;
  if (sw == dw && sh == dh) {
    // Equal sizes: a plain copy of the part that lands on the surface.
    const Rect from{sourceRect.left + clip.left - destRect.left, sourceRect.top + clip.top - destRect.top,
                    sourceRect.left + clip.right - destRect.left, sourceRect.top + clip.bottom - destRect.top};
    surfaceinternal::CopyRect(dest, clip.left, clip.top, source, from, false);
    return true;
  }
  surfaceinternal::StretchRect(dest, clip, destRect, source, sourceRect, false);
  return true;
}

// --- The present's conversion ---------------------------------------------------

namespace {

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
