// Translation of SDL key and mouse events into the messages of messages.h.
// Internal to src/platform; kept free of SDL types so that tests can reach it.
#pragma once
#include <cstdint>

namespace plat::sdlkeys {

// Modifier keys held when the event happened.
constexpr unsigned kShift = 1;
constexpr unsigned kCtrl = 2;
constexpr unsigned kAlt = 4;
constexpr unsigned kNumLock = 8;

struct KeyMessage {
  uint32_t kind = 0;  // 0 when the key has no virtual-key code
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
};

// The virtual-key code of a key, from its SDL scancode and keycode; 0 when
// the key has none.
int VirtualKey(int scancode, int keycode, unsigned modifiers);

// The key message for a press or release. A press with Alt held, a press of
// Alt itself and F10 are system keys, unless Ctrl is held as well.
KeyMessage TranslateKey(int scancode, int keycode, unsigned modifiers, bool down, bool repeat);

// The same, for a key named as SDL names it ("Left", "A", "Keypad 5", "F10").
KeyMessage TranslateKeyByName(const char* sdlKeyName, unsigned modifiers, bool down, bool repeat);

// A point packed as a message parameter: y in the high and x in the low
// 16 bits, each kept as a signed 16-bit value.
intptr_t PackPoint(int x, int y);

// The message for a mouse button; `button` 1 is the left and 3 the right
// button, as SDL numbers them; others give 0. Every second click of a series
// is a double click.
uint32_t MouseButtonMessage(int button, bool down, int clicks);

}  // namespace plat::sdlkeys
