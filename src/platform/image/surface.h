// Software drawing surfaces, the display stand-in of the platform layer.
//
// A surface is a pixel buffer in the desktop's format (RGB565 unless another
// depth was chosen) with a pitch, an optional source colour key and a lost
// flag. Blits and fills report a lost surface, as the game library expects of
// its display; the library answers by restoring and reloading. The primary
// surface stands for the window: a blit onto it presents the picture.
//
// A "device context" here is simply a surface that is not lost: the few
// drawing calls of the old graphics interface that the library makes (read
// and write one pixel, stretch a bitmap onto a surface) are functions that
// take the surface and fail when it is lost.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace plat {

struct PixelFormat {
  int bitsPerPixel = 16;   // 16 (565 or 555), 24 or 32
  int bytesPerPixel = 2;
  uint32_t redMask = 0xF800, greenMask = 0x07E0, blueMask = 0x001F;
};
// The desktop format for a depth of 15, 16, 24 or 32 bits.
PixelFormat FormatForDepth(int depth);
// The format surfaces are created in: the desktop's.
PixelFormat DesktopFormat();

// One pixel value of `bytes` bytes (2, 3 or 4) in memory order, for code
// that works on locked pixels.
inline uint32_t LoadPixelValue(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 3: return p[0] | p[1] << 8 | static_cast<uint32_t>(p[2]) << 16;
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
  }
}
inline void StorePixelValue(uint8_t* p, int bytes, uint32_t value) {
  switch (bytes) {
    case 2: { const uint16_t w = static_cast<uint16_t>(value); std::memcpy(p, &w, 2); break; }
    case 3:
      p[0] = static_cast<uint8_t>(value);
      p[1] = static_cast<uint8_t>(value >> 8);
      p[2] = static_cast<uint8_t>(value >> 16);
      break;
    default: std::memcpy(p, &value, 4); break;
  }
}

// What a blit, fill or lock answers.
enum class Result {
  Ok,
  SurfaceLost,   // a surface involved was lost: restore it, then reload it
  InvalidRect,   // a rectangle lies outside its surface; nothing was done
  Failed,        // anything else (no surface, no memory, ...)
};

struct Surface {
  int width = 0, height = 0;
  int pitch = 0;  // bytes from one row to the next
  PixelFormat format;
  uint8_t* pixels = nullptr;  // null for the primary surface
  bool primary = false;
  bool lost = false;
  bool hasKey = false;
  uint32_t keyLow = 0, keyHigh = 0;  // source colour key, inclusive bounds
  // Internal: the buffer's capacity, for reuse.
  size_t capacity = 0;
};

// Creates an off-screen surface in the desktop format (content zero), or
// null when memory runs out. Released buffers are kept and reused for later
// surfaces that fit, so reloading pictures during play allocates nothing.
Surface* CreateSurface(int width, int height);
// The primary surface: the window's client area.
Surface* CreatePrimarySurface();
void ReleaseSurface(Surface* surface);

bool IsLost(const Surface& surface);
// Makes a lost surface usable again; its content is undefined (zero here).
Result Restore(Surface& surface);
// Loses every surface at once, as a display reset does (tests, and the sdl
// backend when its renderer is reset).
void LoseAllSurfaces();

// Source colour key; `enable` false removes it.
void SetColorKey(Surface& surface, bool enable, uint32_t low, uint32_t high);

// Copies `source` rectangle (right and bottom exclusive) to (x, y) of `dest`,
// skipping pixels within the source's colour key when `keyed`. Rectangles are
// not clipped: one that does not lie inside its surface is InvalidRect. An
// empty rectangle does nothing and is Ok.
Result BltFast(Surface& dest, int x, int y, Surface& source, const Rect& sourceRect, bool keyed);
// Copies a rectangle scaled to another rectangle (nearest pixel), keyed or
// not. Onto the primary surface it presents `source` in the window.
Result Blt(Surface& dest, const Rect& destRect, Surface& source, const Rect& sourceRect, bool keyed);
// Fills a rectangle with a pixel value (cut to the surface's bits).
Result BltFill(Surface& dest, const Rect& rect, uint32_t value);

// Pixels are written only between Lock and Unlock (or by the calls here):
// a keyed blit may keep what it learned about a surface's transparent runs
// until the surface is next locked or drawn into.
struct LockInfo {
  uint8_t* pixels = nullptr;
  int pitch = 0;
};
Result Lock(Surface& surface, LockInfo& info);
void Unlock(Surface& surface);

void WaitForVerticalBlank();
// Puts the system's drawing surface in front (matters only in full screen).
void FlipToGdiSurface();

// --- The old graphics interface over a surface ---------------------------------
// Colours are 0x00BBGGRR.

// The colour of a pixel, widened as that interface widens it (5-bit 31
// reads as 248); CLR_INVALID (0xFFFFFFFF) outside the surface or when lost.
uint32_t GdiGetPixel(Surface& surface, int x, int y);
// Writes the nearest value the surface can hold; returns the colour written,
// or CLR_INVALID.
uint32_t GdiSetPixel(Surface& surface, int x, int y, uint32_t colour);
// The surface value a colour becomes (the same rule as GdiSetPixel and the
// bitmap copy, so that a key colour matches the picture's pixels).
uint32_t ColourToPixel(const PixelFormat& format, uint32_t colour);

// A decoded picture: 0x00RRGGBB per pixel, top row first.
struct Bitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
// Decodes a BMP file named in Windows form. Accepts what the system's loader
// accepts (1-, 4-, 8-bit palettes, RLE4, RLE8, 16-bit 555 and bit fields,
// 24 and 32 bits, bottom-up and top-down). A missing, bad or truncated file
// gives false.
bool LoadBitmap(const char* windowsPath, Bitmap& bitmap);
// Stretches a bitmap rectangle onto a surface rectangle, converting colours.
bool GdiStretchBitmap(Surface& dest, const Rect& destRect, const Bitmap& bitmap, const Rect& sourceRect);
// Stretches between surfaces (nearest pixel, no key).
bool GdiStretchBlt(Surface& dest, const Rect& destRect, Surface& source, const Rect& sourceRect);

// --- Presenting --------------------------------------------------------------

// How many times the window was shown a picture (tests).
uint32_t PresentCount();

// Converts a rectangle of a surface to 0x00RRGGBB, rows `outPitch` bytes
// apart, the first row being the rectangle's top. 5- and 6-bit channels are
// widened by repeating their top bits (31 becomes 255). False, with nothing
// written, when the rectangle does not lie inside the surface or the surface
// has no pixels.
bool ConvertToXrgb8888(const Surface& surface, const Rect& rect, uint32_t* out, int outPitch);

// Writes the whole surface as a PNG file (a real path); false on failure,
// and then no file is left behind.
bool SavePng(const Surface& surface, const char* path);

}  // namespace plat
