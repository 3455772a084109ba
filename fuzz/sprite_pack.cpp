// Sprite packs: the entry named FUZZ.BMP is looked for through every entry
// before it and decoded onto a new sprite, as the game's LoadPack does.
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartLibrary(true);
  static const std::string name = fuzz::LocalName(".pak");
  fuzz::WriteProgramFile(name, data, size);
  elDraw::SetPackFile(name.c_str());
  const int slot = elDraw::LoadPack("fuzz.bmp", 0);
  if (slot > 0) elDraw::ReleaseObject(slot);
  return 0;
}
