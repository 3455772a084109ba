// A stand-in for the mixer's side of the music source while the mixer is
// built elsewhere: it keeps the installed source and lets tests pull from it.
// It goes away when the mixer arrives.
#include <cstring>
#include <mutex>

#include "platform/audio_source.h"
#include "platform/audio_source_pull.h"

namespace plat {
namespace {

std::mutex sourceLock;
AudioSourceRender sourceRender = nullptr;
void* sourceUser = nullptr;

}  // namespace

void SetAudioSource(AudioSourceRender render, void* user) {
  std::lock_guard<std::mutex> hold(sourceLock);
  sourceRender = render;
  sourceUser = user;
}

int AudioOutputRate() { return 44100; }

void PullAudioSource(int16_t* out, int frames) {
  std::lock_guard<std::mutex> hold(sourceLock);
  if (sourceRender) {
    sourceRender(sourceUser, out, frames);
  } else {
    std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
  }
}

}  // namespace plat
