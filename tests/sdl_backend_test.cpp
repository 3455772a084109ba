// The sdl backend's translation of keys and mouse buttons into messages, and
// its refusal to start without a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/backend.h"
#include "platform/core/messages.h"
#include "platform/sdl/sdl_keys.h"

#if defined(_WIN32)
TEST(SdlBackend, NotOnWindows) { GTEST_SKIP() << "the SDL backend is not built on Windows"; }
#else
namespace {

using namespace plat::sdlkeys;

constexpr intptr_t kRepeatCountMask = 0xFFFF;

int ScanCodeOf(const KeyMessage& m) { return static_cast<int>((m.lparam >> 16) & 0xFF); }
bool Extended(const KeyMessage& m) { return (m.lparam >> 24) & 1; }

TEST(SdlKeysTest, PlainKeysGiveTheirVirtualKeyCodes) {
  struct Case {
    const char* name;
    int vk;
  };
  const Case cases[] = {
      {"Left", VK_LEFT},       {"Up", VK_UP},          {"Right", VK_RIGHT},
      {"Down", VK_DOWN},       {"A", 'A'},             {"C", 'C'},
      {"V", 'V'},              {"Z", 'Z'},             {"0", '0'},
      {"9", '9'},              {"Escape", VK_ESCAPE},  {"Return", VK_RETURN},
      {"Space", VK_SPACE},     {"Tab", VK_TAB},        {"Backspace", VK_BACK},
      {"F1", VK_F1},           {"F12", VK_F1 + 11},    {"Insert", VK_INSERT},
      {"Delete", VK_DELETE},   {"Home", VK_HOME},      {"End", VK_END},
      {"PageUp", VK_PRIOR},    {"PageDown", VK_NEXT},  {";", VK_OEM_1},
      {"=", VK_OEM_PLUS},      {",", VK_OEM_COMMA},    {"-", VK_OEM_MINUS},
      {".", VK_OEM_PERIOD},    {"/", VK_OEM_2},        {"`", VK_OEM_3},
      {"[", VK_OEM_4},         {"\\", VK_OEM_5},       {"]", VK_OEM_6},
      {"'", VK_OEM_7},         {"Keypad *", VK_MULTIPLY}, {"Keypad +", VK_ADD},
      {"Keypad -", VK_SUBTRACT}, {"Keypad /", VK_DIVIDE}, {"Keypad Enter", VK_RETURN},
  };
  for (const Case& c : cases) {
    KeyMessage m = TranslateKeyByName(c.name, 0, true, false);
    EXPECT_EQ(m.kind, WM_KEYDOWN) << c.name;
    EXPECT_EQ(m.wparam, static_cast<uintptr_t>(c.vk)) << c.name;
    EXPECT_EQ(m.lparam & kRepeatCountMask, 1) << c.name;
  }
}

TEST(SdlKeysTest, ModifiersUseTheGenericCodes) {
  EXPECT_EQ(TranslateKeyByName("Left Shift", kShift, true, false).wparam, uintptr_t(VK_SHIFT));
  EXPECT_EQ(TranslateKeyByName("Right Shift", kShift, true, false).wparam, uintptr_t(VK_SHIFT));
  EXPECT_EQ(TranslateKeyByName("Left Ctrl", kCtrl, true, false).wparam, uintptr_t(VK_CONTROL));
  EXPECT_EQ(TranslateKeyByName("Right Ctrl", kCtrl, true, false).wparam, uintptr_t(VK_CONTROL));
  EXPECT_EQ(TranslateKeyByName("Left Alt", kAlt, true, false).wparam, uintptr_t(VK_MENU));
  EXPECT_EQ(TranslateKeyByName("Right Alt", kAlt, true, false).wparam, uintptr_t(VK_MENU));
}

TEST(SdlKeysTest, KeypadFollowsNumLock) {
  EXPECT_EQ(TranslateKeyByName("Keypad 0", kNumLock, true, false).wparam, uintptr_t(VK_NUMPAD0));
  EXPECT_EQ(TranslateKeyByName("Keypad 5", kNumLock, true, false).wparam,
            uintptr_t(VK_NUMPAD0 + 5));
  EXPECT_EQ(TranslateKeyByName("Keypad 9", kNumLock, true, false).wparam,
            uintptr_t(VK_NUMPAD0 + 9));
  EXPECT_EQ(TranslateKeyByName("Keypad .", kNumLock, true, false).wparam, uintptr_t(VK_DECIMAL));
  EXPECT_EQ(TranslateKeyByName("Keypad 8", 0, true, false).wparam, uintptr_t(VK_UP));
  EXPECT_EQ(TranslateKeyByName("Keypad 1", 0, true, false).wparam, uintptr_t(VK_END));
  EXPECT_EQ(TranslateKeyByName("Keypad 0", 0, true, false).wparam, uintptr_t(VK_INSERT));
  EXPECT_EQ(TranslateKeyByName("Keypad .", 0, true, false).wparam, uintptr_t(VK_DELETE));
}

TEST(SdlKeysTest, ParameterCarriesScanCodeAndTransitionBits) {
  KeyMessage press = TranslateKeyByName("C", 0, true, false);
  EXPECT_EQ(ScanCodeOf(press), 0x2E);
  EXPECT_FALSE(Extended(press));
  EXPECT_EQ(press.lparam & KF_REPEAT_BIT, 0);
  EXPECT_EQ(press.lparam & KF_UP_BIT, 0);
  EXPECT_EQ(press.lparam & KF_ALTDOWN_BIT, 0);

  KeyMessage again = TranslateKeyByName("C", 0, true, true);
  EXPECT_NE(again.lparam & KF_REPEAT_BIT, 0);
  EXPECT_EQ(again.lparam & KF_UP_BIT, 0);

  // A release says that the key was down and is going up; the parameter is
  // a positive number, as the system's 32-bit parameter is.
  KeyMessage release = TranslateKeyByName("C", 0, false, false);
  EXPECT_EQ(release.kind, WM_KEYUP);
  EXPECT_NE(release.lparam & KF_REPEAT_BIT, 0);
  EXPECT_NE(release.lparam & KF_UP_BIT, 0);
  EXPECT_GT(release.lparam, 0);

  EXPECT_EQ(ScanCodeOf(TranslateKeyByName("Escape", 0, true, false)), 0x01);
  KeyMessage left = TranslateKeyByName("Left", 0, true, false);
  EXPECT_EQ(ScanCodeOf(left), 0x4B);
  EXPECT_TRUE(Extended(left));
  KeyMessage keypadLeft = TranslateKeyByName("Keypad 4", 0, true, false);
  EXPECT_EQ(ScanCodeOf(keypadLeft), 0x4B);
  EXPECT_FALSE(Extended(keypadLeft));
}

TEST(SdlKeysTest, AltAndF10AreSystemKeys) {
  KeyMessage alt = TranslateKeyByName("Left Alt", kAlt, true, false);
  EXPECT_EQ(alt.kind, WM_SYSKEYDOWN);
  EXPECT_NE(alt.lparam & KF_ALTDOWN_BIT, 0);
  EXPECT_EQ(TranslateKeyByName("Left Alt", 0, false, false).kind, WM_SYSKEYUP);

  KeyMessage altF4 = TranslateKeyByName("F4", kAlt, true, false);
  EXPECT_EQ(altF4.kind, WM_SYSKEYDOWN);
  EXPECT_EQ(altF4.wparam, uintptr_t(VK_F4));
  EXPECT_NE(altF4.lparam & KF_ALTDOWN_BIT, 0);
  EXPECT_EQ(TranslateKeyByName("F4", kAlt, false, false).kind, WM_SYSKEYUP);

  KeyMessage f10 = TranslateKeyByName("F10", 0, true, false);
  EXPECT_EQ(f10.kind, WM_SYSKEYDOWN);
  EXPECT_EQ(f10.lparam & KF_ALTDOWN_BIT, 0);
  EXPECT_EQ(TranslateKeyByName("F10", 0, false, false).kind, WM_SYSKEYUP);

  // Ctrl with Alt is how some layouts type characters: ordinary keys.
  EXPECT_EQ(TranslateKeyByName("Q", kAlt | kCtrl, true, false).kind, WM_KEYDOWN);
  EXPECT_EQ(TranslateKeyByName("F4", 0, true, false).kind, WM_KEYDOWN);
  EXPECT_EQ(TranslateKeyByName("Escape", kShift, true, false).kind, WM_KEYDOWN);
}

TEST(SdlKeysTest, KeysWithoutACodeGiveNoMessage) {
  EXPECT_EQ(TranslateKeyByName("Mute", 0, true, false).kind, 0u);
  EXPECT_EQ(TranslateKeyByName("no such key", 0, true, false).kind, 0u);
}

TEST(SdlKeysTest, PointsPackAsSigned16BitHalves) {
  auto x = [](intptr_t p) { return static_cast<int16_t>(p & 0xFFFF); };
  auto y = [](intptr_t p) { return static_cast<int16_t>((p >> 16) & 0xFFFF); };
  intptr_t p = PackPoint(799, 599);
  EXPECT_EQ(x(p), 799);
  EXPECT_EQ(y(p), 599);
  p = PackPoint(-20, -5);
  EXPECT_EQ(x(p), -20);
  EXPECT_EQ(y(p), -5);
  p = PackPoint(240, -30);
  EXPECT_EQ(x(p), 240);
  EXPECT_EQ(y(p), -30);
}

TEST(SdlKeysTest, EverySecondClickIsADoubleClick) {
  constexpr int kLeft = 1, kMiddle = 2, kRight = 3;
  EXPECT_EQ(MouseButtonMessage(kLeft, true, 1), WM_LBUTTONDOWN);
  EXPECT_EQ(MouseButtonMessage(kLeft, true, 2), WM_LBUTTONDBLCLK);
  EXPECT_EQ(MouseButtonMessage(kLeft, true, 3), WM_LBUTTONDOWN);
  EXPECT_EQ(MouseButtonMessage(kLeft, true, 4), WM_LBUTTONDBLCLK);
  EXPECT_EQ(MouseButtonMessage(kLeft, false, 2), WM_LBUTTONUP);
  EXPECT_EQ(MouseButtonMessage(kRight, true, 1), WM_RBUTTONDOWN);
  EXPECT_EQ(MouseButtonMessage(kRight, true, 2), WM_RBUTTONDBLCLK);
  EXPECT_EQ(MouseButtonMessage(kRight, false, 1), WM_RBUTTONUP);
  EXPECT_EQ(MouseButtonMessage(kMiddle, true, 1), 0u);
}

// Without any display the backend refuses to open, with the reason the
// program prints. Skipped where a display is reachable.
TEST(SdlBackendTest, OpenWithoutDisplayGivesTheReason) {
  if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("SDL_VIDEODRIVER")) {
    GTEST_SKIP() << "a display is configured";
  }
  std::unique_ptr<plat::Backend> backend(plat::MakeSdlBackend());
  plat::Options options;
  std::string error;
  EXPECT_FALSE(backend->Open(options, error));
  EXPECT_EQ(error.rfind("no display found", 0), 0u) << error;
  EXPECT_NE(error.find("; --headless runs without one"), std::string::npos) << error;
}

}  // namespace
#endif
