// The shared actor helpers: the solid probe, headings, facings, the
// on-screen test.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "actors/actor_model.h"
#include "world/world.h"

namespace {

class ActorModelTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  void TearDown() override { ResetWorld(); }
};

TEST_F(ActorModelTest, SolidProbeTruncatesTowardZeroBeforeAndAfterTheOffset) {
  collisionLayer[0][0] = 1;
  collisionLayer[0][1] = 0;
  collisionLayer[2][5] = 7;
  // worldX - 16 = -3.7 truncates to -3; (-3 + 4) / 8 = 0: column 0, not -1.
  EXPECT_EQ(SolidAt(12.3f, 12.0f, 4, 0), 1);
  // -3 + 10 = 7, still column 0; +11 reaches column 1.
  EXPECT_EQ(SolidAt(12.3f, 12.0f, 10, 0), 1);
  EXPECT_EQ(SolidAt(12.3f, 12.0f, 11, 0), 0);
  // Row (12 + 23.9 - 12) -> 23 / 8 = 2, column (16 + 47.99 - 16) -> 47 / 8 = 5.
  EXPECT_EQ(SolidAt(63.99f, 35.9f, 0, 0), 7);
  EXPECT_EQ(SolidAt(16.0f, 12.0f, 40, 16), 7);
  // -7 / 8 is 0 with truncation: still the first cell.
  EXPECT_EQ(SolidAt(16.0f, 12.0f, -7, -7), 1);
}

TEST_F(ActorModelTest, ProbesBeyondTheGridReadAsFree) {
  for (auto& row : collisionLayer)
    for (int32_t& cell : row) cell = 1;
  EXPECT_EQ(SolidAt(16.0f, 12.0f, 0, 0), 1);
  EXPECT_EQ(SolidAt(16.0f, 12.0f, -8, 0), 0);   // column -1
  EXPECT_EQ(SolidAt(16.0f, 12.0f, 0, -8), 0);   // row -1
  EXPECT_EQ(SolidAt(16.0f + 8 * 287, 12.0f + 8 * 215, 0, 0), 1);
  EXPECT_EQ(SolidAt(16.0f + 8 * 288, 12.0f, 0, 0), 0);  // column 288
  EXPECT_EQ(SolidAt(16.0f, 12.0f + 8 * 216, 0, 0), 0);  // row 216
  EXPECT_EQ(SolidAt(-1e9f, 1e9f, 0, 0), 0);
}

TEST_F(ActorModelTest, AngleToReplacesAZeroDxAndTurnsLeftHeadingsByPi) {
  float down = AngleTo(0.0f, 5.0f);
  EXPECT_FLOAT_EQ(down, std::atan(5.0f / 1e-8f));
  EXPECT_NEAR(down, 1.5707963f, 1e-6f);
  EXPECT_LT(AngleTo(0.0f, -5.0f), 0.0f);
  EXPECT_EQ(AngleTo(-3.0f, 0.0f), 3.141592f);
  EXPECT_EQ(AngleTo(3.0f, 0.0f), 0.0f);
  // Up-left lies between pi and 3 pi / 2.
  float upLeft = AngleTo(-1.0f, -1.0f);
  EXPECT_EQ(upLeft, std::atan(1.0f) + 3.141592f);
}

TEST_F(ActorModelTest, FacingBoundariesGoToTheLaterTest) {
  EXPECT_EQ(FacingOf(0.0f), Facing::Right);
  EXPECT_EQ(FacingOf(-0.99f), Facing::Right);
  EXPECT_EQ(FacingOf(0.49f), Facing::Right);
  EXPECT_EQ(FacingOf(0.5f), Facing::Down);
  EXPECT_EQ(FacingOf(1.99f), Facing::Down);
  EXPECT_EQ(FacingOf(2.0f), Facing::Left);
  EXPECT_EQ(FacingOf(3.99f), Facing::Left);
  EXPECT_EQ(FacingOf(4.0f), Facing::Up);
  EXPECT_EQ(FacingOf(4.7f), Facing::Up);
  EXPECT_EQ(FacingOf(-1.0f), Facing::Up);
  EXPECT_EQ(FacingOf(-1.5f), Facing::Up);
  EXPECT_EQ(FacingOf(AngleTo(0.0f, -1.0f)), Facing::Up);  // -pi/2
  EXPECT_EQ(FacingOf(AngleTo(-1.0f, 0.0f)), Facing::Left);

  EXPECT_EQ(PartyRow(Facing::Down), 0);
  EXPECT_EQ(PartyRow(Facing::Right), 1);
  EXPECT_EQ(PartyRow(Facing::Up), 2);
  EXPECT_EQ(PartyRow(Facing::Left), 3);
  EXPECT_EQ(EnemyRow(Facing::Down), 0);
  EXPECT_EQ(EnemyRow(Facing::Left), 1);
  EXPECT_EQ(EnemyRow(Facing::Right), 2);
  EXPECT_EQ(EnemyRow(Facing::Up), 3);
}

TEST_F(ActorModelTest, DegreesUseTheShortPi) {
  EXPECT_EQ(DegToRad(180.0f), 3.141592f);
  EXPECT_EQ(DegToRad(90.0f), 90.0f * 3.141592f / 180.0f);
  EXPECT_NE(DegToRad(180.0f), static_cast<float>(std::numbers::pi));
}

TEST_F(ActorModelTest, OnScreenTestIsStrictOnEverySide) {
  scrollX = 768.0f;
  scrollY = 576.0f;
  EXPECT_TRUE(EnemyOnScreen(768.0f - 47.0f, 600.0f));   // x + 48 - scrollX = 1
  EXPECT_FALSE(EnemyOnScreen(768.0f - 48.0f, 600.0f));  // exactly 0: frozen
  EXPECT_TRUE(EnemyOnScreen(768.0f + 799.5f, 600.0f));
  EXPECT_FALSE(EnemyOnScreen(768.0f + 800.0f, 600.0f));
  EXPECT_TRUE(EnemyOnScreen(800.0f, 576.0f - 47.0f));
  EXPECT_FALSE(EnemyOnScreen(800.0f, 576.0f - 48.0f));
  EXPECT_TRUE(EnemyOnScreen(800.0f, 576.0f + 599.0f));
  EXPECT_FALSE(EnemyOnScreen(800.0f, 576.0f + 600.0f));
}

}  // namespace
