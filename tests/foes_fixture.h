// The fixture of the foes' tests: the game started on a blank stage, the
// foes' records reset, and the party parked in the far bottom-right corner
// where no enemy of the tests notices it. Tests then drive the pools, the
// items and the dragon one frame at a time and read their records.
#pragma once
#include <cstdio>
#include <string>

#include "actors/foes.h"
#include "actors/foes_state.h"
#include "draw/text.h"
#include "game_fixture.h"
#include "world/trace.h"

namespace foestest {

constexpr float kStep = 0.016666668f;

class FoesFixture : public gametest::GameFixture {
 protected:
  void ResetModule() override { ResetFoes(); }

  void Begin() {
    gametest::Stage stage;
    StartGame(stage);
    elSystem::dt = kStep;
    scrollX = scrollY = 0.0f;
    player.hp = 18;
    player.x = 680.0f;
    player.y = 460.0f;
    for (int i = 0; i < kCompanionCount; ++i) {
      companionState[i] = 3;
      companions[i].x = 700.0f;
      companions[i].y = 520.0f;
    }
  }

  // A companion in flight with its centre on view point (cx, cy).
  static void Flying(int j, float cx, float cy) {
    companionState[j] = 4;
    companions[j].x = cx - 28.0f;
    companions[j].y = cy - 28.0f;
    companions[j].hitOffsetX = companions[j].hitOffsetY = 0;
  }

  static int CountShots(int kind) {
    int n = 0;
    for (const Shot& s : shots) n += s.active && s.kind == kind ? 1 : 0;
    return n;
  }

  // Frames a timer needs to pass `seconds` (strictly) at the fixed step.
  static int FramesPast(float seconds) {
    float t = 0.0f;
    int n = 0;
    while (!(t > seconds)) {
      t += kStep;
      ++n;
    }
    return n;
  }

  static std::string Trace() {
    FILE* out = std::tmpfile();
    TraceFoes(out);
    std::string result(static_cast<size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    size_t got = std::fread(result.data(), 1, result.size(), out);
    result.resize(got);
    std::fclose(out);
    return result;
  }
};

}  // namespace foestest
