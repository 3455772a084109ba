// Sound packs: the entry FUZZ.WAV is looked for through every entry before
// it, read and played briefly.
#include "fuzz/sound_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartSound();
  static const std::string name = fuzz::LocalName(".spk");
  fuzz::WriteProgramFile(name, data, size);
  elSound::SetPackFile(name.c_str());
  fuzz::PlayBriefly(elSound::LoadPack("fuzz.wav", 1));
  return 0;
}
