// Tests and benchmarks pull frames from the installed music source, as the
// mixer does once per period, so that they can render music without a device.
#pragma once
#include <cstdint>

namespace plat {

// Calls the installed source for `frames` stereo frames; silence when none is
// installed. Pulling advances the audio clock the source plays on.
void PullAudioSource(int16_t* out, int frames);

}  // namespace plat
