// The frame every software effect of a sprite shares: cut the source
// rectangle to the clip rectangle, lock the sprite and then the back screen,
// walk the drawn rectangle, unlock in the same order. The operations pass in
// only what they do with the pixels.
//
// Beyond the clip rectangle the frame also cuts to the back screen and to the
// sprite, so no argument makes an effect read or write outside a surface.
// Both surfaces must hold 16-bit pixels; any other depth is refused with 0
// and nothing drawn, as a failed lock is.
#pragma once
#include <cstddef>
#include <cstdint>

#include "draw/drawing.h"
#include "draw/eldraw.h"

namespace elDraw::effects {

// The drawn rectangle of one call, under both locks. Row r of the drawn
// rectangle is Src(r)[0 .. width - 1] over Dst(r)[0 .. width - 1].
struct Walk {
  uint16_t* src = nullptr;               // first drawn source pixel
  uint16_t* dst = nullptr;               // where it lands on the back screen
  ptrdiff_t srcPitch = 0, dstPitch = 0;  // in pixels
  int width = 0, height = 0;
  int x = 0, y = 0;          // back-screen position of the first drawn pixel
  int left = 0, top = 0;     // sprite position of the first drawn pixel
  uint16_t* back = nullptr;  // the whole back screen, for effects that reach beyond
  ptrdiff_t backPitch = 0;
  int spriteWidth = 0, spriteHeight = 0;

  uint16_t* Src(int row) const { return src + row * srcPitch; }
  uint16_t* Dst(int row) const { return dst + row * dstPitch; }
  uint16_t* BackRow(int y) const { return back + y * backPitch; }
};

// The clip rectangle, cut to the back screen.
ClipRect ScreenClip();

// True for a locked 16-bit surface; fills the pixel pointer and the pitch in
// pixels.
bool Lock16(plat::Surface& surface, uint16_t*& pixels, ptrdiff_t& pitch);

// A locked 16-bit surface: pixels and pitch in pixels.
struct Locked {
  uint16_t* pixels = nullptr;
  ptrdiff_t pitch = 0;
};
// Locks `first` (the sprite), then `second` (the back screen); when the
// second fails the first is unlocked again. Unlock in the same order.
bool LockPair(plat::Surface& first, Locked& a, plat::Surface& second, Locked& b);

// Cuts the source rectangle as every sprite effect does and, when something
// remains, locks both surfaces. Returns 1 when nothing is visible, 0 when a
// surface cannot be locked or is not 16-bit, -1 with `walk` filled and both
// surfaces locked. With `limitToSprite` false the right and bottom edges are
// not cut to the sprite: for an effect that draws more columns or rows than
// it reads, and checks its own reads against spriteWidth and spriteHeight.
int Begin(int x, int y, int sprite, int left, int top, int right, int bottom, Walk& walk,
          bool limitToSprite = true);
void End(int sprite);

// The whole frame: `body(walk)` runs between the locks.
template <class Body>
int SpriteEffect(int x, int y, int sprite, int left, int top, int right, int bottom, Body&& body) {
  Walk walk;
  int result = Begin(x, y, sprite, left, top, right, bottom, walk);
  if (result >= 0) return result;
  body(walk);
  End(sprite);
  return 1;
}

// Calls `visit(row, column, s, d)` for every opaque source pixel s of the
// drawn rectangle, d being its destination pixel (to read or replace).
template <class Visit>
void EachOpaque(const Walk& walk, Visit&& visit) {
  for (int row = 0; row < walk.height; ++row) {
    const uint16_t* s = walk.Src(row);
    uint16_t* d = walk.Dst(row);
    for (int column = 0; column < walk.width; ++column) {
      if (s[column] != 0) visit(row, column, s[column], d[column]);
    }
  }
}

// Applies `rule(s, d)` to every opaque source pixel s over its destination d.
template <class Rule>
void EachPixel(const Walk& walk, Rule&& rule) {
  EachOpaque(walk,
             [&](int, int, uint16_t s, uint16_t& d) { d = static_cast<uint16_t>(rule(s, d)); });
}

// The pixel rule over the whole frame: the form most effects take.
template <class Rule>
int PixelEffect(int x, int y, int sprite, int left, int top, int right, int bottom, Rule&& rule) {
  return SpriteEffect(x, y, sprite, left, top, right, bottom,
                      [&](const Walk& walk) { EachPixel(walk, rule); });
}

// Applies `rowRule(s, d, width)` to every drawn row (rules that see several
// pixels at once and keep source value 0 transparent themselves).
template <class RowRule>
int RowEffect(int x, int y, int sprite, int left, int top, int right, int bottom,
              RowRule&& rowRule) {
  return SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& walk) {
    for (int row = 0; row < walk.height; ++row) rowRule(walk.Src(row), walk.Dst(row), walk.width);
  });
}

// --- Taking pixels apart -------------------------------------------------------

// The three 5-bit channels of a pixel, through the table (a 6-bit green
// loses its lowest bit).
inline const Rgb5& Channels5(uint16_t p) { return PixelToRgb5Table[p]; }

// Three 5-bit values put back at the top of their channels.
inline uint16_t Place5(int r, int g, int b) {
  const PixelFormatInfo& f = screen.format;
  return static_cast<uint16_t>((r << f.place5[0]) | (g << f.place5[1]) | (b << f.place5[2]));
}

// A 5-bit channel value raised by `add`, no higher than 31.
inline int AddSaturate(int value, int add) { return value + add < 31 ? value + add : 31; }

// Truncates toward zero like a conversion to int, but gives 0 for NaN and
// stops at +-2^40 instead of overflowing, so that wild float arguments stay
// harmless.
inline int64_t TruncFloat(float v) {
  if (!(v == v)) return 0;
  constexpr float kLimit = 1099511627776.0f;  // 2^40
  if (v > kLimit) return static_cast<int64_t>(kLimit);
  if (v < -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(v);
}

// An angle in degrees brought into 0 to 359.
inline int WrapAngle(int angle) {
  int a = angle % 360;
  return a < 0 ? a + 360 : a;
}

// The next entry of the noise table at a filter's own position, which
// advances by one per use; after the last entry it goes on at a random entry
// among the first thousand.
uint8_t NextNoise(int& position);

}  // namespace elDraw::effects
