// Opening and reading files named in Windows form, over each system's own
// ResolvePath and OpenRealFile, and the folders handed out by a root of
// their own (folder_roots.h).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/core/folder_roots.h"
#include "platform/platform.h"

namespace plat {

std::string ResolveFolder(const char* windowsFolder) {
  std::string folder = ResolvePath(windowsFolder);
  return folder.empty() ? std::string(".") : folder;
}

FILE* OpenFile(const char* windowsPath, const char* mode) {
  if (windowsPath == nullptr || mode == nullptr) return nullptr;
  std::string path = ResolvePath(windowsPath);
  return OpenRealFile(path.c_str(), mode);
}

bool ReadSmallFile(const char* path, size_t maxBytes, std::string& text, std::string& reason) {
  text.clear();
  FILE* file = OpenRealFile(path, "rb");
  if (file == nullptr) {
    reason = errno == EINVAL ? "not a plain file" : std::strerror(errno);
    return false;
  }
  char buffer[4096];
  size_t got = 0;
  bool ok = true;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (text.size() + got > maxBytes) {
      reason = "larger than " + std::to_string(maxBytes) + " bytes";
      ok = false;
      break;
    }
    text.append(buffer, got);
  }
  if (ok && std::ferror(file)) {
    reason = std::strerror(errno);
    ok = false;
  }
  std::fclose(file);
  return ok;
}

// ---------------------------------------------------------------------------
// Folders behind a root

namespace {

#ifdef _WIN32
constexpr const char* kRealSeparators = "\\/";
#else
constexpr const char* kRealSeparators = "/";
#endif

constexpr int kRootCount = 2;
// Set on the main thread when a folder is handed out, read wherever a name
// is resolved.
std::mutex rootsLock;
std::string rootFolders[kRootCount];

}  // namespace

bool WindowsName(const std::string& real, std::string& form) {
#ifndef _WIN32
  if (real.find('\\') != std::string::npos) return false;
#endif
  form = Utf8ToCp932(real);
  // A character CP932 lacks comes back as '?', and one CP932 spells in two
  // ways comes back as the other: either way the name is not the real one.
  if (Cp932ToUtf8(form) != real) return false;
  // A slash never occurs as the second byte of a CP932 character.
  for (char& c : form)
    if (c == '/') c = '\\';
  return true;
}

std::string FolderForm(FolderRoot root, const std::string& real, size_t room) {
  const int index = static_cast<int>(root);
  std::string form;
  if (WindowsName(real, form) && form.size() <= room) {
    std::lock_guard<std::mutex> hold(rootsLock);
    rootFolders[index].clear();
    return form;
  }
  std::string stands = real;
  form = std::string(1, static_cast<char>('0' + index)) + ":";
  const size_t cut = real.find_last_of(kRealSeparators);
  std::string last;
  if (cut != std::string::npos && cut + 1 < real.size() && WindowsName(real.substr(cut + 1), last) &&
      form.size() + 1 + last.size() <= room) {
    // The folder's last name stays readable (the data root moves it under
    // a root of its own), and the root stands for the parent; the parent
    // of a folder at the top is the top itself.
    stands = real.substr(0, cut == 0 ? 1 : cut);
    form += "\\" + last;
  }
  std::lock_guard<std::mutex> hold(rootsLock);
  rootFolders[index] = stands;
  return form;
}

size_t MappedRoot(const char* windowsPath, std::string& real) {
  if (windowsPath == nullptr || windowsPath[0] < '0' || windowsPath[0] >= '0' + kRootCount ||
      windowsPath[1] != ':') {
    return 0;
  }
  std::lock_guard<std::mutex> hold(rootsLock);
  real = rootFolders[windowsPath[0] - '0'];
  return real.empty() ? 0 : 2;
}

}  // namespace plat
