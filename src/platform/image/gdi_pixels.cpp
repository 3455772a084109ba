// The old graphics interface's drawing calls on surfaces: one pixel read
// and written as a colour, and pictures or surfaces stretched onto a
// surface. Colours are rounded to a surface's channels as that interface
// rounds them.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::Channel;
using surfaceinternal::ChannelOf;
using surfaceinternal::ColumnStep;
using surfaceinternal::ReadPixel;
using surfaceinternal::ValidSourceRect;

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

}  // namespace

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

}  // namespace plat
