#include "shell/elsystem.h"
#include "world/game.h"

void LoadPictures() {}

void GameFrame() {
  // Every game frame stands for 1/60 s, whatever the frame pacing.
  elSystem::dt = 0.016666668f;
}
