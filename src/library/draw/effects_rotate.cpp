// The rotation family: a sprite turned (and zoomed, tiled, or laid out as a
// floor) in a destination rectangle. Fixed point with 360 as one, the scale
// of the sine table: two additions per pixel walk the source coordinates,
// and no trigonometry runs inside the loops.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <type_traits>

#include "draw/effects_frame.h"

namespace elDraw {

using effects::TruncFloat;

namespace {

// Rectangles wider or taller than this draw nothing, which keeps the fixed
// point within 32 bits.
constexpr int kMaxSide = 65536;

// One call of the family after its checks: the rectangle, the source cut to
// the sprite, the visible window and the locked pixels.
struct Turn {
  int W, H, sw, sh, hw, hh, sinA, cosA;
  int i0, i1, j0, j1;   // visible columns [i0, i1) and rows [j0, j1)
  const uint16_t* src;  // source (sx1, sy1)
  ptrdiff_t srcPitch;
  uint16_t* dst;  // back screen (left, top)
  ptrdiff_t dstPitch;
};

// The frame of the family. `member` gives the offsets (`Offsets(turn, ox,
// oy)`), is told of each row (`Row(j)`), maps the fixed-point column and row
// less the offsets to a source pixel (`Map(a, b, sx, sy)`, false to skip)
// and colours what it writes (`Colour(p)`).
template <class Member>
int TurnFrame(int left, int top, int right, int bottom, int angle, int sprite, int sx1, int sy1,
              int sx2, int sy2, Member& member) {
  plat::Surface* source = drawing::SlotSurface(sprite);
  plat::Surface* back = screen.backScreen;
  if (source == nullptr || back == nullptr) return 0;
  const int64_t W = static_cast<int64_t>(right) - left, H = static_cast<int64_t>(bottom) - top;
  if (W > kMaxSide || H > kMaxSide) return 1;

  // A source rectangle that does not lie inside the sprite is cut to it.
  if (sx1 < 0) sx1 = 0;
  if (sy1 < 0) sy1 = 0;
  if (sx2 > source->width) sx2 = source->width;
  if (sy2 > source->height) sy2 = source->height;

  const ClipRect clip = effects::ScreenClip();
  Turn t{};
  t.W = static_cast<int>(W);
  t.H = static_cast<int>(H);
  const int64_t i0 = std::max<int64_t>(0, static_cast<int64_t>(clip.left) - left);
  const int64_t i1 = std::min<int64_t>(W, static_cast<int64_t>(clip.right) - left);
  const int64_t j0 = std::max<int64_t>(0, static_cast<int64_t>(clip.top) - top);
  const int64_t j1 = std::min<int64_t>(H, static_cast<int64_t>(clip.bottom) - top);
  if (i1 < i0 || j1 < j0) return 1;
  // Now 0 <= i0 <= i1 <= W and likewise for the rows.
  t.i0 = static_cast<int>(i0);
  t.i1 = static_cast<int>(i1);
  t.j0 = static_cast<int>(j0);
  t.j1 = static_cast<int>(j1);

  effects::Locked from, to;
  if (!effects::LockPair(*source, from, *back, to)) return 0;
  uint16_t* src = from.pixels;
  uint16_t* dst = to.pixels;
  const ptrdiff_t srcPitch = from.pitch, dstPitch = to.pitch;
  // Both edges now lie within the sprite's size, or the rectangle is empty.
  if (sx1 < sx2 && sy1 < sy2) {
    t.sw = sx2 - sx1;
    t.sh = sy2 - sy1;
    t.hw = t.W >> 1;
    t.hh = t.H >> 1;
    const int a = effects::WrapAngle(angle);
    t.sinA = SineTable[a];
    t.cosA = SineTable[a + 90];
    t.src = src + sy1 * srcPitch + sx1;
    t.srcPitch = srcPitch;
    t.dst = dst + static_cast<ptrdiff_t>(top) * dstPitch + left;
    t.dstPitch = dstPitch;
    int ox = 0, oy = 0;
    member.Offsets(t, ox, oy);
    // The fixed-point position of pixel (i, j).
    auto U = [&](int i, int j) { return 360 * t.hw + (i - t.hw) * t.cosA - (j - t.hh) * t.sinA; };
    auto V = [&](int i, int j) { return 360 * t.hh + (i - t.hw) * t.sinA + (j - t.hh) * t.cosA; };
    // Both positions are linear in i and j, so over the visible window
    // their whole values lie between those of its corners.
    int lo = INT32_MAX, hi = INT32_MIN;
    if (t.i1 > t.i0 && t.j1 > t.j0) {
      for (int i : {t.i0, t.i1 - 1}) {
        for (int j : {t.j0, t.j1 - 1}) {
          lo = std::min({lo, U(i, j) / 360 - ox, V(i, j) / 360 - oy});
          hi = std::max({hi, U(i, j) / 360 - ox, V(i, j) / 360 - oy});
        }
      }
    }
    auto walk = [&](auto fast) {
      for (int j = 0; j < t.j1; ++j) {
        member.Row(j);
        if (j < t.j0) continue;
        int u = U(t.i0, j), v = V(t.i0, j);
        uint16_t* out = t.dst + j * t.dstPitch;
        for (int i = t.i0; i < t.i1; ++i, u += t.cosA, v += t.sinA) {
          int sx, sy;
          if (!member.template Map<fast>(u / 360 - ox, v / 360 - oy, sx, sy)) continue;
          const uint16_t p = t.src[sy * t.srcPitch + sx];
          if (p != 0) out[i] = member.Colour(p);
        }
      }
    };
    if (member.Prepare(lo, hi)) {
      walk(std::true_type{});
    } else {
      walk(std::false_type{});
    }
  }
  plat::Unlock(*source);
  plat::Unlock(*back);
  return 1;
}

// abs(value) mod size, for a positive size.
inline int Wrap(int64_t value, int size) {
  return static_cast<int>((value < 0 ? -value : value) % size);
}

struct Plain {
  int sw = 0, sh = 0;
  void Offsets(const Turn& t, int& ox, int& oy) {
    sw = t.sw;
    sh = t.sh;
    ox = (t.W - t.sw) >> 1;
    oy = (t.H - t.sh) >> 1;
  }
  // Told the range of the values Map will see; true when it has prepared a
  // faster way for them.
  bool Prepare(int, int) { return false; }
  void Row(int) {}
  uint16_t Colour(uint16_t p) const { return p; }
};

struct Rotated : Plain {
  template <bool>
  bool Map(int a, int b, int& sx, int& sy) const {
    sx = a;
    sy = b;
    return static_cast<unsigned>(a) < static_cast<unsigned>(sw) &&
           static_cast<unsigned>(b) < static_cast<unsigned>(sh);
  }
};

struct RotatedTiled : Plain {
  template <bool>
  bool Map(int a, int b, int& sx, int& sy) const {
    sx = Wrap(a, sw);
    sy = Wrap(b, sh);
    return true;
  }
};

// trunc(n / zoom) for every n a call can meet, worked out once per call
// instead of per pixel (the same float division, so the same results). A
// call whose range does not fit divides per pixel.
constexpr int kQuotients = 8192;
int32_t quotients[kQuotients];

struct Zoomed : Plain {
  float zoom;
  int base = 0;  // quotients[n - base] = trunc(n / zoom)
  explicit Zoomed(float z) : zoom(z) {}
  void Offsets(const Turn& t, int& ox, int& oy) {
    Plain::Offsets(t, ox, oy);
    ox = static_cast<int>((t.W - TruncFloat(static_cast<float>(t.sw) * zoom)) >> 1);
    oy = static_cast<int>((t.H - TruncFloat(static_cast<float>(t.sh) * zoom)) >> 1);
  }
  bool Prepare(int lo, int hi) {
    if (hi < lo || int64_t{hi} - lo >= kQuotients) return false;
    base = lo;
    for (int n = lo; n <= hi; ++n) {
      // Beyond +-2^30 a quotient is outside every sprite either way.
      const int64_t q = TruncFloat(static_cast<float>(n) / zoom);
      quotients[n - lo] = static_cast<int32_t>(std::clamp<int64_t>(q, -(1 << 30), 1 << 30));
    }
    return true;
  }
  template <bool Fast>
  bool Map(int a, int b, int& sx, int& sy) const {
    int64_t x, y;
    if constexpr (Fast) {
      x = quotients[a - base];
      y = quotients[b - base];
    } else {
      x = TruncFloat(static_cast<float>(a) / zoom);
      y = TruncFloat(static_cast<float>(b) / zoom);
    }
    sx = static_cast<int>(x);
    sy = static_cast<int>(y);
    return x >= 0 && x < sw && y >= 0 && y < sh;
  }
};

struct ZoomedTiled : Plain {
  float zoomX, zoomY;
  template <bool>
  bool Map(int a, int b, int& sx, int& sy) const {
    sx = Wrap(TruncFloat(static_cast<float>(a) / zoomX), sw);
    sy = Wrap(TruncFloat(static_cast<float>(b) / zoomY), sh);
    return true;
  }
};

// The floor: zoomed and tiled, the zoom changing after every row, and
// every written pixel tinted channel by channel.
struct Floor : ZoomedTiled {
  float stepX, stepY, factor[3];
  void Row(int j) {
    if (j == 0) return;
    zoomX += stepX;
    zoomY += stepY;
  }
  uint16_t Colour(uint16_t p) const {
    const Rgb5& c = effects::Channels5(p);
    const PixelFormatInfo& f = screen.format;
    const int v[3] = {c.red, c.green, c.blue};
    uint64_t out = 0;
    for (int ch = 0; ch < 3; ++ch) {
      out |= static_cast<uint64_t>(TruncFloat(static_cast<float>(v[ch]) * factor[ch]))
             << f.place5[ch];
    }
    return static_cast<uint16_t>(out);
  }
};

}  // namespace

int DrawRotate(int left, int top, int right, int bottom, int angle, int sprite, int sx1, int sy1,
               int sx2, int sy2) {
  Rotated m;
  return TurnFrame(left, top, right, bottom, angle, sprite, sx1, sy1, sx2, sy2, m);
}

int DrawRotateTiled(int left, int top, int right, int bottom, int angle, int sprite, int sx1,
                    int sy1, int sx2, int sy2) {
  RotatedTiled m;
  return TurnFrame(left, top, right, bottom, angle, sprite, sx1, sy1, sx2, sy2, m);
}

int DrawRotateZoom(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                   int sx1, int sy1, int sx2, int sy2) {
  Zoomed m(zoom);
  return TurnFrame(left, top, right, bottom, angle, sprite, sx1, sy1, sx2, sy2, m);
}

int DrawRotateZoomTiled(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                        int sx1, int sy1, int sx2, int sy2) {
  ZoomedTiled m;
  m.zoomX = m.zoomY = zoom;
  return TurnFrame(left, top, right, bottom, angle, sprite, sx1, sy1, sx2, sy2, m);
}

int DrawFloor(int left, int top, int right, int bottom, int angle, float zoomX, float zoomXStep,
              float zoomY, float zoomYStep, float redFactor, float greenFactor, float blueFactor,
              int sprite, int sx1, int sy1, int sx2, int sy2) {
  Floor m;
  m.zoomX = zoomX;
  m.zoomY = zoomY;
  m.stepX = zoomXStep;
  m.stepY = zoomYStep;
  m.factor[0] = redFactor;
  m.factor[1] = greenFactor;
  m.factor[2] = blueFactor;
  return TurnFrame(left, top, right, bottom, angle, sprite, sx1, sy1, sx2, sy2, m);
}

}  // namespace elDraw
