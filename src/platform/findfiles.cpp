// Listing the files of a folder by a name pattern, as a search for "*.BMP"
// did on the system the library was written for: names match in any letter
// case, and the list comes back in a fixed order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat {

namespace {

// '*' matches any run of characters, '?' one; letters match in any case.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* n = name;; ++n) {
      if (Matches(pattern + 1, n)) return true;
      if (*n == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern != '?' &&
      std::toupper(static_cast<unsigned char>(*pattern)) != std::toupper(static_cast<unsigned char>(*name)))
    return false;
  return Matches(pattern + 1, name + 1);
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<std::string> FindFiles(const char* windowsFolder, const char* pattern) {
  std::vector<std::string> names;
  std::string folder = ResolvePath(windowsFolder);
  if (folder.empty()) folder = ".";
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  const std::string wanted = Cp932ToUtf8(pattern);
  while (dirent* entry = readdir(dir)) {
    if (!Matches(wanted.c_str(), entry->d_name)) continue;
    struct stat info;
    const std::string full = folder + "/" + entry->d_name;
    if (stat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    names.push_back(Utf8ToCp932(entry->d_name));
  }
  closedir(dir);
  // Sorted by the upper-case name, as the old file system kept its folders.
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
  return names;
}

}  // namespace plat
