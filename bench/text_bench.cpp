// Text as the game prints it: eight elDraw::Print lines of about twelve
// characters, kana and ASCII mixed, per frame. Each Print makes a font, takes
// the back screen, writes the line on its dark-blue box and lets go.
// Goal: the eight together well under 0.3 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "draw/eldraw.h"
#include "headless_screen.h"

namespace {

void EightPrints(benchmark::State& state) {
  HeadlessScreen screen;
  if (!screen.ok()) {
    state.SkipWithError("no headless screen");
    return;
  }
  int hp = 18;
  for (auto _ : state) {
    elDraw::Print(400, 300, "PCのHP=%d", hp);
    elDraw::Print(200, 200, "pi_x=%d", 12);
    elDraw::Print(200, 250, "pi_y=%d", 7);
    elDraw::Print(0, 20, "act=%d あたり", 3);
    elDraw::Print(300, 100, "あたった！！%d", hp);
    elDraw::Print(100, 400, "GAME_OVER %d", 0);
    elDraw::Print(500, 50, "てき=%d ボス", 42);
    elDraw::Print(600, 500, "ドラゴンHP=%d", 250);
    hp = hp % 30 + 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(EightPrints)->Unit(benchmark::kMicrosecond);

}  // namespace
