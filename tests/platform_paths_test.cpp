// Windows-form file names on this system's files: letter case, drive
// letters, double-byte names, opening in text modes, plain files only, and
// the program's and the Windows folders.
#include <gtest/gtest.h>
#include <stdlib.h>
#if !defined(_WIN32)
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/folder_roots.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "portable.h"

namespace {

using portable::U8;

#if !defined(_WIN32)
// ---------------------------------------------------------------------------
// Paths

// A scratch folder tree, removed again afterwards:
//   Data/BMP/Princess.bmp, lower.txt, Same.txt, same.txt,
//   表示/Note.TXT, 表/Ab.txt
class PlatformPath : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zb_system_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    windowsRoot = root;
    for (char& c : windowsRoot)
      if (c == '/') c = '\\';
    Make("/Data");
    Make("/Data/BMP");
    Touch("/Data/BMP/Princess.bmp");
    Touch("/lower.txt");
    Touch("/Same.txt");
    Touch("/same.txt");
    Make("/" + U8(u8"表示"));
    Touch("/" + U8(u8"表示") + "/Note.TXT");
    Make("/" + U8(u8"表"));
    Touch("/" + U8(u8"表") + "/Ab.txt");
  }
  void TearDown() override {
    std::string command = "rm -rf '" + root + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  void Make(const std::string& name) { ASSERT_EQ(mkdir((root + name).c_str(), 0700), 0); }
  void Touch(const std::string& name) {
    FILE* file = std::fopen((root + name).c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
  }
  std::string Resolve(const std::string& windowsPath) {
    return plat::ResolvePath(windowsPath.c_str());
  }
  std::string ReadAll(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      char buffer[256];
      size_t got;
      while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
      std::fclose(file);
    }
    return text;
  }

  std::string root;         // real path
  std::string windowsRoot;  // the same in Windows form
};

TEST_F(PlatformPath, MatchesEachPartInAnyCase) {
  const std::string princess = root + "/Data/BMP/Princess.bmp";
  EXPECT_EQ(Resolve(windowsRoot + "\\Data\\BMP\\Princess.bmp"), princess);
  EXPECT_EQ(Resolve(windowsRoot + "\\data\\bmp\\PRINCESS.BMP"), princess);
  EXPECT_EQ(Resolve(windowsRoot + "/DATA\\Bmp/princess.Bmp"), princess);  // either separator
  EXPECT_EQ(Resolve(windowsRoot + "\\\\data\\\\bmp\\princess.bmp"), princess);
  EXPECT_EQ(Resolve(windowsRoot + "\\data\\bmp\\"), root + "/Data/BMP/");
  // An exact spelling wins over another case; otherwise the choice is stable.
  EXPECT_EQ(Resolve(windowsRoot + "\\same.txt"), root + "/same.txt");
  EXPECT_EQ(Resolve(windowsRoot + "\\Same.txt"), root + "/Same.txt");
  EXPECT_EQ(Resolve(windowsRoot + "\\SAME.TXT"), root + "/Same.txt");
}

TEST_F(PlatformPath, DriveLettersMeanTheRoot) {
  const std::string princess = root + "/Data/BMP/Princess.bmp";
  EXPECT_EQ(Resolve("C:" + windowsRoot + "\\data\\bmp\\princess.bmp"), princess);
  EXPECT_EQ(Resolve("z:" + windowsRoot + "\\DATA\\BMP\\PRINCESS.BMP"), princess);
  EXPECT_EQ(Resolve("E:\\"), "/");
  EXPECT_EQ(Resolve("\\"), "/");
}

TEST_F(PlatformPath, DoubleByteNamesWithBackslashTrailBytes) {
  // "表示" is 0x95 0x5C 0x8E 0xA6: its 0x5C must not split the name.
  EXPECT_EQ(Resolve(windowsRoot + "\\表示\\note.txt"), root + "/" + U8(u8"表示") + "/Note.TXT");
  // "表" ends in 0x5C right before a real backslash.
  EXPECT_EQ(Resolve(windowsRoot + "\\表\\AB.TXT"), root + "/" + U8(u8"表") + "/Ab.txt");
}

TEST_F(PlatformPath, UnmatchedPartsAndDots) {
  // Names that do not exist are kept as written, so files can be created.
  EXPECT_EQ(Resolve(windowsRoot + "\\data\\NewFile.txt"), root + "/Data/NewFile.txt");
  EXPECT_EQ(Resolve(windowsRoot + "\\Nothing\\bmp\\x.txt"), root + "/Nothing/bmp/x.txt");
  EXPECT_EQ(Resolve(windowsRoot + "\\data\\..\\LOWER.TXT"), root + "/Data/../lower.txt");
  EXPECT_EQ(Resolve(windowsRoot + "\\.\\data"), root + "/./Data");
  EXPECT_EQ(Resolve(""), "");
  EXPECT_EQ(plat::ResolvePath(nullptr), "");
}

TEST_F(PlatformPath, RelativeToTheCurrentFolder) {
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(root.c_str()), 0);
  std::string bmp = Resolve("data\\bmp\\princess.bmp");
  std::string lower = Resolve("LOWER.TXT");
  std::string up = Resolve("..\\" + root.substr(root.rfind('/') + 1) + "\\DATA");
  FILE* file = plat::OpenFile("Data\\BMP\\PRINCESS.bmp", "rb");
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_EQ(bmp, "Data/BMP/Princess.bmp");
  EXPECT_EQ(lower, "lower.txt");
  EXPECT_EQ(up, "../" + root.substr(root.rfind('/') + 1) + "/Data");
  EXPECT_NE(file, nullptr);
  if (file != nullptr) std::fclose(file);
}

TEST_F(PlatformPath, OpenFileInTextModes) {
  // A new file in a folder matched in another case.
  FILE* file = plat::OpenFile((windowsRoot + "\\DATA\\Number.txt").c_str(), "wt");
  ASSERT_NE(file, nullptr);
  std::fprintf(file, "%d", 12345);
  std::fclose(file);
  file = plat::OpenFile((windowsRoot + "\\data\\number.TXT").c_str(), "at");
  ASSERT_NE(file, nullptr);
  std::fprintf(file, "line\n");
  std::fclose(file);
  EXPECT_EQ(ReadAll(root + "/Data/Number.txt"), "12345line\n");

  file = plat::OpenFile((windowsRoot + "\\Data\\NUMBER.txt").c_str(), "rt");
  ASSERT_NE(file, nullptr);
  int number = 0;
  EXPECT_EQ(std::fscanf(file, "%d", &number), 1);
  EXPECT_EQ(number, 12345);
  std::fclose(file);

  EXPECT_EQ(plat::OpenFile((windowsRoot + "\\data\\missing.txt").c_str(), "rt"), nullptr);
  EXPECT_EQ(plat::OpenFile((windowsRoot + "\\missing\\new.txt").c_str(), "wt"), nullptr);
  EXPECT_EQ(plat::OpenFile(nullptr, "rt"), nullptr);
}

// Only plain files open; a pipe with no writer, a folder or a device is
// refused at once instead of being waited on or read for ever. Each open
// runs in a child with an alarm, so a wait fails the test instead of
// holding it.
TEST_F(PlatformPath, SpecialFilesAreRefusedAtOnce) {
  const std::string fifo = root + "/picture.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    const char* mode;
  } cases[] = {
      {fifo, "rb"}, {fifo, "wb"}, {root + "/Data", "rb"}, {"/dev/zero", "rb"}, {"/dev/null", "wb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + c.mode);
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
      alarm(5);
      FILE* real = plat::OpenRealFile(c.path.c_str(), c.mode);
      FILE* windows = plat::OpenFile(plat::Utf8ToCp932(c.path).c_str(), c.mode);
      plat::Bitmap bitmap;
      bool loaded = plat::LoadBitmap(plat::Utf8ToCp932(c.path).c_str(), bitmap);
      _exit(real == nullptr && windows == nullptr && !loaded ? 0 : 1);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "waited on it";
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  }
}

TEST_F(PlatformPath, ReadSmallFileReadsPlainFilesUpToTheirLimit) {
  const std::string path = root + "/Data/Number.txt";
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite("12\0" "34", 1, 5, file);
  std::fclose(file);
  std::string text, reason;
  ASSERT_TRUE(plat::ReadSmallFile(path.c_str(), 5, text, reason)) << reason;
  EXPECT_EQ(text, std::string("12\0" "34", 5));
  EXPECT_FALSE(plat::ReadSmallFile(path.c_str(), 4, text, reason));
  EXPECT_EQ(reason, "larger than 4 bytes");
  EXPECT_FALSE(plat::ReadSmallFile((root + "/Data").c_str(), 100, text, reason));
  EXPECT_EQ(reason, "not a plain file");
  EXPECT_FALSE(plat::ReadSmallFile("/dev/zero", 100, text, reason));
  EXPECT_EQ(reason, "not a plain file");
  EXPECT_FALSE(plat::ReadSmallFile((root + "/missing").c_str(), 100, text, reason));
  EXPECT_EQ(reason, std::strerror(ENOENT));
}

// A folder a Windows-form name cannot hold (a character Shift-JIS lacks, a
// backslash, more than 191 bytes) is handed out behind a root, and names
// under that root resolve to the real folder, never to another one.
TEST_F(PlatformPath, FoldersAWindowsFormCannotHoldStandBehindARoot) {
  const std::string longName(120, 'l');
  const struct {
    std::string folder;
    std::string form;
  } cases[] = {
      {"/Data", windowsRoot + "\\Data"},
      {"/" + U8(u8"表示"), windowsRoot + "\\表示"},
      {"/" + U8(u8"josé") + "/game", "0:\\game"},
      {"/a\\b/game", "0:\\game"},
      {"/" + longName + "/" + longName + "/game", "0:\\game"},
      {"/" + U8(u8"josé"), "0:"},                    // the last name itself
      {"/" + longName + "/" + std::string(200, 'm'), "0:"},  // a last name too long
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    std::filesystem::create_directories(root + c.folder + "/BMP");
    Touch(c.folder + "/BMP/Princess.bmp");
    const std::string form = plat::FolderForm(plat::FolderRoot::Program, root + c.folder, plat::kFolderFormMax);
    EXPECT_EQ(form, c.form);
    EXPECT_EQ(Resolve(form + "\\bmp\\PRINCESS.BMP"), root + c.folder + "/BMP/Princess.bmp");
    EXPECT_EQ(Resolve(form + "\\"), root + c.folder + "/");
  }
  // A root that stands for nothing is no root: the name is a relative one.
  plat::FolderForm(plat::FolderRoot::Configuration, root, plat::kFolderFormMax);
  EXPECT_EQ(Resolve("1:\\x"), "1:/x");
}

TEST(PlatformPaths, ModuleFileNameIsTheProgramInWindowsForm) {
  char real[4096];
  ssize_t length = readlink("/proc/self/exe", real, sizeof real - 1);
  ASSERT_GT(length, 0);
  real[length] = '\0';
  std::string name = plat::ModuleFileName();
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name[0], '\\');
  EXPECT_EQ(name.find('/'), std::string::npos);
  EXPECT_EQ(name.find(':'), std::string::npos);
  EXPECT_EQ(plat::ResolvePath(name.c_str()), std::string(real));
}

TEST(PlatformPaths, WindowsDirectoryIsTheConfigurationFolder) {
  std::string savedXdg = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
  bool hadXdg = getenv("XDG_CONFIG_HOME") != nullptr;
  std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
  bool hadHome = getenv("HOME") != nullptr;

  setenv("XDG_CONFIG_HOME", (U8(u8"/tmp/zb cfg/設定") + "/").c_str(), 1);
  std::string fromXdg = plat::WindowsDirectory();
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/princess", 1);
  std::string fromHome = plat::WindowsDirectory();
  setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
  std::string fromRelative = plat::WindowsDirectory();
  const std::string outside = U8(u8"/tmp/zb cfg/josé/cfg");
  setenv("XDG_CONFIG_HOME", outside.c_str(), 1);
  std::string fromOutside = plat::WindowsDirectory();
  std::string outsideFile = plat::ResolvePath((fromOutside + "\\root.txt").c_str());

  if (hadXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
  if (hadHome) setenv("HOME", savedHome.c_str(), 1);
  else unsetenv("HOME");

  EXPECT_EQ(fromXdg, "\\tmp\\zb cfg\\設定");
  EXPECT_EQ(fromHome, "\\home\\princess\\.config");
  EXPECT_EQ(fromRelative, "\\home\\princess\\.config");
  EXPECT_EQ(fromOutside, "1:\\cfg");
  EXPECT_EQ(outsideFile, outside + "/root.txt");
}

#else
// ---------------------------------------------------------------------------
// Paths on Windows: the names are the system's own

TEST(PlatformPath, LetterCaseMatchingOfLinux) {
  GTEST_SKIP() << "Windows matches letters in any case itself; the Linux search is not built here";
}

TEST(PlatformPathWindows, NamesOpenAsTheyAreAndOnlyPlainFiles) {
  const std::string root = portable::MakeTempFolder("zb_system_");
  ASSERT_FALSE(root.empty());
  const std::string folder = root + "\\" + U8(u8"表示");
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder)));
  const std::string windowsFile = plat::Utf8ToCp932(folder) + "\\Note.TXT";
  EXPECT_EQ(plat::ResolvePath(windowsFile.c_str()), folder + "\\Note.TXT");
  FILE* file = plat::OpenFile(windowsFile.c_str(), "wt");
  ASSERT_NE(file, nullptr);
  std::fputs("line\n", file);  // text mode writes the bytes as they are
  std::fclose(file);
  std::string text, reason;
  EXPECT_TRUE(plat::ReadSmallFile((folder + "\\note.txt").c_str(), 100, text, reason)) << reason;
  EXPECT_EQ(text, "line\n");
  EXPECT_FALSE(plat::ReadSmallFile((folder + "\\note.txt").c_str(), 3, text, reason));
  EXPECT_EQ(reason, "larger than 3 bytes");
  EXPECT_EQ(plat::FindFiles(plat::Utf8ToCp932(folder).c_str(), "*.txt"), std::vector<std::string>{"Note.TXT"});
  // A folder and a device are refused at once.
  EXPECT_FALSE(plat::ReadSmallFile(folder.c_str(), 100, text, reason));
  EXPECT_EQ(reason, "not a plain file");
  EXPECT_EQ(plat::OpenRealFile("NUL", "rb"), nullptr);
  EXPECT_TRUE(plat::RemoveFile(windowsFile.c_str()));
  EXPECT_FALSE(plat::RemoveFile(windowsFile.c_str()));
  portable::RemoveTree(root);
}

// The folders behind a root, as on Linux, and names past the old 260
// characters, which open through the system's long form.
TEST(PlatformPathWindows, FoldersBehindARootAndLongNames) {
  const std::string root = portable::MakeTempFolder("zb_system_");
  ASSERT_FALSE(root.empty());
  const std::string longName(120, 'l');
  const struct {
    std::string folder;
    std::string form;
  } cases[] = {
      {"\\" + U8(u8"josé") + "\\game", "0:\\game"},
      {"\\" + longName + "\\" + longName + "\\game", "0:\\game"},
      {"\\" + U8(u8"josé"), "0:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string real = root + c.folder;
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::u8path(real), made);
    ASSERT_FALSE(made) << made.message();
    const std::string form = plat::FolderForm(plat::FolderRoot::Program, real, plat::kFolderFormMax);
    EXPECT_EQ(form, c.form);
    EXPECT_EQ(plat::ResolvePath((form + "\\Note.txt").c_str()), real + "\\Note.txt");
    FILE* file = plat::OpenFile((form + "\\Note.txt").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("line", file);
    std::fclose(file);
    std::string text, reason;
    EXPECT_TRUE(plat::ReadSmallFile((real + "\\Note.txt").c_str(), 100, text, reason)) << reason;
    EXPECT_EQ(text, "line");
    EXPECT_TRUE(plat::RemoveFile((form + "\\Note.txt").c_str()));
  }
  portable::RemoveTree(root);
}

TEST(PlatformPathWindows, ProgramAndWindowsFolders) {
  const std::string name = plat::ModuleFileName();
  EXPECT_EQ(name.substr(name.size() - 18), "\\zolbeck_tests.exe");
  EXPECT_EQ(name.substr(1, 2), ":\\");
  const std::string windows = plat::WindowsDirectory();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(std::filesystem::is_directory(plat::ResolvePath(windows.c_str())));
}

#endif

}  // namespace
