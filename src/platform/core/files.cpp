// Opening and reading files named in Windows form, over each system's own
// ResolvePath and OpenRealFile.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

}  // namespace plat
