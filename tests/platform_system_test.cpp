// The operating-system services of the platform layer: text conversion,
// system facts and the single-instance lock. Windows-form file names are
// tested in platform_paths_test.cpp.
#include <gtest/gtest.h>
#include <stdlib.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/backend.h"
#include "platform/core/folder_roots.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "portable.h"

namespace {

using portable::U8;

// ---------------------------------------------------------------------------
// Text

TEST(PlatformText, TitleRoundTrip) {
  const std::string title = "ゾルベック！";
  ASSERT_EQ(title.size(), 12u);  // six double-byte characters
  EXPECT_EQ(plat::Cp932ToUtf8(title), U8(u8"ゾルベック！"));
  EXPECT_EQ(plat::Utf8ToCp932(U8(u8"ゾルベック！")), title);
}

TEST(PlatformText, TrailBytesThatLookLikeBackslashes) {
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C.
  const std::string text = "表示\\ソ";
  ASSERT_EQ(text, std::string("\x95\x5C\x8E\xA6\x5C\x83\x5C"));
  EXPECT_EQ(plat::Cp932ToUtf8(text), U8(u8"表示\\ソ"));
  EXPECT_EQ(plat::Utf8ToCp932(U8(u8"表示\\ソ")), text);
  // The single-byte 0x5C and 0x7E stay backslash and tilde; half-width kana
  // are single bytes.
  EXPECT_EQ(plat::Cp932ToUtf8("a\\~\xB1"), U8(u8"a\\~ｱ"));
}

TEST(PlatformText, LongTextRoundTrip) {
  std::string text;
  for (int n = 0; n < 1000; ++n) text += "ｱ表A";
  std::string utf8 = plat::Cp932ToUtf8(text);
  EXPECT_EQ(utf8.size(), 1000u * (3 + 3 + 1));
  EXPECT_EQ(plat::Utf8ToCp932(utf8), text);
}

TEST(PlatformText, BadCp932BecomesQuestionMarks) {
  EXPECT_EQ(plat::Cp932ToUtf8(""), "");
  EXPECT_EQ(plat::Cp932ToUtf8("abc\x81"), "abc?");         // lone lead byte at the end
  EXPECT_EQ(plat::Cp932ToUtf8("\x81 x"), "? x");           // lead byte without a trail byte
  EXPECT_EQ(plat::Cp932ToUtf8("\x85\x40" "A"), "?A");      // unassigned double-byte code
  EXPECT_EQ(plat::Cp932ToUtf8("\x80\xA0" "b"), "??b");     // bytes that start nothing
}

TEST(PlatformText, UnconvertibleUtf8BecomesQuestionMarks) {
  EXPECT_EQ(plat::Utf8ToCp932(""), "");
  EXPECT_EQ(plat::Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // no emoji in CP932
  EXPECT_EQ(plat::Utf8ToCp932("\xFF" "c"), "?c");                // not UTF-8 at all
  EXPECT_EQ(plat::Utf8ToCp932("d\xE3\x81"), "d?");               // cut off at the end
  EXPECT_EQ(plat::Utf8ToCp932("\xE3\x81" "A"), "?A");            // cut off in the middle
}

// ---------------------------------------------------------------------------
// System facts

TEST(PlatformFacts, LocalTimeIsACalendarDate) {
  plat::LocalTime now = plat::GetLocalTime();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_GE(now.second, 0);
  EXPECT_LE(now.second, 59);
  EXPECT_GE(now.milliseconds, 0);
  EXPECT_LE(now.milliseconds, 999);
  // The weekday belongs to the date (Sakamoto's rule, 0 = Sunday).
  static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = now.year - (now.month < 3 ? 1 : 0);
  int weekday = (y + y / 4 - y / 100 + y / 400 + offsets[now.month - 1] + now.day) % 7;
  EXPECT_EQ(now.weekday, weekday);
}

TEST(PlatformFacts, DiskMemoryAndVersion) {
  EXPECT_GT(plat::GetFreeDiskBytes("C:\\"), 0u);
  EXPECT_EQ(plat::GetFreeDiskBytes("\\no such folder\\at all"), 0u);
  EXPECT_GT(plat::GetAvailableMemoryBytes(), 0u);
  plat::VersionInfo version = plat::GetVersion();
#if defined(_WIN32)
  EXPECT_EQ(version.platformId, 2);  // the NT family
#else
  EXPECT_GT(plat::GetFreeDiskBytes("q:\\"), 0u);  // every letter is the one tree
  // None of the old Windows platforms.
  EXPECT_TRUE(version.platformId < 0 || version.platformId > 3) << version.platformId;
#endif
  EXPECT_GE(version.major, 3);
  EXPECT_GE(version.minor, 0);
}

#if !defined(_WIN32)
// ---------------------------------------------------------------------------
// Single instance, across real processes

// A lock name of this test process only, so parallel test runs and the game
// itself do not meet.
std::string LockName(const char* what) {
  return std::string("ゾルベック！:ElMutex ") + what + " " + std::to_string(getpid());
}

// Runs `body` in a child process that starts without the parent's lock (a
// forked child shares the parent's socket until it lets go of it) and
// returns its exit code.
template <typename Body>
int InChild(Body body) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    plat::ReleaseInstanceLock();
    _exit(body());
  }
  if (child < 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool ChildAcquires(const std::string& name) {
  return InChild([&] { return plat::AcquireInstanceLock(name.c_str()) ? 1 : 0; }) == 1;
}

TEST(PlatformInstance, SecondProcessIsRefusedUntilRelease) {
  const std::string name = LockName("release");
  ASSERT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  EXPECT_FALSE(ChildAcquires(name));
  EXPECT_TRUE(ChildAcquires(LockName("other name")));
  // The holder asking again is refused too, and keeps its lock.
  EXPECT_FALSE(plat::AcquireInstanceLock(name.c_str()));
  EXPECT_FALSE(ChildAcquires(name));
  plat::ReleaseInstanceLock();
  EXPECT_TRUE(ChildAcquires(name));
  EXPECT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  plat::ReleaseInstanceLock();
}

// Sets the display variables the lock is keyed by for one test and puts
// the process's own back afterwards (null: unset).
class DisplayEnvironment {
 public:
  DisplayEnvironment(const char* x11, const char* wayland, const char* runtime) {
    const char* values[] = {x11, wayland, runtime};
    for (int i = 0; i < 3; ++i) {
      if (const char* v = getenv(kNames[i])) had_[i] = true, saved_[i] = v;
      if (values[i]) setenv(kNames[i], values[i], 1); else unsetenv(kNames[i]);
    }
  }
  ~DisplayEnvironment() {
    for (int i = 0; i < 3; ++i) {
      if (had_[i]) setenv(kNames[i], saved_[i].c_str(), 1); else unsetenv(kNames[i]);
    }
  }

 private:
  static constexpr const char* kNames[3] = {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
  bool had_[3] = {};
  std::string saved_[3];
};

// One copy per user and desktop: a child on the same display (however its
// name is spelt) is refused, one on another X or Wayland display is not.
TEST(PlatformInstance, KeyedByTheDisplay) {
  DisplayEnvironment desktop(":7", "wayland-3", "/run/user/1000");
  const std::string name = LockName("display");
  ASSERT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  const struct {
    const char* x11;
    const char* wayland;
    bool acquires;
  } cases[] = {
      {":7", "wayland-3", false},
      {":7.0", "wayland-3", false},
      {"unix:7.1", "/run/user/1000/wayland-3", false},
      {":8", "wayland-3", true},
      {":70", "wayland-3", true},
      {":7", "wayland-4", true},
      {":7", nullptr, true},
      {nullptr, "wayland-3", true},
  };
  for (const auto& c : cases) {
    const int got = InChild([&] {
      if (c.x11) setenv("DISPLAY", c.x11, 1); else unsetenv("DISPLAY");
      if (c.wayland) setenv("WAYLAND_DISPLAY", c.wayland, 1); else unsetenv("WAYLAND_DISPLAY");
      return plat::AcquireInstanceLock(name.c_str()) ? 1 : 0;
    });
    EXPECT_EQ(got, c.acquires ? 1 : 0) << (c.x11 ? c.x11 : "-") << " " << (c.wayland ? c.wayland : "-");
  }
  plat::ReleaseInstanceLock();
}

TEST(PlatformInstance, LockIsFreedWhenTheHolderDies) {
  const std::string name = LockName("dies");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  std::fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    close(ready[0]);
    char answer = plat::AcquireInstanceLock(name.c_str()) ? 'y' : 'n';
    if (write(ready[1], &answer, 1) != 1) _exit(2);
    for (;;) pause();
  }
  ASSERT_GT(child, 0);
  close(ready[1]);
  char answer = 0;
  EXPECT_EQ(read(ready[0], &answer, 1), 1);
  close(ready[0]);
  EXPECT_EQ(answer, 'y');
  EXPECT_FALSE(plat::AcquireInstanceLock(name.c_str()));
  // Killed, without a chance to release anything.
  kill(child, SIGKILL);
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  plat::ReleaseInstanceLock();
}

TEST(PlatformInstance, RaiseRequestReachesTheHolder) {
  const std::string name = LockName("raise");
  EXPECT_FALSE(plat::TakeRaiseRequest());  // no lock, nothing to take
  EXPECT_FALSE(plat::RaiseOtherInstance(name.c_str()));  // nobody answers

  ASSERT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  EXPECT_FALSE(plat::TakeRaiseRequest());
  EXPECT_EQ(InChild([&] { return plat::RaiseOtherInstance(name.c_str()) ? 1 : 0; }), 1);
  bool raised = false;
  for (int n = 0; n < 200 && !raised; ++n) {
    raised = plat::TakeRaiseRequest();
    if (!raised) usleep(10000);
  }
  EXPECT_TRUE(raised);
  EXPECT_FALSE(plat::TakeRaiseRequest());  // taken once only

  // A request for another name does not arrive here.
  EXPECT_EQ(InChild([&] {
              return plat::RaiseOtherInstance(LockName("nobody").c_str()) ? 1 : 0;
            }), 0);
  plat::ReleaseInstanceLock();
  EXPECT_FALSE(plat::RaiseOtherInstance(name.c_str()));
  EXPECT_FALSE(plat::TakeRaiseRequest());
}

// A second copy that connects and sends its byte only a little later: the
// request must not be lost between two polls. The address is rebuilt here
// the way the lock names it, to hold the connection open by hand.
TEST(PlatformInstance, SlowRaiseRequestIsNotLost) {
  // The socket's name is the lock's, the user's and the display's.
  DisplayEnvironment desktop(":5", nullptr, nullptr);
  const std::string name = LockName("slow");
  auto fnv1a = [](const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
      hash ^= c;
      hash *= 0x100000001b3ull;
    }
    return static_cast<unsigned long long>(hash);
  };
  char text[96];
  int length = std::snprintf(text, sizeof text, "zolbeck-instance:%u:%016llx:%016llx",
                             static_cast<unsigned>(getuid()), fnv1a(name), fnv1a("x=:5 w="));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, text, static_cast<size_t>(length));
  socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);

  ASSERT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  int client = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(client, 0);
  ASSERT_EQ(connect(client, reinterpret_cast<const sockaddr*>(&address), size), 0);
  EXPECT_FALSE(plat::TakeRaiseRequest());  // connected, nothing said yet
  EXPECT_FALSE(plat::TakeRaiseRequest());
  const char byte = 'R';
  ASSERT_EQ(send(client, &byte, 1, MSG_NOSIGNAL), 1);
  EXPECT_TRUE(plat::TakeRaiseRequest());
  EXPECT_FALSE(plat::TakeRaiseRequest());
  // A copy that hangs up without a word is no request.
  int quiet = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(connect(quiet, reinterpret_cast<const sockaddr*>(&address), size), 0);
  EXPECT_FALSE(plat::TakeRaiseRequest());
  close(quiet);
  EXPECT_FALSE(plat::TakeRaiseRequest());
  close(client);
  plat::ReleaseInstanceLock();
}

#else
// ---------------------------------------------------------------------------
// Single instance on Windows: a named mutex

TEST(PlatformInstance, AcrossForkedProcesses) {
  GTEST_SKIP() << "the lock tests of Linux fork the test program; Windows cannot";
}

TEST(PlatformInstanceWindows, HeldNameIsRefusedUntilRelease) {
  const std::string name = "ゾルベック！:ElMutex test " + std::to_string(portable::ProcessId());
  ASSERT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  // A second open of the same name, as a second copy's would be.
  EXPECT_FALSE(plat::AcquireInstanceLock(name.c_str()));
  // No window published: nobody to raise.
  EXPECT_FALSE(plat::RaiseOtherInstance(name.c_str()));
  plat::ReleaseInstanceLock();
  EXPECT_TRUE(plat::AcquireInstanceLock(name.c_str()));
  plat::ReleaseInstanceLock();
}
#endif
}  // namespace

namespace {

// The C runtime's generator gives the GNU C library's sequence on every
// system (Windows builds carry it), so replays agree across systems.
TEST(CRuntimeRandom, GivesTheGnuSequence) {
  std::srand(1);
  const int expected[] = {1804289383, 846930886, 1681692777, 1714636915, 1957747793};
  for (int value : expected) EXPECT_EQ(std::rand(), value);
  std::srand(0);  // seed 0 is seed 1
  EXPECT_EQ(std::rand(), 1804289383);
  std::srand(4000000000u);
  const int first = std::rand();
  std::srand(4000000000u);
  EXPECT_EQ(std::rand(), first);
}

}  // namespace
