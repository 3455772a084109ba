// Joystick input over the headless backend's virtual pads: centres,
// directions, buttons and their ramps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "input_fixture.h"

namespace {

using namespace elSystem;
using ::testing::ElementsAre;
using inputtest::InputTest;

// ---------------------------------------------------------------------------
// Joystick

class JoystickTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    if (HasFatalFailure()) return;
    plat::headless::SetJoystick(0, true, At(32767, 32767));
    plat::headless::SetJoystick(1, false);
    JoyInit();
  }
  static plat::JoyInfo At(uint32_t x, uint32_t y, uint32_t buttons = 0) {
    plat::JoyInfo info;
    info.x = x;
    info.y = y;
    info.buttons = buttons;
    return info;
  }
  static void Stick(int j, uint32_t x, uint32_t y, uint32_t buttons = 0) {
    plat::headless::SetJoystick(j, true, At(x, y, buttons));
  }
};

TEST_F(JoystickTest, InitMeasuresCentresAndClearsValues) {
  int x = -1, y = -1;
  JoyGetCentre(0, x, y);
  EXPECT_EQ(x, 32767);
  EXPECT_EQ(y, 32767);
  JoyGetCentre(1, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);

  uint32_t changes = plat::headless::JoyConfigChangedCount();
  JoySetRates(0, 10.0f, 20.0f);
  joyAxisValue[0][1] = 5.0f;
  joyButtonValue[1][3] = 7.0f;
  joyButtonState[0][2] = 3;
  JoyResetValues();
  EXPECT_EQ(joyAxisValue[0][1], 0.0f);
  EXPECT_EQ(joyButtonValue[1][3], 0.0f);
  EXPECT_EQ(joyButtonState[0][2], 3);  // states and rates stay
  EXPECT_EQ(joyAxisRate[0], 10.0f);
  EXPECT_EQ(joyButtonRate[0], 20.0f);

  JoyInit();
  EXPECT_EQ(plat::headless::JoyConfigChangedCount(), changes + 1);
  EXPECT_EQ(joyButtonState[0][2], 0);
  EXPECT_EQ(joyAxisRate[0], 0.0f);
  EXPECT_EQ(joyButtonRate[0], 0.0f);
}

TEST_F(JoystickTest, DirectionBoundaries) {
  // Centre 32767: h = 16383 (truncated), +1 from h + k = 49150.
  struct Case {
    uint32_t p;
    int d;
  };
  const Case cases[] = {{0, -1},     {16383, -1}, {16384, 0}, {32767, 0},
                        {49149, 0},  {49150, 1},  {65535, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p);
    Stick(0, c.p, 32767);
    int dx = 9, dy = 9;
    JoyDirection(0, dx, dy);
    EXPECT_EQ(dx, c.d);
    EXPECT_EQ(dy, 0);
    Stick(0, 32767, c.p);
    JoyDirection(0, dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, c.d);
  }
  int x = 0, y = 0;
  Stick(0, 123, 45678);
  JoyPosition(0, x, y);
  EXPECT_EQ(x, 123);
  EXPECT_EQ(y, 45678);
  plat::headless::SetJoystick(0, false);
  JoyPosition(0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST_F(JoystickTest, PadFollowsKeypadLayout) {
  const uint32_t lo = 0, mid = 32767, hi = 65535;
  const uint32_t xs[3] = {lo, mid, hi};
  const uint32_t ys[3] = {lo, mid, hi};
  const int expected[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};  // [row y][column x]
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      Stick(0, xs[col], ys[row]);
      EXPECT_EQ(JoyPad(0), expected[row][col]) << row << "," << col;
    }
  }
  // No joystick: centred.
  EXPECT_EQ(JoyPad(1), 5);
  int dx = 9, dy = 9;
  JoyDirection(1, dx, dy);
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
}

TEST_F(JoystickTest, CentreZeroReadsPositiveForAnyPositionAboveZero) {
  // Joystick 1 did not answer at start-up and is plugged in later.
  Stick(1, 1, 32767);
  int dx = 0, dy = 0;
  JoyDirection(1, dx, dy);
  EXPECT_EQ(dx, 1);
  EXPECT_EQ(dy, 1);
  Stick(1, 0, 0);
  JoyDirection(1, dx, dy);
  EXPECT_EQ(dx, -1);
  EXPECT_EQ(dy, -1);
}

TEST_F(JoystickTest, ButtonsAndEdges) {
  Stick(0, 32767, 32767, 0x80000005u);
  EXPECT_EQ(JoyButton(0, 1), 1);
  EXPECT_EQ(JoyButton(0, 2), 0);
  EXPECT_EQ(JoyButton(0, 3), 1);
  EXPECT_EQ(JoyButton(0, 32), 1);
  EXPECT_EQ(JoyButton(0, 0), 0);
  EXPECT_EQ(JoyButton(0, 33), 0);
  EXPECT_EQ(JoyButton(0, -1), 0);
  EXPECT_EQ(JoyButton(1, 1), 0);  // no answer
  int out[4] = {9, 9, 9, 9};
  JoyButtons(0, out);
  EXPECT_THAT(out, ElementsAre(1, 0, 1, 0));
  JoyButtons(1, out);
  EXPECT_THAT(out, ElementsAre(0, 0, 0, 0));

  // Button 2: press, hold, release; a joystick that stops answering leaves
  // the state where it was.
  Stick(0, 32767, 32767, 2);
  EXPECT_EQ(JoyButtonEdge(0, 2), 1);
  EXPECT_EQ(JoyButtonEdge(0, 2), 3);
  plat::headless::SetJoystick(0, false);
  EXPECT_EQ(JoyButtonEdge(0, 2), 0);
  EXPECT_EQ(joyButtonState[0][1], 3);
  Stick(0, 32767, 32767, 2);
  EXPECT_EQ(JoyButtonEdge(0, 2), 3);
  elDraw::fadeLevel = 3;
  EXPECT_EQ(JoyButtonEdge(0, 2), 0);
  elDraw::fadeLevel = 0;
  EXPECT_EQ(JoyButtonEdge(0, 2), 1);
  Stick(0, 32767, 32767, 0);
  EXPECT_EQ(JoyButtonEdge(0, 2), 2);
  EXPECT_EQ(JoyButtonEdge(0, 2), 0);

  // All four from one reading.
  Stick(0, 32767, 32767, 0x9);
  JoyButtonEdges(0, out);
  EXPECT_THAT(out, ElementsAre(1, 0, 0, 1));
  Stick(0, 32767, 32767, 0x1);
  JoyButtonEdges(0, out);
  EXPECT_THAT(out, ElementsAre(3, 0, 0, 2));
  plat::headless::SetJoystick(0, false);
  JoyButtonEdges(0, out);
  EXPECT_THAT(out, ElementsAre(0, 0, 0, 0));
  EXPECT_THAT(joyButtonState[0], ElementsAre(3, 0, 0, 2));

  // Ramps from one reading; no answer gives 0 and keeps the values.
  JoySetRates(0, 0.0f, 40.0f);
  dt = 0.25f;
  Stick(0, 32767, 32767, 0x5);
  JoyButtonRamps(0, out);
  EXPECT_THAT(out, ElementsAre(10, 0, 10, 0));
  plat::headless::SetJoystick(0, false);
  JoyButtonRamps(0, out);
  EXPECT_THAT(out, ElementsAre(0, 0, 0, 0));
  EXPECT_THAT(joyButtonValue[0], ElementsAre(10.0f, 0.0f, 10.0f, 0.0f));
}

TEST_F(JoystickTest, ButtonRampReachesHundredAfterTwoSecondsAndDropsAtOnce) {
  JoySetRates(0, 0.0f, 50.0f);
  dt = 0.125f;
  Stick(0, 32767, 32767, 1);
  int value = 0;
  for (int poll = 1; poll <= 16; ++poll) {
    value = JoyButtonRamp(0, 1);
    // Truncated: 6.25 reads 6.
    EXPECT_EQ(value, static_cast<int>(6.25f * static_cast<float>(poll))) << poll;
  }
  EXPECT_EQ(value, 100);
  EXPECT_EQ(JoyButtonRamp(0, 1), 100);  // capped
  EXPECT_EQ(joyButtonValue[0][0], 100.0f);
  Stick(0, 32767, 32767, 0);
  EXPECT_EQ(JoyButtonRamp(0, 1), 0);
  EXPECT_EQ(joyButtonValue[0][0], 0.0f);

  // No answer drops the value as well.
  Stick(0, 32767, 32767, 1);
  EXPECT_EQ(JoyButtonRamp(0, 1), 6);
  plat::headless::SetJoystick(0, false);
  EXPECT_EQ(JoyButtonRamp(0, 1), 0);
  EXPECT_EQ(joyButtonValue[0][0], 0.0f);
}

TEST_F(JoystickTest, AnalogRampsClampsAndReturns) {
  JoySetRates(0, 100.0f, 0.0f);
  dt = 0.25f;
  int x = 0, y = 0;
  Stick(0, 65535, 0);  // right and up
  const int rising[] = {25, 50, 75, 100, 100};
  for (int expected : rising) {
    JoyAnalog(0, x, y);
    EXPECT_EQ(x, expected);
    EXPECT_EQ(y, -expected);
  }
  Stick(0, 32767, 32767);
  const int falling[] = {75, 50, 25, 0, 0};
  for (int expected : falling) {
    JoyAnalog(0, x, y);
    EXPECT_EQ(x, expected);
    EXPECT_EQ(y, -expected);
  }

  // Truncation toward zero, and no overshoot past 0 on the way back.
  JoySetRates(0, 10.0f, 0.0f);
  Stick(0, 0, 65535);
  JoyAnalog(0, x, y);
  EXPECT_EQ(x, -2);  // -2.5
  EXPECT_EQ(y, 2);
  JoySetRates(0, 100.0f, 0.0f);
  Stick(0, 32767, 32767);
  JoyAnalog(0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(joyAxisValue[0][0], 0.0f);
  EXPECT_EQ(joyAxisValue[0][1], 0.0f);

  // No answer: outputs 0 and the values stay.
  Stick(0, 65535, 32767);
  JoyAnalog(0, x, y);
  EXPECT_EQ(x, 25);
  plat::headless::SetJoystick(0, false);
  JoyAnalog(0, x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(joyAxisValue[0][0], 25.0f);
}

TEST_F(JoystickTest, OutOfRangeNumbersTouchNothing) {
  Stick(0, 65535, 65535, 0xF);
  Stick(1, 65535, 65535, 0xF);
  JoySetRates(0, 50.0f, 50.0f);
  dt = 0.5f;
  float axisBefore[kJoystickCount][2], buttonBefore[kJoystickCount][kJoyButtonCount];
  int stateBefore[kJoystickCount][kJoyButtonCount];
  std::memcpy(axisBefore, joyAxisValue, sizeof axisBefore);
  std::memcpy(buttonBefore, joyButtonValue, sizeof buttonBefore);
  std::memcpy(stateBefore, joyButtonState, sizeof stateBefore);

  using Pair = void (*)(int, int&, int&);
  using Four = void (*)(int, int*);
  for (int j : {-1, 2, 100}) {
    SCOPED_TRACE(j);
    EXPECT_EQ(JoyButton(j, 1), 0);
    EXPECT_EQ(JoyButtonEdge(j, 1), 0);
    EXPECT_EQ(JoyButtonRamp(j, 1), 0);
    EXPECT_EQ(JoyPad(j), 5);
    for (Pair f : {Pair(JoyDirection), Pair(JoyPosition), Pair(JoyAnalog), Pair(JoyGetCentre)}) {
      int x = 9, y = 9;
      f(j, x, y);
      EXPECT_EQ(x, 0);
      EXPECT_EQ(y, 0);
    }
    for (Four f : {Four(JoyButtons), Four(JoyButtonEdges), Four(JoyButtonRamps)}) {
      int out[4] = {9, 9, 9, 9};
      f(j, out);
      for (int v : out) EXPECT_EQ(v, 0);
    }
    JoySetRates(j, 1.0f, 1.0f);
  }
  for (int b : {0, 5, -3}) {
    EXPECT_EQ(JoyButtonEdge(0, b), 0);
    EXPECT_EQ(JoyButtonRamp(0, b), 0);
  }
  EXPECT_EQ(std::memcmp(axisBefore, joyAxisValue, sizeof axisBefore), 0);
  EXPECT_EQ(std::memcmp(buttonBefore, joyButtonValue, sizeof buttonBefore), 0);
  EXPECT_EQ(std::memcmp(stateBefore, joyButtonState, sizeof stateBefore), 0);
  EXPECT_EQ(joyAxisRate[0], 50.0f);
  EXPECT_EQ(joyButtonRate[1], 0.0f);
}

}  // namespace
