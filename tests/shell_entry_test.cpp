// The entry function in process, and the real program as a process
// (options, key scripts, trace, a second copy).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "shell_fixture.h"
#include "portable.h"

namespace {

using namespace elSystem;
namespace hl = plat::headless;
using shelltest::ShellTest;

// ---------------------------------------------------------------------------
// The entry function in this process (takes the instance lock)

using EntryTest = ShellTest;

// What the per-frame hook saw; the hook runs inside the loop of WinMain.
struct Seen {
  int lastKey[16] = {};
  int frames = 0;
  int mutex = -1, ime = -1, active = -1, topmost = -1, visible = -1;
  uint32_t interval = 0;
  int left = 0, top = 0;
  uint64_t closeAtFrame = ~0ull;
} seen;

void RecordFrame(FILE*) {
  uint64_t frame = shell::run.framePasses;
  if (frame < 16) seen.lastKey[frame] = lastKeyDown;
  if (frame == 0) {
    seen.mutex = mutexHandle;
    seen.ime = hl::ImeEnabled() ? 1 : 0;
    seen.active = appActive;
    seen.topmost = hl::WindowTopmost() ? 1 : 0;
    seen.visible = hl::WindowVisible() ? 1 : 0;
    seen.interval = frameInterval;
    seen.left = clientLeft;
    seen.top = clientTop;
  }
  if (frame == seen.closeAtFrame) hl::PressCloseBox();
  ++seen.frames;
}

void TraceEveryFrame() {
  seen = Seen{};
  shell::run.trace = std::tmpfile();
  shell::run.traceFields = RecordFrame;
}

TEST_F(EntryTest, StartUpRunsTheLimitedFramesAndReleasesEverything) {
  TraceEveryFrame();
  shell::run.frameLimit = 3;
  const std::string longLine(300, 'c');
  EXPECT_EQ(RunWinMain(longLine.c_str()), 0);
  EXPECT_EQ(seen.frames, 3);
  EXPECT_EQ(shell::run.framePasses, 3u);
  // While running: no lock taken (there is no window to give way to), input method off, active, shown, the
  // z-order left alone, 13 ms slots, the window centred on the desktop.
  EXPECT_EQ(seen.mutex, 0);
  EXPECT_EQ(seen.ime, 0);
  EXPECT_EQ(seen.active, 1);
  EXPECT_EQ(seen.visible, 1);
  EXPECT_EQ(seen.topmost, 0);
  EXPECT_EQ(seen.interval, 13u);
  EXPECT_EQ(seen.left, (1280 - 800) / 2);
  EXPECT_EQ(seen.top, (1024 - 600) / 2);
  // Afterwards: everything let go.
  EXPECT_EQ(mutexHandle, 0);
  EXPECT_EQ(quitState, 2);
  EXPECT_FALSE(hl::WindowExists());
  // The command line copy keeps 255 characters.
  EXPECT_EQ(std::string(GetCommandLineCopy()), std::string(255, 'c'));
}

TEST_F(EntryTest, ScriptedKeysComeBeforeTheirPassAndEscapeEndsTheLoop) {
  TraceEveryFrame();
  shell::run.frameLimit = 100;
  shell::run.keys = {
      {2, 'A', true}, {2, 'B', true}, {4, 'B', false},
      {6, VK_ESCAPE, true}, {6, VK_ESCAPE, true},  // pressed twice in a row
  };
  EXPECT_EQ(RunWinMain(), 0);
  EXPECT_EQ(seen.lastKey[0], 0);
  EXPECT_EQ(seen.lastKey[1], 0);
  EXPECT_EQ(seen.lastKey[2], 'B');
  EXPECT_EQ(seen.lastKey[3], 'B');
  EXPECT_EQ(seen.lastKey[4], 0);
  EXPECT_EQ(seen.lastKey[5], 0);
  // No frame pass after the quit: passes 0..5 ran, pass 6 did not.
  EXPECT_EQ(seen.frames, 6);
  EXPECT_EQ(shell::run.framePasses, 6u);
  EXPECT_EQ(quitState, 2);
  EXPECT_FALSE(hl::WindowExists());
}

TEST_F(EntryTest, CloseBoxEndsTheLoop) {
  TraceEveryFrame();
  seen.closeAtFrame = 3;
  shell::run.frameLimit = 100;
  EXPECT_EQ(RunWinMain(), 0);
  EXPECT_EQ(seen.frames, 4);
  EXPECT_EQ(shell::run.framePasses, 4u);
  EXPECT_EQ(mutexHandle, 0);
  EXPECT_FALSE(hl::WindowExists());
}

// ---------------------------------------------------------------------------
// The program as a process

struct ProgramRun {
  int exitCode = -1;
  std::string errors;
};

ProgramRun RunProgram(const std::vector<std::string>& args, const shelltest::TempFolder& temp) {
  ProgramRun run;
  std::string errorPath = temp.path() + "/stderr.txt";
  run.exitCode = portable::RunProgram(ZOLBECK_EXE, args, temp.path(), errorPath, 60000);
  run.errors = shelltest::ReadWholeFile(errorPath);
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Runs the program with a trace; a run without a window never gives way to
// another copy, so one run is enough.
ProgramRun RunTraced(std::vector<std::string> args, const shelltest::TempFolder& temp,
                     std::string& trace) {
  std::string tracePath = temp.path() + "/trace.jsonl";
  args.push_back("--trace");
  args.push_back(tracePath);
  ProgramRun run = RunProgram(args, temp);
  trace = shelltest::ReadWholeFile(tracePath);
  return run;
}

TEST(ShellProcess, HeadlessRunTracesEveryFrameAndExits0) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  std::string trace;
  ProgramRun run = RunTraced({"--headless", "--frames", "300", "--seed", "7"}, temp, trace);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  std::vector<std::string> lines = Lines(trace);
  ASSERT_EQ(lines.size(), 300u);
  unsigned long long previousTick = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    unsigned long long frame = 0, tick = 0;
    int used = 0;
    ASSERT_EQ(std::sscanf(lines[i].c_str(), "{\"frame\":%llu,\"tick\":%llu,\"dt\":0.0166666675%n",
                          &frame, &tick, &used),
              2)
        << lines[i];
    ASSERT_GT(used, 0) << lines[i];
    EXPECT_EQ(frame, i);
    EXPECT_EQ(lines[i].back(), '}');
    if (i > 0) {
      EXPECT_GE(tick, previousTick + 13) << lines[i];
    }
    previousTick = tick;
  }
}

TEST(ShellProcess, BadCommandLineExits2WithOneLine) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  const std::vector<std::vector<std::string>> cases = {
      {"--headless", "--bogus"},
      {"--headless", "--frames", "-1"},
      {"--headless", "--keys", temp.path() + "/no-such-file"},
      {"--headless", "--keys", temp.path()},
      {"--headless", "--keys", "/dev/zero"},
  };
  for (const auto& args : cases) {
    ProgramRun run = RunProgram(args, temp);
    EXPECT_EQ(run.exitCode, 2) << args.back();
    EXPECT_EQ(Lines(run.errors).size(), 1u) << run.errors;
    EXPECT_EQ(run.errors.rfind("zolbeck: ", 0), 0u) << run.errors;
  }
}

TEST(ShellProcess, ScreenshotThatCannotBeWrittenFailsTheRun) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  ProgramRun run = RunProgram(
      {"--headless", "--frames", "2", "--screenshot", temp.path() + "/no-such-folder/shot.bmp"}, temp);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errors.find("could not be written"), std::string::npos) << run.errors;
  run = RunProgram({"--headless", "--frames", "2", "--screenshot", temp.path() + "/shot.bmp"}, temp);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
}

TEST(ShellProcess, MalformedKeyScriptNamesFileAndLine) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  std::string keys = temp.path() + "/keys.txt";
  const std::string scripts[] = {
      "0 Left down\n# fine so far\n5 Nope down\n",
      "9 Left down\n4 Left up\n",
      std::string("0 Left down\n5 Left up\0 7 Right down\n", 36),
  };
  const int badLine[] = {3, 2, 2};
  for (int i = 0; i < 3; ++i) {
    shelltest::WriteWholeFile(keys, scripts[i]);
    ProgramRun run = RunProgram({"--headless", "--keys", keys}, temp);
    EXPECT_EQ(run.exitCode, 2) << scripts[i];
    EXPECT_NE(run.errors.find(keys + ":" + std::to_string(badLine[i]) + ":"), std::string::npos)
        << run.errors;
    EXPECT_EQ(Lines(run.errors).size(), 1u) << run.errors;
  }
}

TEST(ShellProcess, HeadlessRunBesideAnOpenGameWritesItsWholeTrace) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  // This process stands for the game open in a window: it holds the game's
  // own lock. When another copy on this machine holds it already, the
  // situation is the same.
  std::string lockName = "ゾルベック！";
  lockName += ":ElMutex";
  bool ours = plat::AcquireInstanceLock(lockName.c_str());
  std::string keys = temp.path() + "/keys.txt";
  shelltest::WriteWholeFile(keys, "0 V down\n2 V up\n10 Right down\n200 Right up\n");
  std::string trace;
  ProgramRun run =
      RunTraced({"--headless", "--frames", "300", "--seed", "7", "--keys", keys}, temp, trace);
  if (ours) plat::ReleaseInstanceLock();
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  std::vector<std::string> lines = Lines(trace);
  ASSERT_EQ(lines.size(), 300u);
  EXPECT_EQ(lines[299].rfind("{\"frame\":299,", 0), 0u) << lines[299];
}

}  // namespace
