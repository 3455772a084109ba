// Operating-system services that do not depend on the backend, on Linux:
// Windows-form file names over a file system that minds letter case and
// system facts (text conversion: text_iconv.cpp; the single-instance lock:
// instance_posix.cpp).
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/core/convert_rules.h"
#include "platform/core/folder_roots.h"
#include "platform/platform.h"

namespace plat {

// ---------------------------------------------------------------------------
// Paths

namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

bool EqualNoCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] != '\0' && i < b.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return a[i] == '\0' && i == b.size();
}

// The entry of `folder` that spells `part` in another letter case. When
// several do, the smallest name wins so the choice does not depend on the
// order of the directory.
bool FindNoCase(const std::string& folder, const std::string& part, std::string& found) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  bool any = false;
  while (dirent* entry = readdir(dir)) {
    if (!EqualNoCase(entry->d_name, part)) continue;
    if (!any || found > entry->d_name) found = entry->d_name;
    any = true;
  }
  closedir(dir);
  return any;
}

// The target of a symbolic link, however long; "" when it cannot be read.
[[maybe_unused]] std::string ReadLink(const char* link) {
  std::string target(4096, '\0');
  for (;;) {
    ssize_t length = readlink(link, target.data(), target.size());
    if (length <= 0) return std::string();
    if (static_cast<size_t>(length) < target.size()) {
      target.resize(static_cast<size_t>(length));
      return target;
    }
    // readlink cuts the target silently to the room it is given.
    if (target.size() >= (1u << 20)) return std::string();
    target.resize(target.size() * 2);
  }
}

// The program's own file. A build whose system has no such link (the web
// page's file system) is given the place of its data instead.
std::string ProgramPath() {
#ifdef ZOLBECK_PROGRAM_PATH
  return ZOLBECK_PROGRAM_PATH;
#else
  return ReadLink("/proc/self/exe");
#endif
}

}  // namespace

std::string ModuleFileName() {
  const std::string real = ProgramPath();
  const size_t cut = real.rfind('/');
  if (real.empty() || real[0] != '/' || cut == std::string::npos) return std::string();
  // The file's own name is only shown, never opened: a backslash in it,
  // which would pass for a separator, and characters CP932 lacks become '?'.
  std::string name = real.substr(cut + 1);
  for (char& c : name)
    if (c == '\\') c = '?';
  const std::string folder =
      cut == 0 ? std::string() : FolderForm(FolderRoot::Program, real.substr(0, cut), kFolderFormMax);
  return folder + "\\" + Utf8ToCp932(name);
}

std::string AbsoluteRealPath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char here[4096];
  if (getcwd(here, sizeof here) == nullptr) return path;
  return std::string(here) + "/" + path;
}

bool EnterProgramFolder() {
  const std::string real = ProgramPath();
  const size_t cut = real.rfind('/');
  if (real.empty() || real[0] != '/' || cut == std::string::npos) return false;
  return chdir(cut == 0 ? "/" : real.substr(0, cut).c_str()) == 0;
}

std::string WindowsDirectory() {
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // A relative value is to be ignored, as the base directory rules say.
  if (config != nullptr && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      passwd* user = getpwuid(getuid());
      home = user != nullptr ? user->pw_dir : "";
    }
    folder = std::string(home) + "/.config";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return FolderForm(FolderRoot::Configuration, folder, kFolderFormMax);
}

std::string ResolvePath(const char* windowsPath) {
  if (windowsPath == nullptr) return std::string();
  const auto* p = reinterpret_cast<const unsigned char*>(windowsPath);
  size_t length = std::strlen(windowsPath);
  size_t i = 0;
  std::string path;
  bool trailingSeparator = false;
  if (size_t root = MappedRoot(windowsPath, path)) {
    // A folder handed out by a root of its own.
    i = root;
    trailingSeparator = i < length;
  } else {
    // A drive letter stands for the root: there is only one file system tree.
    if (length >= 2 && p[1] == ':' &&
        ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
      path.assign(1, '/');
      i = 2;
    }
    if (i < length && (p[i] == '\\' || p[i] == '/')) path.assign(1, '/');
  }

  while (i < length) {
    // Cut the next part, stepping over both bytes of a double-byte
    // character so that a 0x5C trail byte is not taken for a backslash.
    size_t start = i;
    while (i < length && p[i] != '\\' && p[i] != '/') {
      if (IsLeadByte(p[i]) && i + 1 < length) ++i;
      ++i;
    }
    size_t end = i;
    trailingSeparator = i < length;
    while (i < length && (p[i] == '\\' || p[i] == '/')) ++i;
    if (end == start) continue;

    std::string part = Cp932ToUtf8(std::string(windowsPath + start, end - start));
    std::string folder = path;
    if (!path.empty() && path.back() != '/') path += '/';
    if (part != "." && part != ".." && !Exists(path + part)) {
      std::string found;
      if (FindNoCase(folder, part, found)) part = found;
    }
    path += part;
  }
  if (trailingSeparator && !path.empty() && path.back() != '/') path += '/';
  return path;
}

bool SeekFile(FILE* file, int64_t offset, int whence) {
  return fseeko(file, static_cast<off_t>(offset), whence) == 0;
}

int64_t FileOffset(FILE* file) { return static_cast<int64_t>(ftello(file)); }

namespace {

// Opens without waiting, so that a pipe with nobody at the other end is
// refused (or, read, found empty) instead of holding the program; the
// stream then waits as streams do. Only a plain file is taken, or with
// `streams` also a pipe, a socket or a character device; `plain` tells
// which it was. A refused kind leaves EINVAL in errno.
FILE* OpenWithoutWaiting(const char* path, int flags, const char* mode, bool streams, bool& plain) {
  int fd = open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info;
  const bool known = fstat(fd, &info) == 0;
  plain = known && S_ISREG(info.st_mode);
  const bool stream =
      known && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISCHR(info.st_mode));
  if (!plain && !(streams && stream)) {
    close(fd);
    errno = EINVAL;
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* file = fdopen(fd, mode);
  if (file == nullptr) close(fd);
  return file;
}

}  // namespace

FILE* OpenRealFile(const char* path, const char* mode) {
  if (path == nullptr || mode == nullptr || path[0] == '\0') return nullptr;
  // Text mode means nothing here: lines end in whatever the file holds.
  std::string realMode;
  int flags = 0;
  for (const char* m = mode; *m != '\0'; ++m) {
    if (*m == 't') continue;
    realMode += *m;
    if (*m == 'r') flags = O_RDONLY;
    if (*m == 'w') flags = O_WRONLY | O_CREAT | O_TRUNC;
    if (*m == 'a') flags = O_WRONLY | O_CREAT | O_APPEND;
  }
  if (realMode.find('+') != std::string::npos) flags = (flags & ~O_ACCMODE) | O_RDWR;
  // Anything but a plain file (a pipe, a device, a folder) is refused.
  bool plain = false;
  return OpenWithoutWaiting(path, flags, realMode.c_str(), false, plain);
}

FILE* OpenOutputFile(const char* path, bool& seekable, std::string& reason) {
  seekable = false;
  if (path == nullptr || path[0] == '\0') {
    reason = "no file name";
    return nullptr;
  }
  // A reader started just before the program may not have opened its FIFO
  // yet: it is given two seconds, and no FIFO holds the start longer.
  for (int tries = 0;; ++tries) {
    FILE* file = OpenWithoutWaiting(path, O_WRONLY | O_CREAT | O_TRUNC, "wb", true, seekable);
    if (file != nullptr) return file;
    const int error = errno;
    if (error != ENXIO || tries == 200) {
      reason = error == ENXIO    ? "a pipe that no program reads"
               : error == EINVAL ? "not a file, a pipe or a device"
                                 : std::strerror(error);
      return nullptr;
    }
    usleep(10 * 1000);
  }
}

bool RemoveFile(const char* windowsPath) {
  std::string path = ResolvePath(windowsPath);
  return !path.empty() && std::remove(path.c_str()) == 0;
}

// ---------------------------------------------------------------------------
// System facts

LocalTime GetLocalTime() {
  LocalTime result;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  time_t seconds = now.tv_sec;
  if (localtime_r(&seconds, &local) == nullptr) return result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.weekday = local.tm_wday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  // A leap second shows as 60 here; a clock of 0..59 is expected.
  result.second = local.tm_sec > 59 ? 59 : local.tm_sec;
  result.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  return result;
}

uint64_t GetFreeDiskBytes(const char* root) {
  std::string path = ResolveFolder(root);
  struct statvfs info;
  if (statvfs(path.c_str(), &info) != 0) return 0;
  return static_cast<uint64_t>(info.f_bavail) * static_cast<uint64_t>(info.f_frsize);
}

uint64_t GetAvailableMemoryBytes() {
  if (FILE* file = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    unsigned long long kib = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, file) != nullptr) {
      if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
        found = true;
        break;
      }
    }
    std::fclose(file);
    if (found) return static_cast<uint64_t>(kib) * 1024u;
  }
  // Older kernels have no MemAvailable: free plus buffer memory comes close.
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return (static_cast<uint64_t>(info.freeram) + info.bufferram) * info.mem_unit;
}

// The old platforms were 0 (Win32s), 1 (Windows 9x), 2 (NT) and 3 (CE). A
// Linux kernel is none of them, so it reports a number clear of all four,
// which the library's version arithmetic turns into "unknown".
constexpr int kPlatformLinux = 100;

VersionInfo GetVersion() {
  VersionInfo version;
  version.platformId = kPlatformLinux;
  utsname name{};
  if (uname(&name) != 0) return version;
  // The release reads "major.minor.patch-anything"; missing numbers stay 0.
  int numbers[3] = {0, 0, 0};
  const char* p = name.release;
  for (int n = 0; n < 3; ++n) {
    if (*p < '0' || *p > '9') break;
    numbers[n] = static_cast<int>(std::strtol(p, const_cast<char**>(&p), 10));
    if (*p != '.') break;
    ++p;
  }
  version.major = numbers[0];
  version.minor = numbers[1];
  version.build = numbers[2];
  return version;
}

}  // namespace plat
