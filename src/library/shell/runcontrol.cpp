#include "shell/runcontrol.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "draw/eldraw.h"
#include "platform/core/messages.h"
#include "platform/platform.h"
#include "shell/demo.h"
#include "shell/elsystem.h"
#include "shell/padkeys.h"

namespace shell {

RunControl run;

bool CloseTrace(std::string& reason) {
  if (!run.trace) return true;
  int error = run.traceError;
  if (std::fclose(run.trace) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  run.trace = nullptr;
  if (error != 0) reason = std::strerror(error);
  return error == 0;
}

void ResetRunControl() {
  if (run.trace) std::fclose(run.trace);
  run = RunControl{};
  ResetPadKeys();
}

bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value, int base) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(text.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  value = v;
  return true;
}

bool TextLines::Next(std::string& line) {
  if (at_ >= text_.size()) return false;
  size_t end = text_.find('\n', at_);
  if (end == std::string::npos) end = text_.size();
  line.assign(text_, at_, end - at_);
  at_ = end + 1;
  ++number_;
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

// The library's own options, as --help lists them (and README.md too).
const OptionHelp kLibraryOptions[] = {
    {"--headless", "run without a window or devices, on a virtual clock (repeatable)"},
    {"--frames N", "end after N frame passes, as Escape would"},
    {"--keys FILE", "scripted key and pad input, \"FRAME KEY down|up\" a line"},
    {"--seed S", "seed the random generator with S instead of the time"},
    {"--trace FILE", "one JSON line of state per frame pass that ran a frame (a file, pipe or device)"},
    {"--record FILE", "write a demo of the run: its input and clock, to replay it exactly"},
    {"--replay FILE", "play a demo back (with --headless as fast as it goes); exit 1 where it differs"},
    {"--realtime", "with --headless: pace in wall-clock time"},
    {"--depth N", "desktop depth in bits: 15, 16 (default), 24 or 32"},
    {"--scale N", "window scale, 1 to 4 (at most the largest that fits the desktop)"},
    {"--fullscreen", "start in full screen (Alt+Enter switches)"},
    {"--integer-scale", "full screen scales by whole numbers only (a black frame around)"},
    {"--no-hints", "do not show the program's controls over its first seconds"},
    {"--screenshot FILE", "save the back screen as a BMP file after the last frame pass"},
    {"--audio-dump FILE", "write all sound mixed as a 16-bit stereo WAVE file (a file, pipe or device)"},
    {"--help", "print this list and exit"},
    {"--version", "print the version and exit"},
    {nullptr, nullptr},
};

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      v = argv[++i];
      return true;
    };
    std::string v;
    int64_t n = 0;
    if (arg == "--headless") {
      out.backend = "headless";
    } else if (arg == "--fullscreen") {
      out.fullscreen = true;
    } else if (arg == "--integer-scale") {
      out.integerScale = true;
    } else if (arg == "--no-hints") {
      out.noHints = true;
    } else if (arg == "--realtime") {
      out.realtime = true;
    } else if (arg == "--frames") {
      if (!value(v)) return false;
      if (!ParseInteger(v, 0, INT64_MAX, n)) {
        error = "--frames takes a whole number of 0 or more, not '" + v + "'";
        return false;
      }
      out.frames = n;
    } else if (arg == "--keys") {
      if (!value(out.keysFile)) return false;
    } else if (arg == "--seed") {
      if (!value(v)) return false;
      if (!ParseInteger(v, 0, UINT32_MAX, n)) {
        error = "--seed takes a whole number from 0 to 4294967295, not '" + v + "'";
        return false;
      }
      out.haveSeed = true;
      out.seed = static_cast<unsigned>(n);
    } else if (arg == "--trace") {
      if (!value(out.traceFile)) return false;
    } else if (arg == "--depth") {
      if (!value(v)) return false;
      if (!ParseInteger(v, 15, 32, n) || (n != 15 && n != 16 && n != 24 && n != 32)) {
        error = "--depth takes 15, 16, 24 or 32, not '" + v + "'";
        return false;
      }
      out.depth = static_cast<int>(n);
    } else if (arg == "--scale") {
      if (!value(v)) return false;
      if (!ParseInteger(v, 1, 4, n)) {
        error = "--scale takes 1, 2, 3 or 4, not '" + v + "'";
        return false;
      }
      out.scale = static_cast<int>(n);
    } else if (arg == "--screenshot") {
      if (!value(out.screenshot)) return false;
    } else if (arg == "--audio-dump") {
      if (!value(out.audioDump)) return false;
    } else if (arg == "--record") {
      if (!value(out.recordFile)) return false;
    } else if (arg == "--replay") {
      if (!value(out.replayFile)) return false;
    } else {
      error = "unknown option '" + arg + "' (see README.md for the options)";
      return false;
    }
  }
  // A demo brings its own keys, seed and desktop depth.
  if (!out.replayFile.empty()) {
    if (!out.recordFile.empty()) error = "--replay and --record do not go together";
    if (!out.keysFile.empty()) error = "--replay takes its keys from the demo, not from --keys";
    if (out.haveSeed) error = "--replay takes its seed from the demo, not from --seed";
    if (!error.empty()) return false;
  }
  return true;
}

namespace {

struct KeyNameEntry {
  const char* name;
  int code;
};
constexpr KeyNameEntry kKeyNames[] = {{"Left", VK_LEFT},     {"Right", VK_RIGHT}, {"Up", VK_UP},
                                      {"Down", VK_DOWN},     {"Escape", VK_ESCAPE}, {"Space", VK_SPACE},
                                      {"Enter", VK_RETURN}, {"Alt", VK_MENU},     {"F12", VK_F12}};

}  // namespace

bool KeyName(int virtualKey, char* out, size_t size) {
  for (const auto& k : kKeyNames) {
    if (k.code == virtualKey) return std::snprintf(out, size, "%s", k.name) > 0;
  }
  if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
    return std::snprintf(out, size, "%c", virtualKey) > 0;
  }
  // One digit alone would read as a digit key: small codes take two.
  if (virtualKey >= 1 && virtualKey <= 254) return std::snprintf(out, size, "%02d", virtualKey) > 0;
  return false;
}

int KeyCodeFromName(const std::string& name) {
  for (const auto& k : kKeyNames) {
    if (name == k.name) return k.code;
  }
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return std::toupper(static_cast<unsigned char>(name[0]));
  }
  int64_t code = 0;
  if (name.size() > 1 && ParseInteger(name, 1, 254, code)) return static_cast<int>(code);
  return -1;
}

namespace {

// The virtual pad's names in a key script: buttons, and the stick's axes,
// whose action is the new position.
struct PadName {
  const char* name;
  uint32_t button;
  int axis;
};
constexpr PadName kPadNames[] = {
    {"PadA", plat::kPadA, -1},         {"PadB", plat::kPadB, -1},
    {"PadX", plat::kPadX, -1},         {"PadY", plat::kPadY, -1},
    {"PadBack", plat::kPadBack, -1},   {"PadStart", plat::kPadStart, -1},
    {"PadUp", plat::kPadUp, -1},       {"PadDown", plat::kPadDown, -1},
    {"PadLeft", plat::kPadLeft, -1},   {"PadRight", plat::kPadRight, -1},
    {"PadStickX", 0, 0},               {"PadStickY", 0, 1},
};

const PadName* FindPadName(const std::string& name) {
  for (const PadName& p : kPadNames) {
    if (name == p.name) return &p;
  }
  return nullptr;
}

}  // namespace

bool ScriptUsesPad(const std::vector<ScriptedKey>& keys) {
  for (const ScriptedKey& k : keys) {
    if (k.virtualKey == 0) return true;
  }
  return false;
}

// A key script is a small text file; anything larger is no script.
constexpr size_t kMaxKeyScriptBytes = 16u << 20;

bool ParseKeyScript(const char* path, std::vector<ScriptedKey>& out, std::string& error) {
  std::string text, reason;
  if (!plat::ReadSmallFile(path, kMaxKeyScriptBytes, text, reason)) {
    error = std::string(path) + ": " + reason;
    return false;
  }
  std::string line;
  TextLines lines(text);
  while (lines.Next(line)) {
    auto fail = [&](const std::string& why) {
      error = std::string(path) + ":" + std::to_string(lines.number()) + ": " + why;
      return false;
    };
    // A NUL would end the line early for the reading below and drop the rest.
    if (line.find('\0') != std::string::npos) return fail("NUL byte in the line");
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    line = Trim(line);
    if (line.empty()) continue;
    char frame[64], key[64], action[64], extra[8];
    int fields = std::sscanf(line.c_str(), "%63s %63s %63s %7s", frame, key, action, extra);
    if (fields != 3) return fail("expected FRAME KEY down|up");
    int64_t f = 0;
    if (!ParseInteger(frame, 0, INT64_MAX, f)) return fail(std::string("bad frame '") + frame + "'");
    if (!out.empty() && static_cast<uint64_t>(f) < out.back().frame) {
      return fail("frames must not go backwards");
    }
    std::string a = action;
    ScriptedKey event;
    event.frame = static_cast<uint64_t>(f);
    event.down = a == "down";
    if (const PadName* pad = FindPadName(key)) {
      event.padButton = pad->button;
      event.padAxis = pad->axis;
      int64_t position = 0;
      if (pad->axis >= 0 && !ParseInteger(a, -32768, 32767, position)) {
        return fail("a stick position is a whole number from -32768 to 32767, not '" + a + "'");
      }
      event.padValue = static_cast<int>(position);
    } else {
      event.virtualKey = KeyCodeFromName(key);
      if (event.virtualKey < 0) return fail(std::string("unknown key '") + key + "'");
    }
    if (event.padAxis < 0 && a != "down" && a != "up") {
      return fail("action must be down or up, not '" + a + "'");
    }
    out.push_back(event);
  }
  return true;
}

uint32_t KeyBits(bool up, bool repeat, bool alt) {
  // A repeat count of 1; a key going up was down before it.
  uint32_t lparam = 1;
  if (alt) lparam |= KF_ALTDOWN_BIT;
  if (repeat || up) lparam |= KF_REPEAT_BIT;
  if (up) lparam |= KF_UP_BIT;
  return lparam;
}

void KeyMessage(int virtualKey, bool down, uint32_t& kind, uint32_t& lparam) {
  // Alt, F10 and every key pressed while Alt is held arrive as system keys,
  // as they do from a keyboard.
  bool altHeld = (plat::GetKeyState(VK_MENU) & 0x80) != 0;
  bool system = virtualKey == VK_MENU || virtualKey == VK_F10 || altHeld;
  bool wasDown = (plat::GetKeyState(virtualKey) & 0x80) != 0;
  lparam = KeyBits(!down, wasDown, altHeld);
  kind = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
}

bool PostKey(int virtualKey, bool down) {
  uint32_t kind = 0, lparam = 0;
  KeyMessage(virtualKey, down, kind, lparam);
  return plat::PostMessage(elSystem::mainWindow, kind, static_cast<uintptr_t>(virtualKey), lparam);
}

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) { stopRequested = 1; }

}  // namespace

void RequestStop() { stopRequested = 1; }

bool TakeStopRequest() {
  if (stopRequested == 0) return false;
  stopRequested = 0;
  return true;
}

void CatchStopSignals() {
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
}

bool PostScriptedKeys() {
  // A frame of thousands of events would overflow the message queue, and a
  // full queue drops messages: they go in batches of a quarter of it, and
  // the loop empties the queue between them, still before the pass.
  size_t posted = 0;
  while (posted < kScriptedKeyBatch && run.nextKey < run.keys.size() &&
         run.keys[run.nextKey].frame <= run.framePasses) {
    const ScriptedKey& k = run.keys[run.nextKey];
    if (k.virtualKey != 0) {
      uint32_t kind = 0, lparam = 0;
      KeyMessage(k.virtualKey, k.down, kind, lparam);
      // Full after all (other messages came first): the rest waits a round.
      if (!plat::PostMessage(elSystem::mainWindow, kind, static_cast<uintptr_t>(k.virtualKey), lparam)) break;
      demo::NoteScriptedKey(kind, k.virtualKey, lparam);
    } else if (k.padAxis >= 0) {
      plat::SetVirtualPadStick(k.padAxis, k.padValue);
    } else {
      plat::SetVirtualPadButton(k.padButton, k.down);
    }
    ++run.nextKey;
    ++posted;
  }
  // The loop goes round once more, so the pads are read before the pass.
  return posted > 0;
}

void AfterFramePass(bool ranFrame) {
  if (ranFrame && run.trace && run.traceError == 0) {
    // The tick is the pass's last reading of the state's clock, so that a
    // trace asks the clock nothing a run without one would not.
    std::fprintf(run.trace, "{\"frame\":%llu,\"tick\":%u,\"dt\":%.9g",
                 static_cast<unsigned long long>(run.framePasses), LastGameClock(),
                 static_cast<double>(elSystem::dt));
    if (run.traceFields) run.traceFields(run.trace);
    std::fputs("}\n", run.trace);
    // A recording keeps its trace whole up to the last pass, as its demo.
    if (demo::Recording()) std::fflush(run.trace);
    // The run goes on without its trace; the end reports the failure.
    if (std::ferror(run.trace)) run.traceError = errno != 0 ? errno : EIO;
  }
  demo::EndPass(run.framePasses);
  ++run.framePasses;
  if (demo::ReplayOver(run.framePasses)) QuitProgram();
  if (run.frameLimit >= 0 && static_cast<int64_t>(run.framePasses) >= run.frameLimit) {
    if (!run.screenshot.empty() &&
        elDraw::SaveBmpToPath(run.screenshot.c_str(), elDraw::screen.width, elDraw::screen.height) == 0) {
      std::fprintf(stderr, "--screenshot: %s could not be written\n", run.screenshot.c_str());
      run.failed = true;
    }
    QuitProgram();
  }
}

}  // namespace shell
