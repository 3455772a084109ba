// The win32 backend (Windows builds only): the system's messages reach the
// program's queue as the program's own, the picture lands in the window at
// its scale, the cursor and the mouse agree with the picture's pixels, and
// pads, the system's MCI and the sound device answer. The window tests need
// a desktop, the sound test a sound device; under Wine without them they are
// skipped.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/audio/audio_source.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "platform/core/system_mci.h"
#include "platform/windows/win32_api.h"

namespace {

constexpr int kScale = 2;
constexpr int kClientW = 200, kClientH = 150;
std::vector<uint32_t> sent;  // messages the window procedure saw

intptr_t RecordingProc(plat::Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  sent.push_back(kind);
  return plat::DefWindowProc(window, kind, wparam, lparam);
}

class Win32Window : public ::testing::Test {
 protected:
  void SetUp() override {
    sent.clear();
    plat::Options options;
    options.backend = "win32";
    options.scale = kScale;
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
    plat::WindowClass windowClass;
    windowClass.className = "ZolbeckWin32Test";
    windowClass.style = plat::kClassDoubleClicks;
    windowClass.proc = RecordingProc;
    plat::RegisterClass(windowClass);
    plat::WindowCreate create;
    create.className = "ZolbeckWin32Test";
    create.title = "win32 test";
    create.style = plat::WindowStyle::Popup;
    create.x = 40;
    create.y = 30;
    create.width = kClientW;
    create.height = kClientH;
    if (plat::CreateWindow(create) == 0) {
      plat::Stop();
      GTEST_SKIP() << "no desktop to open a window on (Wine without a display)";
    }
    hwnd = FindWindowW(L"ZolbeckWin32Test", nullptr);
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override { plat::Stop(); }

  // The next message of the program's queue, after the system's have been
  // handed over; WM_NULL when none comes.
  plat::Message Next() {
    plat::Message message;
    for (int i = 0; i < 5; ++i) {
      if (plat::PeekMessage(message)) return message;
      ::Sleep(1);
    }
    return plat::Message{};
  }

  HWND hwnd = nullptr;
};

TEST_F(Win32Window, MessagesPassWithTheirParameters) {
  EXPECT_NE(std::find(sent.begin(), sent.end(), static_cast<uint32_t>(WM_MOVE)), sent.end())
      << "WM_MOVE reaches the program before CreateWindow returns";
  struct Case {
    UINT kind;
    WPARAM wparam;
    LPARAM lparam;
  } const cases[] = {
      {WM_KEYDOWN, 'V', 0x002F0001},
      {WM_KEYUP, 'V', static_cast<LPARAM>(0xC02F0001u)},
      {WM_SYSKEYDOWN, VK_F4, 0x203E0001},  // Alt+F4: the program's own default closes
      {MM_MCINOTIFY, 1, 7},
      {WM_CLOSE, 0, 0},  // the close box: queued for the program, nothing destroyed
  };
  for (const Case& c : cases) {
    while (Next().kind != 0) {
    }
    PostMessageW(hwnd, c.kind, c.wparam, c.lparam);
    plat::Message m = Next();
    EXPECT_EQ(m.kind, c.kind);
    EXPECT_EQ(m.wparam, c.wparam) << "message " << c.kind;
    EXPECT_EQ(m.lparam, c.lparam) << "message " << c.kind;
  }
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(Win32Window, CharactersArriveAsShiftJisBytes) {
  while (Next().kind != 0) {
  }
  PostMessageW(hwnd, WM_CHAR, 0x3042, 1);  // あ
  PostMessageW(hwnd, WM_CHAR, 'a', 1);
  PostMessageW(hwnd, WM_CHAR, 0xD842, 1);  // 𠮷, which Shift-JIS lacks
  PostMessageW(hwnd, WM_CHAR, 0xDFB7, 1);
  std::vector<uintptr_t> bytes;
  for (plat::Message m = Next(); m.kind != 0; m = Next()) {
    if (m.kind == WM_CHAR) bytes.push_back(m.wparam);
  }
  EXPECT_EQ(bytes, (std::vector<uintptr_t>{0x82, 0xA0, 'a', '?'}));
}

// The program sees its own pixels: the window shows each scale x scale
// times, and mouse and cursor positions are divided back.
TEST_F(Win32Window, PictureMouseAndCursorAreInPicturePixels) {
  plat::ShowWindow(plat::MainWindow(), plat::Show::Normal);  // a hidden window has no pixels
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, kClientW * kScale);
  EXPECT_EQ(client.bottom, kClientH * kScale);

  plat::Surface* primary = plat::CreatePrimarySurface();
  plat::Surface* back = plat::CreateSurface(kClientW, kClientH);
  const plat::Rect all{0, 0, kClientW, kClientH};
  plat::BltFill(*back, all, 0x001F);  // blue
  plat::BltFill(*back, plat::Rect{10, 20, 11, 21}, 0xF800);  // one red pixel
  ASSERT_EQ(plat::Blt(*primary, all, *back, all, false), plat::Result::Ok);
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 20, 40), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 21, 41), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 22, 42), RGB(0, 0, 255));
  ReleaseDC(hwnd, dc);
  plat::ReleaseSurface(back);
  plat::ReleaseSurface(primary);

  while (Next().kind != 0) {
  }
  PostMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(61, 41));
  plat::Message m = Next();
  EXPECT_EQ(m.kind, static_cast<uint32_t>(WM_MOUSEMOVE));
  EXPECT_EQ(m.lparam, MAKELPARAM(30, 20));

  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  ASSERT_TRUE(plat::SetCursorPos(origin.x + 15, origin.y + 25));  // the program's idea of the desktop
  plat::Point p;
  ASSERT_TRUE(plat::GetCursorPos(p));
  EXPECT_EQ(p.x, origin.x + 15);
  EXPECT_EQ(p.y, origin.y + 25);
}

TEST(Win32Backend, SystemMciAnswersOnlyUnderTheWindowBackend) {
  plat::Options options;
  options.backend = "headless";
  std::string error;
  ASSERT_TRUE(plat::Start(options, error)) << error;
  EXPECT_FALSE(plat::SystemMciAvailable());
  plat::Stop();

  options.backend = "win32";
  ASSERT_TRUE(plat::Start(options, error)) << error;
  EXPECT_TRUE(plat::SystemMciAvailable());
  // The system's own error number comes back (which one depends on the
  // system: a name no device has), and the answer is empty.
  char answer[8] = "x";
  EXPECT_NE(plat::SendSystemMci("status zolbecknothing mode", answer, sizeof answer, 0), 0u);
  EXPECT_STREQ(answer, "");
  plat::Stop();
}

TEST(Win32Backend, VirtualPadMergesAndClamps) {
  plat::Options options;
  options.backend = "headless";
  std::string error;
  ASSERT_TRUE(plat::Start(options, error)) << error;
  plat::PadState state;
  EXPECT_FALSE(plat::ReadPads(state));
  ASSERT_TRUE(plat::AttachVirtualPad());
  plat::SetVirtualPadButton(plat::kPadA, true);
  plat::SetVirtualPadButton(plat::kPadA | plat::kPadB, true);  // not one button: ignored
  plat::SetVirtualPadStick(1, -40000);
  ASSERT_TRUE(plat::ReadPads(state));
  EXPECT_EQ(state.buttons, static_cast<uint32_t>(plat::kPadA));
  EXPECT_EQ(state.stickY, -32768);
  plat::Stop();
  EXPECT_FALSE(plat::ReadPads(state)) << "the pad goes with the platform";
}

std::atomic<int> framesPulled{0};
void CountFrames(void*, int16_t*, int frames) { framesPulled += frames; }

// The DirectSound stream pulls the mixer on its own thread at the rate asked,
// without a window, and stops pulling once closed; it opens again at another
// rate and back, as the library's change of format does.
TEST(Win32Backend, SoundStreamPullsTheMixerAndOpensAgain) {
  plat::Options options;
  options.backend = "win32";
  std::string error;
  ASSERT_TRUE(plat::Start(options, error)) << error;
  plat::SetAudioSource(CountFrames, nullptr);
  for (int rate : {44100, 22050, 44100}) {
    if (!plat::OpenAudio(plat::PcmFormat{2, rate, 16})) {
      plat::Stop();
      GTEST_SKIP() << "the system has no sound device (Wine without an audio driver)";
    }
    EXPECT_EQ(plat::AudioOutputRate(), rate);
    // A tenth of a second played; the bound only keeps a dead thread from
    // hanging the suite.
    const int wanted = framesPulled.load() + rate / 10;
    for (int i = 0; i < 2000 && framesPulled.load() < wanted; ++i) ::Sleep(5);
    EXPECT_GE(framesPulled.load(), wanted) << "at " << rate << " Hz";
    plat::CloseAudio();
    const int closed = framesPulled.load();
    ::Sleep(30);
    EXPECT_EQ(framesPulled.load(), closed) << "pulled after closing, at " << rate << " Hz";
  }
  plat::SetAudioSource(nullptr, nullptr);
  plat::Stop();
}

}  // namespace
#endif  // _WIN32
