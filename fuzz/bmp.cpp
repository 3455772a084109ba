// BMP pictures: the platform's checks and decoder, then the sprite loader
// that the game calls (which also applies the colour key).
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartLibrary(true);
  static const std::string name = fuzz::LocalName(".bmp");
  fuzz::WriteProgramFile(name, data, size);
  const std::string path = std::string(elSystem::GetProgramFolder(0)) + name;
  plat::Bitmap bitmap;
  plat::LoadBitmap(path.c_str(), bitmap);
  elDraw::UseTopLeftColorKey();
  const int slot = elDraw::LoadObject(name.c_str(), 0);
  if (slot > 0) elDraw::ReleaseObject(slot);
  return 0;
}
