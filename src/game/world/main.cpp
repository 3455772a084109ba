// The game's entry: hands the game to the library and runs it.
#include <cstring>
#include <vector>

#include "shell/runcontrol.h"
#include "world/game.h"
#include "world/sound_cues.h"

int main(int argc, char** argv) {
  // --sound is the game's own option (sound effects and music); every other
  // one goes to the library.
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (i > 0 && std::strcmp(argv[i], "--sound") == 0) {
      cues::enabled = true;
    } else {
      rest.push_back(argv[i]);
    }
  }
  static const shell::OptionHelp kOptions[] = {
      {"--sound", "play the game's sound effects and music (off by default)"},
      {nullptr, nullptr},
  };
  // Shown over the first seconds of a run in a window.
  static const char* const kHints[] = {
      "Arrows / d-pad / stick   walk",
      "C / A                    swing",
      "V / B                    call",
      "Enter / Start            again",
      "Alt+Enter                full screen",
      "F12                      screenshot",
      "Escape                   quit",
      nullptr,
  };
  shell::ProgramInfo info;
  info.name = "zolbeck";
  info.title = "ゾルベック！";
  info.summary = "ゾルベック！: a 2D action game. Arrow keys walk, C swings, V calls, Enter starts again.";
  info.options = kOptions;
  info.hints = kHints;
  InstallGame();
  return shell::RunProgram(static_cast<int>(rest.size()), rest.data(), info);
}
