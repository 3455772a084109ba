// The sound device and its buffers, in plain types: what elSound plays on.
//
// A sound buffer holds PCM samples (8-bit unsigned or 16-bit signed, mono or
// stereo, any rate) in a ring of bytes that the caller writes through a lock.
// The mixer plays every running buffer at its own volume, pan and frequency
// into the device's output format. All calls here belong to the main thread;
// the mixer itself may run on the device's own thread.
#pragma once
#include <cstdint>

namespace plat {

struct PcmFormat {
  int channels = 2;  // 1 or 2
  int rate = 44100;  // samples per second
  int bits = 16;     // 8 (unsigned) or 16 (signed)
  int BlockAlign() const { return channels * (bits / 8); }
};

// Error codes the device reports (the values callers show in error boxes).
constexpr int kAudioInvalidParam = static_cast<int>(0x80070057);
constexpr int kAudioOutOfMemory = static_cast<int>(0x8007000E);
constexpr int kAudioNoDevice = static_cast<int>(0x88780078);

// Opens the device of the running backend in the output format given. False
// when there is no device (no sound server, a dummy driver, no hardware).
bool OpenAudio(const PcmFormat& output);
// Closes the device; buffers that still exist stop sounding.
void CloseAudio();
bool AudioIsOpen();
// The open device is a stand-in that only feeds the audio dump: there was
// no sound device, and the mix runs on the wall clock all the same.
bool AudioHeardNowhere();
// Changes the output format; 0 on success, otherwise an error code (the
// format is refused, or the device cannot be opened again in it).
int SetAudioFormat(const PcmFormat& output);
PcmFormat AudioFormat();

// Buffers are numbered from 1; 0 is no buffer.
using SoundBuffer = int;
// All sound buffers together hold at most this many bytes of samples (a
// duplicate counts nothing: it shares its source's). Creating one that
// would pass it fails with kAudioOutOfMemory.
constexpr uint64_t kMostSoundBytes = uint64_t{1} << 30;
uint64_t SoundBytesHeld();

// Creates a stopped buffer of `bytes` bytes of silence; 0 and an error code
// when the format is not playable, the table of buffers is full or the
// samples would pass kMostSoundBytes.
SoundBuffer CreateSoundBuffer(const PcmFormat& format, uint32_t bytes, int& errorCode);
// A stopped buffer on the samples of `source`, with a play position,
// volume, pan and frequency of its own: the samples are shared, not copied
// (a lock of either writes both). 0 and an error code when `source` is no
// buffer or the table of buffers is full.
SoundBuffer DuplicateSoundBuffer(SoundBuffer source, int& errorCode);
void ReleaseSoundBuffer(SoundBuffer buffer);

// A lock of `bytes` bytes from `offset` of the ring: a second region when it
// passes the end of the buffer. The samples may be written until the next
// call of any other function here.
struct LockedRegions {
  uint8_t* first = nullptr;
  uint32_t firstBytes = 0;
  uint8_t* second = nullptr;
  uint32_t secondBytes = 0;
};
bool LockSoundBuffer(SoundBuffer buffer, uint32_t offset, uint32_t bytes, LockedRegions& regions);

void PlaySoundBuffer(SoundBuffer buffer, bool looping);
// Plays the buffer once and gives it back by itself after it has finished
// (when a later buffer is created, or the platform stops).
void PlayAndLetGo(SoundBuffer buffer);
void StopSoundBuffer(SoundBuffer buffer);
bool SoundBufferPlaying(SoundBuffer buffer);
// Byte offsets: where playback is, and from where it is safe to write.
void GetSoundBufferPosition(SoundBuffer buffer, uint32_t& play, uint32_t& write);
void SetSoundBufferPosition(SoundBuffer buffer, uint32_t bytes);
// Hundredths of a decibel, -10000 (silent) to 0.
void SetSoundBufferVolume(SoundBuffer buffer, int volume);
// -10000 (left only) to 10000 (right only): hundredths of a decibel taken off
// the far side.
void SetSoundBufferPan(SoundBuffer buffer, int pan);
// Samples per second, 100 to 100000.
void SetSoundBufferFrequency(SoundBuffer buffer, uint32_t frequency);
uint32_t GetSoundBufferFrequency(SoundBuffer buffer);

// Plays `bytes` bytes of samples on a buffer of their own, written into it
// by `fill`; with `wait` returns when they have finished. Opens the device
// for the time being when it is closed.
using FillSamples = void (*)(void* user, uint8_t* into, uint32_t bytes);
void PlayPcm(const PcmFormat& format, uint32_t bytes, FillSamples fill, void* user, bool wait);

// The short sounds of our own that stand for the system's sounds.
enum class Chime { Default, Asterisk, Exclamation, Hand, Question, Start, Exit, Beep };
void PlayChime(Chime chime, bool wait);

}  // namespace plat
