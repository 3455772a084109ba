// Comparing a replay's trace with the recording's, down to the first field
// that differs.
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "shell/demo.h"
#include "shell/runcontrol.h"

namespace shell::demo {

namespace {

// A JSON line as its leaves: "player.x" = "120", "companions[1].state" = "2".
void Leaves(const std::string& text, std::vector<std::pair<std::string, std::string>>& out) {
  std::vector<std::string> path;
  std::vector<int> index;  // -1 in an object, else the element's number
  std::string key;
  bool expectKey = false;
  size_t i = 0;
  auto name = [&]() {
    std::string n;
    for (size_t d = 0; d < path.size(); ++d) n += path[d];
    return n;
  };
  while (i < text.size()) {
    char c = text[i];
    if (c == '{' || c == '[') {
      path.push_back(key);
      index.push_back(c == '[' ? 0 : -1);
      key.clear();
      if (c == '[') key = "[0]";
      expectKey = c == '{';
      ++i;
    } else if (c == '}' || c == ']') {
      if (!path.empty()) {
        path.pop_back();
        index.pop_back();
      }
      key.clear();
      ++i;
    } else if (c == ',') {
      if (!index.empty() && index.back() >= 0) {
        key.assign(1, '[');
        key += std::to_string(++index.back());
        key += ']';
      }
      expectKey = !index.empty() && index.back() < 0;
      ++i;
    } else if (c == '"' && expectKey) {
      size_t e = text.find('"', i + 1);
      if (e == std::string::npos) break;
      std::string k = text.substr(i + 1, e - i - 1);
      bool top = path.size() <= 1;
      key = (top ? "" : ".") + k;
      i = e + 1;
      if (i < text.size() && text[i] == ':') ++i;
      expectKey = false;
    } else if (c == ' ') {
      ++i;
    } else {
      // A value: a string or a bare word.
      size_t e = i;
      if (c == '"') {
        e = text.find('"', i + 1);
        e = e == std::string::npos ? text.size() : e + 1;
      } else {
        while (e < text.size() && text[e] != ',' && text[e] != '}' && text[e] != ']') ++e;
      }
      out.emplace_back(name() + key, text.substr(i, e - i));
      i = e;
    }
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  TextLines reader(text);
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

std::string FrameOf(const std::string& line, size_t fallback) {
  const char* at = std::strstr(line.c_str(), "\"frame\":");
  if (!at) return std::to_string(fallback);
  return std::to_string(std::strtoull(at + 8, nullptr, 10));
}

}  // namespace

std::string CompareTraces(const std::string& recorded, const std::string& replayed, bool prefix) {
  std::vector<std::string> a = Lines(recorded), b = Lines(replayed);
  // A trace cut by a crash may end inside a line.
  if (prefix && !recorded.empty() && recorded.back() != '\n') a.pop_back();
  if (prefix) {
    size_t common = a.size() < b.size() ? a.size() : b.size();
    a.resize(common);
    b.resize(common);
  }
  for (size_t n = 0; n < a.size() || n < b.size(); ++n) {
    if (n >= a.size()) {
      return "replay differs at frame " + FrameOf(b[n], n) + ": the recording's trace ends before it";
    }
    if (n >= b.size()) {
      return "replay differs at frame " + FrameOf(a[n], n) + ": the replay's trace ends before it";
    }
    if (a[n] == b[n]) continue;
    std::vector<std::pair<std::string, std::string>> la, lb;
    Leaves(a[n], la);
    Leaves(b[n], lb);
    std::string frame = FrameOf(a[n], n);
    for (size_t f = 0; f < la.size() || f < lb.size(); ++f) {
      if (f >= la.size()) return "replay differs at frame " + frame + ": field " + lb[f].first + " only replayed";
      if (f >= lb.size()) return "replay differs at frame " + frame + ": field " + la[f].first + " only recorded";
      if (la[f] == lb[f]) continue;
      if (la[f].first != lb[f].first) {
        return "replay differs at frame " + frame + ": field " + la[f].first + " recorded, " + lb[f].first +
               " replayed";
      }
      return "replay differs at frame " + frame + ": field " + la[f].first + " (recorded " + la[f].second +
             ", replayed " + lb[f].second + ")";
    }
    return "replay differs at frame " + frame + ": the lines differ";
  }
  return "";
}

}  // namespace shell::demo
