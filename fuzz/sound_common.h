// The sound targets' start: the library and the sound device, opened once.
#pragma once
#include "fuzz/fuzz_common.h"
#include "platform/headless/headless.h"
#include "sound/elsound.h"

namespace fuzz {

inline void StartSound() {
  static bool started = false;
  if (started) return;
  started = true;
  StartLibrary(false);
  elSystem::dt = 1.0f / 60.0f;
  elSound::ClearSoundTable();
  if (elSound::InitSound() != 1) std::abort();
}

// Plays a loaded slot for a few frames of the virtual clock, then frees it.
inline void PlayBriefly(int slot) {
  if (slot < 0) return;
  elSound::PlayObject(slot, 0);
  for (int i = 0; i < 4; ++i) {
    plat::headless::AdvanceClock(250);
    elSound::Streaming();
  }
  elSound::FreeObject(slot);
}

}  // namespace fuzz
