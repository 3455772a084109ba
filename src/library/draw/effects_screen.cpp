// Filters of a back-screen rectangle: the rising flame, softening, noise,
// the circular mosaic and the 2x and 4x magnifiers. The rectangle is cut to
// the screen (and the filters that read neighbours stay one pixel inside
// it), so no argument reaches outside the back screen.
#include <algorithm>
#include <cstdlib>

#include "draw/effects_frame.h"
#include "draw/effects_kernels.h"

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
// add up without carries: red at bit 0, green at 10, blue at 20. This is
// the lowest bit of each.
constexpr uint32_t kFieldLow = 1 | 1 << 10 | 1 << 20;

// Taking pixels apart with the format's places fixed at compile time for
// 565 and 555 (any other 16-bit layout takes them at run time).
struct Places {
  int red, green, blue;
  uint16_t junk;  // bits outside every channel (the top bit of 555)
};
constexpr Places k565{11, 6, 0, 0}, k555{10, 5, 0, 0x8000};

template <bool Fixed, Places P>
struct Spreader {
  Places at = P;
  Spreader() {
    if (!Fixed) {
      const PixelFormatInfo& f = screen.format;
      at = Places{f.place5[0], f.place5[1], f.place5[2], static_cast<uint16_t>(~f.fullMask)};
    }
  }
  const Places& Get() const {
    if constexpr (Fixed) return P;
    return at;
  }
  // A value with bits outside the channels has none (as in the table).
  uint32_t Spread(uint16_t p) const {
    const Places& q = Get();
    const uint32_t valid = (p & q.junk) == 0 ? 0xFFFFFFFFu : 0;
    return valid &
           (((p >> q.red) & 31u) | ((p >> q.green) & 31u) << 10 | ((p >> q.blue) & 31u) << 20);
  }
  uint16_t Gather(uint32_t s) const {
    const Places& q = Get();
    return static_cast<uint16_t>((s & 31) << q.red | ((s >> 10) & 31) << q.green |
                                 ((s >> 20) & 31) << q.blue);
  }
};

// Runs `body(spreader)` with the spreader of the screen's format.
template <class Body>
void WithSpreader(Body&& body) {
  const PixelFormatInfo& f = screen.format;
  const Places now{f.place5[0], f.place5[1], f.place5[2], static_cast<uint16_t>(~f.fullMask)};
  auto same = [&](const Places& p) {
    return p.red == now.red && p.green == now.green && p.blue == now.blue && p.junk == now.junk;
  };
  if (same(k565)) {
    body(Spreader<true, k565>());
  } else if (same(k555)) {
    body(Spreader<true, k555>());
  } else {
    body(Spreader<false, k565>());
  }
}

// Rows are handled in chunks of this many pixels through small buffers on
// the stack.
constexpr int kChunk = 256;

uint32_t FadeFields(int red, int green, int blue) {
  return (red ? 1u : 0u) | (green ? 1u << 10 : 0u) | (blue ? 1u << 20 : 0u);
}

// The fade flags as the kernels take them.
struct Fade3 {
  int ch[3];
};
Fade3 FadeOf(uint32_t fields) {
  return Fade3{{static_cast<int>(fields & 1), static_cast<int>(fields >> 10 & 1),
                static_cast<int>(fields >> 20 & 1)}};
}

int Flame(uint32_t fade, int& position, int& run, int x, int y, int w, int h) {
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    // Row r writes row r - 1 from rows r - 1, r and r + 1, none of which
    // this pass has written yet when they are read.
    const Span rows = Cut(static_cast<int64_t>(y) + 2, static_cast<int64_t>(y) + h - 1, 1, H - 2);
    const Span cols = Cut(static_cast<int64_t>(x) + 1, static_cast<int64_t>(x) + w - 2, 1, W - 2);
    if (position < 0 || position >= 10000) position = 0;
    const Fade3 f = FadeOf(fade);
    uint16_t mean[kChunk];
    for (int r = rows.from; r <= rows.to; ++r) {
      uint16_t* up = px + (r - 1) * pitch;
      const uint16_t* mid = px + r * pitch;
      for (int c0 = cols.from; c0 <= cols.to; c0 += kChunk) {
        const int count = std::min(kChunk, cols.to - c0 + 1);
        // First the noise decides, pixel by pixel, then the pixels follow.
        for (int i = 0; i < count; ++i) {
          const bool average = ++run < DitherNoiseTable[position];
          mean[i] = average ? 0xFFFF : 0;
          if (!average) {
            run = 0;
            if (++position >= 10000) position = std::rand() % 1000;
          }
        }
        kernels::FlameRow(up + c0, mid + c0, mid + pitch + c0, mean, count, f.ch);
      }
    }
  });
}

int Soften(uint32_t fade, int x, int y, int w, int h) {
  return BackEffect([&](uint16_t* px, ptrdiff_t pitch, int W, int H) {
    const Span rows = Cut(static_cast<int64_t>(y) + 1, static_cast<int64_t>(y) + h - 2, 1, H - 2);
    const Span cols = Cut(static_cast<int64_t>(x) + 1, static_cast<int64_t>(x) + w - 2, 1, W - 2);
    if (cols.to < cols.from) return;
    const Fade3 f = FadeOf(fade);
    uint16_t sum[3][kChunk];
    for (int r = rows.from; r <= rows.to; ++r) {
      uint16_t* row = px + r * pitch;
      // The left neighbour is the value just written: kept as channels.
      const Rgb5& first = effects::Channels5(row[cols.from - 1]);
      int left[3] = {first.red, first.green, first.blue};
      for (int c0 = cols.from; c0 <= cols.to; c0 += kChunk) {
        const int count = std::min(kChunk, cols.to - c0 + 1);
        // The right, upper and lower neighbours do not depend on this
        // row's results: add them up first.
        kernels::NeighbourSums(row + c0, row - pitch + c0, row + pitch + c0, count, sum[0], sum[1],
                               sum[2]);
        // Three independent chains, walked side by side.
        int r5 = left[0], g5 = left[1], b5 = left[2];
        for (int i = 0; i < count; ++i) {
          r5 = (r5 + sum[0][i]) >> 2;
          g5 = (g5 + sum[1][i]) >> 2;
          b5 = (b5 + sum[2][i]) >> 2;
          r5 -= f.ch[0] & (r5 > 0);
          g5 -= f.ch[1] & (g5 > 0);
          b5 -= f.ch[2] & (b5 > 0);
          sum[0][i] = static_cast<uint16_t>(r5);
          sum[1][i] = static_cast<uint16_t>(g5);
          sum[2][i] = static_cast<uint16_t>(b5);
        }
        left[0] = r5, left[1] = g5, left[2] = b5;
        kernels::PlaceRow(sum[0], sum[1], sum[2], row + c0, count);
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
    const Span rows = Cut(y, static_cast<int64_t>(y) + h - 1, 0, H - 1);
    const Span cols = Cut(x, static_cast<int64_t>(x) + w - 1, 0, W - 1);
    if (position < 0 || position >= 10000) position = 0;
    WithSpreader([&](const auto& sp) {
      for (int r = rows.from; r <= rows.to; ++r) {
        uint16_t* row = px + r * pitch;
        for (int c = cols.from; c <= cols.to;) {
          // A run of consecutive table entries, up to the table's end.
          const int count = std::min(cols.to - c + 1, 10000 - position);
          const uint8_t* noise = DitherNoiseTable + position;
          for (int i = 0; i < count; ++i) {
            // Each field gains n (at most 64, so no carry) and is cut at 31.
            uint32_t v = sp.Spread(row[c + i]) + (static_cast<uint32_t>(noise[i]) << s) * add;
            const uint32_t over = ((v + (kFieldLow * (127 - 31))) >> 7) & kFieldLow;
            v = (v & ~(over * 127)) | (over * 31);
            row[c + i] = sp.Gather(v);
          }
          c += count;
          position += count;
          if (position >= 10000) position = std::rand() % 1000;
        }
      }
    });
  });
}

}  // namespace

int ScreenFlame(int x, int y, int width, int height) {
  return Flame(0, effectState.flamePosition, effectState.flameRun, x, y, width, height);
}

int ScreenFlameFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height) {
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
  if (cw > 0 && ch > 0) {
    DrawOpaque(static_cast<int>(left), static_cast<int>(top), 0, 0, 0, cw * scale, ch * scale);
  }
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
