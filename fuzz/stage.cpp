// The stage files (stagedata.txt, map01_data.txt, map01_zk.txt,
// map01_teki.txt, split at the input's zero bytes) read by the game's first
// frame, then a few more frames, since the values read steer what a frame
// does.
#include <unistd.h>

#include "actors/foes_state.h"
#include "actors/party.h"
#include "fuzz/fuzz_common.h"
#include "world/game.h"
#include "world/pictures.h"
#include "world/world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    // The stage files are opened by bare name from the current folder.
    char folder[] = "/tmp/zolbeck-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
    fuzz::StartLibrary(false);
    LoadGame();
    return true;
  }();
  (void)ready;
  static const char* const kFiles[] = {"stagedata.txt", "map01_data.txt", "map01_zk.txt",
                                       "map01_teki.txt"};
  std::vector<std::string> parts = fuzz::Split(data, size, 4);
  for (size_t i = 0; i < 4; ++i) {
    const std::string& text = i < parts.size() ? parts[i] : std::string();
    fuzz::WriteRealFile(kFiles[i], reinterpret_cast<const uint8_t*>(text.data()), text.size());
  }
  ResetWorld();
  ResetPlayer();
  ResetCompanions();
  ResetFoes();
  for (int i = 0; i < 6; ++i) GameFrame();
  return 0;
}
