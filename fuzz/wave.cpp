// WAVE files: read beside the program by LoadObject and played briefly.
#include "fuzz/sound_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartSound();
  static const std::string name = fuzz::LocalName(".wav");
  fuzz::WriteProgramFile(name, data, size);
  fuzz::PlayBriefly(elSound::LoadObject(name.c_str(), 1));
  return 0;
}
