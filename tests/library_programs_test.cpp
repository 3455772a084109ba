// What a programmer using the library meets: the line a failure writes on
// standard error and the exit code of the run, through small programs on
// the library run as processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "portable.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// UTF-8 text written in the source as u8"", whatever the literals' own
// character set (CP932 here).
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct ProgramRun {
  int exitCode = -1;
  std::string errors;
};

// Runs a program of the build folder headless for at most a few frames.
ProgramRun RunHeadless(const char* program, std::vector<std::string> args) {
  std::string temp = portable::MakeTempFolder("zolbeck-programs-");
  args.insert(args.end(), {"--headless", "--frames", "5"});
  ProgramRun run;
  run.exitCode = portable::RunProgram(program, args, temp, temp + "/stderr.txt", 60000);
  run.errors = ReadFile(temp + "/stderr.txt");
  portable::RemoveTree(temp);
  return run;
}

#ifdef ZOLBECK_FAILURES_EXE

TEST(ProgramFailures, EachFailureWritesOneLineAndQuitOnErrorEndsTheRunWith1) {
  struct Case {
    const char* what;
    const char8_t* line;  // the whole line, or its start where it ends in a long text
    int exitCode;
  };
  const Case cases[] = {
      {"picture", u8"zolbeck_failures: elDraw::LoadObject: BMP\\missing.bmp: BMPファイルを読み込めません\n", 1},
      {"sound", u8"zolbeck_failures: elSound::LoadObject: WAVE\\missing.wav: WAVEリソースが見つかりません\n", 1},
      {"sprite-pack",
       u8"zolbeck_failures: elDraw::LoadPack: MISSING.PAK: PRINCESS.BMP: パックファイル名が指定されていません\n", 1},
      {"sound-pack", u8"zolbeck_failures: elSound::LoadPack: SOUND.PAK: missing.wav: WAVEファイルを読み込めません\n",
       1},
      {"stream", u8"zolbeck_failures: elSound::LoadStream: SOUND.PAK: missing.wav: WAVEファイルを読み込めません\n",
       1},
      {"wait", u8"zolbeck_failures: elSystem::SetWait: timer 11: ウェイトNoが範囲外です\n", 1},
      // The warning is two lines in its box, one on the terminal.
      {"depth", u8"zolbeck_failures: elDraw::CheckWindowDepth: 　ウィンドウ状態で実行しようとしていますが、画面が65536色以下に設定されています。 正しく", 1},
      // Music shows no box: the run goes on and ends well.
      {"midi", u8"zolbeck_failures: elSound::PlayMidi: MIDI\\missing.mid: MCI error ", 0},
      {"none", u8"", 0},
  };
  for (const Case& c : cases) {
    ProgramRun run = RunHeadless(ZOLBECK_FAILURES_EXE, {c.what});
    const std::string line = Utf8(c.line);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.errors;
    EXPECT_EQ(run.errors.substr(0, line.size()), line) << c.what;
    EXPECT_LE(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << c.what << ": " << run.errors;
  }
}

TEST(ProgramFailures, AnErrorBoxAloneDoesNotFailTheRun) {
  // The program goes on after the box, as the game does after a failed
  // load, and quits well.
  ProgramRun run = RunHeadless(ZOLBECK_FAILURES_EXE, {"picture", "--keep-going"});
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("BMP\\missing.bmp"), std::string::npos) << run.errors;
}

#endif  // ZOLBECK_FAILURES_EXE

}  // namespace
