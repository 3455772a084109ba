// Key and mouse translation for the sdl backend.
#include "platform/sdl/sdl_keys.h"

#include <SDL.h>

#include "platform/core/messages.h"

namespace plat::sdlkeys {
namespace {

// Codes of keys messages.h does not name, found on Japanese keyboards and on
// the keypad with Num Lock off.
constexpr int kVkClear = 0x0C;
constexpr int kVkKana = 0x15;
constexpr int kVkConvert = 0x1C;
constexpr int kVkNonConvert = 0x1D;

// The set-1 scan code a PC keyboard sends for a key, and whether it comes
// with the extended prefix; 0 when unknown.
struct ScanCode {
  int code = 0;
  bool extended = false;
};

ScanCode PcScanCode(int scancode) {
  static constexpr uint8_t kLetters[26] = {
      0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
      0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return {kLetters[scancode - SDL_SCANCODE_A], false};
  }
  // The digit row runs 1..9, 0 in both numberings.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
    return {0x02 + (scancode - SDL_SCANCODE_1), false};
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10) {
    return {0x3B + (scancode - SDL_SCANCODE_F1), false};
  }
  switch (scancode) {
    case SDL_SCANCODE_ESCAPE: return {0x01, false};
    case SDL_SCANCODE_MINUS: return {0x0C, false};
    case SDL_SCANCODE_EQUALS: return {0x0D, false};
    case SDL_SCANCODE_BACKSPACE: return {0x0E, false};
    case SDL_SCANCODE_TAB: return {0x0F, false};
    case SDL_SCANCODE_LEFTBRACKET: return {0x1A, false};
    case SDL_SCANCODE_RIGHTBRACKET: return {0x1B, false};
    case SDL_SCANCODE_RETURN: return {0x1C, false};
    case SDL_SCANCODE_LCTRL: return {0x1D, false};
    case SDL_SCANCODE_SEMICOLON: return {0x27, false};
    case SDL_SCANCODE_APOSTROPHE: return {0x28, false};
    case SDL_SCANCODE_GRAVE: return {0x29, false};
    case SDL_SCANCODE_LSHIFT: return {0x2A, false};
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return {0x2B, false};
    case SDL_SCANCODE_COMMA: return {0x33, false};
    case SDL_SCANCODE_PERIOD: return {0x34, false};
    case SDL_SCANCODE_SLASH: return {0x35, false};
    case SDL_SCANCODE_RSHIFT: return {0x36, false};
    case SDL_SCANCODE_KP_MULTIPLY: return {0x37, false};
    case SDL_SCANCODE_LALT: return {0x38, false};
    case SDL_SCANCODE_SPACE: return {0x39, false};
    case SDL_SCANCODE_CAPSLOCK: return {0x3A, false};
    case SDL_SCANCODE_PAUSE: return {0x45, false};
    case SDL_SCANCODE_NUMLOCKCLEAR: return {0x45, true};
    case SDL_SCANCODE_SCROLLLOCK: return {0x46, false};
    case SDL_SCANCODE_KP_7: return {0x47, false};
    case SDL_SCANCODE_KP_8: return {0x48, false};
    case SDL_SCANCODE_KP_9: return {0x49, false};
    case SDL_SCANCODE_KP_MINUS: return {0x4A, false};
    case SDL_SCANCODE_KP_4: return {0x4B, false};
    case SDL_SCANCODE_KP_5: return {0x4C, false};
    case SDL_SCANCODE_KP_6: return {0x4D, false};
    case SDL_SCANCODE_KP_PLUS: return {0x4E, false};
    case SDL_SCANCODE_KP_1: return {0x4F, false};
    case SDL_SCANCODE_KP_2: return {0x50, false};
    case SDL_SCANCODE_KP_3: return {0x51, false};
    case SDL_SCANCODE_KP_0: return {0x52, false};
    case SDL_SCANCODE_KP_PERIOD: return {0x53, false};
    case SDL_SCANCODE_NONUSBACKSLASH: return {0x56, false};
    case SDL_SCANCODE_F11: return {0x57, false};
    case SDL_SCANCODE_F12: return {0x58, false};
    case SDL_SCANCODE_INTERNATIONAL2: return {0x70, false};
    case SDL_SCANCODE_INTERNATIONAL1: return {0x73, false};
    case SDL_SCANCODE_INTERNATIONAL4: return {0x79, false};
    case SDL_SCANCODE_INTERNATIONAL5: return {0x7B, false};
    case SDL_SCANCODE_INTERNATIONAL3: return {0x7D, false};
    case SDL_SCANCODE_KP_ENTER: return {0x1C, true};
    case SDL_SCANCODE_RCTRL: return {0x1D, true};
    case SDL_SCANCODE_KP_DIVIDE: return {0x35, true};
    case SDL_SCANCODE_PRINTSCREEN: return {0x37, true};
    case SDL_SCANCODE_RALT: return {0x38, true};
    case SDL_SCANCODE_HOME: return {0x47, true};
    case SDL_SCANCODE_UP: return {0x48, true};
    case SDL_SCANCODE_PAGEUP: return {0x49, true};
    case SDL_SCANCODE_LEFT: return {0x4B, true};
    case SDL_SCANCODE_RIGHT: return {0x4D, true};
    case SDL_SCANCODE_END: return {0x4F, true};
    case SDL_SCANCODE_DOWN: return {0x50, true};
    case SDL_SCANCODE_PAGEDOWN: return {0x51, true};
    case SDL_SCANCODE_INSERT: return {0x52, true};
    case SDL_SCANCODE_DELETE: return {0x53, true};
    case SDL_SCANCODE_LGUI: return {0x5B, true};
    case SDL_SCANCODE_RGUI: return {0x5C, true};
    case SDL_SCANCODE_APPLICATION: return {0x5D, true};
    default: return {};
  }
}

}  // namespace

int VirtualKey(int scancode, int keycode, unsigned modifiers) {
  // Letters follow the keyboard layout, as the system's own codes do; every
  // other key is known by its place on a US keyboard.
  if (keycode >= 'a' && keycode <= 'z') return keycode - 'a' + 'A';
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return VK_F1 + (scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return VK_F1 + 12 + (scancode - SDL_SCANCODE_F13);
  }
  // With Num Lock off the keypad digits are the cursor keys they are
  // labelled with.
  bool numLock = (modifiers & kNumLock) != 0;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    if (numLock) return VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    static constexpr int kNavigation[9] = {VK_END,  VK_DOWN, VK_NEXT, VK_LEFT, kVkClear,
                                           VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR};
    return kNavigation[scancode - SDL_SCANCODE_KP_1];
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_KP_0: return numLock ? VK_NUMPAD0 : VK_INSERT;
    case SDL_SCANCODE_KP_PERIOD: return numLock ? VK_DECIMAL : VK_DELETE;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    // The window hears the generic modifier codes; the sided ones exist
    // only in the key state.
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return VK_MENU;
    case SDL_SCANCODE_LGUI: return VK_LWIN;
    case SDL_SCANCODE_RGUI: return VK_RWIN;
    case SDL_SCANCODE_APPLICATION: return VK_APPS;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH:
    case SDL_SCANCODE_INTERNATIONAL1: return VK_OEM_102;  // the "ro" key of Japanese keyboards
    case SDL_SCANCODE_INTERNATIONAL3: return VK_OEM_5;    // the yen key
    case SDL_SCANCODE_INTERNATIONAL2: return kVkKana;
    case SDL_SCANCODE_INTERNATIONAL4: return kVkConvert;
    case SDL_SCANCODE_INTERNATIONAL5: return kVkNonConvert;
    default: return 0;
  }
}

KeyMessage TranslateKey(int scancode, int keycode, unsigned modifiers, bool down, bool repeat) {
  KeyMessage message;
  int vk = VirtualKey(scancode, keycode, modifiers);
  if (vk == 0) return message;
  bool altKey = scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT;
  bool altHeld = (modifiers & kAlt) != 0;
  bool ctrlHeld = (modifiers & kCtrl) != 0;
  bool system = !ctrlHeld && (altHeld || altKey || vk == VK_F10);
  if (down) {
    message.kind = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
  } else {
    message.kind = system ? WM_SYSKEYUP : WM_KEYUP;
  }
  message.wparam = static_cast<uintptr_t>(vk);

  ScanCode pc = PcScanCode(scancode);
  uint32_t bits = 1;  // repeat count
  bits |= static_cast<uint32_t>(pc.code & 0xFF) << 16;
  if (pc.extended) bits |= 1u << 24;
  if (altHeld && !ctrlHeld) bits |= KF_ALTDOWN_BIT;
  // A release always follows a key that was down, so it carries the
  // previous-state bit as well as the release bit.
  if (!down) {
    bits |= KF_REPEAT_BIT | KF_UP_BIT;
  } else if (repeat) {
    bits |= KF_REPEAT_BIT;
  }
  message.lparam = static_cast<intptr_t>(bits);
  return message;
}

KeyMessage TranslateKeyByName(const char* sdlKeyName, unsigned modifiers, bool down, bool repeat) {
  SDL_Scancode scancode = SDL_GetScancodeFromName(sdlKeyName);
  SDL_Keycode keycode = SDL_GetKeyFromName(sdlKeyName);
  return TranslateKey(scancode, keycode, modifiers, down, repeat);
}

intptr_t PackPoint(int x, int y) {
  uint32_t packed = (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                    static_cast<uint16_t>(x);
  return static_cast<intptr_t>(packed);
}

uint32_t MouseButtonMessage(int button, bool down, int clicks) {
  bool doubleClick = down && clicks >= 2 && clicks % 2 == 0;
  if (button == SDL_BUTTON_LEFT) {
    if (!down) return WM_LBUTTONUP;
    return doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
  }
  if (button == SDL_BUTTON_RIGHT) {
    if (!down) return WM_RBUTTONUP;
    return doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
  }
  return 0;
}

}  // namespace plat::sdlkeys
