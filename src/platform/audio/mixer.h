// The mixer's side that backends, tests and benchmarks see. Internal to
// src/platform and its tests: the library calls audio.h.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

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

// The stand-in the mixer opens when the backend has no device but a dump is
// being written (clock_device.cpp): a thread of its own pulls MixOutput at
// `rate` frames a second of the wall clock. False when the thread cannot
// be started.
bool ClockDeviceOpen(int rate);
void ClockDeviceClose();

// The SDL device (sdl_audio.cpp): false when no real device can be opened.
bool SdlAudioOpen(int rate);
void SdlAudioClose();
void SdlAudioQuit();

// The lock the mix runs under; the main thread takes it to change what the
// mix reads.
std::mutex& MixLock();
// Appends `frames` frames of the mix to the dump, if one is open; called
// under MixLock().
void DumpMixed(const int16_t* out, int frames);
// The device opened at `rate`: a dump that has no samples yet takes it.
// Called under MixLock().
void DumpRateKnown(int rate);
// A dump is open (main thread).
bool DumpOpen();

// Everything mixed goes to this WAVE file (16-bit stereo at the output rate)
// from Start to Stop of the platform; "" writes nothing. False, with a
// reason, when it cannot be opened or its header cannot be written. Any
// output OpenOutputFile takes will do; one that cannot seek gets a header
// of unknown length and is never written over.
bool OpenAudioDump(const char* path, std::string& reason);
void CloseAudioDump();

// The 44-byte header of a 16-bit stereo WAVE file of `frames` frames at
// `rate`. A length the 32-bit sizes cannot hold (data past 4 GiB - 36, over
// six and a half hours at 44.1 kHz), or kDumpLengthUnknown, gives both sizes
// as 0xFFFFFFFF, as a WAVE stream has them.
constexpr int kDumpHeaderSize = 44;
constexpr uint64_t kDumpLengthUnknown = ~0ull;
void MakeDumpHeader(uint8_t (&header)[kDumpHeaderSize], uint64_t frames, int rate);

// Puts the mixer back as it starts: no device, no buffers, no source.
void ResetAudio();

}  // namespace plat
