// Scenario helpers for the party's tests: a stage with the princess and her
// companions placed at chosen view positions on the start screen (0, 0),
// and small readers of the state.
#pragma once
#include <cmath>

#include "actors/foes_state.h"
#include "game_fixture.h"

namespace partytest {

constexpr float kDt = 0.016666668f;
constexpr int kC = 0x43;  // "C", the swing
constexpr int kV = 0x56;  // "V", the call

class PartyFixture : public gametest::GameFixture {
 protected:
  void ResetModule() override { ResetFoes(); }

  // The princess's object cell for her view position (x, y) on screen (0, 0):
  // she stands 24 pixels up and left of her cell.
  static void PutPlayer(gametest::Stage& s, int x, int y) {
    s.objects.Set((y + 24) / 8, (x + 24) / 8, 1);
  }
  static void PutCompanion(gametest::Stage& s, int i, int x, int y) {
    s.objects.Set(y / 8, x / 8, 2 + i);
  }
  // Solid cells covering the world pixel rectangle [x0, x1) x [y0, y1) as
  // the probes see it (the play area's offset (16, 12) taken off).
  static void Wall(gametest::Stage& s, int x0, int y0, int x1, int y1) {
    s.solid.Fill((y0 - 12) / 8, (x0 - 16) / 8, (y1 - 12 - 1) / 8, (x1 - 16 - 1) / 8, 1);
  }

  // Starts the game and runs the first frame, which loads the stage.
  void Begin(const gametest::Stage& s) {
    StartGame(s);
    Frames(1);
  }

  // Runs frames until `done` holds, at most `limit`; returns the count run
  // (limit + 1 when it never held).
  template <typename Done>
  int FramesUntil(Done done, int limit) {
    for (int n = 1; n <= limit; ++n) {
      Frames(1);
      if (done()) return n;
    }
    return limit + 1;
  }

  static float CentreDistance(int i) {
    float dx = (player.x + 48.0f) - (companions[i].x + 28.0f);
    float dy = (player.y + 48.0f) - (companions[i].y + 28.0f);
    return std::sqrt(dx * dx + dy * dy);
  }
};

}  // namespace partytest
