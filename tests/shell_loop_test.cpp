// The message loop, its frame pass, the window procedure and the orderly
// quit. The entry function and the program as a process are in
// shell_entry_test.cpp.

#include <cstdio>
#include <string>
#include <vector>

#include "shell_fixture.h"
#include "portable.h"

namespace {

using namespace elSystem;
namespace hl = plat::headless;
using shelltest::PackPoint;
using shelltest::ShellTest;

class LoopTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    OpenWindow();
  }
  // Runs passes until the fade ends, at most `limit`; returns how many ran.
  int PassesUntilFadeEnds(int limit) {
    int passes = 0;
    while (elDraw::fadeDirection != 0 && passes < limit) {
      FramePass();
      ++passes;
    }
    return passes;
  }
};

// Reads what the frame passes have written to the trace so far.
std::string TraceText() {
  std::fflush(shell::run.trace);
  std::rewind(shell::run.trace);
  std::string text;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, shell::run.trace)) text += buffer;
  return text;
}

std::string TraceLine(uint64_t frame, uint32_t tick) {
  return "{\"frame\":" + std::to_string(frame) + ",\"tick\":" + std::to_string(tick) +
         ",\"dt\":0.0166666675}\n";
}

// ---------------------------------------------------------------------------
// Quitting

TEST_F(LoopTest, EscapeTwiceQuitsOnce) {
  ASSERT_FALSE(DispatchPending());
  WindowProc(mainWindow, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(quitState, 2);
  EXPECT_EQ(cursorClipped, 0);
  // The second Escape finds QuitProgram done: its body, which would free the
  // cursor again, does not run.
  ClipCursorTo(0, 0, 10, 10);
  WindowProc(mainWindow, WM_KEYDOWN, VK_ESCAPE, 1 | KF_REPEAT_BIT);
  EXPECT_EQ(cursorClipped, 1);
  EXPECT_EQ(QuitProgram(), 1);
  EXPECT_EQ(cursorClipped, 1);

  // One WM_CLOSE, which only destroys the window, then WM_QUIT.
  plat::Message message;
  ASSERT_TRUE(plat::PeekMessage(message));
  EXPECT_EQ(message.kind, WM_CLOSE);
  plat::DispatchMessage(message);
  EXPECT_FALSE(hl::WindowExists());
  EXPECT_EQ(quitState, 2);
  ASSERT_TRUE(plat::PeekMessage(message));
  EXPECT_EQ(message.kind, WM_QUIT);
  EXPECT_FALSE(plat::PeekMessage(message));
}

TEST_F(LoopTest, CloseBoxQuitsWithoutPostingAnotherClose) {
  ASSERT_FALSE(DispatchPending());
  hl::PressCloseBox();
  plat::Message message;
  ASSERT_TRUE(plat::PeekMessage(message));
  ASSERT_EQ(message.kind, WM_CLOSE);
  plat::DispatchMessage(message);
  EXPECT_EQ(quitState, 2);
  EXPECT_FALSE(hl::WindowExists());
  ASSERT_TRUE(plat::PeekMessage(message));
  EXPECT_EQ(message.kind, WM_QUIT);
  EXPECT_FALSE(plat::PeekMessage(message));
}

TEST_F(LoopTest, FrameLimitQuitsAfterTheLastPass) {
  shell::run.frameLimit = 3;
  FramePass();
  FramePass();
  EXPECT_EQ(quitState, 0);
  FramePass();
  EXPECT_EQ(quitState, 2);
  EXPECT_EQ(shell::run.framePasses, 3u);
  EXPECT_TRUE(DispatchPending());  // WM_CLOSE, then WM_QUIT
  EXPECT_FALSE(hl::WindowExists());
}

// ---------------------------------------------------------------------------
// Window position and the cursor

TEST_F(LoopTest, NegativeWindowPositionIsKeptSigned) {
  hl::MoveWindow(-20, -5);
  DispatchPending();
  EXPECT_EQ(clientLeft, -20);
  EXPECT_EQ(clientTop, -5);
  EXPECT_EQ(clientRect.left, -20);
  EXPECT_EQ(clientRect.top, -5);
  EXPECT_EQ(clientRect.right, 780);
  EXPECT_EQ(clientRect.bottom, 595);

  // The cursor test uses the negative corner as it is.
  struct Case {
    int x, y;
    bool hidden;
  } cases[] = {{-20, -5, true}, {779, 594, true}, {-21, 100, false},
               {780, 100, false}, {100, -6, false}, {100, 595, false}};
  for (const Case& c : cases) {
    hl::SetCursor(c.x, c.y);
    FramePass();
    EXPECT_EQ(cursorShown, c.hidden ? 0 : 1) << c.x << "," << c.y;
    EXPECT_EQ(hl::CursorVisible(), !c.hidden) << c.x << "," << c.y;
  }
}

TEST_F(LoopTest, CursorHidesOverTheHalfOpenClientArea) {
  ASSERT_EQ(clientLeft, 100);
  ASSERT_EQ(clientTop, 50);
  struct Case {
    int x, y;
    bool hidden;
  } cases[] = {
      {100 + 799, 50 + 599, true}, {100 + 800, 300, false}, {100 + 799, 300, true},
      {100 + 799, 300, true},      {300, 50 + 600, false},  {100, 50, true},
      {99, 300, false},            {300, 49, false},        {300, 300, true},
  };
  for (const Case& c : cases) {
    hl::SetCursor(c.x, c.y);
    FramePass();
    // Never more than one hide in effect: the count is -1 or 0.
    EXPECT_EQ(shelltest::CursorDisplayCount(), c.hidden ? -1 : 0) << c.x << "," << c.y;
    EXPECT_EQ(cursorShown, c.hidden ? 0 : 1) << c.x << "," << c.y;
  }

  // Over the game but under an open message box: left as it is.
  hl::SetCursor(99, 300);
  FramePass();
  messageBoxOpen = 1;
  hl::SetCursor(300, 300);
  FramePass();
  EXPECT_TRUE(hl::CursorVisible());
  messageBoxOpen = 0;
  FramePass();
  EXPECT_FALSE(hl::CursorVisible());
}

TEST_F(LoopTest, DeactivationShowsTheCursorAndActivationRestartsTheFrameClock) {
  EXPECT_EQ(appActive, 1);  // shown windows are active
  scene = 0;                // measured frame times stay as measured
  hl::SetCursor(300, 300);
  FramePass();
  ASSERT_FALSE(hl::CursorVisible());

  hl::SetActive(false);
  EXPECT_EQ(appActive, 0);
  EXPECT_TRUE(hl::CursorVisible());
  EXPECT_EQ(cursorShown, 1);
  EXPECT_EQ(shelltest::CursorDisplayCount(), 0);

  hl::AdvanceClock(500);
  dt = 0.3f;
  hl::SetActive(true);
  EXPECT_EQ(appActive, 1);
  EXPECT_EQ(dt, 0.0f);
  EXPECT_EQ(lastFrameTick, plat::TimeGetTime());
  // The inactive half second does not reach the next frame time.
  hl::AdvanceClock(3);
  FramePass();
  EXPECT_EQ(dt, 3.0f / 1000.0f);
  EXPECT_EQ(shelltest::CursorDisplayCount(), -1);
}

// ---------------------------------------------------------------------------
// Keys and system commands

TEST_F(LoopTest, SystemKeysAreSwallowedInAltMode0) {
  ASSERT_EQ(altKeyMode, 0);
  const int keys[] = {VK_F4, VK_F10, VK_MENU};
  for (int key : keys) {
    EXPECT_EQ(WindowProc(mainWindow, WM_SYSKEYDOWN, key, 1 | KF_ALTDOWN_BIT), 0) << key;
  }
  DispatchPending();
  EXPECT_EQ(lastKeyDown, 0);
  EXPECT_EQ(quitState, 0);  // Alt+F4 did nothing
  EXPECT_TRUE(hl::WindowExists());
}

TEST_F(LoopTest, AltModes1And2LetSystemKeysThrough) {
  SetAltKeyMode(1);
  WindowProc(mainWindow, WM_SYSKEYDOWN, VK_MENU, 1 | KF_ALTDOWN_BIT);
  EXPECT_EQ(lastKeyDown, VK_MENU);
  WindowProc(mainWindow, WM_KEYUP, VK_MENU, 1);

  // Mode 2 swallows only Alt itself.
  SetAltKeyMode(2);
  EXPECT_EQ(WindowProc(mainWindow, WM_SYSKEYDOWN, VK_MENU, 1 | KF_ALTDOWN_BIT), 0);
  EXPECT_EQ(lastKeyDown, 0);
  WindowProc(mainWindow, WM_SYSKEYDOWN, VK_F10, 1);
  EXPECT_EQ(lastKeyDown, VK_F10);
  // Other system keys get their default handling: Alt+F4 closes the game.
  WindowProc(mainWindow, WM_SYSKEYDOWN, VK_F4, 1 | KF_ALTDOWN_BIT);
  EXPECT_EQ(lastKeyDown, VK_F4);
  EXPECT_EQ(quitState, 2);
  EXPECT_FALSE(hl::WindowExists());
}

TEST_F(LoopTest, ScreenSaverIsRefusedOtherCommandsAreNot) {
  EXPECT_EQ(WindowProc(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_EQ(WindowProc(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE | 0x2, 0), 0);
  EXPECT_TRUE(hl::WindowExists());
  EXPECT_EQ(quitState, 0);
  // The system menu's Close still works.
  WindowProc(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(quitState, 2);
  EXPECT_FALSE(hl::WindowExists());
}

// ---------------------------------------------------------------------------
// The frame pass

TEST_F(LoopTest, OnePassMouseFlagsAreClearedEachPass) {
  WindowProc(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(10, 10));
  WindowProc(mainWindow, WM_RBUTTONDOWN, MK_RBUTTON, PackPoint(10, 10));
  EXPECT_EQ(WindowProc(mainWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, PackPoint(10, 10)), 0);
  EXPECT_EQ(WindowProc(mainWindow, WM_RBUTTONDBLCLK, MK_RBUTTON, PackPoint(10, 10)), 0);
  ASSERT_EQ(leftClicked + rightClicked + leftDoubleClicked + rightDoubleClicked, 4);
  FramePass();
  EXPECT_EQ(leftClicked, 0);
  EXPECT_EQ(rightClicked, 0);
  EXPECT_EQ(leftDoubleClicked, 0);
  EXPECT_EQ(rightDoubleClicked, 0);
  // Held buttons are state, not one-pass flags.
  EXPECT_EQ(leftHeld, 1);
  EXPECT_EQ(rightHeld, 1);
}

using BlinkTest = ShellTest;

TEST_F(BlinkTest, OnForASecondOffForAFifth) {
  hl::SetClock(10000);
  InitSystem();  // scene 0: the passes run nothing that moves the clock
  ASSERT_EQ(blinkDeadline, 11000u);
  struct Step {
    uint32_t clock;
    int on;
    uint32_t deadline;
  } steps[] = {
      {10999, 1, 11000}, {11000, 0, 11200}, {11199, 0, 11200}, {11200, 1, 12200},
      {12199, 1, 12200}, {12500, 0, 12700},  // late: counted from now
      {12700, 1, 13700},
  };
  for (const Step& s : steps) {
    hl::SetClock(s.clock);
    FramePass();
    EXPECT_EQ(blinkOn, s.on) << s.clock;
    EXPECT_EQ(blinkDeadline, s.deadline) << s.clock;
  }
}

TEST_F(LoopTest, FadeOutRunsOnlyThePresentThenSwitchesScene) {
  shell::run.trace = std::tmpfile();
  ASSERT_NE(shell::run.trace, nullptr);
  scene = previousScene = 1;
  nextScene = 0;
  elDraw::fadeDirection = 1;
  elDraw::fadeLevel = 1;
  uint32_t sleeps = hl::SleepCalls();

  hl::AdvanceClock(5);
  FramePass();
  EXPECT_EQ(dt, 5.0f / 1000.0f);  // no game frame set the fixed step
  EXPECT_EQ(scene, 1);
  int passes = 1 + PassesUntilFadeEnds(100);
  ASSERT_EQ(elDraw::fadeDirection, 0);
  EXPECT_GT(passes, 1);
  EXPECT_EQ(scene, 0);
  EXPECT_EQ(previousScene, 0);
  EXPECT_EQ(hl::SleepCalls(), sleeps);  // no frame wait either
  EXPECT_EQ(TraceText(), "");           // and no frame ran
}

TEST_F(LoopTest, SceneChangeCancelsARunningWipe) {
  scene = previousScene = 1;
  elDraw::wipeSaved = elDraw::ClipRect{0, 0, 800, 600};
  elDraw::screen.clipRect = elDraw::ClipRect{100, 80, 700, 520};
  elDraw::wipeState = 1;
  FramePass();  // same scene: the wipe goes on
  EXPECT_EQ(elDraw::wipeState, 1);
  EXPECT_EQ(elDraw::screen.clipRect.left, 100);

  // A fade-out ending in another scene.
  nextScene = 0;
  elDraw::fadeDirection = 1;
  elDraw::fadeLevel = 10;
  PassesUntilFadeEnds(100);
  ASSERT_EQ(scene, 0);
  EXPECT_EQ(elDraw::wipeState, 0);
  EXPECT_EQ(elDraw::screen.clipRect.left, 0);
  EXPECT_EQ(elDraw::screen.clipRect.top, 0);
  EXPECT_EQ(elDraw::screen.clipRect.right, 800);
  EXPECT_EQ(elDraw::screen.clipRect.bottom, 600);

  // A hidden wipe (state -1) is not running and stays as it is.
  scene = previousScene = 1;
  elDraw::screen.clipRect = elDraw::ClipRect{1, 2, 3, 4};
  elDraw::wipeState = -1;
  elDraw::fadeDirection = 1;
  elDraw::fadeLevel = 10;
  PassesUntilFadeEnds(100);
  ASSERT_EQ(scene, 0);
  EXPECT_EQ(elDraw::wipeState, -1);
  EXPECT_EQ(elDraw::screen.clipRect.left, 1);
}

TEST_F(LoopTest, TraceHasOneLinePerFrameRun) {
  shell::run.trace = std::tmpfile();
  ASSERT_NE(shell::run.trace, nullptr);
  std::string expected;
  FramePass();
  expected += TraceLine(0, frameWaitTick);
  uint32_t first = frameWaitTick;
  FramePass();
  expected += TraceLine(1, frameWaitTick);
  EXPECT_EQ(frameWaitTick - first, 13u);  // 75 frames a second
  // A pass that runs no frame writes nothing but is counted.
  scene = 0;
  FramePass();
  scene = 1;
  FramePass();
  expected += TraceLine(3, frameWaitTick);
  EXPECT_EQ(TraceText(), expected);

  // Other subsystems add their fields before the closing brace.
  std::fseek(shell::run.trace, 0, SEEK_END);
  shell::run.traceFields = [](FILE* f) { std::fputs(",\"hp\":3", f); };
  FramePass();
  std::string text = TraceText();
  std::string last = text.substr(text.rfind('{'));
  EXPECT_EQ(last, "{\"frame\":4,\"tick\":" + std::to_string(frameWaitTick) +
                      ",\"dt\":0.0166666675,\"hp\":3}\n");
}

}  // namespace
