// Frame pacing and the countdown timers, on the virtual clock of the headless
// backend (every reading lets 1 us pass, Sleep moves the clock on).
#include <cstring>

#include "shell_fixture.h"

namespace {

using namespace elSystem;
namespace hl = plat::headless;
using shelltest::ShellTest;

constexpr uint32_t kNearWrap = 0xFFFFFFFFu - 5;  // 2^32 - 6 ms

using PacingTest = ShellTest;

TEST_F(PacingTest, FrameRateGivesTheSlotLength) {
  // Set up before the entry: 60 per second, the wait on, no vertical-blank wait.
  EXPECT_EQ(frameRate, 60u);
  EXPECT_EQ(frameInterval, 16u);
  EXPECT_EQ(frameWaitOn, 1);
  EXPECT_EQ(elDraw::screen.vsync, 0);

  hl::SetClock(5000);
  EXPECT_TRUE(SetFrameRate(75));
  EXPECT_EQ(frameRate, 75u);
  EXPECT_EQ(frameInterval, 13u);
  EXPECT_EQ(frameWaitTick, 5000u);
  SetFrameRate(60);
  EXPECT_EQ(frameInterval, 16u);
}

TEST_F(PacingTest, WaitFrameSleepsThenSpinsToTheEndOfTheSlot) {
  hl::SetClock(5000);
  SetFrameRate(75);
  hl::AdvanceClock(4);  // the frame's work took 4 ms
  uint32_t sleeps = hl::SleepCalls();
  EXPECT_TRUE(WaitFrame());
  EXPECT_EQ(hl::SleepCalls(), sleeps + 1);
  EXPECT_EQ(hl::LastSleep(), 13u - 4u - 3u);
  EXPECT_EQ(frameWaitTick, 5013u);
  EXPECT_EQ(plat::TimeGetTime(), 5013u);  // the spin stopped as soon as the slot ended

  // Work of 10 ms leaves nothing to sleep (13 - 10 - 3 = 0) but still a spin.
  hl::AdvanceClock(10);
  WaitFrame();
  EXPECT_EQ(hl::SleepCalls(), sleeps + 2);
  EXPECT_EQ(hl::LastSleep(), 0u);
  EXPECT_EQ(frameWaitTick, 5026u);
}

TEST_F(PacingTest, LateFrameYieldsOnceAndPushesLaterSlotsBack) {
  hl::SetClock(5000);
  SetFrameRate(75);
  hl::AdvanceClock(20);  // 7 ms over the slot
  uint32_t sleeps = hl::SleepCalls();
  WaitFrame();
  EXPECT_EQ(hl::SleepCalls(), sleeps + 1);
  EXPECT_EQ(hl::LastSleep(), 0u);
  EXPECT_EQ(plat::TimeGetTime(), 5020u);  // no spin
  // The next slot starts where this frame ended, not at the nominal 5013.
  EXPECT_EQ(frameWaitTick, 5020u);

  hl::AdvanceClock(5);
  WaitFrame();
  EXPECT_EQ(hl::LastSleep(), 5u);
  EXPECT_EQ(frameWaitTick, 5033u);

  // Exactly one slot of work: nothing to wait for.
  hl::AdvanceClock(13);
  WaitFrame();
  EXPECT_EQ(hl::LastSleep(), 0u);
  EXPECT_EQ(frameWaitTick, 5046u);
}

TEST_F(PacingTest, WaitFrameAcrossTheClockWrap) {
  hl::SetClock(kNearWrap);
  SetFrameRate(75);
  EXPECT_EQ(frameWaitTick, kNearWrap);
  hl::AdvanceClock(2);
  WaitFrame();
  EXPECT_EQ(hl::LastSleep(), 8u);
  // 2^32 - 6 + 13 wraps to 7.
  EXPECT_EQ(frameWaitTick, 7u);
  EXPECT_EQ(plat::TimeGetTime(), 7u);

  // A slot that starts just before the wrap and a late frame past it.
  hl::SetClock(kNearWrap);
  SetFrameRate(60);
  hl::AdvanceClock(30);
  uint32_t sleeps = hl::SleepCalls();
  WaitFrame();
  EXPECT_EQ(hl::SleepCalls(), sleeps + 1);
  EXPECT_EQ(hl::LastSleep(), 0u);
  EXPECT_EQ(frameWaitTick, 24u);
}

TEST_F(PacingTest, FrameWaitSwitchesTheVerticalBlankWaitTheOtherWay) {
  EnableFrameWait(0);
  EXPECT_EQ(frameWaitOn, 0);
  EXPECT_EQ(elDraw::screen.vsync, 1);
  // With the wait off a frame returns at once: no sleep, no spin.
  hl::SetClock(5000);
  SetFrameRate(75);
  uint32_t sleeps = hl::SleepCalls();
  EXPECT_TRUE(WaitFrame());
  EXPECT_EQ(hl::SleepCalls(), sleeps);
  EXPECT_EQ(plat::TimeGetTime(), 5000u);
  EXPECT_EQ(frameWaitTick, 5000u);

  EnableFrameWait(1);
  EXPECT_EQ(frameWaitOn, 1);
  EXPECT_EQ(elDraw::screen.vsync, 0);
}

TEST_F(PacingTest, FrameTimeIsAnUnsignedDifference) {
  hl::SetClock(7000);
  ResetFrameClock();
  EXPECT_EQ(dt, 0.0f);
  EXPECT_EQ(lastFrameTick, 7000u);
  hl::AdvanceClock(25);
  MeasureFrameTime();
  EXPECT_EQ(dt, 25.0f / 1000.0f);
  EXPECT_EQ(lastFrameTick, 7025u);

  // Across the wrap: 2^32 - 6 to 4 is 10 ms, not minus four billion.
  hl::SetClock(kNearWrap);
  ResetFrameClock();
  hl::AdvanceClock(10);
  MeasureFrameTime();
  EXPECT_EQ(dt, 10.0f / 1000.0f);
  EXPECT_EQ(lastFrameTick, 4u);
}

TEST_F(PacingTest, NeverSetTimerExpiresOnlyAfterTheStoppedMark) {
  hl::SetClock(1000);
  for (int timer = 1; timer <= 10; ++timer) EXPECT_EQ(IsWaitOver(timer), 0) << timer;
  hl::SetClock(kWaitStopped - 1);
  EXPECT_EQ(IsWaitOver(1), 0);
  hl::SetClock(kWaitStopped);
  EXPECT_EQ(IsWaitOver(1), 1);
  EXPECT_EQ(IsWaitOver(10), 1);

  // A countdown is over at now + ms; InitWait stops it again.
  hl::SetClock(1000);
  EXPECT_EQ(SetWait(4, 10), 1);
  EXPECT_EQ(SetWait(5, 0), 1);
  EXPECT_EQ(IsWaitOver(5), 1);
  hl::AdvanceClock(9);
  EXPECT_EQ(IsWaitOver(4), 0);
  hl::AdvanceClock(1);
  EXPECT_EQ(IsWaitOver(4), 1);
  EXPECT_EQ(InitWait(4), 1);
  EXPECT_EQ(IsWaitOver(4), 0);
}

TEST_F(PacingTest, DeadlinesNearTheWrapCompareAsPlainNumbers) {
  hl::SetClock(kNearWrap);
  // now + 10 wraps to 4, which the unsigned comparison already counts as
  // passed.
  SetWait(2, 10);
  EXPECT_EQ(waitDeadline[2], 4u);
  EXPECT_EQ(IsWaitOver(2), 1);

  // A deadline just before the wrap is reached, and reads as not reached
  // again once the clock has wrapped below it.
  hl::SetClock(kNearWrap);
  SetWait(3, 3);
  EXPECT_EQ(IsWaitOver(3), 0);
  hl::AdvanceClock(3);
  EXPECT_EQ(IsWaitOver(3), 1);
  hl::AdvanceClock(5);  // 2^32 + 2: the clock reads 2
  EXPECT_EQ(plat::TimeGetTime(), 2u);
  EXPECT_EQ(IsWaitOver(3), 0);
}

TEST_F(PacingTest, TimerNumberOutOfRangeShowsTheErrorBoxAndChangesNothing) {
  hl::SetClock(3000);
  SetWait(5, 50);
  uint32_t before[kWaitCount];
  std::memcpy(before, waitDeadline, sizeof before);
  uint32_t boxes = hl::BoxCount();

  struct Case {
    int (*call)(int);
    int timer;
    const char* text;
  };
  const Case cases[] = {
      {[](int t) { return SetWait(t, 10); }, 0, "elSystem::SetWait : ウェイトNoが範囲外です"},
      {[](int t) { return SetWait(t, 10); }, 11, "elSystem::SetWait : ウェイトNoが範囲外です"},
      {[](int t) { return InitWait(t); }, 0, "elSystem::InitWait : ウェイトNoが範囲外です"},
      {[](int t) { return InitWait(t); }, 11, "elSystem::InitWait : ウェイトNoが範囲外です"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SCOPED_TRACE(c.timer);
    EXPECT_EQ(c.call(c.timer), 0);
    EXPECT_EQ(hl::BoxCount(), ++boxes);
    EXPECT_EQ(hl::LastBoxCaption(), std::string("エラー発生"));
    EXPECT_EQ(hl::LastBoxText(), std::string(c.text));
    EXPECT_EQ(std::memcmp(before, waitDeadline, sizeof before), 0);
  }
}

TEST_F(PacingTest, WaitMillisecondsEndsPastTheDeadlineAndRestartsTheFrameClock) {
  hl::SetClock(5000);
  dt = 0.5f;
  WaitMilliseconds(0);
  // The wait ends when the clock is strictly past now + 0.
  EXPECT_EQ(plat::TimeGetTime(), 5001u);
  EXPECT_EQ(dt, 0.0f);
  EXPECT_EQ(lastFrameTick, 5001u);

  hl::SetClock(6000);
  WaitMilliseconds(5);
  EXPECT_EQ(lastFrameTick, 6006u);
  // The next measured frame starts after the wait.
  hl::AdvanceClock(4);
  MeasureFrameTime();
  EXPECT_EQ(dt, 4.0f / 1000.0f);
}

TEST_F(PacingTest, WaitMillisecondsLeavesTheTenthTimerAlone) {
  hl::SetClock(8000);
  SetWait(10, 100);
  WaitMilliseconds(50);
  EXPECT_EQ(waitDeadline[10], 8100u);
  EXPECT_EQ(IsWaitOver(10), 0);
  hl::SetClock(8100);
  EXPECT_EQ(IsWaitOver(10), 1);
}

}  // namespace
