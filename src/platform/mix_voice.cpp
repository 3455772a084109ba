// The inner loops of the mixer. Positions are 32.32 fixed point in source
// frames, so a voice moves the same way at any output rate and on any
// machine; samples are mixed in float, in one fixed order, and rounded once
// at the end, so every run gives the same bits.
#include "platform/mix_voice.h"

#include <cmath>

namespace plat {
namespace {

constexpr uint64_t kUnit = 1ull << 32;
constexpr float kFraction = 1.0f / 4294967296.0f;

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
    float t = static_cast<float>(static_cast<uint32_t>(position)) * kFraction;
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
  float t = static_cast<float>(static_cast<uint32_t>(v.position)) * kFraction;
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
      DirectRun<Channels, Bits>(v.data, f, n, acc + 2 * done, v.gainLeft, v.gainRight);
      v.position += static_cast<uint64_t>(n) << 32;
      done += n;
      continue;
    }
    uint64_t limit = static_cast<uint64_t>(v.frames - 1) << 32;
    if (v.position < limit) {
      uint64_t fit = (limit - v.position + v.step - 1) / v.step;
      int n = fit < static_cast<uint64_t>(left) ? static_cast<int>(fit) : left;
      InterpolatedRun<Channels, Bits>(v.data, v.position, v.step, n, acc + 2 * done, v.gainLeft,
                                      v.gainRight);
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
