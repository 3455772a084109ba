// The nine pre-rendered map screens, the view's scroll and the screen
// transitions that slide the view to a neighbouring screen.
#include <cmath>

#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/world.h"
#include "world/sound_cues.h"

float scrollX, scrollY;
float scrollSpeedX, scrollSpeedY;
int32_t transitionDir;
float transitionDistance;
float transitionOffsetX, transitionOffsetY;
float carrySpeedX, carrySpeedY;

void PrerenderScreens() {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      elDraw::Clear();
      for (int k = 0; k < kScreenColumns; ++k) {
        for (int l = 0; l < kScreenRows; ++l) {
          int32_t t = tileLayer[kScreenRows * j + l][kScreenColumns * i + k];
          int left = (t % 80) * 8, top = (t / 80) * 8;
          elDraw::Draw(8 * k, 8 * l, pictures.tileSheet, left, top, left + 8, top + 8);
        }
      }
      elDraw::GrabScreen(pictures.screenPictures[i][j], 0, 0, 768, 576);
    }
  }
}

void DrawMap() {
  scrollX += elSystem::dt * scrollSpeedX;
  scrollY += elSystem::dt * scrollSpeedY;
  int baseX = static_cast<int>(-scrollX) + 16;
  int baseY = static_cast<int>(-scrollY) + 12;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      elDraw::Draw(baseX + 768 * i, baseY + 576 * j, pictures.screenPictures[i][j], 0, 0, 768, 576);
    }
  }
}

void AssignFormationSlots(int order) {
  static constexpr int32_t kSlots[3][4] = {
      {1, 1, 2, 2},  // the largest coordinate
      {0, 2, 1, 3},  // the others
      {3, 3, 0, 0},  // the smallest
  };
  if (order < 0 || order > 3) return;
  float maximum = 0.0f, minimum = 1000.0f;
  int largest = -1, smallest = -1;
  for (int n = 0; n < kCompanionCount; ++n) {
    float v = order <= 1 ? companions[n].x : companions[n].y;
    if (v > maximum) {
      maximum = v;
      largest = n;
    } else if (v < minimum) {
      minimum = v;
      smallest = n;
    }
  }
  for (int n = 0; n < kCompanionCount; ++n) {
    int rank = n == largest ? 0 : n == smallest ? 2 : 1;
    companionSlot[n] = kSlots[rank][order];
  }
}

namespace {

// Starts a transition: the screen number changes at once, the companions run
// back to the player with speeds that close their distance in 0.5 s, and the
// player's keys are locked until the scroll ends.
void BeginTransition(int direction, float distance, int order) {
  transitionDir = direction;
  transitionDistance = distance;
  cues::Play(cues::kScreen);
  player.inputLocked = 1;
  for (int n = 0; n < kCompanionCount; ++n) {
    companionState[n] = 6;
    companions[n].returnSpeedX = std::fabs((player.x + 48.0f) - (companions[n].x + 28.0f)) / 0.5f;
    companions[n].returnSpeedY = std::fabs((player.y + 48.0f) - (companions[n].y + 28.0f)) / 0.5f;
  }
  AssignFormationSlots(order);
}

void TestEdges() {
  if (player.y < -36.0f && screenRow != 0) {
    --screenRow;
    BeginTransition(3, 544.0f - (player.y + 36.0f), 0);
  } else if (player.y > 540.0f && screenRow != 2) {
    ++screenRow;
    BeginTransition(4, -player.y, 1);
  } else if (player.x < -32.0f && screenCol != 0) {
    --screenCol;
    BeginTransition(2, 736.0f - (player.x + 32.0f), 3);
  } else if (player.x > 736.0f && screenCol != 2) {
    ++screenCol;
    BeginTransition(1, -player.x, 2);
  }
}

void RunTransition() {
  const float dt = elSystem::dt;
  // The view waits until every companion rides with the player.
  if (transitionOffsetY < 576.0f && companionState[0] == 7 && companionState[1] == 7 &&
      companionState[2] == 7) {
    switch (transitionDir) {
      case 1:
        scrollSpeedX = 768.0f;
        carrySpeedX = transitionDistance;
        break;
      case 2:
        scrollSpeedX = -768.0f;
        carrySpeedX = transitionDistance;
        break;
      case 3:
        scrollSpeedY = -576.0f;
        carrySpeedY = transitionDistance;
        break;
      case 4:
        scrollSpeedY = 576.0f;
        carrySpeedY = transitionDistance;
        break;
    }
  }
  transitionOffsetX += dt * scrollSpeedX;
  transitionOffsetY += dt * scrollSpeedY;
  player.x += dt * carrySpeedX;
  player.y += dt * carrySpeedY;
  if (transitionOffsetX <= -768.0f || transitionOffsetX >= 768.0f ||
      transitionOffsetY <= -576.0f || transitionOffsetY >= 576.0f) {
    player.inputLocked = 0;
    transitionOffsetX = transitionOffsetY = 0.0f;
    transitionDir = 0;
    scrollSpeedX = scrollSpeedY = 0.0f;
    carrySpeedX = carrySpeedY = 0.0f;
    scrollX = static_cast<float>(768 * screenCol);
    scrollY = static_cast<float>(576 * screenRow);
    SpawnScreenObjects();
  }
}

}  // namespace

void UpdateScreen() {
  LoadMap();
  if (transitionDir == 0) TestEdges();
  if (transitionDir != 0) RunTransition();
  DrawMap();
  elDraw::Print(200, 200, "pi_x=%d", screenCol);
  elDraw::Print(200, 250, "pi_y=%d", screenRow);
}
