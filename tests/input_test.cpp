// Keyboard and mouse input over the headless backend.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "input_fixture.h"

namespace {

using namespace elSystem;
using ::testing::ElementsAre;
using inputtest::InputTest;

// ---------------------------------------------------------------------------
// Key edges

TEST_F(InputTest, KeyEdgeFollowsPressHoldRelease) {
  int state = 0;
  EXPECT_EQ(Poll('C', state), 0);
  Key('C', true);
  EXPECT_EQ(Poll('C', state), 1);
  EXPECT_EQ(Poll('C', state), 3);
  EXPECT_EQ(Poll('C', state), 3);
  Key('C', false);
  EXPECT_EQ(Poll('C', state), 2);
  EXPECT_EQ(Poll('C', state), 0);

  // Pressed and released between two polls: the polls never see it.
  Key('C', true);
  Key('C', false);
  EXPECT_EQ(Poll('C', state), 0);
  EXPECT_EQ(Poll('C', state), 0);

  // Pressed again right at the poll after its release: 2 goes straight to 3.
  Key('C', true);
  EXPECT_EQ(Poll('C', state), 1);
  Key('C', false);
  EXPECT_EQ(Poll('C', state), 2);
  Key('C', true);
  EXPECT_EQ(Poll('C', state), 3);
  Key('C', false);

  // Each key keeps its own state; another key's table entry does not leak.
  int other = 0;
  Key(VK_LEFT, true);
  EXPECT_EQ(Poll(VK_RIGHT, other), 0);
  Key(VK_LEFT, false);
}

TEST_F(InputTest, KeyEdgeReadsZeroWhileBlocked) {
  struct Block {
    const char* name;
    int* flag;
    int on;
  };
  const Block blocks[] = {{"fade", &elDraw::fadeLevel, 5},
                          {"scroll view", &elDraw::scrollViewShown, 1},
                          {"suspended input", &inputSuspended, 1}};
  for (const Block& block : blocks) {
    SCOPED_TRACE(block.name);
    int state = 0;
    Key('V', true);
    EXPECT_EQ(Poll('V', state), 1);
    *block.flag = block.on;
    EXPECT_EQ(Poll('V', state), 0);
    EXPECT_EQ(Poll('V', state), 0);
    *block.flag = 0;
    // Held through the end of the block: a fresh press.
    EXPECT_EQ(Poll('V', state), 1);
    EXPECT_EQ(Poll('V', state), 3);

    // Released during the block: no release edge afterwards.
    *block.flag = block.on;
    Key('V', false);
    EXPECT_EQ(Poll('V', state), 0);
    *block.flag = 0;
    EXPECT_EQ(Poll('V', state), 0);
  }
}

// ---------------------------------------------------------------------------
// Key messages

TEST_F(InputTest, KeyDownRecordsKeyAndKeyUpClearsIt) {
  OnInputKeyDown('A');
  EXPECT_EQ(lastKeyDown, 'A');
  EXPECT_EQ(keyPressLatch, 'A');
  EXPECT_EQ(scrollViewKey, 0);
  OnInputKeyDown('B');
  OnInputKeyUp('A');  // not the last key: stays
  EXPECT_EQ(lastKeyDown, 'B');
  OnInputKeyUp('B');
  EXPECT_EQ(lastKeyDown, 0);
  EXPECT_EQ(keyPressLatch, 'B');  // the latch survives the release

  // With the scroll view up only scrollViewKey is written.
  elDraw::scrollViewShown = 1;
  OnInputKeyDown(VK_UP);
  EXPECT_EQ(scrollViewKey, VK_UP);
  EXPECT_EQ(lastKeyDown, 0);
  EXPECT_EQ(keyPressLatch, 'B');
  OnInputKeyUp(VK_UP);
  EXPECT_EQ(scrollViewKey, 0);
  elDraw::scrollViewShown = 0;

  // Suspended: the key goes to suspendedKey only.
  SuspendInput();
  OnInputKeyDown('Z');
  EXPECT_EQ(suspendedKey, 'Z');
  EXPECT_EQ(lastKeyDown, 0);
  EXPECT_EQ(keyPressLatch, 'B');
  OnInputKeyUp('Z');
  EXPECT_EQ(suspendedKey, 0);

  // Resuming forgets the last key.
  OnInputKeyDown('Q');
  ResumeInput();
  EXPECT_EQ(inputSuspended, 0);
  OnInputKeyDown('Q');
  EXPECT_EQ(lastKeyDown, 'Q');
  ResumeInput();
  EXPECT_EQ(lastKeyDown, 0);

  // The watched key counts its releases.
  SetWatchedKey('W');
  OnInputKeyUp('W');
  OnInputKeyUp('X');
  OnInputKeyUp('W');
  EXPECT_EQ(GetWatchedKeyCount(), 2);
}

TEST_F(InputTest, ResetInputStateClearsEverything) {
  OnInputKeyDown('A');
  OnLeftButtonDown();
  OnRightDoubleClick();
  OnMouseMove(0x00100020);
  SetWatchedKey('A');
  OnInputKeyUp('B');
  SuspendInput();
  OnInputKeyDown('S');
  SetAltKeyMode(3);
  ResetInputState();
  EXPECT_THAT((std::vector<int>{lastKeyDown, keyPressLatch, scrollViewKey, altKeyMode,
                                inputSuspended, suspendedKey, suspendedClick, watchedKey,
                                watchedKeyCount, mouseX, mouseY, leftHeld, rightHeld, leftClicked,
                                rightClicked, leftDoubleClicked, rightDoubleClicked, lastButton,
                                lastButtonLatch}),
              ::testing::Each(0));
}

TEST_F(InputTest, EscapeQuitsEvenWithScrollViewShown) {
  elDraw::scrollViewShown = 1;
  OnInputKeyDown(VK_ESCAPE);
  EXPECT_EQ(scrollViewKey, VK_ESCAPE);
  EXPECT_EQ(quitState, 2);
}

TEST_F(InputTest, SuspendedInputKeepsEscapeAway) {
  SuspendInput();
  OnInputKeyDown(VK_ESCAPE);
  EXPECT_EQ(suspendedKey, VK_ESCAPE);
  EXPECT_EQ(quitState, 0);
}

// ---------------------------------------------------------------------------
// Press-and-release check

TEST_F(InputTest, CheckPressReleaseWaitsForQuietThenReportsOnRelease) {
  const int list[] = {'A', 'B', 0};
  // Held when the check starts: nothing is reported while it stays held.
  OnInputKeyDown('B');
  for (int i = 0; i < 3; ++i) EXPECT_EQ(CheckPressRelease(list), 0);
  OnInputKeyUp('B');
  // The first quiet call only notes that nothing is held.
  EXPECT_EQ(CheckPressRelease(list), 0);
  ResetInputState();

  EXPECT_EQ(CheckPressRelease(list), 0);  // quiet moment
  OnInputKeyDown('Z');                    // not listed
  EXPECT_EQ(CheckPressRelease(list), 0);
  OnInputKeyUp('Z');
  EXPECT_EQ(CheckPressRelease(list), 0);

  OnInputKeyDown('A');
  EXPECT_EQ(CheckPressRelease(list), 0);
  EXPECT_EQ(CheckPressRelease(list), 0);
  OnInputKeyUp('A');
  EXPECT_EQ(CheckPressRelease(list), 'A');
  EXPECT_EQ(keyPressLatch, 0);
  // Once only.
  EXPECT_EQ(CheckPressRelease(list), 0);
  EXPECT_EQ(CheckPressRelease(list), 0);

  // Pressed and released between two calls: reported at the next call.
  OnInputKeyDown('B');
  OnInputKeyUp('B');
  EXPECT_EQ(CheckPressRelease(list), 'B');
}

TEST_F(InputTest, CheckPressReleaseButtons) {
  const int list[] = {1, 2, 0};
  EXPECT_EQ(CheckPressRelease(list), 0);
  OnLeftButtonDown();
  EXPECT_EQ(CheckPressRelease(list), 0);
  OnLeftButtonUp();
  EXPECT_EQ(CheckPressRelease(list), 1);
  EXPECT_EQ(lastButtonLatch, 0);

  EXPECT_EQ(CheckPressRelease(list), 0);
  OnRightButtonDown();
  EXPECT_EQ(CheckPressRelease(list), 0);
  OnRightButtonUp();
  EXPECT_EQ(CheckPressRelease(list), 2);

  // A button the list does not name is not reported.
  const int keysOnly[] = {'A', 0};
  EXPECT_EQ(CheckPressRelease(keysOnly), 0);
  OnLeftButtonDown();
  OnLeftButtonUp();
  EXPECT_EQ(CheckPressRelease(keysOnly), 0);
}

// ---------------------------------------------------------------------------
// Mouse messages

TEST_F(InputTest, MouseMoveUnpacksUnsignedHalves) {
  OnMouseMove((500 << 16) | 600);
  EXPECT_EQ(mouseX, 600);
  EXPECT_EQ(mouseY, 500);
  OnMouseMove(static_cast<intptr_t>(0xFFFF0010u));
  EXPECT_EQ(mouseX, 0x10);
  EXPECT_EQ(mouseY, 0xFFFF);
  OnMouseMove(-1);
  EXPECT_EQ(mouseX, 0xFFFF);
  EXPECT_EQ(mouseY, 0xFFFF);
}

TEST_F(InputTest, MouseButtons) {
  OnLeftButtonDown();
  EXPECT_EQ(leftHeld, 1);
  EXPECT_EQ(leftClicked, 1);
  EXPECT_EQ(lastButton, 1);
  EXPECT_EQ(lastButtonLatch, 1);
  OnRightButtonDown();
  EXPECT_EQ(rightHeld, 1);
  EXPECT_EQ(rightClicked, 1);
  EXPECT_EQ(lastButton, 2);
  EXPECT_EQ(lastButtonLatch, 2);
  // Releasing the button that is not the last one leaves lastButton alone.
  OnLeftButtonUp();
  EXPECT_EQ(leftHeld, 0);
  EXPECT_EQ(lastButton, 2);
  OnRightButtonUp();
  EXPECT_EQ(rightHeld, 0);
  EXPECT_EQ(lastButton, 0);
  EXPECT_EQ(lastButtonLatch, 2);

  OnLeftDoubleClick();
  OnRightDoubleClick();
  EXPECT_EQ(leftDoubleClicked, 1);
  EXPECT_EQ(rightDoubleClicked, 1);
  ClearMouseFlags();
  EXPECT_EQ(leftClicked, 0);
  EXPECT_EQ(rightClicked, 0);
  EXPECT_EQ(leftDoubleClicked, 0);
  EXPECT_EQ(rightDoubleClicked, 0);
  EXPECT_EQ(lastButtonLatch, 2);
}

TEST_F(InputTest, RightDoubleClickTogglesConfinementWhenModeIsOn) {
  clipCursorMode = 0;
  OnRightDoubleClick();
  EXPECT_EQ(cursorClipped, 0);
  clipCursorMode = 1;
  OnRightDoubleClick();
  EXPECT_EQ(cursorClipped, 1);
  OnRightDoubleClick();
  EXPECT_EQ(cursorClipped, 0);
  clipCursorMode = 0;
}

TEST_F(InputTest, SuspendedMouseSetsNoFlags) {
  SuspendInput();
  OnLeftButtonDown();
  EXPECT_EQ(suspendedClick, 1);
  OnRightButtonDown();
  OnLeftDoubleClick();
  OnRightDoubleClick();
  EXPECT_THAT((std::vector<int>{leftHeld, rightHeld, leftClicked, rightClicked, leftDoubleClicked,
                                rightDoubleClicked, lastButton, lastButtonLatch}),
              ::testing::Each(0));
  OnLeftButtonUp();
  EXPECT_EQ(suspendedClick, 0);
}

}  // namespace
