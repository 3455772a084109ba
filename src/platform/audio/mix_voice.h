// One playing buffer as the mixer sees it, and the loop that adds it to the
// output. Internal to the mixer; the benchmark and the tests use it directly.
#pragma once
#include <cstdint>

namespace plat {

struct MixVoice {
  const uint8_t* data = nullptr;
  uint32_t frames = 0;      // whole sample frames in the buffer
  int channels = 2;         // 1 or 2
  int bits = 16;            // 8 or 16
  uint64_t position = 0;    // in frames, 32.32 fixed point
  uint64_t step = 1ull << 32;  // source frames per output frame, 32.32
  float gainLeft = 1.0f, gainRight = 1.0f;
  bool playing = false;
  bool looping = false;
};

// The step of a buffer played at `frequency` into output of `outputRate`.
uint64_t MixStep(uint32_t frequency, int outputRate);

// The gain of a volume in hundredths of a decibel; -10000 is silence.
float VolumeGain(int volume);
// The left and right gains of a pan: the far side loses |pan| hundredths of
// a decibel.
void PanGains(int pan, float& left, float& right);

// Adds `frames` frames of the voice into the interleaved stereo float
// accumulator and moves it on; a buffer played once stops at its end with
// its position back at 0.
void MixVoiceInto(MixVoice& voice, float* accumulator, int frames);

// The plain reference of the same: one output frame at a time, every sample
// read through the general path. Tests compare the two.
void MixVoiceReference(MixVoice& voice, float* accumulator, int frames);

// Accumulated float frames to 16-bit output, saturating. `mono` sends the
// average of both sides to each; `eightBit` keeps the top 8 bits only.
void SaturateOutput(const float* accumulator, int16_t* out, int frames, bool mono, bool eightBit);

}  // namespace plat
