// Reading a demo: its header, then its frame passes, each checked as it
// comes so that a fault names its line.
#include <cerrno>
#include <string>
#include <vector>

#include "shell/demo_format.h"
#include "shell/runcontrol.h"

namespace shell::demo {

namespace {

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t b = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > b) words.push_back(text.substr(b, i - b));
  }
  return words;
}

intptr_t PackPoint(int64_t x, int64_t y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<uint32_t>(x & 0xFFFF));
}

bool Fail(std::string& why, const std::string& text) {
  why = text;
  return false;
}

// One item of a pass line; false with the reason.
bool ParseItem(const std::vector<std::string>& w, Pass& pass, std::string& why) {
  const std::string& verb = w[0];
  Item item;
  if (verb == "t") {
    if (pass.hasClock) return Fail(why, "a second clock list in one frame pass");
    pass.hasClock = true;
    for (size_t i = 1; i < w.size(); ++i) {
      int64_t d = 0;
      if (!ParseInteger(w[i], 0, UINT32_MAX, d)) {
        return Fail(why, "a clock step is a whole number of milliseconds, not '" + w[i] + "'");
      }
      pass.clock.push_back(static_cast<uint32_t>(d));
    }
    return true;
  }
  if (pass.hasClock) return Fail(why, "the clock list ends the frame pass");
  for (const MessageName& k : kKeyKinds) {
    if (verb != k.name) continue;
    if (w.size() < 2) return Fail(why, verb + " needs a key");
    int code = KeyCodeFromName(w[1]);
    if (code < 0) return Fail(why, "unknown key '" + w[1] + "'");
    bool repeat = false, alt = false;
    for (size_t i = 2; i < w.size(); ++i) {
      if (w[i] == "repeat") {
        repeat = true;
      } else if (w[i] == "alt") {
        alt = true;
      } else {
        return Fail(why, "a key takes 'repeat' and 'alt', not '" + w[i] + "'");
      }
    }
    item.kind = k.kind;
    item.wparam = static_cast<uintptr_t>(code);
    item.lparam = static_cast<intptr_t>(KeyBits(IsKeyUp(k.kind), repeat, alt));
    pass.items.push_back(item);
    return true;
  }
  for (const MessageName& m : kMouseNames) {
    if (verb != m.name) continue;
    int64_t x = 0, y = 0;
    if (w.size() != 3 || !ParseInteger(w[1], -32768, 32767, x) ||
        !ParseInteger(w[2], -32768, 32767, y)) {
      return Fail(why, verb + " takes X Y");
    }
    item.kind = m.kind;
    item.lparam = PackPoint(x, y);
    pass.items.push_back(item);
    return true;
  }
  if (verb == "close" && w.size() == 1) {
    item.kind = WM_CLOSE;
  } else if (verb == "active" && w.size() == 2 && (w[1] == "0" || w[1] == "1")) {
    item.type = Item::kSent;
    item.kind = WM_ACTIVATEAPP;
    item.wparam = w[1] == "1" ? 1 : 0;
  } else if (verb == "stop" && w.size() == 1) {
    item.type = Item::kStop;
  } else if (verb == "pad" && w.size() == 2 && w[1] == "none") {
    item.type = Item::kPad;
  } else if (verb == "pad" && w.size() == 4) {
    int64_t buttons = 0, x = 0, y = 0;
    if (!ParseInteger(w[1], 0, 0xFFFF, buttons, 16) ||
        !ParseInteger(w[2], -32768, 32767, x) || !ParseInteger(w[3], -32768, 32767, y)) {
      return Fail(why, "pad takes BUTTONS (hexadecimal) X Y, or none");
    }
    item.type = Item::kPad;
    item.padThere = true;
    item.pad.buttons = static_cast<uint32_t>(buttons);
    item.pad.stickX = static_cast<int>(x);
    item.pad.stickY = static_cast<int>(y);
  } else {
    return Fail(why, "unknown event '" + verb + "'");
  }
  pass.items.push_back(item);
  return true;
}

}  // namespace

bool ReadDemo(const std::string& path, const std::string& text, Header& header, Demo& demo,
              std::string& error) {
  std::vector<Pass>& passes = demo.passes;
  passes.clear();
  uint64_t endPass = 0;
  bool ended = false, sawFirst = false;
  bool have[6] = {};
  std::string row;
  TextLines lines(text);
  while (lines.Next(row)) {
    const int lineNumber = lines.number();
    auto fail = [&](const std::string& why) {
      error = path + ":" + std::to_string(lineNumber) + ": " + why;
      passes.clear();
      return false;
    };
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (!sawFirst) {
      if (row != kFirstLine) return fail(std::string("not a demo: the first line is not \"") + kFirstLine + "\"");
      sawFirst = true;
      continue;
    }
    if (row.find('\0') != std::string::npos) return fail("NUL byte in the line");
    if (row.empty() || row[0] == '#') continue;
    if (ended) return fail("nothing may follow the end line");
    std::vector<std::string> w = Words(row);
    if (w.empty()) continue;
    if (w[0][0] >= '0' && w[0][0] <= '9') {
      for (bool h : have) {
        if (!h) return fail("the header lacks a line (program, version, backend, depth, seed, clock)");
      }
      int64_t index = 0;
      if (!ParseInteger(w[0], 0, INT64_MAX, index)) return fail("bad frame pass '" + w[0] + "'");
      uint64_t at = static_cast<uint64_t>(index);
      if (!passes.empty() && at < passes.back().index) return fail("frame passes must not go backwards");
      if (passes.empty() || passes.back().index != at) {
        passes.emplace_back();
        passes.back().index = at;
      }
      // The items after the number, separated by ';'.
      size_t from = row.find(w[0]) + w[0].size();
      while (from <= row.size()) {
        size_t semi = row.find(';', from);
        if (semi == std::string::npos) semi = row.size();
        std::vector<std::string> item = Words(row.substr(from, semi - from));
        from = semi + 1;
        if (item.empty()) {
          if (semi == row.size()) break;
          return fail("an empty event");
        }
        std::string why;
        if (!ParseItem(item, passes.back(), why)) return fail(why);
      }
      continue;
    }
    const std::string& key = w[0];
    if (!passes.empty() && key != "end") return fail("the header's line '" + key + "' comes after the frame passes");
    std::string rest = w.size() > 1 ? row.substr(row.find(key) + key.size() + 1) : "";
    int64_t n = 0;
    if (key == "program" && w.size() == 2) {
      header.program = w[1];
      have[0] = true;
    } else if (key == "version" && w.size() == 2) {
      header.version = w[1];
      have[1] = true;
    } else if (key == "backend" && w.size() == 2) {
      header.backend = w[1];
      have[2] = true;
    } else if (key == "depth" && w.size() == 2 && ParseInteger(w[1], 15, 32, n) &&
               (n == 15 || n == 16 || n == 24 || n == 32)) {
      header.depth = static_cast<int>(n);
      have[3] = true;
    } else if (key == "seed" && w.size() == 2 && ParseInteger(w[1], 0, UINT32_MAX, n)) {
      header.seed = static_cast<unsigned>(n);
      have[4] = true;
    } else if (key == "clock" && w.size() == 2 && ParseInteger(w[1], 0, UINT32_MAX, n)) {
      header.clock = static_cast<uint32_t>(n);
      have[5] = true;
    } else if (key == "trace" && !rest.empty()) {
      header.trace = rest;
    } else if (key == "end" && w.size() == 2 && ParseInteger(w[1], 0, INT64_MAX, n)) {
      if (!passes.empty() && static_cast<uint64_t>(n) < passes.back().index) {
        return fail("the end comes before the last frame pass");
      }
      endPass = static_cast<uint64_t>(n);
      ended = true;
    } else {
      return fail("unknown or malformed line '" + row + "'");
    }
  }
  if (!sawFirst) {
    error = path + ":1: not a demo: the file is empty";
    return false;
  }
  for (bool h : have) {
    if (!h) {
      error = path + ":" + std::to_string(lines.number()) +
              ": the header lacks a line (program, version, backend, depth, seed, clock)";
      passes.clear();
      return false;
    }
  }
  // A demo cut short (a crash) ends with the last pass it wrote; the close
  // box or a stop that followed it is before the pass that never ran.
  if (!ended) {
    endPass = passes.empty() ? 0 : passes.back().index + 1;
    if (!passes.empty() && !passes.back().hasClock) {
      bool onlyOutside = true;
      for (const Item& item : passes.back().items) {
        if (item.type != Item::kStop && item.kind != WM_CLOSE) onlyOutside = false;
      }
      if (onlyOutside) endPass = passes.back().index;
    }
  }
  demo.endPass = endPass;
  demo.cutShort = !ended;
  return true;
}

}  // namespace shell::demo
