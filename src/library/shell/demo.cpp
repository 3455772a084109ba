#include "shell/demo.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/core/messages.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"

namespace shell {

namespace {

// One thing that reached the program from outside, as the demo keeps it.
struct Item {
  enum Type : uint8_t { kPosted, kSent, kPad, kStop } type = kPosted;
  uint32_t kind = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
  bool padThere = false;
  plat::PadState pad;
};

// What one frame pass of a replay is fed.
struct Pass {
  uint64_t index = 0;
  std::vector<Item> items;
  bool hasClock = false;  // without, the pass reads what the pass before read
  std::vector<uint32_t> clock;
};

enum class Mode { kOff, kRecord, kReplay };
Mode mode = Mode::kOff;
uint32_t lastClock = 0;

// --- Recording ---------------------------------------------------------------

// The readings of one pass; a pass that reads the clock more often than this
// is no pass of a game.
constexpr size_t kMaxReadings = 1u << 16;
// One pass's items are written as they come, a line at a time; a pass with
// more than fit is written on more lines of the same number.
constexpr size_t kLineSize = 1u << 16;
constexpr size_t kLineSpill = kLineSize - 256;

FILE* out = nullptr;
int outError = 0;
std::vector<uint32_t> readings, lastReadings;  // reserved when the recording opens
size_t readingCount = 0, lastReadingCount = 0;
bool tooManyReadings = false;
char line[kLineSize];
size_t lineLength = 0;
bool padWasThere = false;
plat::PadState padBefore;

// --- Replay ------------------------------------------------------------------

std::vector<Pass> passes;
uint64_t endPass = 0;           // the replay's frame passes: the demo's end
bool cutShort = false;          // the demo has no end line
size_t passAt = 0;              // the entry of `passes` for the coming pass, or past them
size_t itemAt = 0;              // the next item of that entry
const std::vector<uint32_t>* feed = nullptr;  // the coming pass's readings
size_t feedAt = 0;
const std::vector<uint32_t> kNoReadings;
uint64_t current = 0;           // the pass the loop is coming to
bool padThere = false;
plat::PadState padNow;
bool liveClose = false;         // the player watching closed the window or stopped the run
std::string recordedVersion;
char difference[256];

void Write(const char* text) {
  if (!out) return;
  if (std::fputs(text, out) < 0 && outError == 0) outError = errno != 0 ? errno : EIO;
}

void FlushLine(uint64_t index, bool withClock) {
  if (lineLength == 0 && !withClock) return;
  char number[32];
  std::snprintf(number, sizeof number, "%" PRIu64, index);
  Write(number);
  if (lineLength > 0) {
    Write(" ");
    Write(line);
  }
  if (withClock) {
    Write(lineLength > 0 ? "; t" : " t");
    for (size_t i = 0; i < readingCount; ++i) {
      std::snprintf(number, sizeof number, " %" PRIu32, readings[i]);
      Write(number);
    }
  }
  Write("\n");
  if (out && std::fflush(out) != 0 && outError == 0) outError = errno != 0 ? errno : EIO;
  lineLength = 0;
}

void AddItem(const char* text) {
  if (lineLength >= kLineSpill) FlushLine(run.framePasses, false);
  int n = std::snprintf(line + lineLength, kLineSize - lineLength, "%s%s",
                        lineLength > 0 ? "; " : "", text);
  if (n > 0) lineLength += static_cast<size_t>(n);
}

int16_t LowHalf(intptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
int16_t HighHalf(intptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }

// The mouse messages and their names in a demo.
struct MouseName {
  const char* name;
  uint32_t kind;
};
constexpr MouseName kMouseNames[] = {
    {"move", WM_MOUSEMOVE},     {"ldown", WM_LBUTTONDOWN}, {"lup", WM_LBUTTONUP},
    {"ldouble", WM_LBUTTONDBLCLK}, {"rdown", WM_RBUTTONDOWN}, {"rup", WM_RBUTTONUP},
    {"rdouble", WM_RBUTTONDBLCLK},
};
struct KeyKindName {
  const char* name;
  uint32_t kind;
};
constexpr KeyKindName kKeyKinds[] = {
    {"down", WM_KEYDOWN}, {"up", WM_KEYUP}, {"sysdown", WM_SYSKEYDOWN}, {"sysup", WM_SYSKEYUP}};

bool IsKey(uint32_t kind) {
  return kind == WM_KEYDOWN || kind == WM_KEYUP || kind == WM_SYSKEYDOWN || kind == WM_SYSKEYUP;
}
bool IsMouse(uint32_t kind) { return kind >= WM_MOUSEMOVE && kind <= WM_RBUTTONDBLCLK; }

// The messages from outside that the program's state follows.
bool StateMessage(uint32_t kind) {
  return IsKey(kind) || IsMouse(kind) || kind == WM_CLOSE || kind == WM_ACTIVATEAPP;
}

// A key message's parameter as the demo keeps it: the bits the program
// reads (repeat, Alt held), the rest as a keyboard sets them.
uint32_t KeyParameter(uint32_t kind, bool repeat, bool alt) {
  uint32_t lparam = 1;
  if (alt) lparam |= KF_ALTDOWN_BIT;
  if (kind == WM_KEYUP || kind == WM_SYSKEYUP) {
    lparam |= KF_REPEAT_BIT | KF_UP_BIT;
  } else if (repeat) {
    lparam |= KF_REPEAT_BIT;
  }
  return lparam;
}

void NoteMessage(uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  char text[96];
  if (IsKey(kind)) {
    int code = static_cast<int>(wparam & 0xFF);
    char name[16];
    if (!KeyName(code, name, sizeof name)) return;
    const char* kindName = "down";
    for (const KeyKindName& k : kKeyKinds) {
      if (k.kind == kind) kindName = k.name;
    }
    uint32_t bits = static_cast<uint32_t>(lparam);
    bool up = kind == WM_KEYUP || kind == WM_SYSKEYUP;
    std::snprintf(text, sizeof text, "%s %s%s%s", kindName, name,
                  (!up && (bits & KF_REPEAT_BIT)) ? " repeat" : "",
                  (bits & KF_ALTDOWN_BIT) ? " alt" : "");
  } else if (IsMouse(kind)) {
    const char* name = "move";
    for (const MouseName& m : kMouseNames) {
      if (m.kind == kind) name = m.name;
    }
    std::snprintf(text, sizeof text, "%s %d %d", name, LowHalf(lparam), HighHalf(lparam));
  } else if (kind == WM_CLOSE) {
    std::snprintf(text, sizeof text, "close");
  } else if (kind == WM_ACTIVATEAPP) {
    std::snprintf(text, sizeof text, "active %d", wparam != 0 ? 1 : 0);
  } else {
    return;
  }
  AddItem(text);
}

// Everything the backend delivers passes here: a recording notes what the
// state follows; a replay keeps it away from the program, which hears the
// demo instead. The close box (and a stop) still ends a replay in a window.
bool Gate(uint32_t kind, uintptr_t wparam, intptr_t lparam, bool) {
  if (!StateMessage(kind)) return true;
  if (mode == Mode::kRecord) {
    NoteMessage(kind, wparam, lparam);
    return true;
  }
  if (mode == Mode::kReplay) {
    if (kind != WM_CLOSE) return false;
    liveClose = true;
  }
  return true;
}

// The first difference ends the replay: the loop stops the run before its
// next pass.
void Differs(const char* text) {
  if (difference[0] != '\0') return;
  std::snprintf(difference, sizeof difference, "%s", text);
  run.failed = true;
  RequestStop();
}

void EnterPass(uint64_t index) {
  current = index;
  while (passAt < passes.size() && passes[passAt].index < index) ++passAt;
  itemAt = 0;
  feedAt = 0;
  if (passAt < passes.size() && passes[passAt].index == index && passes[passAt].hasClock) {
    feed = &passes[passAt].clock;
  } else if (index >= endPass) {
    // Past the demo's end the clock stands still.
    feed = &kNoReadings;
  }
  // Otherwise the pass reads what the pass before it read.
}

const Pass* ComingPass() {
  if (passAt < passes.size() && passes[passAt].index == current) return &passes[passAt];
  return nullptr;
}

// --- Reading a demo ----------------------------------------------------------

bool ParseNumber(const char* text, int64_t low, int64_t high, int64_t& value, int base = 10) {
  if (*text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, base);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  value = v;
  return true;
}

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
      if (!ParseNumber(w[i].c_str(), 0, UINT32_MAX, d)) {
        return Fail(why, "a clock step is a whole number of milliseconds, not '" + w[i] + "'");
      }
      pass.clock.push_back(static_cast<uint32_t>(d));
    }
    return true;
  }
  if (pass.hasClock) return Fail(why, "the clock list ends the frame pass");
  for (const KeyKindName& k : kKeyKinds) {
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
    item.lparam = static_cast<intptr_t>(KeyParameter(k.kind, repeat, alt));
    pass.items.push_back(item);
    return true;
  }
  for (const MouseName& m : kMouseNames) {
    if (verb != m.name) continue;
    int64_t x = 0, y = 0;
    if (w.size() != 3 || !ParseNumber(w[1].c_str(), -32768, 32767, x) ||
        !ParseNumber(w[2].c_str(), -32768, 32767, y)) {
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
    if (!ParseNumber(w[1].c_str(), 0, 0xFFFF, buttons, 16) ||
        !ParseNumber(w[2].c_str(), -32768, 32767, x) || !ParseNumber(w[3].c_str(), -32768, 32767, y)) {
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

std::string Folder(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace

// --- The clock ------------------------------------------------------------------

uint32_t GameClock() {
  if (mode == Mode::kReplay) {
    if (feedAt < feed->size()) {
      lastClock += (*feed)[feedAt++];
    } else if (current < endPass) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "replay differs at frame %" PRIu64
                    ": the program reads the clock more often than the demo did (%zu times)",
                    current, feed->size());
      Differs(text);
    }
    return lastClock;
  }
  uint32_t now = plat::TimeGetTime();
  if (mode == Mode::kRecord) {
    if (readingCount < readings.size()) {
      readings[readingCount++] = now - lastClock;
    } else {
      tooManyReadings = true;
    }
  }
  lastClock = now;
  return now;
}

uint32_t LastGameClock() { return lastClock; }

namespace demo {

bool Recording() { return mode == Mode::kRecord; }
bool Replaying() { return mode == Mode::kReplay; }

bool OpenRecording(const std::string& path, std::string& reason) {
  bool seekable = false;
  out = plat::OpenOutputFile(path.c_str(), seekable, reason);
  if (!out) return false;
  outError = 0;
  readings.assign(kMaxReadings, 0);
  lastReadings.assign(kMaxReadings, 0);
  readingCount = lastReadingCount = 0;
  tooManyReadings = false;
  lineLength = 0;
  padWasThere = false;
  padBefore = plat::PadState{};
  return true;
}

void BeginRecording(const Header& header, const std::string& tracePath) {
  mode = Mode::kRecord;
  lastClock = header.clock;
  char text[512];
  std::snprintf(text, sizeof text,
                "%s\nprogram %s\nversion %s\nbackend %s\ndepth %d\nseed %u\nclock %" PRIu32 "\n",
                kFirstLine, header.program.c_str(), header.version.c_str(), header.backend.c_str(),
                header.depth, header.seed, header.clock);
  Write(text);
  if (!tracePath.empty()) {
    // A trace beside the demo is named by its name alone, so the two move
    // together.
    std::string trace = tracePath;
    if (!header.trace.empty()) trace = header.trace;
    Write("trace ");
    Write(trace.c_str());
    Write("\n");
  }
  plat::SetInputGate(Gate);
  if (out) std::fflush(out);
}

bool FinishRecording(std::string& reason) {
  if (!out) return true;
  plat::SetInputGate(nullptr);
  // What arrived after the last pass (the close box, a stop) comes before
  // the pass that never ran.
  FlushLine(run.framePasses, false);
  char text[64];
  std::snprintf(text, sizeof text, "end %" PRIu64 "\n", run.framePasses);
  Write(text);
  int error = outError;
  if (std::fclose(out) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  out = nullptr;
  mode = Mode::kOff;
  if (tooManyReadings && error == 0) {
    reason = "a frame pass read the clock more than 65536 times";
    return false;
  }
  if (error != 0) reason = std::strerror(error);
  return error == 0;
}

bool LoadReplay(const std::string& path, Header& header, std::string& error) {
  std::string text, reason;
  // A demo of an hour at 75 passes a second is a few megabytes.
  if (!plat::ReadSmallFile(path.c_str(), 256u << 20, text, reason)) {
    error = path + ": " + reason;
    return false;
  }
  passes.clear();
  endPass = 0;
  bool ended = false, sawFirst = false;
  bool have[6] = {};
  int lineNumber = 0;
  std::string row;
  for (size_t start = 0; start < text.size();) {
    size_t stop = text.find('\n', start);
    if (stop == std::string::npos) stop = text.size();
    row.assign(text, start, stop - start);
    start = stop + 1;
    ++lineNumber;
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
      if (!ParseNumber(w[0].c_str(), 0, INT64_MAX, index)) return fail("bad frame pass '" + w[0] + "'");
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
    } else if (key == "depth" && w.size() == 2 && ParseNumber(w[1].c_str(), 15, 32, n) &&
               (n == 15 || n == 16 || n == 24 || n == 32)) {
      header.depth = static_cast<int>(n);
      have[3] = true;
    } else if (key == "seed" && w.size() == 2 && ParseNumber(w[1].c_str(), 0, UINT32_MAX, n)) {
      header.seed = static_cast<unsigned>(n);
      have[4] = true;
    } else if (key == "clock" && w.size() == 2 && ParseNumber(w[1].c_str(), 0, UINT32_MAX, n)) {
      header.clock = static_cast<uint32_t>(n);
      have[5] = true;
    } else if (key == "trace" && !rest.empty()) {
      header.trace = rest;
    } else if (key == "end" && w.size() == 2 && ParseNumber(w[1].c_str(), 0, INT64_MAX, n)) {
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
      error = path + ":" + std::to_string(lineNumber) +
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
  cutShort = !ended;
  recordedVersion = header.version;
  return true;
}

std::string ExpectedTrace(const std::string& demoPath, const Header& header) {
  if (header.trace.empty()) return "";
  const std::string& t = header.trace;
  bool absolute = t[0] == '/' || t[0] == '\\' || (t.size() > 2 && t[1] == ':');
  return absolute ? t : Folder(demoPath) + t;
}

void BeginReplay(const Header& header) {
  mode = Mode::kReplay;
  lastClock = header.clock;
  liveClose = false;
  difference[0] = '\0';
  passAt = 0;
  padThere = false;
  padNow = plat::PadState{};
  feed = &kNoReadings;
  EnterPass(0);
  plat::SetInputGate(Gate);
}

void Reset() {
  if (mode != Mode::kOff) plat::SetInputGate(nullptr);
  mode = Mode::kOff;
  passes.clear();
  if (out) std::fclose(out);
  out = nullptr;
}

std::string ReplayDifference() {
  std::string result = difference;
  if (result.empty() && !liveClose && run.framePasses < endPass) {
    result = "replay differs at frame " + std::to_string(run.framePasses) +
             ": the program ended there, the demo goes on to frame " + std::to_string(endPass);
  }
  if (!result.empty() && recordedVersion != LibraryVersion()) {
    result += " (the demo was recorded by version " + recordedVersion + ")";
  }
  return result;
}

bool PostDue() {
  if (mode != Mode::kReplay) return false;
  const Pass* pass = ComingPass();
  if (!pass) return false;
  bool did = false;
  while (itemAt < pass->items.size()) {
    const Item& item = pass->items[itemAt];
    // A reading of the pads waits for the loop to read them.
    if (item.type == Item::kPad) break;
    ++itemAt;
    did = true;
    if (item.type == Item::kStop) {
      QuitProgram();
    } else if (item.type == Item::kSent) {
      plat::SendMessage(elSystem::mainWindow, item.kind, item.wparam, item.lparam);
    } else if (!plat::PostMessage(elSystem::mainWindow, item.kind, item.wparam, item.lparam)) {
      // The queue is full: the rest waits a round.
      --itemAt;
      break;
    }
  }
  return did;
}

bool ReadPads(plat::PadState& state) {
  if (mode == Mode::kReplay) {
    const Pass* pass = ComingPass();
    if (pass && itemAt < pass->items.size() && pass->items[itemAt].type == Item::kPad) {
      padThere = pass->items[itemAt].padThere;
      padNow = pass->items[itemAt].pad;
      ++itemAt;
    }
    state = padNow;
    return padThere;
  }
  bool there = plat::ReadPads(state);
  if (mode == Mode::kRecord &&
      (there != padWasThere || (there && (state.buttons != padBefore.buttons ||
                                          state.stickX != padBefore.stickX ||
                                          state.stickY != padBefore.stickY)))) {
    char text[64];
    if (there) {
      std::snprintf(text, sizeof text, "pad %x %d %d", state.buttons, state.stickX, state.stickY);
    } else {
      std::snprintf(text, sizeof text, "pad none");
    }
    AddItem(text);
    padWasThere = there;
    padBefore = state;
  }
  return there;
}

void NoteScriptedKey(uint32_t kind, int virtualKey, uint32_t lparam) {
  if (mode == Mode::kRecord) NoteMessage(kind, static_cast<uintptr_t>(virtualKey), lparam);
}

void NoteStop() {
  if (mode == Mode::kRecord) AddItem("stop");
  if (mode == Mode::kReplay) liveClose = true;
}

void EndPass(uint64_t index) {
  if (mode == Mode::kRecord) {
    // A pass that read the clock as the pass before it did keeps no list.
    bool same = readingCount == lastReadingCount &&
                std::memcmp(readings.data(), lastReadings.data(), readingCount * sizeof(uint32_t)) == 0;
    FlushLine(index, !same || index == 0);
    std::swap(readings, lastReadings);
    lastReadingCount = readingCount;
    readingCount = 0;
  } else if (mode == Mode::kReplay) {
    if (index < endPass && feedAt < feed->size()) {
      char text[160];
      std::snprintf(text, sizeof text,
                    "replay differs at frame %" PRIu64
                    ": the program read the clock %zu times, the demo %zu times",
                    index, feedAt, feed->size());
      Differs(text);
    }
    EnterPass(index + 1);
  }
}

bool CutShort() { return cutShort; }

bool ReplayOver(uint64_t passesRun) { return mode == Mode::kReplay && passesRun >= endPass; }

// --- Comparing traces -----------------------------------------------------------

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
      if (!index.empty() && index.back() >= 0) key = "[" + std::to_string(++index.back()) + "]";
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
  for (size_t start = 0; start < text.size();) {
    size_t e = text.find('\n', start);
    if (e == std::string::npos) e = text.size();
    lines.push_back(text.substr(start, e - start));
    start = e + 1;
  }
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

}  // namespace demo
}  // namespace shell
