// Listing the files of a folder by a name pattern, as a search for "*.BMP"
// did on the system the library was written for: names match in any letter
// case, and the list comes back in a fixed order.
#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/core/find_match.h"
#include "platform/platform.h"

namespace plat {

std::vector<std::string> FindFiles(const char* windowsFolder, const char* pattern) {
  std::vector<std::string> names;
  std::string folder = ResolveFolder(windowsFolder);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  const std::string wanted = Cp932ToUtf8(pattern);
  while (dirent* entry = readdir(dir)) {
    if (!NameMatches(wanted.c_str(), entry->d_name)) continue;
    struct stat info;
    const std::string full = folder + "/" + entry->d_name;
    if (stat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    names.push_back(Utf8ToCp932(entry->d_name));
  }
  closedir(dir);
  // Sorted by the upper-case name, as the old file system kept its folders.
  SortFoundNames(names);
  return names;
}

}  // namespace plat
