// Row kernels of the blend effects in GCC vector arithmetic: sixteen 16-bit
// pixels per step (two SSE2 registers, or one AVX2 register in the clone the
// processor picks at run time). Every lane computes exactly what the table
// rule computes for its pixel, so the clones and the tables agree bit for
// bit; the tests compare them on random pictures.
#include "draw/effects_kernels.h"

#include <cstring>

#include "draw/eldraw.h"

namespace elDraw::kernels {

namespace {

typedef uint16_t V __attribute__((vector_size(32)));
typedef int16_t VS __attribute__((vector_size(32)));

// (s x 171) >> 9 is s / 3 for every sum of three 5-bit values.
constexpr bool ThirdsHold() {
  for (int s = 0; s <= 93; ++s) {
    if ((s * 171) >> 9 != s / 3) return false;
  }
  return true;
}
static_assert(ThirdsHold());

template <class Vec>
inline Vec Load(const uint16_t* p) {
  Vec v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class Vec>
inline void Store(uint16_t* p, Vec v) {
  std::memcpy(p, &v, sizeof v);
}

// Where the source is 0 the destination stays.
template <class Vec>
inline Vec KeepTransparent(Vec s, Vec result, Vec d) {
  Vec opaque = reinterpret_cast<Vec>(s != 0);
  return (result & opaque) | (d & ~opaque);
}

// The per-call constants of the 5-bit rules.
struct Format5 {
  int place[3];
  uint16_t junk;  // bits outside every channel (the top bit of 555)
  Format5() {
    const PixelFormatInfo& f = screen.format;
    for (int ch = 0; ch < 3; ++ch) place[ch] = f.place5[ch];
    junk = static_cast<uint16_t>(~f.fullMask);
  }
  // The 5-bit value of one channel; a value with bits outside the channels
  // has none (its table entry is empty).
  VS Channel(V p, int ch) const {
    V valid = reinterpret_cast<V>((p & junk) == 0);
    return reinterpret_cast<VS>(((p & valid) >> place[ch]) & 31);
  }
  V Put(VS r, VS g, VS b) const {
    return reinterpret_cast<V>((r << place[0]) | (g << place[1]) | (b << place[2]));
  }
};

inline VS Max0(VS v) { return v & (v > 0); }
inline VS Min31(VS v) { return v < 31 ? v : VS{} + 31; }

// Runs `op(s, d)` over a row, a vector of pixels at a time (sixteen for
// V); the last few pixels go through the same arithmetic in a padded copy.
template <class Vec = V, class Op>
__attribute__((always_inline)) inline void Rows(const uint16_t* s, uint16_t* d, int n, Op op) {
  constexpr int lanes = sizeof(Vec) / 2;
  int i = 0;
  for (; i + lanes <= n; i += lanes) {
    Vec sv = Load<Vec>(s + i), dv = Load<Vec>(d + i);
    Store(d + i, KeepTransparent(sv, op(sv, dv), dv));
  }
  if (i < n) {
    uint16_t ts[lanes] = {}, td[lanes] = {};
    const size_t bytes = static_cast<size_t>(n - i) * 2;
    std::memcpy(ts, s + i, bytes);
    std::memcpy(td, d + i, bytes);
    Vec sv = Load<Vec>(ts), dv = Load<Vec>(td);
    Store(td, KeepTransparent(sv, op(sv, dv), dv));
    std::memcpy(d + i, td, bytes);
  }
}

// The three channels of both pixels through one 5-bit rule.
template <class Rule>
__attribute__((always_inline)) inline void Rows5(const uint16_t* s, uint16_t* d, int n, Rule rule) {
  const Format5 f;
  Rows(s, d, n, [&](V sv, V dv) {
    return f.Put(rule(f.Channel(sv, 0), f.Channel(dv, 0)), rule(f.Channel(sv, 1), f.Channel(dv, 1)),
                 rule(f.Channel(sv, 2), f.Channel(dv, 2)));
  });
}

}  // namespace

// Windows has no run-time symbol resolution for clones, and WebAssembly has
// no AVX2: there the default code alone runs, which gives the same bits.
#if defined(_WIN32) || !(defined(__x86_64__) || defined(__i386__))
#define ZB_CLONES
#else
#define ZB_CLONES __attribute__((target_clones("avx2", "default")))
#endif

ZB_CLONES void HalfRow(const uint16_t* s, uint16_t* d, int n) {
  const uint16_t half = static_cast<uint16_t>(screen.format.halfMask);
  Rows(s, d, n, [&](V sv, V dv) { return ((sv >> 1) & half) + ((dv >> 1) & half); });
}

// Eight pixels widened to 32 bits in two halves and narrowed back, with
// the plain SSE2 unpack and pack (a generic conversion between vectors of
// different widths goes lane by lane).
typedef uint16_t V8 __attribute__((vector_size(16)));
typedef int32_t I4 __attribute__((vector_size(16)));
typedef float F4 __attribute__((vector_size(16)));

inline I4 WidenLow(V8 x) {
  return reinterpret_cast<I4>(__builtin_shufflevector(x, V8{}, 0, 8, 1, 9, 2, 10, 3, 11));
}
inline I4 WidenHigh(V8 x) {
  return reinterpret_cast<I4>(__builtin_shufflevector(x, V8{}, 4, 12, 5, 13, 6, 14, 7, 15));
}
// The low 16 bits of each lane: sign-extended from bit 15 so that the
// saturating pack keeps them as they are.
inline V8 NarrowLow16(I4 low, I4 high) {
#if defined(__x86_64__) || defined(__i386__)
  return reinterpret_cast<V8>(__builtin_ia32_packssdw128((low << 16) >> 16, (high << 16) >> 16));
#else
  // Elsewhere the low halves are picked out directly (little-endian lanes).
  return __builtin_shufflevector(reinterpret_cast<V8>(low), reinterpret_cast<V8>(high), 0, 2, 4, 6, 8, 10, 12,
                                 14);
#endif
}

ZB_CLONES void AlphaRow(const uint16_t* s, uint16_t* d, int n, float ws, float wd) {
  const PixelFormatInfo& f = screen.format;
  int shift[3], maxValue[3];
  for (int ch = 0; ch < 3; ++ch) {
    shift[ch] = f.shift[ch];
    maxValue[ch] = static_cast<int>(f.maxValue[ch]);
  }
  // trunc(ws x s + wd x d) per channel of four pixels, put back natively.
  auto mix = [&](I4 si, I4 di) {
    I4 out{};
    for (int ch = 0; ch < 3; ++ch) {
      F4 a = __builtin_convertvector((si >> shift[ch]) & maxValue[ch], F4);
      F4 b = __builtin_convertvector((di >> shift[ch]) & maxValue[ch], F4);
      // Conversion to an integer truncates toward zero; no clamping.
      out |= __builtin_convertvector(ws * a + wd * b, I4) << shift[ch];
    }
    return out;
  };
  Rows<V8>(s, d, n, [&](V8 sv, V8 dv) {
    return NarrowLow16(mix(WidenLow(sv), WidenLow(dv)), mix(WidenHigh(sv), WidenHigh(dv)));
  });
}

ZB_CLONES void CrossFadeRow(const uint16_t* s, uint16_t* d, int n, int k) {
  const int16_t down = static_cast<int16_t>(k), up = static_cast<int16_t>(k - 31);
  Rows5(s, d, n, [&](VS a, VS b) { return Max0(a - down) + Max0(b + up); });
}

ZB_CLONES void AddRow(const uint16_t* s, uint16_t* d, int n, int k) {
  const int16_t down = static_cast<int16_t>(k);
  Rows5(s, d, n, [&](VS a, VS b) { return Min31(Max0(a - down) + b); });
}

ZB_CLONES void SubtractRow(const uint16_t* s, uint16_t* d, int n) {
  Rows5(s, d, n, [](VS a, VS b) { return Max0(b - a); });
}

ZB_CLONES void DarkenRow(const uint16_t* s, uint16_t* d, int n, int k) {
  const int16_t down = static_cast<int16_t>(k);
  Rows5(s, d, n, [&](VS a, VS) { return Max0(a - down); });
}

ZB_CLONES void GreyRow(const uint16_t* s, uint16_t* d, int n) {
  const Format5 f;
  Rows(s, d, n, [&](V sv, V) {
    VS sum = f.Channel(sv, 0) + f.Channel(sv, 1) + f.Channel(sv, 2);
    VS grey = reinterpret_cast<VS>(reinterpret_cast<V>(sum * 171) >> 9);
    return f.Put(grey, grey, grey);
  });
}

}  // namespace elDraw::kernels

namespace elDraw::kernels {

namespace {

// Runs `op(i, count)` over [0, n) a vector of sixteen at a time, handing it
// `count` = 16 except for the last, shorter step, where `op` works on
// padded copies.
template <class Op>
__attribute__((always_inline)) inline void Steps(int n, Op op) {
  int i = 0;
  for (; i + 16 <= n; i += 16) op(i, 16);
  if (i < n) op(i, n - i);
}

// Sixteen pixels from `p`, or fewer padded with 0.
inline V LoadSome(const uint16_t* p, int count) {
  if (count == 16) return Load<V>(p);
  uint16_t t[16] = {};
  std::memcpy(t, p, static_cast<size_t>(count) * 2);
  return Load<V>(t);
}
inline void StoreSome(uint16_t* p, V v, int count) {
  if (count == 16) return Store(p, v);
  uint16_t t[16];
  Store(t, v);
  std::memcpy(p, t, static_cast<size_t>(count) * 2);
}

}  // namespace

ZB_CLONES void FlameRow(uint16_t* up, const uint16_t* mid, const uint16_t* down,
                        const uint16_t* mean, int n, const int (&fade)[3]) {
  const Format5 f;
  VS lower[3];
  for (int ch = 0; ch < 3; ++ch) lower[ch] = fade[ch] ? VS{} - 1 : VS{};
  Steps(n, [&](int i, int count) {
    const V l = LoadSome(mid + i - 1, count), r = LoadSome(mid + i + 1, count);
    const V u = LoadSome(up + i, count), d = LoadSome(down + i, count);
    const V self = LoadSome(mid + i, count), m = LoadSome(mean + i, count);
    VS c[3];
    for (int ch = 0; ch < 3; ++ch) {
      c[ch] = (f.Channel(l, ch) + f.Channel(r, ch) + f.Channel(u, ch) + f.Channel(d, ch)) >> 2;
      c[ch] += (c[ch] > 0) & lower[ch];
    }
    StoreSome(up + i, (f.Put(c[0], c[1], c[2]) & m) | (self & ~m), count);
  });
}

ZB_CLONES void NeighbourSums(const uint16_t* row, const uint16_t* up, const uint16_t* down, int n,
                             uint16_t* red, uint16_t* green, uint16_t* blue) {
  const Format5 f;
  uint16_t* out[3] = {red, green, blue};
  Steps(n, [&](int i, int count) {
    const V r = LoadSome(row + i + 1, count), u = LoadSome(up + i, count);
    const V d = LoadSome(down + i, count);
    for (int ch = 0; ch < 3; ++ch) {
      StoreSome(out[ch] + i,
                reinterpret_cast<V>(f.Channel(r, ch) + f.Channel(u, ch) + f.Channel(d, ch)), count);
    }
  });
}

ZB_CLONES void PlaceRow(const uint16_t* red, const uint16_t* green, const uint16_t* blue,
                        uint16_t* out, int n) {
  const Format5 f;
  Steps(n, [&](int i, int count) {
    StoreSome(out + i,
              f.Put(reinterpret_cast<VS>(LoadSome(red + i, count)),
                    reinterpret_cast<VS>(LoadSome(green + i, count)),
                    reinterpret_cast<VS>(LoadSome(blue + i, count))),
              count);
  });
}

}  // namespace elDraw::kernels
