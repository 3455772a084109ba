// The small system services: program folder and data root, settings files,
// debug log, message boxes and the version query.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "shell_fixture.h"
#include "portable.h"

namespace {

using namespace elSystem;
namespace hl = plat::headless;
using shelltest::ReadWholeFile;
using shelltest::ShellTest;
using shelltest::TempFolder;
using shelltest::WriteWholeFile;

// A path of this system in the Windows form the library speaks.
std::string WindowsForm(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// The folder holding this test program, with a trailing separator.
std::string OwnFolder() { return portable::ProgramFolder(); }

using ServicesTest = ShellTest;

TEST_F(ServicesTest, ProgramFolderWithAndWithoutDataRoot) {
  std::string own = OwnFolder();
  ASSERT_FALSE(own.empty());
  const std::string expected = WindowsForm(own);
  EXPECT_EQ(std::string(GetProgramFolder(0)), expected);
  EXPECT_EQ(std::string(GetProgramFolder(1)), expected);  // no data root

  // The last folder name of the program moves under the data root.
  std::string trimmed = own.substr(0, own.size() - 1);
  std::string lastFolder = trimmed.substr(trimmed.find_last_of("\\/") + 1);
  std::strcpy(dataRoot, "D:\\Data");
  EXPECT_EQ(std::string(GetProgramFolder(1)), "D:\\Data\\" + lastFolder + "\\");
  EXPECT_EQ(std::string(lastFolderName), lastFolder + "\\");
  // Flag 0 is the program's own folder whatever the data root.
  EXPECT_EQ(std::string(GetProgramFolder(0)), expected);

  // A data root that leaves no room for the folder name would be cut into
  // another folder's name: the program's own folder is given instead.
  std::string longRoot = "D:\\" + std::string(kNameBufferSize - 5 - lastFolder.size(), 'x');
  std::strcpy(dataRoot, longRoot.c_str());
  EXPECT_EQ(std::string(GetProgramFolder(1)), expected);
  longRoot.pop_back();  // now exactly fits, with its final backslash
  std::strcpy(dataRoot, longRoot.c_str());
  EXPECT_EQ(std::string(GetProgramFolder(1)), longRoot + "\\" + lastFolder + "\\");
}

TEST_F(ServicesTest, NumberFilesGoUnderTheDataRoot) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  std::string own = OwnFolder();
  std::string trimmed = own.substr(0, own.size() - 1);
  std::string lastFolder = trimmed.substr(trimmed.find_last_of("\\/") + 1);
  std::string folder = temp.path() + "/" + lastFolder;
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  std::snprintf(dataRoot, sizeof dataRoot, "%s", WindowsForm(temp.path()).c_str());

  WriteNumberFile("SCORE.DAT", -1234);
  // Decimal, no line break.
  EXPECT_EQ(ReadWholeFile(folder + "/SCORE.DAT"), "-1234");
  EXPECT_EQ(ReadNumberFile("SCORE.DAT"), -1234);
  EXPECT_EQ(ReadNumberFile("score.dat"), -1234);  // names match in any case
  WriteNumberFile("SCORE.DAT", 7);                // rewritten, not appended
  EXPECT_EQ(ReadWholeFile(folder + "/SCORE.DAT"), "7");

  EXPECT_EQ(ReadNumberFile("MISSING.DAT"), 0);
  WriteWholeFile(folder + "/JUNK.DAT", "abc");
  EXPECT_EQ(ReadNumberFile("JUNK.DAT"), 0);
}

class DataRootTest : public ShellTest {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    GTEST_SKIP() << "the data root's file is found in the Windows directory, which a test cannot move";
#endif
    ShellTest::SetUp();
    const char* old = std::getenv("XDG_CONFIG_HOME");
    hadConfig_ = old != nullptr;
    if (old) oldConfig_ = old;
    ASSERT_FALSE(temp_.path().empty());
    portable::SetEnv("XDG_CONFIG_HOME", temp_.path().c_str());
  }
  void TearDown() override {
    if (hadConfig_) {
      portable::SetEnv("XDG_CONFIG_HOME", oldConfig_.c_str());
    } else {
      portable::UnsetEnv("XDG_CONFIG_HOME");
    }
    ShellTest::TearDown();
  }
  std::string RootAfterReading(const std::string& line) {
    WriteWholeFile(temp_.path() + "/ROOT.TXT", line);
    std::strcpy(dataRoot, "stale");
    LoadDataRoot("ROOT.TXT");
    return dataRoot;
  }
  TempFolder temp_;
  bool hadConfig_ = false;
  std::string oldConfig_;
};

TEST_F(DataRootTest, LineFeedThenOneBackslashIsRemoved) {
  EXPECT_EQ(RootAfterReading("D:\\Data\\\n"), "D:\\Data");
  EXPECT_EQ(RootAfterReading("D:\\Data\n"), "D:\\Data");
  EXPECT_EQ(RootAfterReading("D:\\Data"), "D:\\Data");
  EXPECT_EQ(RootAfterReading("D:\\Data\\\\\n"), "D:\\Data\\");
  // Only the first line counts.
  EXPECT_EQ(RootAfterReading("E:\\Save\nF:\\Other\n"), "E:\\Save");
  // 表 ends in the byte 0x5C, which is no backslash.
  EXPECT_EQ(RootAfterReading("D:\\表\n"), "D:\\表");
  EXPECT_EQ(RootAfterReading("\n"), "");
  // A file written with CR LF line ends reads the same.
  EXPECT_EQ(RootAfterReading("D:\\Data\\\r\n"), "D:\\Data");
}

TEST_F(DataRootTest, MissingFileLeavesNoRoot) {
  std::strcpy(dataRoot, "stale");
  LoadDataRoot("NOSUCH.TXT");
  EXPECT_EQ(dataRoot[0], '\0');
}

TEST(WindowsVersion, PlatformAndVersionMapToOneNumber) {
  struct Case {
    int platform, major, minor, expected;
  } cases[] = {
      {0, 3, 10, 310},   {1, 4, 0, 950},    {1, 4, 10, 980},  {1, 4, 90, 980},
      {1, 3, 95, 395},   {2, 4, 0, 4000},   {2, 5, 0, 2000},  {2, 5, 1, 2000},
      {2, 5, 2, 2000},   {2, 6, 1, 6010},   {2, 10, 0, 10000}, {3, 6, 1, -1},
      {-1, 0, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsVersionNumber(c.platform, c.major, c.minor), c.expected)
        << c.platform << " " << c.major << "." << c.minor;
  }
}

TEST_F(ServicesTest, ThisSystemIsNoWindowsVersionExceptOnWindows) {
#if defined(_WIN32)
  EXPECT_GE(GetWindowsVersion(), 5000);  // an NT system: major * 1000 + minor * 10
#else
  EXPECT_EQ(GetWindowsVersion(), -1);
#endif
}

TEST_F(ServicesTest, DebugLogAppendsOneLinePerCall) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(temp.path().c_str()), 0);
  EXPECT_EQ(DebugLog("score %d of %s", 42, "ゾルベック"), 1);
  EXPECT_EQ(DebugLog("second"), 1);
  std::string text = ReadWholeFile(temp.path() + "/DEBUG.TXT");
  ASSERT_EQ(chdir(old), 0);
  EXPECT_EQ(text, std::string("score 42 of ゾルベック\nsecond\n"));

  // A folder in the file's place cannot be opened: skipped, reported as 0.
  std::string blocked = temp.path() + "/blocked";
  ASSERT_TRUE(std::filesystem::create_directory(blocked));
  ASSERT_TRUE(std::filesystem::create_directory(blocked + "/DEBUG.TXT"));
  ASSERT_EQ(chdir(blocked.c_str()), 0);
  EXPECT_EQ(DebugLog("lost"), 0);
  ASSERT_EQ(chdir(old), 0);
}

TEST_F(ServicesTest, WarningBoxShowsTheCursorAndRestartsTheFrameClock) {
  // The shell's hiding is in effect, balanced with the system count.
  plat::ShowCursor(false);
  cursorShown = 0;
  hl::SetClock(4000);
  dt = 0.25f;

  ShowWarning("depth %d bits", 8);
  EXPECT_EQ(hl::LastBoxCaption(), std::string("メッセージ"));
  EXPECT_EQ(hl::LastBoxText(), std::string("depth 8 bits\r\n"));
  EXPECT_EQ(messageBoxOpen, 0);
  EXPECT_EQ(cursorShown, 1);
  EXPECT_TRUE(hl::CursorVisible());
  EXPECT_EQ(shelltest::CursorDisplayCount(), 0);
  EXPECT_EQ(dt, 0.0f);
  EXPECT_EQ(lastFrameTick, plat::TimeGetTime());

  // A second box does not show the cursor twice.
  ShowWarning("again");
  EXPECT_EQ(shelltest::CursorDisplayCount(), 0);
}

TEST_F(ServicesTest, QuestionBoxAnswers) {
  EXPECT_EQ(AskYesNo("continue in %d colours?", 256), 1);  // the default button
  EXPECT_EQ(hl::LastBoxCaption(), std::string("メッセージ"));
  EXPECT_EQ(hl::LastBoxText(), std::string("continue in 256 colours?\r\n"));
  EXPECT_EQ(messageBoxOpen, 0);
  hl::AnswerNextBox(plat::Answer::No);
  EXPECT_EQ(AskYesNo("quit?"), 0);
  hl::AnswerNextBox(plat::Answer::Yes);
  EXPECT_EQ(AskYesNo("quit?"), 1);
}

TEST_F(ServicesTest, LongBoxTextIsCutToTheBuffer) {
  // The text and its line break share 260 bytes with the terminator.
  const std::string longText(400, 'x');
  ShowWarning("%s", longText.c_str());
  EXPECT_EQ(hl::LastBoxText(), std::string(257, 'x') + "\r\n");
  hl::AnswerNextBox(plat::Answer::No);
  EXPECT_EQ(AskYesNo("%s%s", longText.c_str(), longText.c_str()), 0);
  EXPECT_EQ(hl::LastBoxText(), std::string(257, 'x') + "\r\n");
  // A cut never leaves the first byte of a double-byte character alone.
  ShowWarning("x%s", std::string(300, 'x').insert(255, "表").c_str());
  EXPECT_EQ(hl::LastBoxText(), std::string(256, 'x') + "\r\n");
}

}  // namespace
