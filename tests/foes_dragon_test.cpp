// The dragon: its entrance, the hit box and its protection, lanes, rage and
// the victory.
#include <cmath>

#include "foes_fixture.h"

namespace {

using foestest::FoesFixture;
using foestest::kStep;

class FoesDragon : public FoesFixture {
 protected:
  void BeginFight() {
    Begin();
    player.x = 300.0f;
    player.y = 350.0f;
    StartDragon();
  }
  // Straight to the side step, the body resting at the centre.
  void SkipEntrance() {
    BeginFight();
    DragonBoss& d = dragon;
    d.phase = 1;
    d.state = 0;
    d.phaseTimer = 0.0f;
    d.bodyX = 100.0f;
    d.bodyY = 0.0f;
    d.bodyVx = d.bodyVy = d.headVx = d.headVy = 0.0f;
    d.headX = 150.0f;
    d.headY = -46.0f;
    d.bodyAnim = 0;
    player.inputLocked = 0;
  }
  int RunUntil(bool (*done)(), int limit) {
    int n = 0;
    while (!done() && n < limit) {
      UpdateDragon();
      ++n;
    }
    return n;
  }
};

TEST_F(FoesDragon, EntranceTiming) {
  BeginFight();
  const DragonBoss& d = dragon;
  EXPECT_EQ(d.hp, 12);
  EXPECT_EQ(d.bodyY, -250.0f);
  EXPECT_EQ(player.inputLocked, 1u);
  StartDragon();  // later calls change nothing
  EXPECT_EQ(d.bodyY, -250.0f);

  // Six seconds of descent at 40 px/s.
  int n = RunUntil([] { return dragon.state == 1; }, 1000);
  EXPECT_NEAR(n, 360, 1);
  EXPECT_EQ(d.bodyY, -10.0f);
  EXPECT_EQ(d.headY, -56.0f);
  n = RunUntil([] { return dragon.state == 2; }, 1000);
  EXPECT_EQ(n, FramesPast(2.0f));
  EXPECT_EQ(d.bodyY, 0.0f);
  EXPECT_EQ(d.headColumn, 0);
  n = RunUntil([] { return dragon.state == 3; }, 1000);
  // One second of waiting, then 50 pixels up at 20 px/s.
  EXPECT_NEAR(n, 60 + 150, 3);
  n = RunUntil([] { return dragon.state == 4; }, 1000);
  EXPECT_EQ(d.headColumn, 2);
  EXPECT_EQ(d.headY, -36.0f);
  EXPECT_EQ(player.inputLocked, 1u);
  n = RunUntil([] { return dragon.state == 5; }, 1000);
  EXPECT_EQ(n, FramesPast(3.0f));
  EXPECT_EQ(d.headColumn, 1);
  n = RunUntil([] { return dragon.phase == 1; }, 1000);
  EXPECT_EQ(d.headY, -46.0f);
  EXPECT_EQ(d.state, 0);
  EXPECT_EQ(player.inputLocked, 0u);
}

TEST_F(FoesDragon, CompanionLandsOnTheBoxWithoutDamageWhileProtected) {
  SkipEntrance();
  DragonBoss& d = dragon;
  // The box is 100 x 50 at (bodyX + 250, bodyY + 100).
  d.hurt = 1;
  d.hurtTimer = 2.0f;
  Flying(1, 400.0f, 125.0f);
  UpdateDragon();
  EXPECT_EQ(companionState[1], 5);
  EXPECT_EQ(d.hp, 12);

  d.hurt = 0;
  d.blinkOff = 0;
  d.guarded = 1;
  Flying(2, 400.0f + 70.0f, 125.0f);  // inside by the margin of 24
  UpdateDragon();
  EXPECT_EQ(companionState[2], 5);
  EXPECT_EQ(d.hp, 12);

  d.guarded = 0;
  Flying(0, 400.0f, 125.0f);
  Flying(1, 400.0f, 125.0f);
  UpdateDragon();
  EXPECT_EQ(d.hp, 11) << "one hit per frame";
  EXPECT_EQ(d.hurt, 1);
  EXPECT_EQ(companionState[0], 5) << "the box stops even the piercing companion";
  EXPECT_EQ(companionState[1], 4) << "not tested after the hit";

  // Two seconds of blinking every 0.1 s.
  int toggles = 0, last = d.blinkOff, n = 0;
  companionState[1] = 3;
  while (d.hurt && n < 300) {
    UpdateDragon();
    ++n;
    if (d.blinkOff != last) ++toggles;
    last = d.blinkOff;
  }
  EXPECT_NEAR(n, 120, 1);
  EXPECT_GE(toggles, 16);
  EXPECT_EQ(d.blinkOff, 0);
}

TEST_F(FoesDragon, KeepsThePartyBelowItself) {
  SkipEntrance();
  Flying(0, 300.0f, 90.0f);
  companionState[1] = 2;
  companions[1].y = 150.0f;
  player.x = 800.0f;
  player.y = 100.0f;
  UpdateDragon();
  EXPECT_EQ(companionState[0], 5);
  EXPECT_EQ(companions[1].y, 172.0f);
  EXPECT_EQ(player.y, 152.0f);
  EXPECT_EQ(player.x, 728.0f);
}

bool Diving() { return dragon.state == 3; }

TEST_F(FoesDragon, LaneFollowsTheCapturedPosition) {
  struct Case {
    float x;
    int lane;
  };
  for (Case c : {Case{304.0f, 1}, Case{0.0f, 0}, Case{650.0f, 2}}) {
    SkipEntrance();
    DragonBoss& d = dragon;
    d.phase = 2;
    player.x = c.x;
    player.y = 300.0f;
    RunUntil(Diving, 1000);
    EXPECT_EQ(d.targetX, c.x);
    EXPECT_EQ(d.lane, c.lane) << c.x;
    int n = RunUntil([] { return dragon.state == 4; }, 1000);
    EXPECT_LT(n, 60);
    EXPECT_EQ(d.headX, d.bodyX + (c.lane == 0 ? 150.0f : c.lane == 1 ? 210.0f : 270.0f));
    EXPECT_EQ(CountShots(901), 1);
    TearDown();
    SetUp();
  }
}

TEST_F(FoesDragon, BreathLaneAndPosition) {
  SkipEntrance();
  DragonBoss& d = dragon;
  d.phase = 3;
  // Below the body's centre with the breath's offset of 48.
  player.x = 352.0f;
  player.y = 300.0f;
  int n = RunUntil(Diving, 1000);
  EXPECT_EQ(d.lane, 1);
  EXPECT_GT(n, FramesPast(3.0f));
  RunUntil([] { return dragon.state == 4; }, 1000);
  ASSERT_EQ(CountShots(902), 1);
  for (const Shot& s : shots) {
    if (s.active) {
      EXPECT_EQ(s.x, 100.0f + 125.0f);
      EXPECT_EQ(s.y, 200.0f);
    }
  }
  n = RunUntil([] { return dragon.state == 5; }, 1000);
  EXPECT_EQ(n, FramesPast(2.0f));
  RunUntil([] { return dragon.phase == 1; }, 1000);
  EXPECT_EQ(d.cycles, 0);
}

TEST_F(FoesDragon, ShotsLeaveFromTheDragonOnAScrolledScreen) {
  SkipEntrance();
  DragonBoss& d = dragon;
  d.phase = 3;
  player.x = 352.0f;
  player.y = 300.0f;
  // The fight on the bottom-right screen.
  scrollX = 1536.0f;
  scrollY = 1152.0f;
  RunUntil(Diving, 1000);
  RunUntil([] { return dragon.state == 4; }, 1000);
  ASSERT_EQ(CountShots(902), 1);
  for (Shot& s : shots) {
    if (!s.active) continue;
    EXPECT_EQ(s.x, 1536.0f + 100.0f + 125.0f);
    EXPECT_EQ(s.y, 1152.0f + 200.0f);
    // Still there after a frame of the pool: not culled as off screen.
    UpdateShot(s);
    EXPECT_EQ(s.active, 1);
  }
  EXPECT_EQ(d.lane, 1);
}

TEST_F(FoesDragon, ThreeSideStepCyclesBeforeEachBreath) {
  SkipEntrance();
  DragonBoss& d = dragon;
  int phases[8] = {};
  int last = d.phase, k = 0;
  for (int i = 0; i < 60 * 120 && k < 8; ++i) {
    UpdateDragon();
    if (d.phase != last) {
      phases[k++] = d.phase;
      last = d.phase;
    }
  }
  int expected[8] = {2, 1, 2, 1, 2, 3, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(phases[i], expected[i]) << i;
  EXPECT_EQ(CountShots(901) + CountShots(902) > 0, true);
}

TEST_F(FoesDragon, EnragedSideStepIsFasterWithThreeFireballs) {
  SkipEntrance();
  DragonBoss& d = dragon;
  d.hp = 6;
  player.x = 500.0f;  // right of the centre
  RunUntil([] { return dragon.state == 3; }, 1000);
  EXPECT_EQ(d.enraged, 2);
  EXPECT_EQ(d.sideSpeed, 90.0f);
  EXPECT_EQ(d.aimDelay, 0.75f);
  EXPECT_EQ(d.breathDelay, 1.5f);
  EXPECT_EQ(d.side, 2);
  EXPECT_EQ(d.guarded, 1);
  UpdateDragon();
  EXPECT_EQ(d.bodyVx, 90.0f);
  RunUntil([] { return dragon.phase == 2; }, 2000);
  EXPECT_EQ(d.bodyX, 200.0f);
  EXPECT_EQ(d.guarded, 0);
  RunUntil([] { return dragon.phase != 2; }, 4000);
  EXPECT_EQ(CountShots(901), 3);
  EXPECT_EQ(d.volleys, 0);

  // Calm, one fireball a cycle.
  TearDown();
  SetUp();
  SkipEntrance();
  RunUntil([] { return dragon.phase == 2; }, 2000);
  EXPECT_EQ(dragon.sideSpeed, 60.0f);
  RunUntil([] { return dragon.phase != 2; }, 4000);
  EXPECT_EQ(CountShots(901), 1);
}

TEST_F(FoesDragon, LastHitPointEndsTheFightInVictory) {
  SkipEntrance();
  DragonBoss& d = dragon;
  d.hp = 1;
  Flying(1, 400.0f, 125.0f);
  UpdateDragon();
  EXPECT_EQ(d.hp, 0);
  EXPECT_TRUE(dragonExtra.defeated);
  int shotsBefore = CountShots(901) + CountShots(902);
  bool cleared = false;
  for (int i = 0; i < 60 * 15; ++i) {
    UpdateDragon();
    if (std::string(elDraw::printBuffer) == "STAGE CLEAR") {
      cleared = true;
      EXPECT_GE(dragonExtra.defeatTimer, 2.0f);
    }
  }
  EXPECT_TRUE(cleared);
  EXPECT_EQ(d.phase, 1) << "no further attacks";
  EXPECT_EQ(d.blinkOff, 1);
  EXPECT_EQ(CountShots(901) + CountShots(902), shotsBefore);
}

}  // namespace
