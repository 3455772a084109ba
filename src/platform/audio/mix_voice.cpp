// The inner loops of the mixer. Positions are 32.32 fixed point in source
// frames, so a voice moves the same way at any output rate and on any
// machine; samples are mixed in float, in one fixed order, and rounded once
// at the end, so every run gives the same bits.
#include "platform/audio/mix_voice.h"

#if defined(__x86_64__) || defined(__i386__)
#define ZOLBECK_MIX_AVX2 1
#include <immintrin.h>
#else
#define ZOLBECK_MIX_AVX2 0
#endif

#include <cmath>

namespace plat {
namespace {

constexpr uint64_t kUnit = 1ull << 32;
// The fraction between two frames keeps 24 bits, exactly what a float holds.
constexpr float kFraction = 1.0f / 16777216.0f;
inline float Fraction(uint64_t position) {
  return static_cast<float>(static_cast<int32_t>(static_cast<uint32_t>(position) >> 8)) * kFraction;
}

// One sample of channel `c` of frame `i`, on the 16-bit scale.
template <int Bits>
inline float Read(const uint8_t* data, uint32_t index) {
  if constexpr (Bits == 8) {
    return static_cast<float>((static_cast<int>(data[index]) - 128) * 256);
  } else {
    const uint8_t* p = data + 2 * static_cast<size_t>(index);
    return static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
  }
}

// Frames [first, first + n) at the voice's own rate: no interpolation.
template <int Channels, int Bits>
void DirectRun(const uint8_t* data, uint32_t first, int n, float* acc, float gl, float gr) {
  for (int i = 0; i < n; ++i) {
    uint32_t f = first + static_cast<uint32_t>(i);
    float l = Read<Bits>(data, f * Channels);
    float r = Channels == 2 ? Read<Bits>(data, f * Channels + 1) : l;
    acc[2 * i] += l * gl;
    acc[2 * i + 1] += r * gr;
  }
}

// n output frames from `position`, every frame and its successor inside the
// buffer: linear interpolation between them.
template <int Channels, int Bits>
void InterpolatedRun(const uint8_t* data, uint64_t position, uint64_t step, int n, float* acc,
                     float gl, float gr) {
  for (int i = 0; i < n; ++i) {
    uint32_t f = static_cast<uint32_t>(position >> 32);
    float t = Fraction(position);
    float l0 = Read<Bits>(data, f * Channels);
    float l1 = Read<Bits>(data, (f + 1) * Channels);
    float l = l0 + (l1 - l0) * t;
    float r = l;
    if constexpr (Channels == 2) {
      float r0 = Read<Bits>(data, f * Channels + 1);
      float r1 = Read<Bits>(data, (f + 1) * Channels + 1);
      r = r0 + (r1 - r0) * t;
    }
    acc[2 * i] += l * gl;
    acc[2 * i + 1] += r * gr;
    position += step;
  }
}

#if ZOLBECK_MIX_AVX2
// Eight frames of the source from `first` as floats on the 16-bit scale,
// left and right apart (right = left for mono).
template <int Channels, int Bits>
__attribute__((target("avx2"))) inline void LoadEight(const uint8_t* data, uint32_t first, __m256& left,
                                                      __m256& right) {
  const uint8_t* p = data + static_cast<size_t>(first) * Channels * (Bits / 8);
  __m256i l, r;
  if constexpr (Bits == 8) {
    const __m256i bias = _mm256_set1_epi32(128);
    if constexpr (Channels == 1) {
      l = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
      r = l;
    } else {
      __m256i pairs = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
      l = _mm256_and_si256(pairs, _mm256_set1_epi32(0xFF));
      r = _mm256_srli_epi32(pairs, 8);
    }
    l = _mm256_slli_epi32(_mm256_sub_epi32(l, bias), 8);
    r = _mm256_slli_epi32(_mm256_sub_epi32(r, bias), 8);
  } else if constexpr (Channels == 1) {
    l = r = _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  } else {
    __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    l = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
    r = _mm256_srai_epi32(pairs, 16);
  }
  left = _mm256_cvtepi32_ps(l);
  right = _mm256_cvtepi32_ps(r);
}

inline __m128 Lerp(__m128 a, __m128 b, __m128 t) { return _mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(b, a), t)); }

// Lanes `lanes` (0 to 7) of `v`.
__attribute__((target("avx2"))) inline __m128 Pick(__m256 v, __m128i lanes) {
  return _mm256_castps256_ps128(_mm256_permutevar8x32_ps(v, _mm256_castsi128_si256(lanes)));
}

// The same as InterpolatedRun, four frames at a time with AVX2, for steps of
// at most 2: the four frames and their successors lie within eight source
// frames, read with one load and picked out by lane. Each lane does the same
// operations in the same order, so the bits are the same. The load may read
// up to seven frames past the last successor; buffers keep that as padding.
template <int Channels, int Bits>
__attribute__((target("avx2"))) void InterpolatedRunAvx2(const uint8_t* data, uint64_t position,
                                                          uint64_t step, int n, float* acc, float gl,
                                                          float gr) {
  const __m256i evenFirst = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  const __m256i lowHalf = _mm256_set1_epi64x(0xFFFFFFFFll);
  const __m256i offsets = _mm256_setr_epi64x(0, static_cast<long long>(step), static_cast<long long>(2 * step),
                                             static_cast<long long>(3 * step));
  const __m128i one = _mm_set1_epi32(1);
  const __m128 scale = _mm_set1_ps(kFraction), gainL = _mm_set1_ps(gl), gainR = _mm_set1_ps(gr);
  int blocks = n / 4;
  for (int b = 0; b < blocks; ++b, acc += 8, position += 4 * step) {
    uint32_t first = static_cast<uint32_t>(position >> 32);
    // Positions relative to the first frame: whole frames and 24-bit fractions.
    __m256i rel = _mm256_add_epi64(_mm256_set1_epi64x(static_cast<long long>(position & 0xFFFFFFFFu)), offsets);
    __m128i whole = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_srli_epi64(rel, 32), evenFirst));
    __m128i frac = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_srli_epi64(_mm256_and_si256(rel, lowHalf), 8), evenFirst));
    __m128 t = _mm_mul_ps(_mm_cvtepi32_ps(frac), scale);
    __m256 left, right;
    LoadEight<Channels, Bits>(data, first, left, right);
    __m128i next = _mm_add_epi32(whole, one);
    __m128 l = Lerp(Pick(left, whole), Pick(left, next), t);
    __m128 r = Channels == 2 ? Lerp(Pick(right, whole), Pick(right, next), t) : l;
    __m128 wl = _mm_mul_ps(l, gainL), wr = _mm_mul_ps(r, gainR);
    _mm_storeu_ps(acc, _mm_add_ps(_mm_loadu_ps(acc), _mm_unpacklo_ps(wl, wr)));
    _mm_storeu_ps(acc + 4, _mm_add_ps(_mm_loadu_ps(acc + 4), _mm_unpackhi_ps(wl, wr)));
  }
  InterpolatedRun<Channels, Bits>(data, position, step, n - 4 * blocks, acc, gl, gr);
}

// DirectRun for 16-bit sound with AVX2: four frames at a time, the same
// operations on each lane.
template <int Channels>
__attribute__((target("avx2"))) void DirectRun16Avx2(const uint8_t* data, uint32_t first, int n, float* acc,
                                                      float gl, float gr) {
  const __m256 gains = _mm256_setr_ps(gl, gr, gl, gr, gl, gr, gl, gr);
  const uint8_t* p = data + static_cast<size_t>(first) * Channels * 2;
  int blocks = n / 4;
  for (int b = 0; b < blocks; ++b, acc += 8, p += 8 * Channels) {
    __m256 s;
    if constexpr (Channels == 2) {
      s = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    } else {
      __m128 m = _mm_cvtepi32_ps(_mm_cvtepi16_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
      s = _mm256_setr_m128(_mm_unpacklo_ps(m, m), _mm_unpackhi_ps(m, m));
    }
    _mm256_storeu_ps(acc, _mm256_add_ps(_mm256_loadu_ps(acc), _mm256_mul_ps(s, gains)));
  }
  DirectRun<Channels, 16>(data, first + 4 * static_cast<uint32_t>(blocks), n - 4 * blocks, acc, gl, gr);
}

// Asked once at start; the processor facts must be read in before they are
// asked for, since this may run before the runtime's own start-up does it.
bool HaveAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
const bool haveAvx2 = HaveAvx2();
#else
// Elsewhere (WebAssembly) the plain loops do all the work, with the same bits.
constexpr bool haveAvx2 = false;
template <int Channels, int Bits>
void InterpolatedRunAvx2(const uint8_t* data, uint64_t position, uint64_t step, int n, float* acc, float gl,
                         float gr) {
  InterpolatedRun<Channels, Bits>(data, position, step, n, acc, gl, gr);
}
template <int Channels>
void DirectRun16Avx2(const uint8_t* data, uint32_t first, int n, float* acc, float gl, float gr) {
  DirectRun<Channels, 16>(data, first, n, acc, gl, gr);
}
#endif

// The frame after `f`: the first again in a looping buffer; the last frame
// itself at the end of one played once, so it fades to nothing new.
inline uint32_t Successor(const MixVoice& v, uint32_t f) {
  if (f + 1 < v.frames) return f + 1;
  return v.looping ? 0 : f;
}

// One output frame through the general path (any format, any position).
void OneFrame(const MixVoice& v, float* acc) {
  uint32_t f = static_cast<uint32_t>(v.position >> 32);
  uint32_t g = Successor(v, f);
  float t = Fraction(v.position);
  auto read = [&](uint32_t frame, int c) {
    uint32_t index = frame * static_cast<uint32_t>(v.channels) + static_cast<uint32_t>(c);
    return v.bits == 8 ? Read<8>(v.data, index) : Read<16>(v.data, index);
  };
  float side[2];
  for (int c = 0; c < 2; ++c) {
    int source = v.channels == 2 ? c : 0;
    float s0 = read(f, source);
    float s1 = read(g, source);
    side[c] = t == 0.0f ? s0 : s0 + (s1 - s0) * t;
  }
  acc[0] += side[0] * v.gainLeft;
  acc[1] += side[1] * v.gainRight;
}

// Wraps or ends the voice when its position has left the buffer; false when
// it has stopped.
bool KeepInside(MixVoice& v) {
  if ((v.position >> 32) < v.frames) return true;
  if (v.looping && v.frames > 0) {
    v.position %= static_cast<uint64_t>(v.frames) << 32;
    return true;
  }
  v.playing = false;
  v.position = 0;
  return false;
}

template <int Channels, int Bits>
void MixRuns(MixVoice& v, float* acc, int frames) {
  int done = 0;
  while (done < frames && KeepInside(v)) {
    uint32_t f = static_cast<uint32_t>(v.position >> 32);
    int left = frames - done;
    if (v.step == kUnit && static_cast<uint32_t>(v.position) == 0) {
      uint32_t run = v.frames - f;
      int n = run < static_cast<uint32_t>(left) ? static_cast<int>(run) : left;
      if (haveAvx2 && Bits == 16) {
        DirectRun16Avx2<Channels>(v.data, f, n, acc + 2 * done, v.gainLeft, v.gainRight);
      } else {
        DirectRun<Channels, Bits>(v.data, f, n, acc + 2 * done, v.gainLeft, v.gainRight);
      }
      v.position += static_cast<uint64_t>(n) << 32;
      done += n;
      continue;
    }
    uint64_t limit = static_cast<uint64_t>(v.frames - 1) << 32;
    if (v.position < limit) {
      uint64_t fit = (limit - v.position + v.step - 1) / v.step;
      int n = fit < static_cast<uint64_t>(left) ? static_cast<int>(fit) : left;
      if (haveAvx2 && v.step <= 2 * kUnit) {
        InterpolatedRunAvx2<Channels, Bits>(v.data, v.position, v.step, n, acc + 2 * done, v.gainLeft,
                                            v.gainRight);
      } else {
        InterpolatedRun<Channels, Bits>(v.data, v.position, v.step, n, acc + 2 * done, v.gainLeft,
                                        v.gainRight);
      }
      v.position += v.step * static_cast<uint64_t>(n);
      done += n;
      continue;
    }
    OneFrame(v, acc + 2 * done);
    v.position += v.step;
    ++done;
  }
  KeepInside(v);  // a voice that has just played its last frame stops now
}

}  // namespace

uint64_t MixStep(uint32_t frequency, int outputRate) {
  if (outputRate <= 0) return kUnit;
  return (static_cast<uint64_t>(frequency) << 32) / static_cast<uint64_t>(outputRate);
}

float VolumeGain(int volume) {
  if (volume <= -10000) return 0.0f;
  if (volume >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

void PanGains(int pan, float& left, float& right) {
  left = pan > 0 ? VolumeGain(-pan) : 1.0f;
  right = pan < 0 ? VolumeGain(pan) : 1.0f;
}

void MixVoiceInto(MixVoice& v, float* acc, int frames) {
  if (!v.playing || v.frames == 0 || !v.data) return;
  if (v.channels == 2) {
    if (v.bits == 16) MixRuns<2, 16>(v, acc, frames);
    else MixRuns<2, 8>(v, acc, frames);
  } else {
    if (v.bits == 16) MixRuns<1, 16>(v, acc, frames);
    else MixRuns<1, 8>(v, acc, frames);
  }
}

void MixVoiceReference(MixVoice& v, float* acc, int frames) {
  if (!v.playing || v.frames == 0 || !v.data) return;
  for (int i = 0; i < frames && KeepInside(v); ++i) {
    OneFrame(v, acc + 2 * i);
    v.position += v.step;
  }
  KeepInside(v);
}

void SaturateOutput(const float* acc, int16_t* out, int frames, bool mono, bool eightBit) {
  for (int i = 0; i < 2 * frames; i += 2) {
    float l = acc[i], r = acc[i + 1];
    if (mono) l = r = (l + r) * 0.5f;
    for (int c = 0; c < 2; ++c) {
      float v = c == 0 ? l : r;
      v = v > 32767.0f ? 32767.0f : (v < -32768.0f ? -32768.0f : v);
      int s = static_cast<int>(v);
      if (eightBit) s = (s >> 8) * 256;  // the top byte, rounded toward -inf
      out[i + c] = static_cast<int16_t>(s);
    }
  }
}

}  // namespace plat
