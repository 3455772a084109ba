// The projectile pool: aiming, sheet cells, lifetimes, culling, hanging
// still during a screen change.
#include <gtest/gtest.h>

#include <cmath>

#include "actors/party.h"
#include "shell/elsystem.h"
#include "world/world.h"

namespace {

class ShotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorld();
    player = PlayerState{};
    for (int n = 0; n < kCompanionCount; ++n) {
      companions[n] = Companion{};
      companionState[n] = 2;
    }
    elSystem::dt = 0.016666668f;
    // The party far from where the shots fly.
    player.x = 700.0f;
    player.y = 500.0f;
    for (int n = 0; n < kCompanionCount; ++n) {
      companions[n].x = 700.0f;
      companions[n].y = 20.0f;
    }
  }
  void TearDown() override {
    ResetWorld();
    player = PlayerState{};
    for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 0;
  }
  static int ActiveCount() {
    int n = 0;
    for (const Shot& s : shots) n += s.active;
    return n;
  }
};

TEST_F(ShotTest, ArrowLevelWithThePlayerFromTheRightFlies180Degrees) {
  scrollX = 768.0f;
  player.x = 100.0f;
  player.y = 100.0f;
  // World (768 + 400, 143): dx = 143 - 400 < 0, dy = 0.
  FireShot(768.0f + 400.0f, 143.0f, 401, 0, 0);
  ASSERT_EQ(shots[0].active, 1);
  EXPECT_EQ(shots[0].angleDeg, 180);
  EXPECT_EQ(shots[0].size, 12);
  EXPECT_EQ(shots[0].hitMode, 1);
  EXPECT_EQ(shots[0].image, 0);
  EXPECT_EQ(shots[0].vx, std::cos(180.0f * 3.141592f / 180.0f) * 100.0f);
  EXPECT_NEAR(shots[0].vy, 0.0f, 1e-3f);
  UpdateShots();
  EXPECT_EQ(shots[0].cellX, 3);
  EXPECT_EQ(shots[0].x, 768.0f + 400.0f + 0.016666668f * shots[0].vx);
}

TEST_F(ShotTest, StraightAboveAndBelowNeverDivideByZero) {
  player.x = 100.0f;
  player.y = 300.0f;
  FireShot(143.0f, 50.0f, 401, 0, 0);   // shooter above the player
  FireShot(143.0f, 500.0f, 401, 0, 0);  // shooter below
  EXPECT_EQ(shots[0].angleDeg, 90);
  EXPECT_EQ(shots[1].angleDeg, -90);
  UpdateShots();
  EXPECT_EQ(shots[0].cellX, 2);
  EXPECT_EQ(shots[1].cellX, 0);
  // A fireball straight down at its target, and one aimed level to the left.
  FireShot(100.0f, 100.0f, 901, 80.0f, 400.0f);
  EXPECT_EQ(shots[2].angleDeg, 90);
  EXPECT_EQ(shots[2].cellX, 2);
  FireShot(500.0f, 100.0f, 901, 100.0f, 80.0f);
  EXPECT_EQ(shots[3].angleDeg, 180);
  EXPECT_EQ(shots[3].cellX, 4);
}

TEST_F(ShotTest, ArrowCellFollowsTheAngleBands) {
  const int angles[] = {-45, -44, 45, 46, 135, 136, 225, 226, 269};
  const int cells[] = {0, 1, 1, 2, 2, 3, 3, 0, 0};
  for (int i = 0; i < 9; ++i) {
    ASSERT_EQ(StartShot(shots[i], 300.0f, 300.0f, angles[i], 12, 401), 1);
  }
  UpdateShots();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(shots[i].cellX, cells[i]) << angles[i];
}

TEST_F(ShotTest, FireballSectorsAndKeptCells) {
  ASSERT_EQ(StartShot(shots[0], 300.0f, 300.0f, 200, 56, 901), 1);
  EXPECT_EQ(shots[0].cellX, 4);  // r = 3.49 radians
  const int angles[] = {0, 22, 23, 67, 68, 112, 113, 157, 158, -10, -90};
  const int cells[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 2};
  for (int i = 0; i < 11; ++i) {
    Shot s;
    StartShot(s, 0, 0, angles[i], 56, 901);
    EXPECT_EQ(s.cellX, cells[i]) << angles[i];
  }
  // Running in an active record changes nothing.
  EXPECT_EQ(StartShot(shots[0], 1.0f, 1.0f, 0, 56, 901), 0);
  EXPECT_EQ(shots[0].cellX, 4);
  EXPECT_EQ(shots[0].x, 300.0f);

  // cellY cycles 0, 1, 2 every 0.1 s and is kept by the record's next use.
  shots[0].vx = shots[0].vy = 0.0f;
  int changes = 0, last = shots[0].cellY;
  for (int f = 0; f < 14; ++f) {
    UpdateShots();
    if (shots[0].cellY != last) ++changes;
    last = shots[0].cellY;
  }
  EXPECT_EQ(changes, 2);  // a tick every 7 frames (0.1 s is exceeded at the 7th)
  EXPECT_EQ(shots[0].cellY, 2);
  shots[0].active = 0;
  StartShot(shots[0], 10.0f, 10.0f, 45, 56, 901);
  EXPECT_EQ(shots[0].cellY, 2);
}

TEST_F(ShotTest, BreathStandsStillAndLives121Frames) {
  shots[0].cellX = 7;  // a value from an earlier use
  FireShot(100.0f, 100.0f, 902, 0, 0);
  ASSERT_EQ(shots[0].active, 1);
  EXPECT_EQ(shots[0].angleDeg, 90);
  EXPECT_EQ(shots[0].size, 350);
  EXPECT_EQ(shots[0].hitMode, 2);
  EXPECT_EQ(shots[0].vx, 0.0f);
  EXPECT_EQ(shots[0].vy, 0.0f);
  EXPECT_EQ(shots[0].cellX, 7);
  int frames = 0;
  while (shots[0].active && frames < 1000) {
    UpdateShots();
    ++frames;
    if (frames == 7) {
      EXPECT_EQ(shots[0].cellX, 0);  // above 2 comes back to 0
    }
  }
  EXPECT_EQ(frames, 121);
  EXPECT_EQ(shots[0].x, 100.0f);
  EXPECT_EQ(shots[0].y, 100.0f);
  FireShot(100.0f, 100.0f, 903, 0, 0);
  EXPECT_EQ(ActiveCount(), 0);
}

TEST_F(ShotTest, ShotsHangStillButAnimateDuringAScreenChange) {
  StartShot(shots[0], 300.0f, 300.0f, 0, 56, 901);
  StartShot(shots[1], 300.0f, 100.0f, 0, 12, 401);
  for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 6 + n;  // 6, 7, 8
  for (int f = 0; f < 20; ++f) UpdateShots();
  EXPECT_EQ(shots[0].x, 300.0f);
  EXPECT_EQ(shots[1].x, 300.0f);
  EXPECT_NE(shots[0].cellY, 0);
  companionState[1] = 5;
  UpdateShots();
  EXPECT_GT(shots[0].x, 300.0f);
}

TEST_F(ShotTest, ShotsLeavingTheScreenAreFreed) {
  scrollX = 768.3f;  // truncated to 768 for the culling
  scrollY = 0.0f;
  StartShot(shots[0], 768.0f - 12.0f, 100.0f, 180, 12, 401);  // x - sx = -12: kept
  StartShot(shots[1], 768.0f - 12.5f, 100.0f, 0, 12, 401);    // beyond -size
  StartShot(shots[2], 768.0f + 812.5f, 100.0f, 0, 12, 401);   // beyond size + 800
  StartShot(shots[3], 900.0f, 612.5f, 0, 12, 401);            // beyond size + 600
  StartShot(shots[4], 900.0f, -12.5f, 0, 12, 401);            // above -size
  for (Shot& s : shots) {
    s.vx = s.vy = 0.0f;
  }
  UpdateShots();
  EXPECT_EQ(shots[0].active, 1);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(shots[i].active, 0) << i;
}

TEST_F(ShotTest, AFullPoolDropsTheShot) {
  for (int i = 0; i < kShotCount; ++i) FireShot(300.0f, 300.0f, 902, 0, 0);
  EXPECT_EQ(ActiveCount(), kShotCount);
  shots[500].active = 0;
  FireShot(1.0f, 2.0f, 401, 0, 0);
  EXPECT_EQ(shots[500].kind, 401);
  EXPECT_EQ(shots[500].x, 1.0f);
  FireShot(1.0f, 2.0f, 401, 0, 0);  // dropped without notice
  EXPECT_EQ(ActiveCount(), kShotCount);
}

TEST_F(ShotTest, HitTestsUseTheirAreaAndAFailedHurtKeepsTheShot) {
  // The square area of an arrow: centre within 6 pixels on both axes of the
  // player's centre (748, 548). The hurt itself is the player's; a shot
  // whose hurt did not take effect stays in flight.
  StartShot(shots[0], 748.0f - 6.0f + 5.9f, 548.0f - 6.0f - 5.9f, 0, 12, 401);
  int hpBefore = player.hp;
  bool latchBefore = player.hitLatch;
  ShotHitsParty(shots[0]);
  if (player.hp == hpBefore && player.hitLatch == latchBefore) {
    EXPECT_EQ(shots[0].active, 1);
  } else {
    EXPECT_EQ(shots[0].active, 0);
  }
}

}  // namespace
