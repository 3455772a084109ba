// Streamed sounds: a pack entry long enough to stream is opened, played and
// refilled from the file as the clock runs; the first byte picks the loop
// point.
#include "fuzz/sound_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartSound();
  if (size < 1) return 0;
  static const std::string name = fuzz::LocalName(".stm");
  fuzz::WriteProgramFile(name, data + 1, size - 1);
  elSound::SetPackFile(name.c_str());
  const int loop = data[0] == 0xFF ? -1 : data[0] * 4096;
  const int slot = elSound::LoadStream("fuzz.wav", loop);
  if (slot >= 0) elSound::PlayObjectLoop(slot, 0);
  fuzz::PlayBriefly(slot);
  return 0;
}
