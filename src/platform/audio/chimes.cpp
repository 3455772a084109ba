// Short sounds of our own for the system's sounds and the beep, and the
// one-off playing of samples that they and a system sound file share.
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/audio/audio.h"
#include "platform/platform.h"

namespace plat {
namespace {

constexpr int kChimeRate = 22050;
constexpr int kChimeFrames = kChimeRate * 4 / 10;  // the longest: 0.4 s
constexpr int kChimeCount = 8;

// A chime is up to three notes in a row, each a sine with a quick rise and
// an exponential fall.
struct Notes {
  float hz[3];
  int noteFrames;
};
constexpr Notes kNotes[kChimeCount] = {
    {{880.0f, 0.0f, 0.0f}, 2600},           // Default
    {{1318.5f, 0.0f, 0.0f}, 3300},          // Asterisk
    {{987.8f, 740.0f, 0.0f}, 2400},         // Exclamation
    {{220.0f, 207.7f, 0.0f}, 3300},         // Hand
    {{659.3f, 880.0f, 0.0f}, 2400},         // Question
    {{523.3f, 659.3f, 784.0f}, 2900},       // Start
    {{784.0f, 659.3f, 523.3f}, 2900},       // Exit
    {{1000.0f, 0.0f, 0.0f}, 2200},          // Beep
};

int16_t chimes[kChimeCount][kChimeFrames];
int chimeFrames[kChimeCount];
bool built = false;

void Build() {
  for (int c = 0; c < kChimeCount; ++c) {
    int frames = 0;
    for (int n = 0; n < 3 && kNotes[c].hz[n] > 0.0f; ++n) {
      for (int i = 0; i < kNotes[c].noteFrames && frames < kChimeFrames; ++i, ++frames) {
        double t = static_cast<double>(i) / kChimeRate;
        double rise = i < 64 ? i / 64.0 : 1.0;
        double level = 0.3 * rise * std::exp(-t * 12.0);
        double v = level * std::sin(2.0 * std::numbers::pi * kNotes[c].hz[n] * t);
        chimes[c][frames] = static_cast<int16_t>(std::lround(v * 32767.0));
      }
    }
    chimeFrames[c] = frames;
  }
  built = true;
}

}  // namespace

void PlayPcm(const PcmFormat& format, uint32_t bytes, FillSamples fill, void* user, bool wait) {
  bool openedHere = false;
  if (!AudioIsOpen()) {
    if (!wait || !OpenAudio(AudioFormat())) return;
    openedHere = true;
  }
  int code = 0;
  SoundBuffer b = CreateSoundBuffer(format, bytes, code);
  LockedRegions r;
  bool ready = b && LockSoundBuffer(b, 0, bytes, r);
  if (ready) fill(user, r.first, r.firstBytes);
  if (!ready) {
    ReleaseSoundBuffer(b);
  } else if (!wait) {
    PlayAndLetGo(b);
  } else {
    PlaySoundBuffer(b, false);
    // A sound of n bytes lasts n / (bytes per second); give up a second later.
    uint32_t limit = bytes / static_cast<uint32_t>(format.BlockAlign() * format.rate / 1000 + 1) + 1000;
    for (uint32_t waited = 0; SoundBufferPlaying(b) && waited < limit; waited += 5) Sleep(5);
    ReleaseSoundBuffer(b);
  }
  if (openedHere) CloseAudio();
}

void PlayChime(Chime chime, bool wait) {
  if (!built) Build();
  int c = static_cast<int>(chime);
  PcmFormat format{1, kChimeRate, 16};
  auto copy = [](void* user, uint8_t* into, uint32_t bytes) { std::memcpy(into, user, bytes); };
  PlayPcm(format, static_cast<uint32_t>(chimeFrames[c]) * 2, copy, chimes[c], wait);
}

}  // namespace plat
