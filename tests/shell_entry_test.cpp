// The entry function in process, and the real program as a process
// (options, key scripts, trace, a second copy).
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
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
  bool leftHeld[16] = {};
  size_t keysTaken[16] = {};
  int frames = 0;
  int mutex = -1, ime = -1, active = -1, topmost = -1, visible = -1;
  uint32_t interval = 0;
  int left = 0, top = 0;
  uint64_t closeAtFrame = ~0ull;
} seen;

void RecordFrame(FILE*) {
  uint64_t frame = shell::run.framePasses;
  if (frame < 16) {
    seen.lastKey[frame] = lastKeyDown;
    seen.leftHeld[frame] = (plat::GetKeyState(VK_LEFT) & 0x80) != 0;
    seen.keysTaken[frame] = shell::run.nextKey;
  }
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

// A frame with more scripted events than the message queue holds (4096):
// every one of them still comes, in order, before that frame's pass.
TEST_F(EntryTest, ScriptedKeysBeyondTheQueueAllComeBeforeTheirPass) {
  TraceEveryFrame();
  shell::run.frameLimit = 12;
  shell::run.keys.push_back({5, VK_LEFT, true});
  for (int n = 0; n < 5000; ++n) {
    shell::run.keys.push_back({10, 'C', true});
    shell::run.keys.push_back({10, 'C', false});
  }
  shell::run.keys.push_back({10, VK_LEFT, false});
  EXPECT_EQ(RunWinMain(), 0);
  EXPECT_TRUE(seen.leftHeld[9]);
  EXPECT_FALSE(seen.leftHeld[10]);
  EXPECT_EQ(seen.keysTaken[10], shell::run.keys.size());
  EXPECT_EQ(seen.frames, 12);
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

#if !defined(_WIN32)
// A trace or an audio dump that cannot be written, at the start or later,
// fails the run with one line naming the file; a FIFO that no program
// reads is refused at once instead of holding the start.
TEST(ShellProcess, TraceOrDumpThatCannotBeWrittenFailsTheRun) {
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  const std::string fifo = temp.path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string says;
  } cases[] = {
      {{"--trace", "/dev/full"}, 1, "zolbeck: --trace: /dev/full could not be written: "},
      {{"--audio-dump", "/dev/full"}, 1, "zolbeck: --audio-dump: /dev/full could not be written: "},
      {{"--sound", "--audio-dump", "/dev/full"}, 1, "zolbeck: --audio-dump: /dev/full could not be written: "},
      {{"--trace", fifo}, 2, "zolbeck: " + fifo + ": cannot be written: a pipe that no program reads"},
      {{"--audio-dump", fifo}, 1, "zolbeck: " + fifo + ": cannot be written: a pipe that no program reads"},
      {{"--audio-dump", temp.path()}, 1, "zolbeck: " + temp.path() + ": cannot be written: "},
      {{"--trace", "/dev/null", "--audio-dump", "/dev/null"}, 0, ""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"--headless", "--frames", "30"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProgramRun run = RunProgram(args, temp);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args.back() << ": " << run.errors;
    EXPECT_EQ(run.errors.rfind(c.says, 0), 0u) << run.errors;
    EXPECT_EQ(Lines(run.errors).size(), c.says.empty() ? 0u : 1u) << run.errors;
  }
  // A reader that opens the FIFO a moment after the program started still
  // gets the whole trace.
  std::string trace;
  std::thread reader([&] {
    portable::SleepMs(300);
    trace = shelltest::ReadWholeFile(fifo);
  });
  ProgramRun run = RunProgram({"--headless", "--frames", "30", "--trace", fifo}, temp);
  reader.join();
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(Lines(trace).size(), 30u);
}

// The program reads its data from its own folder whatever that folder is
// called and however long its path: one named outside Shift-JIS, and one
// longer than the library's 256-byte buffers, play as the build folder does.
TEST(ShellProcess, PlaysTheSameFromAFolderOfAnyName) {
  namespace fs = std::filesystem;
  shelltest::TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  const fs::path program = ZOLBECK_EXE;
  auto play = [&](const fs::path& exe, std::string& trace, std::string& dump) {
    const std::string tracePath = temp.path() + "/trace.jsonl", dumpPath = temp.path() + "/dump.wav";
    ProgramRun run;
    run.exitCode = portable::RunProgram(exe.string(),
                                        {"--headless", "--frames", "120", "--seed", "5", "--sound",
                                         "--trace", tracePath, "--audio-dump", dumpPath},
                                        temp.path(), temp.path() + "/stderr.txt", 60000);
    run.errors = shelltest::ReadWholeFile(temp.path() + "/stderr.txt");
    trace = shelltest::ReadWholeFile(tracePath);
    dump = shelltest::ReadWholeFile(dumpPath);
    return run;
  };
  std::string trace, dump;
  ProgramRun reference = play(program, trace, dump);
  ASSERT_EQ(reference.exitCode, 0) << reference.errors;
  ASSERT_EQ(reference.errors, "");

  const std::string longName(120, 'l');
  const std::string folders[] = {"jos\xC3\xA9/game", longName + "/" + longName + "/game"};
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    const fs::path game = fs::path(temp.path()) / "install" / folder;
    fs::create_directories(game);
    // The program's own file must be in the folder (a link would lead back).
    std::error_code linked;
    fs::create_hard_link(program, game / "zolbeck", linked);
    if (linked) fs::copy_file(program, game / "zolbeck");
    // The data, the stage files among it, lie beside the program (a program
    // works in its own folder).
    for (const char* name : {"BMP", "WAVE", "MIDI", "SOUND.PAK", "stagedata.txt", "map01_data.txt",
                             "map01_teki.txt", "map01_zk.txt"})
      fs::create_symlink(program.parent_path() / name, game / name);
    std::string movedTrace, movedDump;
    ProgramRun moved = play(game / "zolbeck", movedTrace, movedDump);
    EXPECT_EQ(moved.exitCode, 0) << moved.errors;
    EXPECT_EQ(moved.errors, "");
    EXPECT_TRUE(movedTrace == trace);
    EXPECT_TRUE(movedDump == dump);
  }
}
#endif

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
