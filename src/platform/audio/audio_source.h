// One extra source that the mixer adds to its output at the output rate:
// the music. It is not a sound buffer: it has no cursor, volume or pan.
#pragma once
#include <cstdint>

namespace plat {

// Writes `frames` interleaved stereo 16-bit frames into `out`. It runs where
// the mixer runs (SDL's audio thread, or the main thread as the headless
// virtual clock advances), and must neither block nor allocate.
using AudioSourceRender = void (*)(void* user, int16_t* out, int frames);

// Installs the source (render non-null) or removes it (render null). Once
// removal returns, the mixer no longer calls the old source.
void SetAudioSource(AudioSourceRender render, void* user);

// The output rate in samples per second, or 0 while there is no sound device.
int AudioOutputRate();

}  // namespace plat
