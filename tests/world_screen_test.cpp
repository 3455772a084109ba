// Screen transitions: the edge tests, the waiting and moving phases, their
// frame counts and end positions, the formation slots, the boss trigger.
#include "game_fixture.h"

namespace {

class ScreenTest : public gametest::GameFixture {
 protected:
  // Starts on the centre screen with nothing placed.
  void StartCentre(int bossScreen = 0) {
    gametest::Stage stage;
    stage.data[0] = 1;
    stage.data[1] = 1;
    stage.data[2] = bossScreen;
    StartGame(stage);
    Frames(1);
  }

  // The companions ride with the player (their own update does that once
  // they have run back; here it is set directly each frame).
  void Ride() {
    for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 7;
  }

  // Runs frames while the transition lasts; returns how many frames moved
  // the view (the first frame, which only starts it, not counted).
  int RunTransition() {
    int frames = 0;
    while (transitionDir != 0 && frames < 1000) {
      Ride();
      Frames(1);
      ++frames;
    }
    return frames;
  }
};

TEST_F(ScreenTest, HorizontalScrollTakes61FramesAndCarriesThePlayer61Sixtieths) {
  StartCentre();
  player.x = 737.0f;
  player.y = 200.0f;
  Frames(1);
  ASSERT_EQ(transitionDir, 1);
  EXPECT_EQ(screenCol, 2);
  EXPECT_EQ(transitionDistance, -737.0f);
  EXPECT_EQ(scrollX, 768.0f);  // the view still shows the old screen
  EXPECT_EQ(player.inputLocked, 1u);
  EXPECT_EQ(RunTransition(), 61);
  EXPECT_NEAR(player.x, 737.0f - 737.0f * 61.0f / 60.0f, 0.01f);
  EXPECT_NEAR(player.x, -12.3f, 0.05f);
  EXPECT_EQ(player.y, 200.0f);
  EXPECT_EQ(scrollX, 1536.0f);
  EXPECT_EQ(scrollY, 576.0f);
  EXPECT_EQ(player.inputLocked, 0u);
  EXPECT_EQ(transitionOffsetX, 0.0f);
  EXPECT_EQ(scrollSpeedX, 0.0f);
  EXPECT_EQ(carrySpeedX, 0.0f);

  // Back to the left from x = -33: near 716.3.
  player.x = -33.0f;
  Frames(1);
  ASSERT_EQ(transitionDir, 2);
  EXPECT_EQ(screenCol, 1);
  EXPECT_EQ(transitionDistance, 737.0f);
  EXPECT_EQ(RunTransition(), 61);
  EXPECT_NEAR(player.x, 716.3f, 0.05f);
  EXPECT_EQ(scrollX, 768.0f);
}

TEST_F(ScreenTest, VerticalScrollTakes60FramesAndCarriesExactly) {
  StartCentre();
  player.x = 300.0f;
  player.y = 541.0f;
  Frames(1);
  ASSERT_EQ(transitionDir, 4);
  EXPECT_EQ(screenRow, 2);
  EXPECT_EQ(RunTransition(), 60);
  EXPECT_NEAR(player.y, 0.0f, 0.001f);
  EXPECT_EQ(scrollY, 1152.0f);

  player.y = -36.0f;  // exactly -36 starts nothing
  Frames(1);
  EXPECT_EQ(transitionDir, 0);
  player.y = -36.01f;
  Frames(1);
  ASSERT_EQ(transitionDir, 3);
  EXPECT_EQ(screenRow, 1);
  EXPECT_EQ(transitionDistance, 544.0f - (-36.01f + 36.0f));
  EXPECT_EQ(RunTransition(), 60);
  EXPECT_NEAR(player.y, 508.0f, 0.001f);
  EXPECT_EQ(scrollY, 576.0f);
}

TEST_F(ScreenTest, EdgesAreTestedInOrderAndOuterEdgesLeadNowhere) {
  StartCentre();
  // Up and left at once: up is tested first.
  player.x = -40.0f;
  player.y = -40.0f;
  Frames(1);
  EXPECT_EQ(transitionDir, 3);
  EXPECT_EQ(screenCol, 1);
  RunTransition();

  // On the top row, up and right: the right edge takes it.
  player.x = 737.0f;
  player.y = -40.0f;
  Frames(1);
  EXPECT_EQ(transitionDir, 1);
  RunTransition();
  EXPECT_EQ(screenCol, 2);
  EXPECT_EQ(screenRow, 0);

  // Column 2, row 0: right and up lead nowhere.
  player.x = 900.0f;
  player.y = -100.0f;
  Frames(3);
  EXPECT_EQ(transitionDir, 0);
  EXPECT_EQ(player.inputLocked, 0u);
}

TEST_F(ScreenTest, TransitionSendsCompanionsBackAndWaitsForThem) {
  StartCentre();
  for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 2;
  companions[0].x = 100.0f;
  companions[0].y = 50.0f;
  companions[1].x = 800.5f;
  companions[1].y = 300.0f;
  companions[2].x = 400.0f;
  companions[2].y = 400.25f;
  player.x = 400.0f;
  player.y = 541.0f;
  Frames(1);
  ASSERT_EQ(transitionDir, 4);
  for (int n = 0; n < kCompanionCount; ++n) EXPECT_EQ(companionState[n], 6);
  // The distance between the centres, covered in 0.5 s.
  EXPECT_EQ(companions[0].returnSpeedX, 2.0f * (448.0f - 128.0f));
  EXPECT_EQ(companions[0].returnSpeedY, 2.0f * (589.0f - 78.0f));
  EXPECT_EQ(companions[1].returnSpeedX, 2.0f * (828.5f - 448.0f));
  EXPECT_EQ(companions[2].returnSpeedY, 2.0f * (589.0f - 428.25f));

  // Until all three ride, nothing moves and the keys stay locked.
  float y = player.y;
  for (int i = 0; i < 30; ++i) {
    companionState[0] = companionState[1] = 7;
    companionState[2] = 6;
    Frames(1);
  }
  EXPECT_EQ(transitionDir, 4);
  EXPECT_EQ(transitionOffsetY, 0.0f);
  EXPECT_EQ(scrollY, 576.0f);
  EXPECT_EQ(player.y, y);
  EXPECT_EQ(player.inputLocked, 1u);
  EXPECT_EQ(RunTransition(), 60);
}

TEST_F(ScreenTest, FormationSlotsFollowTheOrderOfTheCoordinates) {
  companions[0].x = 300.0f;
  companions[1].x = 200.0f;
  companions[2].x = 100.0f;
  AssignFormationSlots(0);
  EXPECT_EQ(companionSlot[0], 1);
  EXPECT_EQ(companionSlot[1], 0);
  EXPECT_EQ(companionSlot[2], 3);

  // Nobody exceeds the starting maximum of 0.
  companions[0].x = -10.0f;
  companions[1].x = -20.0f;
  companions[2].x = -30.0f;
  AssignFormationSlots(0);
  EXPECT_EQ(companionSlot[0], 0);
  EXPECT_EQ(companionSlot[1], 0);
  EXPECT_EQ(companionSlot[2], 3);

  // Horizontal moves compare y: 500 ends as the largest, 20 the smallest.
  companions[0].y = 50.0f;
  companions[1].y = 500.0f;
  companions[2].y = 20.0f;
  AssignFormationSlots(2);
  EXPECT_EQ(companionSlot[0], 1);
  EXPECT_EQ(companionSlot[1], 2);
  EXPECT_EQ(companionSlot[2], 0);
  AssignFormationSlots(3);
  EXPECT_EQ(companionSlot[0], 3);
  EXPECT_EQ(companionSlot[1], 2);
  EXPECT_EQ(companionSlot[2], 0);
  // 10 and then 30 raise the maximum; 20 is the smallest only because it
  // is below the starting minimum of 1000.
  companions[0].x = 10.0f;
  companions[1].x = 30.0f;
  companions[2].x = 20.0f;
  AssignFormationSlots(1);
  EXPECT_EQ(companionSlot[0], 2);
  EXPECT_EQ(companionSlot[1], 1);
  EXPECT_EQ(companionSlot[2], 3);
}

TEST_F(ScreenTest, EnemiesOfTheEnteredScreenArePlacedWhenTheScrollEnds) {
  static int calls[2];
  static float lastX;
  calls[0] = calls[1] = 0;
  gametest::Stage stage;
  stage.data[0] = 1;
  stage.data[1] = 1;
  stage.objects.Set(72 + 10, 96 * 2 + 10, 6);   // screen (2, 1)
  stage.objects.Set(72 + 10, 96 * 1 + 10, 6);   // screen (1, 1), the start
  StartGame(stage);
  Frames(1);
  PlaceFunction saved = placementTable[6];
  placementTable[6] = [](int slot, float x, float) {
    ++calls[slot == 0 ? 0 : 1];
    lastX = x;
  };
  Frames(5);
  EXPECT_EQ(calls[0], 0);  // the start screen is not populated at load
  player.x = 740.0f;
  Frames(1);
  for (int i = 0; i < 60; ++i) {
    Ride();
    Frames(1);
  }
  EXPECT_EQ(calls[0], 0);
  Ride();
  Frames(1);  // the 61st moving frame ends the scroll
  EXPECT_EQ(transitionDir, 0);
  EXPECT_EQ(calls[0], 1);
  EXPECT_EQ(calls[1], 0);
  EXPECT_EQ(lastX, 8.0f * (96 * 2 + 10));
  placementTable[6] = saved;
}

TEST_F(ScreenTest, BossFightBeginsOnlyOnTheBossScreenWithTheWholePartyRegrouping) {
  StartCentre(1);
  Frames(1);
  for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 8;
  companionState[2] = 2;
  Frames(1);
  EXPECT_EQ(bossActive, 0);
  companionState[2] = 8;
  Frames(1);
  EXPECT_EQ(bossActive, 1);
  for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 2;
  Frames(1);
  EXPECT_EQ(bossActive, 1);  // never cleared
}

TEST_F(ScreenTest, BossScreenNumberMustMatchBothColumnAndRow) {
  gametest::Stage stage;
  stage.data[0] = 2;
  stage.data[1] = 1;
  stage.data[2] = 2;
  StartGame(stage);
  Frames(1);
  for (int n = 0; n < kCompanionCount; ++n) companionState[n] = 8;
  Frames(2);
  EXPECT_EQ(bossActive, 0);
}

}  // namespace
