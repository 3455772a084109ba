// MIDI files: opened and played by PlayMidi as the game plays its music,
// rendered for a moment of the virtual clock, then closed.
#include "fuzz/sound_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartSound();
  static const std::string name = fuzz::LocalName(".mid");
  fuzz::WriteProgramFile(name, data, size);
  elSound::PlayMidi(name.c_str(), 0);
  plat::headless::AdvanceClock(100);
  elSound::CloseMidi();
  return 0;
}
