// The picture's crisp scaling (see picture_scale.h): the plain reference and
// the scaler that keeps its rows scaled across and redoes what changed.
#include "platform/image/picture_scale.h"

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plat {

ScaleTap AxisTap(int x, int n, int out) {
  ScaleTap tap;
  if (n <= 0 || out <= 0) return tap;
  const int64_t k = WholeScaleFor(n, out);
  const int64_t enlarged = n * k;
  // The output pixel's centre on the enlarged axis, in 256ths, less half a
  // pixel: the position between the two enlarged pixels it blends.
  int64_t at = (2 * int64_t{x} + 1) * enlarged * 256 / (2 * int64_t{out}) - 128;
  if (at < 0) at = 0;
  int64_t pixel = at >> 8;
  int64_t weight = at & 255;
  if (pixel >= enlarged - 1) {
    pixel = enlarged - 1;
    weight = 0;
  }
  tap.first = static_cast<int32_t>(pixel / k);
  tap.second = static_cast<int32_t>((pixel + (weight > 0 ? 1 : 0)) / k);
  // Two enlarged pixels of the same picture pixel blend to that pixel.
  tap.weight = tap.second == tap.first ? 0 : static_cast<uint32_t>(weight);
  return tap;
}

void ScalePictureReference(const uint32_t* picture, int w, int h, int pitch, uint32_t* out, int outW,
                           int outH, int outPitch) {
  auto at = [&](int x, int y) {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(picture) +
                                             static_cast<size_t>(y) * pitch)[x];
  };
  auto blend = [](uint32_t a, uint32_t b, uint32_t weight) {
    return (a * (256 - weight) + b * weight + 128) >> 8;
  };
  for (int y = 0; y < outH; ++y) {
    const ScaleTap down = AxisTap(y, h, outH);
    auto* row = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<size_t>(y) * outPitch);
    for (int x = 0; x < outW; ++x) {
      const ScaleTap across = AxisTap(x, w, outW);
      uint32_t pixel = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        auto channel = [&](int px, int py) { return (at(px, py) >> shift) & 0xFF; };
        const uint32_t top = blend(channel(across.first, down.first), channel(across.second, down.first),
                                   across.weight);
        const uint32_t bottom = blend(channel(across.first, down.second),
                                      channel(across.second, down.second), across.weight);
        pixel |= blend(top, bottom, down.weight) << shift;
      }
      row[x] = pixel;
    }
  }
}

namespace {

// (a x (256 - weight) + b x weight + 128) / 256 for each byte, two bytes per
// multiplication: no field's sum reaches the next field.
inline uint32_t BlendPixel(uint32_t a, uint32_t b, uint32_t weight) {
  const uint32_t keep = 256 - weight;
  const uint32_t rb = (((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8) & 0xFF00FF;
  const uint32_t ag = (((a >> 8) & 0xFF00FF) * keep + ((b >> 8) & 0xFF00FF) * weight + 0x800080) & 0xFF00FF00;
  return rb | ag;
}

#if defined(__SSE2__)
// Two pixels widened to 16-bit channels, blended by 16-bit weights: the
// products stay below 65536 and their sum too, so unsigned 16-bit lanes
// hold them.
inline __m128i Blend16(__m128i a, __m128i b, __m128i weight) {
  const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), weight);
  const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, keep), _mm_mullo_epi16(b, weight));
  return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

inline __m128i Blend4(__m128i a, __m128i b, __m128i weightLo, __m128i weightHi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = Blend16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), weightLo);
  const __m128i hi = Blend16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), weightHi);
  return _mm_packus_epi16(lo, hi);
}
#endif

// Output row pixels [lo, hi) from two rows scaled across, blended by one weight.
void Down(const uint32_t* top, const uint32_t* bottom, uint32_t weight, uint32_t* out, int lo, int hi) {
  int x = lo;
#if defined(__SSE2__)
  const __m128i w = _mm_set1_epi16(static_cast<int16_t>(weight));
  for (; x + 4 <= hi; x += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + x));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), Blend4(a, b, w, w));
  }
#endif
  for (; x < hi; ++x) out[x] = BlendPixel(top[x], bottom[x], weight);
}

}  // namespace

void PictureScaler::Across(const uint32_t* row, uint32_t* out, int lo, int hi) const {
  const ScaleTap* taps = cols_.data();
  int x = lo;
  if (outW_ == w_) {
    std::memcpy(out + lo, row + lo, static_cast<size_t>(hi - lo) * 4);
    return;
  }
  if (nearestX_) {
    for (; x < hi; ++x) out[x] = row[taps[x].first];
    return;
  }
#if defined(__SSE2__)
  for (; x + 4 <= hi; x += 4) {
    const ScaleTap* t = taps + x;
    const __m128i a = _mm_set_epi32(static_cast<int>(row[t[3].first]), static_cast<int>(row[t[2].first]),
                                    static_cast<int>(row[t[1].first]), static_cast<int>(row[t[0].first]));
    const __m128i b = _mm_set_epi32(static_cast<int>(row[t[3].second]), static_cast<int>(row[t[2].second]),
                                    static_cast<int>(row[t[1].second]), static_cast<int>(row[t[0].second]));
    const auto* weights = reinterpret_cast<const __m128i*>(colWeights_.data() + 4 * static_cast<size_t>(x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     Blend4(a, b, _mm_loadu_si128(weights), _mm_loadu_si128(weights + 1)));
  }
#endif
  for (; x < hi; ++x) out[x] = BlendPixel(row[taps[x].first], row[taps[x].second], taps[x].weight);
}

bool PictureScaler::Reserve(int w, int h, int outW, int outH) {
  if (w <= 0 || h <= 0 || outW <= 0 || outH <= 0) return false;
  try {
    cols_.assign(static_cast<size_t>(outW), ScaleTap{});
    colWeights_.assign(static_cast<size_t>(outW) * 4, 0);
    rows_.assign(static_cast<size_t>(outH), ScaleTap{});
    colReachLo_.assign(static_cast<size_t>(w), 0);
    colReachHi_.assign(static_cast<size_t>(w), 0);
    marks_.assign(static_cast<size_t>(h), Span{});
    redone_.assign(static_cast<size_t>(h), Span{});
    across_.assign(static_cast<size_t>(h) * static_cast<size_t>(outW), 0);
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }
  reservedW_ = w;
  reservedH_ = h;
  reservedOutW_ = outW;
  reservedOutH_ = outH;
  w_ = h_ = outW_ = outH_ = 0;
  return true;
}

void PictureScaler::Release() {
  *this = PictureScaler{};
}

namespace {

// For each picture column, where the output columns reading it (or anything
// beyond it on that side) begin and end.
void PlanReach(int n, int out, const ScaleTap* taps, int32_t* reachLo, int32_t* reachHi) {
  // Both taps only grow with x, so one walk finds each bound.
  int x = 0;
  for (int s = 0; s < n; ++s) {
    while (x < out && taps[x].second < s) ++x;
    reachLo[s] = x;
  }
  x = out;
  for (int s = n - 1; s >= 0; --s) {
    while (x > 0 && taps[x - 1].first > s) --x;
    reachHi[s] = x;
  }
}

}  // namespace

bool PictureScaler::Plan(int w, int h, int outW, int outH) {
  if (w == w_ && h == h_ && outW == outW_ && outH == outH_) return true;
  if (w <= 0 || h <= 0 || outW <= 0 || outH <= 0 || w > reservedW_ || h > reservedH_ ||
      outW > reservedOutW_ || outH > reservedOutH_) {
    return false;
  }
  w_ = w;
  h_ = h;
  outW_ = outW;
  outH_ = outH;
  for (int x = 0; x < outW; ++x) cols_[x] = AxisTap(x, w, outW);
  for (int y = 0; y < outH; ++y) rows_[y] = AxisTap(y, h, outH);
  PlanReach(w, outW, cols_.data(), colReachLo_.data(), colReachHi_.data());
  nearestX_ = true;
  for (int x = 0; x < outW; ++x) {
    const auto weight = static_cast<uint16_t>(cols_[x].weight);
    for (int c = 0; c < 4; ++c) colWeights_[4 * static_cast<size_t>(x) + c] = weight;
    if (weight != 0) nearestX_ = false;
  }
  MarkAll();
  return true;
}

void PictureScaler::MarkRow(int y, int x0, int x1) {
  if (y < 0 || y >= h_) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, w_);
  if (x0 >= x1) return;
  Span& mark = marks_[y];
  if (mark.lo >= mark.hi) {
    mark = Span{x0, x1};
  } else {
    mark.lo = std::min(mark.lo, x0);
    mark.hi = std::max(mark.hi, x1);
  }
}

void PictureScaler::MarkAll() {
  for (int y = 0; y < h_; ++y) marks_[y] = Span{0, w_};
}

int PictureScaler::Scale(const uint32_t* picture, int pitch, uint32_t* out, int outPitch, Rect* rects,
                         int maxRects) {
  if (w_ <= 0) return 0;
  // Across: every changed picture row again, over the output columns its
  // changed pixels reach.
  for (int y = 0; y < h_; ++y) {
    Span& mark = marks_[y];
    Span& redone = redone_[y];
    redone = Span{};
    if (mark.lo >= mark.hi) continue;
    redone = Span{colReachLo_[mark.lo], colReachHi_[mark.hi - 1]};
    mark = Span{};
    if (redone.lo >= redone.hi) continue;
    const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(picture) +
                                                        static_cast<size_t>(y) * pitch);
    Across(row, across_.data() + static_cast<size_t>(y) * outW_, redone.lo, redone.hi);
  }
  // Down: every output row one of whose two picture rows was redone, over
  // the columns redone; consecutive rows gather into rectangles.
  int count = 0;
  Rect band{};
  bool open = false;
  auto close = [&]() {
    if (!open) return;
    open = false;
    if (maxRects <= 0) return;
    if (count < maxRects) {
      rects[count++] = band;
      return;
    }
    Rect& last = rects[count - 1];
    last.left = std::min(last.left, band.left);
    last.right = std::max(last.right, band.right);
    last.bottom = band.bottom;
  };
  for (int y = 0; y < outH_; ++y) {
    const ScaleTap& tap = rows_[y];
    Span span = redone_[tap.first];
    if (tap.weight != 0) {
      const Span& other = redone_[tap.second];
      if (span.lo >= span.hi) {
        span = other;
      } else if (other.lo < other.hi) {
        span.lo = std::min(span.lo, other.lo);
        span.hi = std::max(span.hi, other.hi);
      }
    }
    if (span.lo >= span.hi) {
      close();
      continue;
    }
    auto* row = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<size_t>(y) * outPitch);
    const uint32_t* top = across_.data() + static_cast<size_t>(tap.first) * outW_;
    if (tap.weight == 0) {
      std::memcpy(row + span.lo, top + span.lo, static_cast<size_t>(span.hi - span.lo) * 4);
    } else {
      Down(top, across_.data() + static_cast<size_t>(tap.second) * outW_, tap.weight, row, span.lo, span.hi);
    }
    if (open) {
      band.left = std::min(band.left, static_cast<int>(span.lo));
      band.right = std::max(band.right, static_cast<int>(span.hi));
      band.bottom = y + 1;
    } else {
      band = Rect{span.lo, y, span.hi, y + 1};
      open = true;
    }
  }
  close();
  return count;
}

}  // namespace plat
