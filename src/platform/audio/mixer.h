// The mixer's side that backends, tests and benchmarks see. Internal to
// src/platform and its tests: the library calls audio.h.
#pragma once
#include <cstdint>

#include "platform/audio/audio.h"

namespace plat {

// The most frames the mixer produces in one pass; a device asking for more
// is served in several passes.
constexpr int kMixPeriod = 512;

// Mixes `frames` stereo 16-bit frames of output (any number) and appends them
// to the dump. The devices call this: SDL's audio thread, or the virtual
// device of the headless backend as its clock advances.
void MixOutput(int16_t* out, int frames);

// The headless backend's virtual device: it plays from the moment it opens
// and produces one frame for each 1/rate second of the virtual clock.
void VirtualDeviceOpen(int rate, uint64_t nowUs);
void VirtualDeviceClose();
void VirtualDeviceAdvance(uint64_t nowUs);
// The clock was set, not run: the device goes on from the new time without
// playing the difference.
void VirtualDeviceRebase(uint64_t nowUs);

// The SDL device (sdl_audio.cpp): false when no real device can be opened.
bool SdlAudioOpen(int rate);
void SdlAudioClose();
void SdlAudioQuit();

// Everything mixed goes to this WAVE file (16-bit stereo at the output rate)
// from Start to Stop of the platform; "" writes nothing.
bool OpenAudioDump(const char* path);
void CloseAudioDump();

// Puts the mixer back as it starts: no device, no buffers, no source.
void ResetAudio();

}  // namespace plat
