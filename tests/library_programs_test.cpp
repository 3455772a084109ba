// What a programmer using the library meets: the line a failure writes on
// standard error and the exit code of the run (through small programs on
// the library, run as processes), text converted from UTF-8, and the guide,
// which must show the hello example as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <zolbeck/elsystem.h>

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
[[maybe_unused]] ProgramRun RunHeadless(const char* program, std::vector<std::string> args) {
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

#ifdef ZOLBECK_SOUND_DEMO_EXE

TEST(ProgramFailures, SoundDemoWithAFileWhereItsFolderGoes) {
  // The demo writes into DEMOSND beside itself: a copy of it in a folder
  // where DEMOSND is a file says so in one line and fails the run.
  std::string temp = portable::MakeTempFolder("zolbeck-demo-");
  const std::string program = temp + "/zolbeck_sound_demo";
  std::filesystem::copy_file(ZOLBECK_SOUND_DEMO_EXE, program);
  std::ofstream(temp + "/DEMOSND") << "not a folder";
  const int exitCode =
      portable::RunProgram(program, {"--headless", "--frames", "5"}, temp, temp + "/stderr.txt", 60000);
  const std::string errors = ReadFile(temp + "/stderr.txt");
  portable::RemoveTree(temp);
  EXPECT_EQ(exitCode, 1) << errors;
  EXPECT_EQ(errors.rfind("zolbeck_sound_demo: DEMOSND: cannot be made a folder: ", 0), 0u) << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

#endif  // ZOLBECK_SOUND_DEMO_EXE

TEST(FromUtf8, JapaneseTextComesBackAndWhatShiftJisLacksBecomesQuestionMarks) {
  // Literals of this file are Shift-JIS already: the conversion must give
  // the same bytes. (The UTF-8 texts stay out of the macros, which would
  // spell them in Shift-JIS, and an emoji has none.)
  const std::string title = Utf8(u8"ゾルベック！ HP=120"), marks = Utf8(u8"①～㈱");
  EXPECT_EQ(elSystem::FromUtf8(title.c_str()), "ゾルベック！ HP=120");
  EXPECT_EQ(elSystem::FromUtf8(marks.c_str()), "①～㈱");
  // An accented letter and an emoji are not in Shift-JIS: one '?' each.
  const std::string foreign = Utf8(u8"café😀姫");
  EXPECT_EQ(elSystem::FromUtf8(foreign.c_str()), "caf??姫");
  EXPECT_EQ(elSystem::FromUtf8(nullptr), "");

  // The fixed buffer keeps whole characters and always its terminator.
  struct Cut {
    int size;
    const char* expected;
  };
  const Cut cuts[] = {{0, ""}, {1, ""}, {2, "A"}, {3, "A"}, {4, "A姫"}, {5, "A姫B"}, {32, "A姫B"}};
  for (const Cut& cut : cuts) {
    char out[32];
    std::memset(out, 'x', sizeof out);
    int length = elSystem::FromUtf8(Utf8(u8"A姫B").c_str(), out, cut.size);
    EXPECT_EQ(length, static_cast<int>(std::strlen(cut.expected))) << cut.size;
    if (cut.size > 0) {
      EXPECT_STREQ(out, cut.expected) << cut.size;
    } else {
      EXPECT_EQ(out[0], 'x');  // nothing written at all
    }
    if (cut.size < static_cast<int>(sizeof out)) {
      EXPECT_EQ(out[cut.size], 'x') << "written past " << cut.size;
    }
  }
}

TEST(Guide, ShowsTheHelloExampleAsItIs) {
  // Built by appending: GCC 12 misreads a chain of + on a literal as an
  // overflow.
  std::string guidePath = ZOLBECK_SOURCE_DIR, programPath = ZOLBECK_SOURCE_DIR;
  guidePath += "/docs/LIBRARY.md";
  programPath += "/examples/hello/hello.cpp";
  const std::string guide = ReadFile(guidePath);
  const std::string program = ReadFile(programPath);
  ASSERT_FALSE(program.empty());
  const std::string start = "```cpp\n// Hello:";
  size_t at = guide.find(start);
  ASSERT_NE(at, std::string::npos) << "docs/LIBRARY.md shows no hello program";
  at += std::strlen("```cpp\n");
  size_t end = guide.find("```\n", at);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(guide.substr(at, end - at), program)
      << "docs/LIBRARY.md must show examples/hello/hello.cpp as it is";
}

}  // namespace
