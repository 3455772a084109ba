#include "shell/demo.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "shell/demo_format.h"
#include "shell/elsystem.h"
#include "shell/runcontrol.h"

namespace shell {

using demo::Demo;
using demo::Item;
using demo::MessageName;
using demo::IsKey;
using demo::IsKeyUp;
using demo::IsMouse;
using demo::kKeyKinds;
using demo::kMouseNames;
using demo::Pass;

namespace {

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

Demo loaded;                    // the demo being replayed
std::vector<Pass>& passes = loaded.passes;
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

// The messages from outside that the program's state follows.
bool StateMessage(uint32_t kind) {
  return IsKey(kind) || IsMouse(kind) || kind == WM_CLOSE || kind == WM_ACTIVATEAPP;
}

void NoteMessage(uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  char text[96];
  if (IsKey(kind)) {
    int code = static_cast<int>(wparam & 0xFF);
    char name[16];
    if (!KeyName(code, name, sizeof name)) return;
    const char* kindName = "down";
    for (const MessageName& k : kKeyKinds) {
      if (k.kind == kind) kindName = k.name;
    }
    uint32_t bits = static_cast<uint32_t>(lparam);
    bool up = IsKeyUp(kind);
    std::snprintf(text, sizeof text, "%s %s%s%s", kindName, name,
                  (!up && (bits & KF_REPEAT_BIT)) ? " repeat" : "",
                  (bits & KF_ALTDOWN_BIT) ? " alt" : "");
  } else if (IsMouse(kind)) {
    const char* name = "move";
    for (const MessageName& m : kMouseNames) {
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
  } else if (index >= loaded.endPass) {
    // Past the demo's end the clock stands still.
    feed = &kNoReadings;
  }
  // Otherwise the pass reads what the pass before it read.
}

const Pass* ComingPass() {
  if (passAt < passes.size() && passes[passAt].index == current) return &passes[passAt];
  return nullptr;
}

}  // namespace

// --- The clock ------------------------------------------------------------------

uint32_t GameClock() {
  if (mode == Mode::kReplay) {
    if (feedAt < feed->size()) {
      lastClock += (*feed)[feedAt++];
    } else if (current < loaded.endPass) {
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

void BeginRecording(const Header& header) {
  mode = Mode::kRecord;
  lastClock = header.clock;
  char text[512];
  std::snprintf(text, sizeof text,
                "%s\nprogram %s\nversion %s\nbackend %s\ndepth %d\nseed %u\nclock %" PRIu32 "\n",
                kFirstLine, header.program.c_str(), header.version.c_str(), header.backend.c_str(),
                header.depth, header.seed, header.clock);
  Write(text);
  if (!header.trace.empty()) {
    Write("trace ");
    Write(header.trace.c_str());
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
  if (!ReadDemo(path, text, header, loaded, error)) return false;
  recordedVersion = header.version;
  return true;
}

std::string ExpectedTrace(const std::string& demoPath, const Header& header) {
  if (header.trace.empty()) return "";
  const std::string& t = header.trace;
  bool absolute = t[0] == '/' || t[0] == '\\' || (t.size() > 2 && t[1] == ':');
  return absolute ? t : FolderOf(demoPath) + t;
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
  if (result.empty() && !liveClose && run.framePasses < loaded.endPass) {
    result = "replay differs at frame " + std::to_string(run.framePasses) +
             ": the program ended there, the demo goes on to frame " + std::to_string(loaded.endPass);
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
    if (index < loaded.endPass && feedAt < feed->size()) {
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

bool CutShort() { return loaded.cutShort; }

bool ReplayOver(uint64_t passesRun) { return mode == Mode::kReplay && passesRun >= loaded.endPass; }

}  // namespace demo
}  // namespace shell
