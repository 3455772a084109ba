// The sdl backend's sound device: SDL2 audio pulling 16-bit stereo from the
// mixer on SDL's own thread, a period of at most 512 frames at 44.1 kHz so
// that a sound starts within about 25 ms of being played.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/audio/mixer.h"

namespace plat {
namespace {

SDL_AudioDeviceID device = 0;
bool subsystemStarted = false;

void Pull(void*, Uint8* stream, int length) {
  MixOutput(reinterpret_cast<int16_t*>(stream), length / 4);
}

// While it lives, standard error goes nowhere: the sound libraries under SDL
// print their own complaints when there is no sound card or server, and no
// device is no error for this program.
class QuietStandardError {
 public:
  QuietStandardError() {
    std::fflush(stderr);
    saved_ = dup(2);
    int null = open("/dev/null", O_WRONLY);
    if (saved_ >= 0 && null >= 0) dup2(null, 2);
    if (null >= 0) close(null);
  }
  ~QuietStandardError() {
    if (saved_ < 0) return;
    dup2(saved_, 2);
    close(saved_);
  }

 private:
  int saved_ = -1;
};

// The period: the largest power of two no longer than 512 frames at 44.1 kHz.
Uint16 PeriodFrames(int rate) {
  Uint16 frames = 512;
  while (frames > 64 && static_cast<int64_t>(frames) * 44100 > 512LL * rate) frames /= 2;
  return frames;
}

}  // namespace

bool SdlAudioOpen(int rate) {
  SdlAudioClose();
  QuietStandardError quiet;
  if (!subsystemStarted) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    subsystemStarted = true;
  }
  // The dummy and disk drivers play to nobody: that is no sound device.
  const char* driver = SDL_GetCurrentAudioDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0) {
    return false;
  }
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = PeriodFrames(rate);
  want.callback = Pull;
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) return false;
  SDL_PauseAudioDevice(device, 0);
  return true;
}

void SdlAudioClose() {
  if (device != 0) SDL_CloseAudioDevice(device);
  device = 0;
}

// Called when the backend stops.
void SdlAudioQuit() {
  SdlAudioClose();
  if (subsystemStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  subsystemStarted = false;
}

}  // namespace plat
