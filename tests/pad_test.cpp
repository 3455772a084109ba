// Game pads: the keys a pad state holds, and the princess played from a
// virtual pad headless, which must leave the same trace as the keyboard.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/messages.h"
#include "replay_run.h"
#include "shell/padkeys.h"

namespace {

using plat::PadState;

// Bits of PadKeysHeld, in the order of kPadKeyCodes.
enum : uint32_t { L = 1, R = 2, U = 4, D = 8, C = 16, V = 32, Enter = 64 };

TEST(PadKeys, ButtonsAndStickHoldTheGamesKeys) {
  EXPECT_EQ(std::vector<int>(shell::kPadKeyCodes, shell::kPadKeyCodes + shell::kPadKeyCount),
            (std::vector<int>{VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'C', 'V', VK_RETURN}));
  struct Case {
    uint32_t buttons;
    int x, y;
    uint32_t held;
  } cases[] = {
      {0, 0, 0, 0},
      {plat::kPadA, 0, 0, C},
      {plat::kPadB, 0, 0, V},
      {plat::kPadStart, 0, 0, Enter},
      {plat::kPadX | plat::kPadY | plat::kPadBack, 0, 0, 0},
      {plat::kPadLeft | plat::kPadUp, 0, 0, L | U},
      // The dead zone is a circle of 8000.
      {0, 8000, 0, 0},
      {0, 8001, 0, R},
      {0, 5650, 5650, 0},
      {0, 5700, 5700, D | R},
      {0, -32768, 0, L},
      {0, 0, -32768, U},
      // Eight sectors of 45 degrees: up to 22.5 degrees off an axis is straight.
      {0, 30000, 12000, R},
      {0, 30000, 12500, R | D},
      {0, -20000, -20000, L | U},
      {0, -12500, 30000, L | D},
      // The d-pad and the stick add up.
      {plat::kPadLeft, 30000, 0, L | R},
  };
  for (const Case& c : cases) {
    PadState pad;
    pad.buttons = c.buttons;
    pad.stickX = c.x;
    pad.stickY = c.y;
    EXPECT_EQ(shell::PadKeysHeld(pad), c.held)
        << "buttons " << c.buttons << " stick " << c.x << "," << c.y;
  }
}

// Runs the program headless for 200 frames with the script; its trace.
std::string Play(const std::string& script) {
  replayrun::TempFolder temp;
  std::string error;
  if (temp.path().empty() || !replayrun::CopyStageFiles(temp.path(), error)) return "no folder";
  std::string keys = temp.path() + "/keys.txt", trace = temp.path() + "/trace.jsonl";
  std::ofstream(keys) << script;
  std::string text;
  int exitCode = replayrun::RunReplay(
      temp.path(),
      {"--headless", "--frames", "200", "--seed", "1", "--keys", keys, "--trace", trace}, trace,
      text);
  if (exitCode != 0) return "exit " + std::to_string(exitCode) + ": " + replayrun::ReadFile(temp.path() + "/stderr.txt");
  return text;
}

// The princess calls with B, walks right on the stick and down on the d-pad,
// and swings with A, exactly as she does with V, the arrow keys and C.
TEST(PadReplay, PrincessWalksAndSwingsFromAPad) {
  std::string pad = Play(
      "5 PadB down\n7 PadB up\n"
      "20 PadStickX 30000\n80 PadStickX 3000\n"
      "90 PadDown down\n120 PadDown up\n"
      "130 PadA down\n132 PadA up\n");
  std::string keys = Play(
      "5 V down\n7 V up\n"
      "20 Right down\n80 Right up\n"
      "90 Down down\n120 Down up\n"
      "130 C down\n132 C up\n");
  ASSERT_NE(pad.find("\"frame\":199,"), std::string::npos) << pad.substr(0, 300);
  EXPECT_EQ(pad, keys);
  // She did walk and swing.
  size_t last = pad.rfind("\"player\":{\"x\":");
  EXPECT_EQ(pad.substr(last, 21), "\"player\":{\"x\":242.333");
  EXPECT_NE(pad.find("\"swinging\":1"), std::string::npos);
}

}  // namespace

namespace {

// Pads come and go while the program runs: a pad plugged in is read from the
// next reading on, and one pulled out reads as no pad at all.
TEST(PadHotPlug, PadsArePickedUpAndDroppedAsTheyComeAndGo) {
  plat::Options options;
  options.backend = "headless";
  std::string error;
  ASSERT_TRUE(plat::Start(options, error)) << error;
  PadState pad;
  EXPECT_FALSE(plat::ReadPads(pad));
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(plat::AttachVirtualPad());
    plat::SetVirtualPadButton(plat::kPadA | plat::kPadB, true);  // not one button: ignored
    plat::SetVirtualPadButton(plat::kPadStart, true);
    plat::SetVirtualPadStick(0, -20000);
    plat::SetVirtualPadStick(1, 40000);  // held to the axis's end
    ASSERT_TRUE(plat::ReadPads(pad)) << "round " << round;
    EXPECT_EQ(pad.buttons, plat::kPadStart);
    EXPECT_EQ(pad.stickX, -20000);
    EXPECT_EQ(pad.stickY, 32767);
    plat::DetachVirtualPad();
    EXPECT_FALSE(plat::ReadPads(pad)) << "round " << round;
    EXPECT_EQ(pad.buttons, 0u);
  }
  plat::Stop();
}

}  // namespace
