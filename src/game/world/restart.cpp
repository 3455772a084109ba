// Starting the stage again once it has ended: after "GAME_OVER" has shown, or
// after "STAGE CLEAR", Enter (or a pad's Start, which the shell turns into
// Enter) puts the whole stage back as it was before its first frame. The
// loaded stage, the map screens and the pictures are kept; nothing is read
// or allocated again.
#include "actors/actor_model.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/input.h>
#include <zolbeck/keys.h>
#include <zolbeck/elsystem.h>
#include "world/game.h"
#include "world/world.h"

namespace {

int enterKey = 0;  // edge state of Enter, polled every frame

// The seconds of dying after which "GAME_OVER" shows.
constexpr float kGameOverSeconds = 11.0f;

}  // namespace

bool StageEnded() {
  bool gameOver = player.hp < 1 && player.deathTimer >= kGameOverSeconds;
  bool cleared = dragonExtra.defeated && dragonExtra.defeatTimer >= kDragonFadeSeconds;
  return gameOver || cleared;
}

void StartStageAgain() {
  ResetFoes();
  ResetPlayer();
  ResetCompanions();
  for (Shot& shot : shots) shot = Shot{};
  bossActive = 0;
  scrollSpeedX = scrollSpeedY = 0.0f;
  transitionDir = 0;
  transitionDistance = 0.0f;
  transitionOffsetX = transitionOffsetY = 0.0f;
  carrySpeedX = carrySpeedY = 0.0f;
  // The view and the party return to the start screen, as the stage loader
  // and the map loader put them there on the first frame.
  screenCol = stageData[0];
  screenRow = stageData[1];
  scrollX = static_cast<float>(screenCol * 768);
  scrollY = static_cast<float>(screenRow * 576);
  player.hp = 18;
  for (int row = 0; row < kStageRows; ++row) {
    for (int col = 0; col < kStageColumns; ++col) {
      int32_t v = objectLayer[row][col];
      if (v >= 1 && v <= 4) {
        PlaceObject(v, 0, static_cast<float>(8 * col), static_cast<float>(8 * row));
      }
    }
  }
  // The random choices of the new run are those of a fresh start.
  elSystem::SeedRandom();
}

void RunStageEnd() {
  // Enter is polled in every frame, so that a key already held when the end
  // shows does not count as a press. Alt+Enter switches the screen mode and
  // starts nothing.
  elSystem::KeyEdge(VK_RETURN, enterKey);
  bool altHeld = elSystem::IsKeyDown(VK_MENU) != 0;
  if (enterKey == 1 && !altHeld && StageEnded()) StartStageAgain();
}

void DrawStageEndHint() {
  if (StageEnded()) elDraw::Print(400, 380, "Enter: もう一度");
}

void ResetStageEnd() { enterKey = 0; }
