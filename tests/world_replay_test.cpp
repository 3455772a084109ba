// A replay regression: a scripted walk over the right edge of a screen and
// back, with a fixed seed, compared frame by frame with the checked-in
// expectation tests/replays/world_edge_walk.jsonl. After an intended change
// run the test once with ZOLBECK_REWRITE_EXPECTED=1 to write it anew, and
// look at the difference before keeping it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "platform/core/messages.h"

namespace {

const std::string kExpected = std::string(ZOLBECK_SOURCE_DIR) + "/tests/replays/world_edge_walk.jsonl";

std::string F(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
  return text;
}

// The world's view of one frame: what the screen logic reads and writes.
std::string FrameLine(int frame) {
  std::string s = "{\"frame\":" + std::to_string(frame);
  s += ",\"scroll\":[" + F(scrollX) + "," + F(scrollY) + "]";
  s += ",\"screen\":[" + std::to_string(screenCol) + "," + std::to_string(screenRow) + "]";
  s += ",\"transition\":" + std::to_string(transitionDir);
  s += ",\"transitionOffset\":[" + F(transitionOffsetX) + "," + F(transitionOffsetY) + "]";
  s += ",\"player\":{\"x\":" + F(player.x) + ",\"y\":" + F(player.y) +
       ",\"hp\":" + std::to_string(player.hp) +
       ",\"inputLocked\":" + std::to_string(player.inputLocked) + "}";
  s += ",\"companions\":[";
  for (int i = 0; i < kCompanionCount; ++i) {
    if (i) s += ",";
    s += "{\"state\":" + std::to_string(companionState[i]) + ",\"x\":" + F(companions[i].x) +
         ",\"y\":" + F(companions[i].y) + ",\"slot\":" + std::to_string(companionSlot[i]) + "}";
  }
  int active = 0;
  for (const Shot& shot : shots) active += shot.active;
  s += "],\"shots\":" + std::to_string(active) + "}\n";
  return s;
}

class ReplayTest : public gametest::GameFixture {};

TEST_F(ReplayTest, WalkOverTheRightEdgeAndBack) {
  std::srand(20240611);
  gametest::Stage stage;
  stage.data[0] = 0;
  stage.data[1] = 1;
  stage.data[2] = 2;
  // The princess near the right edge of screen (0, 1), the three companions
  // around her; a wall row and an archer on screen (1, 1) far off the path.
  stage.objects.Set(72 + 30, 80, 1);
  stage.objects.Set(72 + 22, 80, 2);
  stage.objects.Set(72 + 30, 72, 3);
  stage.objects.Set(72 + 38, 80, 4);
  stage.solid.Fill(72 + 60, 96, 72 + 61, 191, 1);
  stage.objects.Set(72 + 66, 96 + 90, 6);
  for (int r = 0; r < kStageRows; ++r)
    for (int c = 0; c < kStageColumns; ++c) stage.tiles.Set(r, c, (r / 9 + c / 12) % 6);
  StartGame(stage);

  std::string trace;
  int frame = 0;
  auto run = [&](int n) {
    for (int i = 0; i < n; ++i) {
      Frames(1);
      trace += FrameLine(frame++);
    }
  };
  run(5);
  Press('V');  // call the companions into the formation
  trace += FrameLine(frame++);
  run(40);
  // Walk right until the view has moved to screen (1, 1) and come to rest.
  Hold(VK_RIGHT);
  int guard = 0;
  while (!(screenCol == 1 && transitionDir == 0) && guard++ < 900) run(1);
  Release(VK_RIGHT);
  run(60);
  // And back to the left.
  Hold(VK_LEFT);
  guard = 0;
  while (!(screenCol == 0 && transitionDir == 0) && guard++ < 900) run(1);
  Release(VK_LEFT);
  run(30);

  EXPECT_EQ(screenCol, 0);
  EXPECT_EQ(screenRow, 1);
  EXPECT_EQ(transitionDir, 0);

  const char* rewrite = std::getenv("ZOLBECK_REWRITE_EXPECTED");
  if (rewrite && std::string(rewrite) == "1") {
    gametest::WriteFile(kExpected, trace);
    GTEST_SKIP() << "expectation rewritten: " << kExpected;
  }
  std::string expected = gametest::ReadFile(kExpected);
  ASSERT_FALSE(expected.empty()) << kExpected << " is missing; ZOLBECK_REWRITE_EXPECTED=1 writes it";
  if (trace == expected) return;
  // Name the first frame that differs.
  size_t a = 0, b = 0;
  int line = 0;
  while (a < trace.size() && b < expected.size()) {
    size_t ea = trace.find('\n', a), eb = expected.find('\n', b);
    std::string got = trace.substr(a, ea - a), want = expected.substr(b, eb - b);
    if (got != want) {
      FAIL() << "replay differs at line " << line << "\n  got:  " << got << "\n  want: " << want;
    }
    a = ea + 1;
    b = eb + 1;
    ++line;
  }
  FAIL() << "replay length differs: " << trace.size() << " bytes against " << expected.size();
}

}  // namespace
