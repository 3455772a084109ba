// The whole game as a replay: the real program runs headless with the keys
// of a recorded session (tests/replays/full_run_keys.txt, seed 1) from the
// first screen to the dragon's hall, and must arrive there alive with the
// fight begun. The frame and hit points at each screen entry are compared
// with tests/replays/full_run_expected.txt. After an intended change to the
// game run the test once with ZOLBECK_REWRITE_EXPECTED=1 to write that file
// anew and look at the difference; when the route itself no longer reaches
// the dragon the keys have to be recorded again.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "replay_run.h"

namespace {

using namespace replayrun;

const std::string kKeys = std::string(ZOLBECK_SOURCE_DIR) + "/tests/replays/full_run_keys.txt";
const std::string kExpected =
    std::string(ZOLBECK_SOURCE_DIR) + "/tests/replays/full_run_expected.txt";
// Long enough for the dragon to finish coming down into the hall.
constexpr int kFrames = 4200;

// The few members of a trace line the journey is judged by.
struct Frame {
  int frame = -1;
  int col = -1, row = -1;
  int transition = -1;
  int bossActive = -1;
  int hp = -1;
  float bossBodyY = 0.0f;
  bool ok = false;
};

// Reads the number after `"name":` (after the first `from` when given).
bool Member(const std::string& line, const char* name, const char* format, void* out,
            const char* from = nullptr) {
  size_t start = 0;
  if (from) {
    start = line.find(from);
    if (start == std::string::npos) return false;
  }
  size_t at = line.find(std::string("\"") + name + "\":", start);
  if (at == std::string::npos) return false;
  return std::sscanf(line.c_str() + at + std::strlen(name) + 3, format, out) == 1;
}

Frame Parse(const std::string& line) {
  Frame f;
  size_t at = line.find("\"screen\":[");
  bool screen = at != std::string::npos &&
                std::sscanf(line.c_str() + at + 10, "%d,%d", &f.col, &f.row) == 2;
  f.ok = screen && Member(line, "frame", "%d", &f.frame) &&
         Member(line, "transition", "%d", &f.transition) &&
         Member(line, "bossActive", "%d", &f.bossActive) &&
         Member(line, "hp", "%d", &f.hp, "\"player\":") &&
         Member(line, "bodyY", "%f", &f.bossBodyY, "\"boss\":");
  return f;
}

TEST(FullRunReplay, RecordedSessionReachesTheDragonAlive) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  std::string error;
  ASSERT_TRUE(CopyStageFiles(temp.path(), error)) << error;
  std::string tracePath = temp.path() + "/trace.jsonl";
  std::vector<std::string> args = {"--headless", "--frames", std::to_string(kFrames), "--keys",
                                   kKeys,        "--seed",   "1",
                                   "--trace",    tracePath};
  std::string trace;
  int exitCode = RunReplay(temp.path(), args, tracePath, trace);
  ASSERT_EQ(exitCode, 0) << ReadFile(temp.path() + "/stderr.txt");

  // One line per screen entry (the frame the view set off for it), then the
  // frame the dragon fight began.
  std::string journey;
  Frame previous, last, bossStart;
  int lines = 0;
  size_t start = 0;
  while (start < trace.size()) {
    size_t end = trace.find('\n', start);
    if (end == std::string::npos) end = trace.size();
    Frame f = Parse(trace.substr(start, end - start));
    start = end + 1;
    ASSERT_TRUE(f.ok) << "unreadable trace line " << lines;
    ASSERT_EQ(f.frame, lines);
    ASSERT_GT(f.hp, 0) << "the princess fell at frame " << f.frame << " on screen [" << f.col
                       << "," << f.row << "]";
    if (lines == 0 || f.col != previous.col || f.row != previous.row) {
      journey += "screen " + std::to_string(f.col) + " " + std::to_string(f.row) + " frame " +
                 std::to_string(f.frame) + " hp " + std::to_string(f.hp) + "\n";
    }
    if (f.bossActive == 1 && bossStart.frame < 0) {
      bossStart = f;
      journey += "boss frame " + std::to_string(f.frame) + " hp " + std::to_string(f.hp) + "\n";
    }
    previous = last = f;
    ++lines;
  }
  ASSERT_EQ(lines, kFrames);

  // The journey ends in the dragon's hall, at rest, the fight begun, the
  // princess alive and the dragon come down from above the view.
  EXPECT_EQ(last.col, 2);
  EXPECT_EQ(last.row, 2);
  EXPECT_EQ(last.transition, 0);
  EXPECT_EQ(last.bossActive, 1);
  EXPECT_GT(last.hp, 0);
  ASSERT_GE(bossStart.frame, 0) << "the dragon fight never began";
  EXPECT_GT(last.bossBodyY, bossStart.bossBodyY) << "the dragon did not come down";

  const char* rewrite = std::getenv("ZOLBECK_REWRITE_EXPECTED");
  if (rewrite && std::string(rewrite) == "1") {
    std::ofstream(kExpected, std::ios::binary) << journey;
    GTEST_SKIP() << "expectation rewritten: " << kExpected;
  }
  std::string expected = ReadFile(kExpected);
  ASSERT_FALSE(expected.empty()) << kExpected << " is missing; ZOLBECK_REWRITE_EXPECTED=1 writes it";
  EXPECT_EQ(journey, expected);
}

}  // namespace
