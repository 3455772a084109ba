// The name patterns of FindFiles and the order of its answer, the same on
// every system.
#pragma once
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace plat {

// '*' matches any run of characters, '?' one; letters match in any case.
inline bool NameMatches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* n = name;; ++n) {
      if (NameMatches(pattern + 1, n)) return true;
      if (*n == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern != '?' &&
      std::toupper(static_cast<unsigned char>(*pattern)) != std::toupper(static_cast<unsigned char>(*name)))
    return false;
  return NameMatches(pattern + 1, name + 1);
}

// Sorted by the upper-case name, as the old file system kept its folders.
inline void SortFoundNames(std::vector<std::string>& names) {
  auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  std::sort(names.begin(), names.end(),
            [&](const std::string& a, const std::string& b) { return upper(a) < upper(b); });
}

}  // namespace plat
