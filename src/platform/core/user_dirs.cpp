// Reading the desktop's user-dirs.dirs text: plain text work, the same on
// every system (the tests read it everywhere).
#include <string>

#include "platform/platform.h"

namespace plat {

std::string PicturesFolderFromUserDirs(const std::string& text, const std::string& home) {
  // Lines such as XDG_PICTURES_DIR="$HOME/Pictures": a path that is absolute
  // or starts with $HOME, in double quotes.
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    const std::string key = "XDG_PICTURES_DIR=\"";
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    size_t close = line.find('"', start + key.size());
    if (close == std::string::npos) continue;
    std::string value = line.substr(start + key.size(), close - start - key.size());
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return "";
}

}  // namespace plat
