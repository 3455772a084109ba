// The demo as the recording writes it and the replay reads it: its events,
// their names, and a demo read into frame passes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/messages.h"
#include "platform/platform.h"
#include "shell/demo.h"

namespace shell::demo {

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

// A demo read whole.
struct Demo {
  std::vector<Pass> passes;
  uint64_t endPass = 0;   // the replay's frame passes: the demo's end
  bool cutShort = false;  // the demo has no end line
};

// Reads the demo `text` of the file `path`; on error false with
// "PATH:LINE: why".
bool ReadDemo(const std::string& path, const std::string& text, Header& header, Demo& demo,
              std::string& error);

// The messages and their names in a demo.
struct MessageName {
  const char* name;
  uint32_t kind;
};
constexpr MessageName kMouseNames[] = {
    {"move", WM_MOUSEMOVE},        {"ldown", WM_LBUTTONDOWN},   {"lup", WM_LBUTTONUP},
    {"ldouble", WM_LBUTTONDBLCLK}, {"rdown", WM_RBUTTONDOWN},   {"rup", WM_RBUTTONUP},
    {"rdouble", WM_RBUTTONDBLCLK},
};
constexpr MessageName kKeyKinds[] = {
    {"down", WM_KEYDOWN}, {"up", WM_KEYUP}, {"sysdown", WM_SYSKEYDOWN}, {"sysup", WM_SYSKEYUP}};

inline bool IsKeyUp(uint32_t kind) { return kind == WM_KEYUP || kind == WM_SYSKEYUP; }
inline bool IsKey(uint32_t kind) { return IsKeyUp(kind) || kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN; }
inline bool IsMouse(uint32_t kind) { return kind >= WM_MOUSEMOVE && kind <= WM_RBUTTONDBLCLK; }

}  // namespace shell::demo
