// Starting the stage again from the game frame: only Enter pressed after the
// end has shown starts it, and the new start holds nothing of the ended run.
#include "foes_fixture.h"
#include "world/game.h"

namespace {

class StageRestart : public foestest::FoesFixture {
 protected:
  void ResetModule() override {
    ResetFoes();
    ResetStageEnd();
  }

  // A run in the middle of things: the party moved and hurt, a screen
  // change under way, a shot in the air, an enemy and an item about, and
  // the dragon's fight begun.
  void Scatter() {
    player.x = 300.0f;
    player.hp = 3;
    companionState[0] = 4;
    transitionDir = 1;
    scrollX = 500.0f;
    screenCol = 1;
    FireShot(100.0f, 100.0f, 902, 0.0f, 0.0f);
    soldiersA[0].state = 1;
    items[0].live = 1;
    bossActive = 1;
    dragonExtra.started = true;
  }

  void EndAs(int end) {
    if (end == 0) {
      player.hp = 0;
      player.deathTimer = 11.0f;
    } else {
      dragonExtra.defeated = true;
      dragonExtra.defeatTimer = kDragonFadeSeconds;
    }
  }
};

TEST_F(StageRestart, EnterAfterEitherEndStartsTheStageAnew) {
  gametest::Stage stage;
  stage.objects.Set(30, 20, 1);  // the princess
  StartGame(stage);
  Frames(1);
  const float startX = player.x, startY = player.y;
  for (int end = 0; end < 2; ++end) {
    Scatter();
    // Enter held down from before the end is no press.
    Hold(VK_RETURN);
    Frames(1);
    EndAs(end);
    Frames(2);
    ASSERT_TRUE(StageEnded()) << "end " << end;
    Release(VK_RETURN);
    Frames(1);
    ASSERT_TRUE(StageEnded());
    // Alt+Enter switches the screen mode and starts nothing.
    Hold(VK_MENU);
    Press(VK_RETURN);
    Release(VK_MENU);
    Frames(2);
    ASSERT_TRUE(StageEnded());
    Press(VK_RETURN);

    EXPECT_FALSE(StageEnded());
    EXPECT_EQ(player.hp, 18);
    EXPECT_EQ(player.deathTimer, 0.0f);
    EXPECT_FLOAT_EQ(player.y, startY);
    EXPECT_EQ(screenCol, 0);
    EXPECT_EQ(transitionDir, 0);
    EXPECT_EQ(scrollX, 0.0f);
    EXPECT_EQ(bossActive, 0);
    EXPECT_FALSE(dragonExtra.started);
    EXPECT_FALSE(dragonExtra.defeated);
    EXPECT_EQ(soldiersA[0].state, 0);
    EXPECT_EQ(items[0].live, 0);
    EXPECT_EQ(companionState[0], 0);
    for (const Shot& s : shots) ASSERT_EQ(s.active, 0);
    // The frame after the restart is the stage's first: nobody moved yet.
    EXPECT_FLOAT_EQ(player.x, startX) << "end " << end;
  }
}

}  // namespace
