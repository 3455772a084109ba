// The princess in play: walking, the swing and its strike areas, hurts and
// knock-back, death, and walls.
#include <cmath>
#include <cstring>

#include "draw/text.h"
#include "party_fixture.h"

namespace {

using partytest::kC;
using partytest::kDt;
using partytest::PartyFixture;

class PlayerWalk : public PartyFixture {};

TEST_F(PlayerWalk, PressedThisFrameDoesNotMoveThenWalksAtOneHundred) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  ASSERT_FLOAT_EQ(player.x, 296.0f);
  ASSERT_FLOAT_EQ(player.y, 200.0f);
  EXPECT_EQ(player.hp, 18);

  Hold(VK_RIGHT);
  Frames(1);
  EXPECT_EQ(player.keyRight, 1u);
  EXPECT_FLOAT_EQ(player.x, 296.0f) << "a key pressed this frame does not move her yet";
  EXPECT_EQ(player.facing, 0u) << "nor turn her";

  Frames(1);
  EXPECT_EQ(player.keyRight, 3u);
  EXPECT_NEAR(player.x, 296.0f + 100.0f * kDt, 1e-4);
  EXPECT_EQ(player.facing, 1u);
  Frames(58);
  // 59 steps of 1/60 s at 100 px/s.
  EXPECT_NEAR(player.x, 296.0f + 59 * 100.0f * kDt, 1e-3);
  EXPECT_FLOAT_EQ(player.y, 200.0f);
  EXPECT_EQ(player.directionCode, 10);

  Release(VK_RIGHT);
  float stopped = player.x;
  Frames(3);
  EXPECT_FLOAT_EQ(player.x, stopped);
  EXPECT_EQ(player.keyRight, 0u);
  EXPECT_EQ(player.facing, 1u) << "standing keeps the last facing";
}

TEST_F(PlayerWalk, DiagonalsKeepTheSameSpeed) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  struct Case {
    int key1, key2;
    uint32_t facing;
    float sx, sy;  // signs of the movement
  } cases[] = {
      {VK_DOWN, VK_RIGHT, 4, 1, 1},
      {VK_UP, VK_RIGHT, 5, 1, -1},
      {VK_DOWN, VK_LEFT, 6, -1, 1},
      {VK_UP, VK_LEFT, 7, -1, -1},
  };
  for (const Case& c : cases) {
    Hold(c.key1);
    Hold(c.key2);
    Frames(1);
    float x0 = player.x, y0 = player.y;
    Frames(30);
    float dx = player.x - x0, dy = player.y - y0;
    EXPECT_EQ(player.facing, c.facing);
    EXPECT_NEAR(dx, c.sx * 30 * 100.0f * kDt * 0.70710678f, 1e-3);
    EXPECT_NEAR(dy, c.sy * 30 * 100.0f * kDt * 0.70710678f, 1e-3);
    EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 50.0f, 1e-3);
    Release(c.key1);
    Release(c.key2);
    Frames(1);
  }
}

TEST_F(PlayerWalk, UpAndDownTogetherStandStillButAnimate) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  Hold(VK_LEFT);
  Frames(5);
  Release(VK_LEFT);
  Frames(1);
  ASSERT_EQ(player.facing, 3u);

  Hold(VK_UP);
  Hold(VK_DOWN);
  Frames(2);
  float x0 = player.x, y0 = player.y;
  bool seen[6] = {};
  for (int n = 0; n < 90; ++n) {
    Frames(1);
    ASSERT_GE(player.column, 2);
    ASSERT_LE(player.column, 5);
    seen[player.column] = true;
  }
  EXPECT_EQ(player.directionCode, 101);
  EXPECT_EQ(player.moveHeading, 400.0f);
  EXPECT_FLOAT_EQ(player.x, x0);
  EXPECT_FLOAT_EQ(player.y, y0);
  EXPECT_EQ(player.facing, 3u) << "code 101 keeps the facing";
  EXPECT_TRUE(seen[2] && seen[3] && seen[4] && seen[5]) << "the walk animation keeps running";
}

class PlayerSwing : public PartyFixture {};

// Frames from the press of "C" to the end of the swing, and the columns it
// showed.
TEST_F(PlayerSwing, ThreeTicksOfPointTwoSecondsAndCDuringASwingDoesNothing) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);

  auto swingLength = [&](bool pressAgain) {
    Press(kC);
    EXPECT_TRUE(player.swinging);
    EXPECT_EQ(player.column, 6);
    int frames = 1;
    bool columns[12] = {};
    while (player.swinging && frames < 100) {
      if (pressAgain && frames == 15) {
        Press(kC);  // during the second tick
      } else {
        Frames(1);
      }
      ++frames;
      columns[player.column] = true;
    }
    EXPECT_TRUE(columns[7] && columns[8]);
    return frames;
  };
  int once = swingLength(false);
  Frames(2);
  int again = swingLength(true);
  // Each tick ends when its timer passes 0.2 s: 13 frames, three of them.
  EXPECT_EQ(once, 39);
  EXPECT_EQ(again, once) << "C during a swing neither restarts nor lengthens it";
  Frames(1);
  EXPECT_EQ(player.column, 0) << "standing again";
}

TEST(SwingHit, SweetSpotThenStrikeBoxes) {
  player = PlayerState{};
  player.x = 300.0f;
  player.y = 200.0f;
  player.swinging = true;
  player.animStep = 2;
  player.facing = 0;
  const int px = 348, py = 248;
  // A companion's box: its cell's top-left for a centre (cx, cy).
  auto at = [](int cx, int cy) { return SwingHit(cx - 28, cy - 28, 56, 56, 48, 48); };

  EXPECT_EQ(at(px - 36, py), 2) << "the sweet spot of the down swing";
  EXPECT_EQ(at(px - 36, py + 31), 2);
  EXPECT_EQ(at(px - 36, py + 32), 1) << "distance 32 is not below R = 32; the box holds";
  EXPECT_EQ(at(px - 36, py + 71), 1);
  EXPECT_EQ(at(px - 36, py + 72), 0) << "the box's bounds are strict";
  EXPECT_EQ(at(px - 1, py + 40), 1);
  EXPECT_EQ(at(px, py + 40), 0);

  player.facing = 1;  // right: sweet spot below, box to the right
  EXPECT_EQ(at(px, py + 36), 2);
  EXPECT_EQ(at(px + 71, py + 36), 1);
  EXPECT_EQ(at(px + 72, py + 36), 0);
  player.facing = 4;  // down-right: two boxes
  EXPECT_EQ(at(px - 36, py + 36), 2);
  EXPECT_EQ(at(px - 36, py - 10), 1) << "the upright box";
  EXPECT_EQ(at(px + 23, py + 36 + 10), 1) << "the flat box";
  EXPECT_EQ(at(px + 24, py + 36 + 10), 0);
  player.facing = 7;  // up-left
  EXPECT_EQ(at(px + 36, py - 36), 2);
  EXPECT_EQ(at(px - 23, py - 36 - 11), 1);
  EXPECT_EQ(at(px + 36, py + 23), 1);
  EXPECT_EQ(at(px + 36, py + 24), 0);

  player.facing = 8;
  EXPECT_EQ(at(px, py), 0) << "the dying princess strikes nothing";
  player.facing = 0;
  player.animStep = 1;
  EXPECT_EQ(at(px - 36, py), 0) << "only the third swing frame strikes";
  player.animStep = 2;
  player.swinging = false;
  EXPECT_EQ(at(px - 36, py), 0);
  player = PlayerState{};
}

class PlayerHurt : public PartyFixture {};

TEST_F(PlayerHurt, OneHitPointAndTheLatchClearsAboutASecondLater) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  player.animTimer = 0.0f;
  ASSERT_TRUE(HurtMember(0, 0.0f));
  EXPECT_EQ(player.hp, 17);
  EXPECT_FALSE(HurtPlayer(1.0f)) << "latched: no cost";
  EXPECT_EQ(player.hp, 17);

  int knocked = FramesUntil([] { return player.controllable == 1; }, 200);
  // From a timer at 0: thirty single-precision steps of 1/60 s add up to
  // just over 0.5.
  EXPECT_EQ(knocked, 30);
  EXPECT_FLOAT_EQ(player.invulnTimer, 1.0f) << "protection waits for the knock-back";
  int latched = FramesUntil([] { return !player.hitLatch; }, 200);
  // The protection runs out after 60 normal frames; the latch clears on the
  // next one.
  EXPECT_GE(latched, 60);
  EXPECT_LE(latched, 62);
  EXPECT_EQ(player.blink, 0u);

  EXPECT_TRUE(HurtPlayer(0.0f));
  EXPECT_EQ(player.hp, 16);
}

TEST_F(PlayerHurt, BlinksEveryTenthOfASecondWhileProtected) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);
  player.controllable = 1;
  player.invulnTimer = 1.0f;
  player.hitLatch = true;
  int changes = 0;
  uint32_t last = player.blink;
  for (int n = 0; n < 60; ++n) {
    Frames(1);
    if (player.blink != last) ++changes;
    last = player.blink;
  }
  EXPECT_GE(changes, 9);
  EXPECT_LE(changes, 10);
}

TEST_F(PlayerHurt, KnockBackLengthDependsOnTheAnimationTimer) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  Begin(s);

  player.animTimer = 0.3f;  // a standing tick is due
  float x0 = player.x;
  ASSERT_TRUE(HurtPlayer(0.0f));  // the blow comes from the right
  int shortKnock = FramesUntil([] { return player.controllable == 1; }, 100);
  EXPECT_EQ(shortKnock, 12) << "0.2 s left on the timer";
  EXPECT_LT(player.x, x0) << "pushed away from the blow";
  EXPECT_NEAR(player.x, x0 - shortKnock * 100.0f * kDt, 1e-3);
  EXPECT_EQ(player.facing, 1u) << "facing the blow";

  player.hitLatch = false;
  player.invulnTimer = 0.0f;
  player.animTimer = 0.0f;
  float y0 = player.y;
  ASSERT_TRUE(HurtPlayer(1.5707964f));  // from below
  Frames(1);
  EXPECT_EQ(player.column, 11);
  EXPECT_EQ(player.facing, 0u);
  int longKnock = 1 + FramesUntil([] { return player.controllable == 1; }, 100);
  EXPECT_EQ(longKnock, 30);
  EXPECT_NEAR(player.y, y0 - longKnock * 100.0f * kDt, 1e-3);
}

TEST_F(PlayerHurt, KnockBackStopsAtTheScreenLimits) {
  gametest::Stage s;
  PutPlayer(s, 16, 200);
  Begin(s);
  player.x = -7.0f;
  player.animTimer = 0.0f;
  ASSERT_TRUE(HurtPlayer(0.0f));
  Frames(1);
  EXPECT_LT(player.x, -8.0f);
  float x = player.x;
  Frames(10);
  EXPECT_FLOAT_EQ(player.x, x) << "beyond -8 the knock-back no longer moves her";
}

class PlayerDeath : public PartyFixture {};

TEST_F(PlayerDeath, PanicCompanionsLeaveAndGameOverAfterElevenSeconds) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  PutCompanion(s, 0, 200, 100);
  PutCompanion(s, 1, 500, 300);
  PutCompanion(s, 2, 300, 400);
  Begin(s);
  player.hp = 1;
  // A hurt companion costs the party's last hit point.
  ASSERT_TRUE(HurtCompanion(2, 0.0f));
  EXPECT_EQ(player.hp, 0);

  Frames(1);
  EXPECT_EQ(player.facing, 8u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(companions[i].column, 9);
    EXPECT_LE(companions[i].column, 10) << "panicking on the spot";
  }
  float x1 = companions[1].x;
  Frames(50);
  EXPECT_FLOAT_EQ(companions[1].x, x1) << "no running during the first second";
  EXPECT_TRUE(HurtPlayer(0.0f)) << "nothing stops further hits while dying";
  EXPECT_EQ(player.hp, -1);

  // Then they run at 400 px/s and vanish past the screen's edges.
  Frames(20);
  EXPECT_GE(companions[1].column, 11);
  int gone = FramesUntil(
      [] { return companionState[0] == 0 && companionState[1] == 0 && companionState[2] == 0; },
      600);
  EXPECT_LE(gone, 150);

  // "GAME_OVER" appears only once eleven seconds of dying have passed.
  FramesUntil([] { return player.deathTimer >= 10.9f; }, 800);
  std::strcpy(elDraw::printBuffer, "");
  UpdatePlayer();
  EXPECT_STRNE(elDraw::printBuffer, "GAME_OVER");
  FramesUntil([] { return player.deathTimer >= 11.0f; }, 100);
  EXPECT_NEAR(player.deathTimer, 11.0f, kDt);
  UpdatePlayer();
  EXPECT_STREQ(elDraw::printBuffer, "GAME_OVER");
  EXPECT_TRUE(player.column == 4 || player.column == 5);
}

class PlayerWalls : public PartyFixture {};

TEST_F(PlayerWalls, WallsStopHerOnEverySide) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  // A room: her probes reach from x + 24 to x + 72 and y + 48 to y + 72.
  Wall(s, 200, 160, 520, 176);  // above
  Wall(s, 200, 400, 520, 416);  // below
  Wall(s, 200, 160, 216, 416);  // left
  Wall(s, 504, 160, 520, 416);  // right
  Begin(s);
  struct Case {
    int key;
    float* coord;
    float limit;
    bool upward;
  } cases[] = {
      {VK_RIGHT, &player.x, 504.0f - 72.0f, true},
      {VK_LEFT, &player.x, 216.0f - 24.0f, false},
      {VK_UP, &player.y, 176.0f - 48.0f, false},
      {VK_DOWN, &player.y, 400.0f - 72.0f, true},
  };
  for (const Case& c : cases) {
    Hold(c.key);
    Frames(240);
    float stopped = *c.coord;
    Frames(10);
    EXPECT_FLOAT_EQ(*c.coord, stopped) << "key " << c.key;
    // She stops within one step of the wall.
    if (c.upward) {
      EXPECT_LE(stopped, c.limit + 8.0f) << "key " << c.key;
      EXPECT_GT(stopped, c.limit - 8.0f) << "key " << c.key;
    } else {
      EXPECT_GE(stopped, c.limit - 8.0f) << "key " << c.key;
      EXPECT_LT(stopped, c.limit + 8.0f) << "key " << c.key;
    }
    Release(c.key);
    Frames(1);
  }

  // The knock-back pushes her into the left wall, which holds.
  player.x = 185.0f;  // her left probes inside the left wall
  player.y = 280.0f;
  Frames(1);
  float x = player.x;
  player.animTimer = 0.0f;
  ASSERT_TRUE(HurtPlayer(0.0f));
  Frames(30);
  EXPECT_FLOAT_EQ(player.x, x);
}

}  // namespace
