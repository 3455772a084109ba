// The game's entry: hands the game to the library and runs it.
#include "shell/runcontrol.h"
#include "world/game.h"

int main(int argc, char** argv) {
  InstallGame();
  return shell::RunProgram(argc, argv, "zolbeck");
}
