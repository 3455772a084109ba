// Filters of a back-screen rectangle: the rising flame, softening, noise,
// the circular mosaic and the 2x and 4x magnifiers. The rectangle is cut to
// the screen (and the filters that read neighbours stay one pixel inside
// it), so no argument reaches outside the back screen.
#include <algorithm>

#include "draw/effects_frame.h"

namespace elDraw {

namespace {

// The back screen locked alone for `body(pixels, pitch, width, height)`;
// 0 when it cannot be locked or is not 16-bit.
template <class Body>
int BackEffect(Body&& body) {
  plat::Surface* back = screen.backScreen;
  uint16_t* pixels = nullptr;
  ptrdiff_t pitch = 0;
  if (back == nullptr || !effects::Lock16(*back, pixels, pitch)) return 0;
  body(pixels, pitch, back->width, back->height);
  plat::Unlock(*back);
  return 1;
}

// A range [from, to] cut to [lo, hi]; empty when to < from.
struct Span {
  int from, to;
};
Span Cut(int64_t from, int64_t to, int lo, int hi) {
  from = std::max<int64_t>(from, lo);
  to = std::min<int64_t>(to, hi);
  if (to < from) return Span{0, -1};
  return Span{static_cast<int>(from), static_cast<int>(to)};
}

// Three 5-bit channels side by side, ten bits apart, so that four pixels
// add up without carries: red at bit 0, green at 10, blue at 20.
constexpr uint32_t kFields = 0x1F | 0x1F << 10 | 0x1F << 20;
constexpr uint32_t kFieldLow = 1 | 1 << 10 | 1 << 20;

struct Spreader {
  int place[3];
  uint16_t junk;
  Spreader() {
    for (int ch = 0; ch < 3; ++ch) place[ch] = screen.format.place5[ch];
    junk = static_cast<uint16_t>(~screen.format.fullMask);
  }
  // A value with bits outside the channels has none (as in the table).
  uint32_t Spread(uint16_t p) const {
    const uint32_t valid = (p & junk) == 0 ? 0xFFFFFFFFu : 0;
    return valid & (((p >> place[0]) & 31u) | ((p >> place[1]) & 31u) << 10 |
                    ((p >> place[2]) & 31u) << 20);
  }
  uint16_t Gather(uint32_t s) const {
    return static_cast<uint16_t>((s & 31) << place[0] | ((s >> 10) & 31) << place[1] |
                                 ((s >> 20) & 31) << place[2]);
  }
};

// The mean of four spread pixels, then each channel of `fade` (one bit per
// field) lowered by 1 where it is above 0.
inline uint32_t Mean4(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t fade) {
  uint32_t m = ((a + b + c + d) >> 2) & kFields;
  const uint32_t above0 = ((m + kFields) >> 5) & kFieldLow;
  return m - (above0 & fade);
}

uint32_t FadeFields(int red, int green, int blue) {
  return (red ? 1u : 0u) | (green ? 1u << 10 : 0u) | (blue ? 1u << 20 : 0u);
}

int Flame(uint32_t fade, int& position, int& run, int x, int y, int w, int h) {
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    const Spreader sp;
    // Row r writes row r - 1 from rows r - 1, r and r + 1, none of which
    // this pass has written yet when they are read.
    const Span rows = Cut(static_cast<int64_t>(y) + 2, static_cast<int64_t>(y) + h - 1, 1, H - 2);
    const Span cols = Cut(static_cast<int64_t>(x) + 1, static_cast<int64_t>(x) + w - 2, 1, W - 2);
    if (position < 0 || position >= 10000) position = 0;
    for (int r = rows.from; r <= rows.to; ++r) {
      uint16_t* up = px + (r - 1) * pitch;
      const uint16_t* mid = px + r * pitch;
      const uint16_t* down = px + (r + 1) * pitch;
      for (int c = cols.from; c <= cols.to; ++c) {
        if (++run < DitherNoiseTable[position]) {
          up[c] = sp.Gather(Mean4(sp.Spread(mid[c - 1]), sp.Spread(mid[c + 1]),
                                  sp.Spread(up[c]), sp.Spread(down[c]), fade));
        } else {
          up[c] = mid[c];
          run = 0;
          effects::NextNoise(position);
        }
      }
    }
  });
}

int Soften(uint32_t fade, int x, int y, int w, int h) {
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    const Spreader sp;
    const Span rows = Cut(static_cast<int64_t>(y) + 1, static_cast<int64_t>(y) + h - 2, 1, H - 2);
    const Span cols = Cut(static_cast<int64_t>(x) + 1, static_cast<int64_t>(x) + w - 2, 1, W - 2);
    for (int r = rows.from; r <= rows.to; ++r) {
      uint16_t* row = px + r * pitch;
      const uint16_t* up = row - pitch;
      const uint16_t* down = row + pitch;
      if (cols.to < cols.from) break;
      // The left neighbour is the value just written: kept spread.
      uint32_t left = sp.Spread(row[cols.from - 1]);
      for (int c = cols.from; c <= cols.to; ++c) {
        left = Mean4(left, sp.Spread(row[c + 1]), sp.Spread(up[c]), sp.Spread(down[c]), fade);
        row[c] = sp.Gather(left);
      }
    }
  });
}

// Noise added to the channels of `add` (one bit per field).
int Noise(uint32_t add, int& position, int shift, int x, int y, int w, int h) {
  // From a shift of 5 on every non-zero entry saturates; a negative shift
  // shifts nothing.
  const int s = shift < 0 ? 0 : shift > 5 ? 5 : shift;
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    const Spreader sp;
    const Span rows = Cut(y, static_cast<int64_t>(y) + h - 1, 0, H - 1);
    const Span cols = Cut(x, static_cast<int64_t>(x) + w - 1, 0, W - 1);
    for (int r = rows.from; r <= rows.to; ++r) {
      uint16_t* row = px + r * pitch;
      for (int c = cols.from; c <= cols.to; ++c) {
        const uint32_t n = static_cast<uint32_t>(effects::NextNoise(position)) << s;
        // Each field gains n (at most 64, so no carry) and is cut at 31.
        uint32_t v = sp.Spread(row[c]) + n * add;
        const uint32_t over = ((v + (kFieldLow * (127 - 31))) >> 7) & kFieldLow;
        v = (v & ~(over * 127)) | (over * 31);
        row[c] = sp.Gather(v);
      }
    }
  });
}

}  // namespace

int ScreenFlame(int x, int y, int width, int height) {
  return Flame(0, effectState.flamePosition, effectState.flameRun, x, y, width, height);
}

int ScreenFlameFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width,
                    int height) {
  return Flame(FadeFields(fadeRed, fadeGreen, fadeBlue), effectState.flameFadePosition,
               effectState.flameFadeRun, x, y, width, height);
}

int ScreenSoften(int x, int y, int width, int height) { return Soften(0, x, y, width, height); }

int ScreenSoftenFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width,
                     int height) {
  return Soften(FadeFields(fadeRed, fadeGreen, fadeBlue), x, y, width, height);
}

int ScreenNoise(int shift, int x, int y, int width, int height) {
  return Noise(kFieldLow, effectState.noisePosition, shift, x, y, width, height);
}

int ScreenNoiseRgb(int red, int green, int blue, int shift, int x, int y, int width, int height) {
  return Noise(FadeFields(red, green, blue), effectState.noiseRgbPosition, shift, x, y, width,
               height);
}

int ScreenMosaicCircle(int centreX, int centreY, int radius, int blockSize) {
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    if (radius <= 0 || blockSize <= 0) return;
    const int64_t cx = centreX, cy = centreY, r = radius, k = blockSize;
    // trunc(sqrt(d)) < r is d < r x r for whole numbers.
    const int64_t r2 = r * r;
    // Offsets whose pixels lie on the screen: -cx <= dx < W - cx.
    const int64_t dx0 = std::max(-r, -cx), dx1 = std::min(r, W - cx);
    const int64_t dy0 = std::max(-r, -cy), dy1 = std::min(r, H - cy);
    for (int64_t dy = dy0; dy < dy1; dy += k) {
      const int64_t rows = std::min(k, H - (cy + dy));
      for (int64_t dx = dx0; dx < dx1; dx += k) {
        const int64_t cols = std::min(k, W - (cx + dx));
        uint16_t* block = px + (cy + dy) * pitch + (cx + dx);
        const uint16_t colour = block[0];
        for (int64_t j = 0; j < rows; ++j) {
          const int64_t y = dy + j;
          for (int64_t i = 0; i < cols; ++i) {
            const int64_t x = dx + i;
            if (x * x + y * y < r2) block[j * pitch + i] = colour;
          }
        }
      }
    }
  });
}

namespace {

// Copies the back-screen rectangle into the Buffer sprite, each pixel into
// a `scale` x `scale` block (with `sparse`, only its top-left `written` x
// `written` pixels), then draws the Buffer's enlarged rectangle at (x, y).
// The rectangle is cut to the screen and to what the Buffer can hold.
int Zoom(int scale, int written, int x, int y, int w, int h) {
  plat::Surface* buffer = drawing::SlotSurface(0);
  plat::Surface* back = screen.backScreen;
  if (buffer == nullptr || back == nullptr) return 0;
  int64_t left = std::max(x, 0), top = std::max(y, 0);
  int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + w, back->width);
  int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + h, back->height);
  right = std::min<int64_t>(right, left + buffer->width / scale);
  bottom = std::min<int64_t>(bottom, top + buffer->height / scale);
  const int cw = static_cast<int>(std::max<int64_t>(0, right - left));
  const int ch = static_cast<int>(std::max<int64_t>(0, bottom - top));

  effects::Locked out, in;
  if (!effects::LockPair(*buffer, out, *back, in)) return 0;
  uint16_t* to = out.pixels;
  const uint16_t* from = in.pixels;
  const ptrdiff_t toPitch = out.pitch, fromPitch = in.pitch;
  for (int j = 0; j < ch; ++j) {
    const uint16_t* src = from + (top + j) * fromPitch + left;
    for (int b = 0; b < written; ++b) {
      uint16_t* out = to + (j * scale + b) * toPitch;
      for (int i = 0; i < cw; ++i) {
        for (int a = 0; a < written; ++a) out[i * scale + a] = src[i];
      }
    }
  }
  plat::Unlock(*buffer);
  plat::Unlock(*back);
  DrawOpaque(static_cast<int>(left), static_cast<int>(top), 0, 0, 0, cw * scale, ch * scale);
  return 1;
}

}  // namespace

int ScreenZoom2(int x, int y, int width, int height, int sparse) {
  return Zoom(2, sparse ? 1 : 2, x, y, width, height);
}

int ScreenZoom4(int x, int y, int width, int height, int sparse) {
  return Zoom(4, sparse ? 2 : 4, x, y, width, height);
}

}  // namespace elDraw
