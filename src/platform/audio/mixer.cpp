// The sound buffers and the mix of all of them into the device's output.
//
// The main thread changes buffers under `mixLock`; the device takes the same
// lock for one pass of at most kMixPeriod frames, so neither side waits
// longer than that. Buffer memory is allocated when a buffer is created, on
// the main thread; the mix itself allocates nothing.
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/audio/audio_source.h"
#include "platform/audio/audio_source_pull.h"
#include "platform/backend.h"
#include "platform/audio/mix_voice.h"
#include "platform/audio/mixer.h"

namespace plat {
namespace {

// 70 objects of up to 10 buffers, and room for the short sounds of our own.
constexpr int kMaxBuffers = 768;
constexpr uint32_t kPadding = 32;  // eight frames of 16-bit stereo

struct Buffer {
  bool used = false;
  PcmFormat format;
  uint32_t bytes = 0;
  std::shared_ptr<uint8_t[]> memory;  // shared by a buffer and its duplicates
  MixVoice voice;
  uint32_t frequency = 0;
  int volume = 0, pan = 0;
  bool letGo = false;  // released once it has stopped
};

std::mutex mixLock;
Buffer buffers[kMaxBuffers];
int usedEnd = 0;  // one past the highest buffer in use: the mix looks no further
bool deviceOpen = false;
bool standIn = false;  // the open device is the clock's stand-in (clock_device.cpp)
PcmFormat output;  // the output format while the device is open, else the last
AudioSourceRender sourceRender = nullptr;
void* sourceUser = nullptr;

// The headless backend's virtual device.
bool virtualOpen = false;
uint64_t virtualStartUs = 0;
uint64_t virtualFrames = 0;

// The bytes of samples all buffers hold, each block counted once (not its
// padding). Blocks are made and freed on the main thread only.
uint64_t bytesHeld = 0;

// A block of `bytes` bytes of sample memory and its padding, filled with
// `silence`; null when it would pass kMostSoundBytes or there is no memory.
std::shared_ptr<uint8_t[]> NewSamples(uint32_t bytes, uint8_t silence) {
  if (bytesHeld + bytes > kMostSoundBytes) return nullptr;
  size_t size = size_t{bytes} + kPadding;
  uint8_t* block = new (std::nothrow) uint8_t[size];
  if (!block) return nullptr;
  std::memset(block, silence, size);
  bytesHeld += bytes;
  return std::shared_ptr<uint8_t[]>(block, [bytes](uint8_t* p) {
    bytesHeld -= bytes;
    delete[] p;
  });
}

// Set while this thread mixes (and holds the mixer's lock).
thread_local bool insideMix = false;
struct InsideMix {
  InsideMix() { insideMix = true; }
  ~InsideMix() { insideMix = false; }
};

Buffer* Find(SoundBuffer id) {
  if (id < 1 || id > kMaxBuffers || !buffers[id - 1].used) return nullptr;
  return &buffers[id - 1];
}

void UpdateStep(Buffer& b) {
  b.voice.step = MixStep(b.frequency, output.rate);
}

bool FormatPlayable(const PcmFormat& f) {
  return (f.channels == 1 || f.channels == 2) && (f.bits == 8 || f.bits == 16) && f.rate >= 100 &&
         f.rate <= 100000;
}

// The backend's device; without one, while a dump is written, the clock's
// stand-in, so that the dump still holds the whole run.
bool OpenDevice(int rate) {
  Backend* backend = ActiveBackend();
  if (!backend) return false;
  standIn = false;
  if (backend->OpenAudio(rate)) return true;
  standIn = DumpOpen() && ClockDeviceOpen(rate);
  return standIn;
}

}  // namespace

std::mutex& MixLock() { return mixLock; }

// --- The mix --------------------------------------------------------------------

void MixOutput(int16_t* out, int frames) {
  static float acc[2 * kMixPeriod];
  static int16_t music[2 * kMixPeriod];
  std::lock_guard<std::mutex> hold(mixLock);
  InsideMix inside;
  while (frames > 0) {
    int n = frames < kMixPeriod ? frames : kMixPeriod;
    std::memset(acc, 0, sizeof(float) * 2 * static_cast<size_t>(n));
    for (int i = 0; i < usedEnd; ++i) {
      Buffer& b = buffers[i];
      if (b.used && b.voice.playing) MixVoiceInto(b.voice, acc, n);
    }
    if (sourceRender) {
      std::memset(music, 0, sizeof(int16_t) * 2 * static_cast<size_t>(n));
      sourceRender(sourceUser, music, n);
      for (int i = 0; i < 2 * n; ++i) acc[i] += static_cast<float>(music[i]);
    }
    SaturateOutput(acc, out, n, output.channels == 1, output.bits == 8);
    DumpMixed(out, n);
    out += 2 * n;
    frames -= n;
  }
}

void VirtualDeviceOpen(int, uint64_t nowUs) {
  virtualOpen = true;
  virtualStartUs = nowUs;
  virtualFrames = 0;
}

void VirtualDeviceClose() { virtualOpen = false; }

void VirtualDeviceRebase(uint64_t nowUs) {
  if (!virtualOpen) return;
  uint64_t played = virtualFrames * 1000000u / static_cast<uint64_t>(output.rate);
  virtualStartUs = nowUs >= played ? nowUs - played : 0;
  virtualFrames = (nowUs - virtualStartUs) * static_cast<uint64_t>(output.rate) / 1000000u;
}

void VirtualDeviceAdvance(uint64_t nowUs) {
  static int16_t scratch[2 * kMixPeriod];
  // The music may post a message from inside the mix, and posting reads the
  // clock, which comes back here: that reading plays nothing, and the outer
  // one goes on where it was.
  if (insideMix || !virtualOpen || nowUs < virtualStartUs) return;
  uint64_t due = (nowUs - virtualStartUs) * static_cast<uint64_t>(output.rate) / 1000000u;
  // A jump of the clock by more than ten seconds plays only the last ten,
  // as a device that has fallen that far behind would drop the rest.
  uint64_t most = 10 * static_cast<uint64_t>(output.rate);
  if (due > virtualFrames + most) virtualFrames = due - most;
  while (virtualFrames < due) {
    uint64_t n = due - virtualFrames;
    if (n > kMixPeriod) n = kMixPeriod;
    MixOutput(scratch, static_cast<int>(n));
    virtualFrames += n;
  }
}

// --- The device -----------------------------------------------------------------

bool OpenAudio(const PcmFormat& format) {
  if (deviceOpen) CloseAudio();
  if (!FormatPlayable(format)) return false;
  output = format;
  {
    // Before the device starts: its first pass may come at once.
    std::lock_guard<std::mutex> hold(mixLock);
    DumpRateKnown(format.rate);
  }
  if (!OpenDevice(format.rate)) return false;
  std::lock_guard<std::mutex> hold(mixLock);
  deviceOpen = true;
  for (Buffer& b : buffers) {
    if (b.used) UpdateStep(b);
  }
  return true;
}

void CloseAudio() {
  if (!deviceOpen) return;
  // Outside the lock: closing waits for a pass of the device that holds it.
  if (standIn) {
    ClockDeviceClose();
  } else if (Backend* backend = ActiveBackend()) {
    backend->CloseAudio();
  }
  std::lock_guard<std::mutex> hold(mixLock);
  deviceOpen = false;
  standIn = false;
}

bool AudioIsOpen() { return deviceOpen; }

bool AudioHeardNowhere() { return deviceOpen && standIn; }

int SetAudioFormat(const PcmFormat& format) {
  if (!FormatPlayable(format)) return kAudioInvalidParam;
  if (deviceOpen && format.rate == output.rate) {
    std::lock_guard<std::mutex> hold(mixLock);
    output = format;
    return 0;
  }
  PcmFormat before = output;
  if (OpenAudio(format)) return 0;
  OpenAudio(before);
  return kAudioNoDevice;
}

PcmFormat AudioFormat() { return output; }

int AudioOutputRate() { return deviceOpen ? output.rate : 0; }

void SetAudioSource(AudioSourceRender render, void* user) {
  std::lock_guard<std::mutex> hold(mixLock);
  sourceRender = render;
  sourceUser = user;
}

void PullAudioSource(int16_t* out, int frames) {
  std::lock_guard<std::mutex> hold(mixLock);
  InsideMix inside;
  std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
  if (sourceRender) sourceRender(sourceUser, out, frames);
}

// --- Buffers --------------------------------------------------------------------

uint64_t SoundBytesHeld() { return bytesHeld; }

namespace {

// Gives back the buffers played once and let go that have finished, and
// finds a free entry; -1 when the table is full.
int FreeEntry() {
  for (int i = 0; i < usedEnd; ++i) {
    if (buffers[i].used && buffers[i].letGo && !buffers[i].voice.playing) ReleaseSoundBuffer(i + 1);
  }
  for (int i = 0; i < kMaxBuffers; ++i) {
    if (!buffers[i].used) return i;
  }
  return -1;
}

// Makes entry `index` a stopped buffer of `format` on `memory`.
SoundBuffer Install(int index, const PcmFormat& format, uint32_t bytes, std::shared_ptr<uint8_t[]> memory) {
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer& b = buffers[index];
  b.format = format;
  b.bytes = bytes;
  b.memory = std::move(memory);
  b.voice = MixVoice{};
  b.letGo = false;
  b.voice.data = b.memory.get();
  b.voice.frames = bytes / static_cast<uint32_t>(format.BlockAlign());
  b.voice.channels = format.channels;
  b.voice.bits = format.bits;
  b.frequency = static_cast<uint32_t>(format.rate);
  b.volume = b.pan = 0;
  UpdateStep(b);
  b.used = true;
  if (index + 1 > usedEnd) usedEnd = index + 1;
  return index + 1;
}

}  // namespace

SoundBuffer CreateSoundBuffer(const PcmFormat& format, uint32_t bytes, int& errorCode) {
  errorCode = 0;
  int free = FreeEntry();
  if (!FormatPlayable(format) || bytes < static_cast<uint32_t>(format.BlockAlign())) {
    errorCode = kAudioInvalidParam;
    return 0;
  }
  // Padding behind the samples: the mix may read a few bytes past the last
  // frame it uses (never into what it plays).
  std::shared_ptr<uint8_t[]> memory = free < 0 ? nullptr : NewSamples(bytes, format.bits == 8 ? 0x80 : 0);
  if (!memory) {
    errorCode = kAudioOutOfMemory;
    return 0;
  }
  return Install(free, format, bytes, std::move(memory));
}

SoundBuffer DuplicateSoundBuffer(SoundBuffer source, int& errorCode) {
  errorCode = 0;
  Buffer* from = Find(source);
  if (!from) {
    errorCode = kAudioInvalidParam;
    return 0;
  }
  PcmFormat format = from->format;
  uint32_t bytes = from->bytes;
  std::shared_ptr<uint8_t[]> memory = from->memory;
  int free = FreeEntry();
  if (free < 0) {
    errorCode = kAudioOutOfMemory;
    return 0;
  }
  return Install(free, format, bytes, std::move(memory));
}

void ReleaseSoundBuffer(SoundBuffer id) {
  std::shared_ptr<uint8_t[]> memory;  // freed after the lock is let go
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  if (!b) return;
  b->used = false;
  b->voice = MixVoice{};
  memory = std::move(b->memory);
  while (usedEnd > 0 && !buffers[usedEnd - 1].used) --usedEnd;
}

bool LockSoundBuffer(SoundBuffer id, uint32_t offset, uint32_t bytes, LockedRegions& regions) {
  regions = LockedRegions{};
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  if (!b || offset >= b->bytes || bytes > b->bytes) return false;
  regions.first = b->memory.get() + offset;
  regions.firstBytes = bytes < b->bytes - offset ? bytes : b->bytes - offset;
  if (regions.firstBytes < bytes) {
    regions.second = b->memory.get();
    regions.secondBytes = bytes - regions.firstBytes;
  }
  return true;
}

void PlaySoundBuffer(SoundBuffer id, bool looping) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) {
    b->voice.playing = true;
    b->voice.looping = looping;
  }
}

void PlayAndLetGo(SoundBuffer id) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) {
    b->voice.playing = true;
    b->voice.looping = false;
    b->letGo = true;
  }
}

void StopSoundBuffer(SoundBuffer id) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) b->voice.playing = false;
}

bool SoundBufferPlaying(SoundBuffer id) {
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  return b && b->voice.playing;
}

void GetSoundBufferPosition(SoundBuffer id, uint32_t& play, uint32_t& write) {
  play = write = 0;
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  if (!b) return;
  uint32_t align = static_cast<uint32_t>(b->format.BlockAlign());
  uint32_t frame = static_cast<uint32_t>(b->voice.position >> 32);
  play = frame * align;
  // Samples within the next 15 ms may already be on their way to the device.
  uint64_t ahead = static_cast<uint64_t>(b->frequency) * 15 / 1000;
  write = static_cast<uint32_t>((frame + ahead) % b->voice.frames) * align;
}

void SetSoundBufferPosition(SoundBuffer id, uint32_t bytes) {
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  if (!b) return;
  uint32_t frame = bytes / static_cast<uint32_t>(b->format.BlockAlign());
  if (frame >= b->voice.frames) frame = b->voice.frames - 1;
  b->voice.position = static_cast<uint64_t>(frame) << 32;
}

// Volume and pan are kept apart and multiplied, as the device applies both.
static void ApplyGains(Buffer& b) {
  float left = 1.0f, right = 1.0f;
  PanGains(b.pan, left, right);
  float gain = VolumeGain(b.volume);
  b.voice.gainLeft = gain * left;
  b.voice.gainRight = gain * right;
}

void SetSoundBufferVolume(SoundBuffer id, int volume) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) {
    b->volume = volume < -10000 ? -10000 : (volume > 0 ? 0 : volume);
    ApplyGains(*b);
  }
}

void SetSoundBufferPan(SoundBuffer id, int pan) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) {
    b->pan = pan < -10000 ? -10000 : (pan > 10000 ? 10000 : pan);
    ApplyGains(*b);
  }
}

void SetSoundBufferFrequency(SoundBuffer id, uint32_t frequency) {
  std::lock_guard<std::mutex> hold(mixLock);
  if (Buffer* b = Find(id)) {
    b->frequency = frequency < 100 ? 100 : (frequency > 100000 ? 100000 : frequency);
    UpdateStep(*b);
  }
}

uint32_t GetSoundBufferFrequency(SoundBuffer id) {
  std::lock_guard<std::mutex> hold(mixLock);
  Buffer* b = Find(id);
  return b ? b->frequency : 0;
}

// --- Reset ------------------------------------------------------------------------

void ResetAudio() {
  CloseAudio();
  for (int i = 0; i < kMaxBuffers; ++i) ReleaseSoundBuffer(i + 1);
  std::lock_guard<std::mutex> hold(mixLock);
  sourceRender = nullptr;
  sourceUser = nullptr;
  output = PcmFormat{};
}

}  // namespace plat
