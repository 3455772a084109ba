// Starting the stage again, as a replay: the recorded journey of
// tests/replays/full_run_keys.txt is played three times over (seed 1). Each
// time the princess falls in the dragon's hall; once "GAME_OVER" shows, Enter
// starts the stage again. The runs after the two restarts must leave the very
// same trace, and each restart must begin exactly as the first run did, up
// to the first random choice of a foe.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "replay_run.h"

namespace {

using namespace replayrun;

const std::string kKeys = std::string(ZOLBECK_SOURCE_DIR) + "/tests/replays/full_run_keys.txt";
// Frames of one run: the princess has fallen and "GAME_OVER" shows (11 s
// after her fall) before Enter is pressed at the end of each run.
constexpr int kRunFrames = 9750;
constexpr int kRuns = 3;

// The journey's key events repeated once per run, every key let go a little
// before the end of a run, then Enter pressed to start again.
std::string RepeatedScript() {
  std::ifstream in(kKeys);
  std::vector<std::string> events;
  std::vector<std::string> held;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    long frame;
    std::string key, action;
    if (line.empty() || line[0] == '#' || !(fields >> frame >> key >> action)) continue;
    events.push_back(line);
    std::erase(held, key);
    if (action == "down") held.push_back(key);
  }
  std::string script;
  for (int run = 0; run < kRuns; ++run) {
    long offset = static_cast<long>(run) * kRunFrames;
    for (const std::string& e : events) {
      std::istringstream fields(e);
      long frame;
      std::string key, action;
      fields >> frame >> key >> action;
      script += std::to_string(frame + offset) + " " + key + " " + action + "\n";
    }
    long end = offset + kRunFrames;
    for (const std::string& key : held) script += std::to_string(end - 10) + " " + key + " up\n";
    script += std::to_string(end) + " Enter down\n" + std::to_string(end + 2) + " Enter up\n";
  }
  return script;
}

// The trace lines without their frame number and clock, split into runs.
std::vector<std::vector<std::string>> SplitRuns(const std::string& trace) {
  std::vector<std::vector<std::string>> runs(kRuns + 1);
  std::istringstream in(trace);
  std::string line;
  for (size_t n = 0; std::getline(in, line); ++n) {
    size_t state = line.find(",\"dt\":");
    runs[std::min<size_t>(n / kRunFrames, kRuns)].push_back(
        state == std::string::npos ? line : line.substr(state));
  }
  return runs;
}

TEST(RestartReplay, EveryRestartBeginsTheStageAnew) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  std::string error;
  ASSERT_TRUE(CopyStageFiles(temp.path(), error)) << error;
  std::string keysPath = temp.path() + "/keys.txt";
  std::ofstream(keysPath) << RepeatedScript();
  std::string tracePath = temp.path() + "/trace.jsonl";
  std::string trace;
  int exitCode = RunReplay(temp.path(),
                           {"--headless", "--frames", std::to_string(kRuns * kRunFrames + 5),
                            "--keys", keysPath, "--seed", "1", "--trace", tracePath},
                           tracePath, trace);
  ASSERT_EQ(exitCode, 0) << ReadFile(temp.path() + "/stderr.txt");

  auto runs = SplitRuns(trace);
  for (int run = 0; run < kRuns; ++run) {
    ASSERT_EQ(runs[run].size(), static_cast<size_t>(kRunFrames)) << "run " << run;
    // Each run ends in "GAME_OVER": the princess has fallen 11 s ago or more.
    const std::string& last = runs[run].back();
    size_t at = last.find("\"deathTimer\":");
    float dying = 0.0f;
    ASSERT_NE(at, std::string::npos);
    std::sscanf(last.c_str() + at + 13, "%f", &dying);
    EXPECT_GE(dying, 11.0f) << "run " << run;
  }
  // The first line of every run is the stage's first frame, the view on the
  // start screen with full hit points.
  EXPECT_NE(runs[1][0].find("\"screen\":[0,0]"), std::string::npos);
  EXPECT_NE(runs[1][0].find("\"hp\":18,"), std::string::npos);

  // The two runs after a restart are the same to the last bit.
  for (int n = 0; n < kRunFrames; ++n) {
    ASSERT_EQ(runs[1][n], runs[2][n]) << "frame " << n << " of the runs after a restart";
  }
  // The first run drew from the generator while the library started up, so
  // it follows the same course only until a foe makes its first random
  // choice; until then nothing of the ended run may show.
  int same = 0;
  while (same < kRunFrames && runs[0][same].find("\"enemies\":[]") != std::string::npos) {
    ASSERT_EQ(runs[0][same], runs[1][same]) << "frame " << same << " after the first restart";
    ++same;
  }
  EXPECT_GT(same, 300);
}

}  // namespace
