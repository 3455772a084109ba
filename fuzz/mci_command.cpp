// Command strings of the sequencer: the input's zero bytes separate the
// commands, sent one after another; the device is closed again after.
#include "fuzz/sound_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartSound();
  char answer[128];
  for (const std::string& command : fuzz::Split(data, size, 16)) {
    elSound::SendMci(command.c_str(), answer, sizeof answer, elSystem::mainWindow);
  }
  elSound::SendMci("close all", nullptr, 0);
  return 0;
}
