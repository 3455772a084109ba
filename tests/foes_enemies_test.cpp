// Scenarios of the enemies: wandering against walls, awareness and chasing,
// the strike frames, the stun around companion 2, dying, appearing and the
// archer's shots.
#include <cmath>
#include <cstdlib>
#include <vector>

#include "draw_fixture.h"
#include "foes_fixture.h"

namespace {

using foestest::FoesFixture;
using foestest::kStep;

class FoesEnemies : public FoesFixture {
 protected:
  // A soldier standing still in its wander cycle at world (x, y).
  static Soldier& Standing(Soldier (&pool)[kEnemyPoolSize], int slot, float x, float y, int facing) {
    Soldier& s = pool[slot];
    s = Soldier{};
    s.x = x;
    s.y = y;
    s.state = 1;
    s.facing = facing;
    s.cycleStarted = 1;
    s.directionPick = 0;
    s.wanderTimer = 0.1f;
    s.heading = 400.0f;
    return s;
  }
};

TEST_F(FoesEnemies, SoldierAgainstAWallStandsForTheRestOfItsCycle) {
  Begin();
  // Solid cells under the right-hand probes of a soldier at (100, 100).
  for (int row = 14; row <= 16; ++row) collisionLayer[row][16] = 1;
  Soldier& s = Standing(soldiersA, 0, 100.0f, 100.0f, 0);
  s.directionPick = 1;  // right
  s.wanderTimer = 0.5f;
  s.randomIndex = 7;

  int frames = 0;
  while (s.cycleStarted == 1 && frames < 400) {
    UpdateSoldiersA();
    ++frames;
    ASSERT_EQ(s.x, 100.0f);
    ASSERT_EQ(s.y, 100.0f);
    ASSERT_EQ(s.directionCode, 0);
    ASSERT_EQ(s.heading, 400.0f);
    ASSERT_EQ(s.randomIndex, 7) << "no new direction within the cycle";
  }
  // 2.5 s of the cycle were left: it stood through all of them.
  EXPECT_NEAR(frames, 150, 1);
  EXPECT_EQ(s.animMode, 0);

  // The next frame begins a new cycle with a new draw.
  std::srand(5);
  int expected = std::rand() % 100;
  std::srand(5);
  UpdateSoldiersA();
  EXPECT_EQ(s.cycleStarted, 1);
  EXPECT_EQ(s.randomIndex, expected);
}

TEST_F(FoesEnemies, SoldierWithAFreeWayWalksAtFiftyPixelsPerSecond) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 100.0f, 100.0f, 0);
  s.directionPick = 6;  // down-right
  UpdateSoldiersA();
  EXPECT_EQ(s.directionCode, 110);
  EXPECT_EQ(s.heading, 45.0f);
  EXPECT_EQ(s.facing, 2);
  float a = 45.0f * 3.141592f / 180.0f;
  EXPECT_EQ(s.x, 100.0f + std::cos(a) * 50.0f * kStep);
  EXPECT_EQ(s.y, 100.0f + std::sin(a) * 50.0f * kStep);

  // A diagonal needs both sides free: a wall below stops it.
  for (int col = 10; col <= 16; ++col) collisionLayer[17][col] = 1;
  float x = s.x;
  UpdateSoldiersA();
  EXPECT_EQ(s.directionCode, 0);
  EXPECT_EQ(s.x, x);
}

TEST_F(FoesEnemies, SoldierAChasesOnWhileSoldierBGivesUp) {
  Begin();
  Soldier& a = Standing(soldiersA, 0, 300.0f, 200.0f, 0);
  Soldier& b = Standing(soldiersB, 0, 300.0f, 200.0f, 0);
  player.x = 330.0f;
  player.y = 250.0f;
  UpdateSoldiersA();
  UpdateSoldiersB();
  EXPECT_EQ(a.state, 2);
  EXPECT_EQ(b.state, 2);
  EXPECT_EQ(a.nearMember[0], 1);
  for (int i = 0; i < 5; ++i) {
    UpdateSoldiersA();
    UpdateSoldiersB();
  }
  EXPECT_EQ(a.animMode, 1);
  EXPECT_GT(a.vy, 0.0f) << "heading down toward the princess";

  // She runs far away: SoldierA keeps its last velocity in a straight line.
  player.x = -600.0f;
  player.y = 460.0f;
  UpdateSoldiersA();
  UpdateSoldiersB();
  EXPECT_EQ(b.state, 1);
  EXPECT_EQ(a.state, 2);
  float vx = a.vx, vy = a.vy;
  for (int i = 0; i < 60; ++i) {
    float x = a.x, y = a.y;
    UpdateSoldiersA();
    ASSERT_EQ(a.state, 2);
    ASSERT_EQ(a.vx, vx);
    ASSERT_EQ(a.vy, vy);
    ASSERT_EQ(a.x, x + vx * kStep);
    ASSERT_EQ(a.y, y + vy * kStep);
  }
}

TEST_F(FoesEnemies, SoldiersLookAtDifferentPointsOfAMember) {
  Begin();
  // 160 px from SoldierA's view of her (upper-left quarter), 138 px from
  // SoldierB's (cell centre).
  Soldier& a = Standing(soldiersA, 0, 300.0f, 200.0f, 0);
  Soldier& b = Standing(soldiersB, 0, 300.0f, 200.0f, 0);
  player.x = 324.0f - 24.0f - 160.0f;
  player.y = 200.0f;
  UpdateSoldiersA();
  UpdateSoldiersB();
  EXPECT_EQ(a.state, 1);
  EXPECT_EQ(b.state, 2);
  EXPECT_FLOAT_EQ(a.memberDist[0], 160.0f);
}

TEST_F(FoesEnemies, StrikeHurtsOnlyOnFramesSixAndSeven) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 300.0f, 200.0f, 0);
  s.state = 2;
  s.animMode = 2;
  s.frameStep = 5;
  s.nearMember[0] = 1;
  s.memberDist[0] = 10.0f;
  // Right in the downward strike box.
  player.x = 276.0f;
  player.y = 200.0f;

  int hurts6 = 0, hurts7 = 0;
  for (int i = 0; i < 200 && s.animMode == 2; ++i) {
    int step = s.frameStep;
    int hp = player.hp;
    UpdateSoldiersA();
    if (player.hp < hp) {
      ASSERT_TRUE(s.frameStep == 6 || s.frameStep == 7) << "hurt on frame step " << s.frameStep;
      EXPECT_EQ(player.knockAngle, 4.712388f);
      if (s.frameStep == 6) ++hurts6;
      if (s.frameStep == 7) ++hurts7;
      player.hitLatch = false;  // ready for the next frame's test
    } else if (step == 5 && s.frameStep == 5) {
      EXPECT_EQ(player.hp, 18) << "frame 5 never hurts";
    }
  }
  EXPECT_GT(hurts6, 0);
  EXPECT_GT(hurts7, 0);
  EXPECT_EQ(s.animMode, 0) << "the strike ends after frame 7";
  EXPECT_EQ(s.frameStep, 0);
}

// Each strike draws its effect sheet; the strip of the strike box that lies
// outside the soldier's own 48 x 48 cell shows only the effect.
TEST_F(FoesEnemies, EveryFacingDrawsItsStrike) {
  struct Case {
    int facing;
    int left, top, right, bottom;  // the strip, relative to the cell
  } const cases[] = {
      {0, 0, 48, 48, 56},   // down: below the cell
      {1, -8, 0, 0, 48},    // left
      {2, 48, 0, 56, 48},   // right
      {3, 0, -8, 48, 0},    // up
  };
  Begin();
  ASSERT_NE(pictures.strikeHorizontal, 0);
  for (const Case& c : cases) {
    elDraw::Clear();
    Soldier& s = Standing(soldiersA, 0, 300.0f, 200.0f, c.facing);
    s.state = 2;
    s.animMode = 2;
    s.frameStep = 6;
    UpdateSoldiersA();
    std::vector<uint32_t> back = drawtest::SurfacePixels(*elDraw::screen.backScreen);
    int lit = 0;
    for (int y = 200 + c.top; y < 200 + c.bottom; ++y) {
      for (int x = 300 + c.left; x < 300 + c.right; ++x) lit += back[y * 800 + x] != 0 ? 1 : 0;
    }
    EXPECT_GT(lit, 5) << "facing " << c.facing;
  }
}

TEST_F(FoesEnemies, StrikeOnACompanionCostsThePrincessAHitPoint) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 300.0f, 200.0f, 3);  // facing up
  s.state = 2;
  s.animMode = 2;
  s.frameStep = 6;
  s.nearMember[2] = 1;
  companionState[1] = 2;
  companions[1].x = 276.0f;
  companions[1].y = 200.0f - 8.0f;
  UpdateSoldiersA();
  EXPECT_EQ(player.hp, 17);
  EXPECT_TRUE(companions[1].hitLatch);
  EXPECT_EQ(companions[1].knockAngle, 1.570796f);
}

TEST_F(FoesEnemies, StunModeDependsOnTheFacing) {
  Begin();
  Soldier& up = Standing(soldiersA, 0, 300.0f, 200.0f, 3);
  Soldier& right = Standing(soldiersA, 1, 340.0f, 200.0f, 2);
  Soldier& far = Standing(soldiersA, 2, 600.0f, 200.0f, 0);
  archers[0].x = 300.0f;
  archers[0].y = 260.0f;
  archers[0].state = 1;
  companionState[2] = 5;
  companions[2].x = 310.0f;
  companions[2].y = 210.0f;
  companions[2].powered = false;
  UpdateArchers();
  UpdateSoldiersA();
  EXPECT_EQ(up.state, 3);
  EXPECT_EQ(up.facing, 4);
  EXPECT_EQ(up.animMode, 4);
  EXPECT_EQ(right.state, 3);
  EXPECT_EQ(right.animMode, 3);
  EXPECT_EQ(far.state, 1) << "outside the 125-pixel circle";
  EXPECT_EQ(far.stun.stunActive, 1);
  EXPECT_EQ(archers[0].state, 3);
  EXPECT_EQ(up.stun.stunDuration, 4.0f);
  EXPECT_EQ(up.stun.stunDiameter, 250.0f);

  // Companion 2 gets up and walks off; the stun stays where it landed.
  companionState[2] = 3;
  companions[2].x = 700.0f;
  companions[2].y = 520.0f;
  bool upSteps[8] = {}, rightSteps[8] = {};
  float archerX = archers[0].x;
  bool shook = false;
  int frames = 1;
  while (up.state == 3 && frames < 400) {
    UpdateArchers();
    UpdateSoldiersA();
    ++frames;
    if (up.state != 3) break;
    upSteps[up.frameStep] = true;
    rightSteps[right.frameStep] = true;
    ASSERT_EQ(up.animMode, 4);
    ASSERT_EQ(right.animMode, 3);
    if (archers[0].x != archerX) {
      shook = true;
      ASSERT_EQ(std::fabs(archers[0].x - archerX), 2.0f);
      ASSERT_EQ(archers[0].frameStep, archers[0].stun.shakeStep);
    }
  }
  EXPECT_TRUE(upSteps[3] && upSteps[4]);
  EXPECT_TRUE(rightSteps[0] && rightSteps[2]);
  EXPECT_FALSE(rightSteps[1] || rightSteps[3]);
  EXPECT_TRUE(shook);
  // Four seconds, then everyone armed wakes up facing down.
  EXPECT_NEAR(frames, 240, 1);
  EXPECT_EQ(up.state, 1);
  EXPECT_EQ(up.facing, 0);
  EXPECT_EQ(up.stun.stunActive, 0);
  EXPECT_EQ(far.stun.stunActive, 0);
  EXPECT_EQ(archers[0].state, 1);
}

TEST_F(FoesEnemies, SecondLandingRefreshesOnlyDurationAndDiameter) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 300.0f, 200.0f, 0);
  companionState[2] = 5;
  companions[2].x = 310.0f;
  companions[2].y = 210.0f;
  UpdateSoldiersA();
  companionState[2] = 3;
  for (int i = 0; i < 60; ++i) UpdateSoldiersA();
  float timer = s.stun.stunTimer;

  companionState[2] = 5;
  companions[2].powered = true;
  companions[2].x = 100.0f;
  companions[2].y = 400.0f;
  UpdateSoldiersA();
  EXPECT_EQ(s.stun.stunCentreX, 310.0f);
  EXPECT_EQ(s.stun.stunCentreY, 210.0f);
  EXPECT_EQ(s.stun.stunTimer, timer + kStep);
  EXPECT_EQ(s.stun.stunDuration, 6.0f);
  EXPECT_EQ(s.stun.stunDiameter, 375.0f);
  EXPECT_EQ(s.state, 3);
}

TEST_F(FoesEnemies, FlyingCompanionKillsAndDyingEnemiesIgnoreStrikesAndStun) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 300.0f, 200.0f, 2);
  s.animTimer = 0.3f;
  Flying(1, 324.0f, 224.0f);
  UpdateSoldiersA();
  EXPECT_EQ(s.state, 99);
  EXPECT_EQ(s.animTimer, 0.0f);
  EXPECT_EQ(companionState[1], 5) << "companion 1 stops at the enemy";

  // Blinking out: another companion lands on it, the stun passes it by.
  UpdateSoldiersA();
  float death = s.deathTimer;
  EXPECT_EQ(s.facing, 4);
  EXPECT_EQ(s.frameStep, 2) << "death frame of a soldier that faced right";
  Flying(2, 324.0f, 224.0f);
  UpdateSoldiersA();
  EXPECT_EQ(s.state, 99);
  EXPECT_EQ(s.deathTimer, death + kStep) << "a second strike does not restart the death";
  EXPECT_EQ(companionState[2], 5);
  UpdateSoldiersA();
  EXPECT_EQ(s.state, 99);
  EXPECT_EQ(s.stun.stunActive, 0);

  // Companion 0 pierces: it kills and flies on.
  Soldier& t = Standing(soldiersB, 0, 400.0f, 200.0f, 0);
  Flying(0, 424.0f, 224.0f);
  UpdateSoldiersB();
  EXPECT_EQ(t.state, 99);
  EXPECT_EQ(companionState[0], 4);

  // After two seconds it is gone and the drop has been rolled.
  companionState[0] = companionState[2] = 3;
  std::srand(3);
  int d1 = std::rand() % 10;
  int d2 = std::rand() % 10;
  int kind = dropTable[d1 * 10 + d2];
  int frames = 0;
  std::srand(3);
  while (s.state != 0 && frames < 300) {
    UpdateSoldiersA();
    ++frames;
  }
  EXPECT_EQ(s.state, 0);
  EXPECT_EQ(s.facing, 0);
  EXPECT_EQ(items[0].live, kind >= 0 ? 1 : 0);
  if (kind >= 0) {
    EXPECT_EQ(items[0].x, 300.0);
    EXPECT_EQ(items[0].kind, kind);
  }
}

TEST_F(FoesEnemies, AppearingSoldierIsHarmless) {
  Begin();
  PlaceSoldierA(4, 300.0f, 200.0f);
  Soldier& s = soldiersA[4];
  EXPECT_EQ(s.state, 80);
  EXPECT_EQ(s.frameStep, 5);
  EXPECT_EQ(s.facing, 4);
  player.x = 276.0f;
  player.y = 200.0f;
  int frames = 0;
  while (s.state == 80 && frames < 300) {
    UpdateSoldiersA();
    ++frames;
    if (s.state == 80) {
      ASSERT_EQ(s.nearMember[0], 0);
      ASSERT_EQ(player.hp, 18);
    }
  }
  EXPECT_EQ(frames, 3 * FramesPast(0.5f));
  EXPECT_EQ(s.state, 2) << "wandering, and at once aware of her";
  EXPECT_EQ(s.frameStep, 0);
}

TEST_F(FoesEnemies, ArcherShootsEveryFiveTicksWhileThePrincessIsNear) {
  Begin();
  PlaceArcher(0, 300.0f, 200.0f);
  player.x = 330.0f;
  player.y = 300.0f;
  int tick = FramesPast(0.5f);
  std::vector<int> shotFrames;
  for (int frame = 1; frame <= 20 * tick; ++frame) {
    int before = CountShots(401);
    UpdateArchers();
    if (CountShots(401) > before) {
      shotFrames.push_back(frame);
      EXPECT_EQ(archers[0].frameStep, 4);
    }
  }
  ASSERT_GE(shotFrames.size(), 3u);
  // Aiming starts at the end of the first frame; four ticks to the arrow.
  EXPECT_EQ(shotFrames[0], 1 + 4 * tick);
  for (size_t i = 1; i < shotFrames.size(); ++i) EXPECT_EQ(shotFrames[i] - shotFrames[i - 1], 5 * tick);
  EXPECT_EQ(archers[0].facing, 0) << "she is below";

  // Out of range: the shot under way finishes, then no more.
  player.x = 680.0f;
  player.y = 460.0f;
  for (int i = 0; i < 6 * tick; ++i) UpdateArchers();
  int n = CountShots(401);
  EXPECT_EQ(archers[0].aiming, 0);
  for (int i = 0; i < 20 * tick; ++i) UpdateArchers();
  EXPECT_EQ(CountShots(401), n);
}

TEST_F(FoesEnemies, ShieldGuardFacesThePrincessAndDiesToAFlight) {
  Begin();
  PlaceShieldGuard(0, 300.0f, 200.0f);
  ShieldGuard& g = shieldGuards[0];
  player.x = 100.0f;
  player.y = 150.0f;
  UpdateShieldGuards();
  EXPECT_EQ(g.facing, 1);  // left
  player.x = 280.0f;
  player.y = 0.0f;
  UpdateShieldGuards();
  EXPECT_EQ(g.facing, 3);  // up
  Flying(1, 324.0f, 224.0f);
  UpdateShieldGuards();
  EXPECT_EQ(g.state, 99);
  UpdateShieldGuards();
  EXPECT_EQ(g.frameStep, 1);  // up gives the second death frame
  EXPECT_EQ(g.facing, 4);
}

TEST_F(FoesEnemies, OffScreenEnemiesAreFrozenAndTouchTestsCountEveryLiveOne) {
  Begin();
  Soldier& s = Standing(soldiersA, 0, 300.0f + 768.0f, 200.0f, 0);
  s.directionPick = 1;
  UpdateSoldiersA();
  EXPECT_EQ(s.x, 1068.0f);
  EXPECT_EQ(s.wanderTimer, 0.1f);

  companionState[0] = 1;
  EXPECT_FALSE(SoldierATouches(300.0f, 200.0f, 0));
  EXPECT_TRUE(SoldierATouches(1068.0f - 4.0f + 38.0f, 200.0f - 4.0f, 0));
  EXPECT_FALSE(SoldierATouches(1068.0f - 4.0f + 39.0f, 200.0f - 4.0f, 0));
  companionState[0] = 0;
  EXPECT_FALSE(SoldierATouches(1068.0f - 4.0f, 200.0f - 4.0f, 0)) << "an absent companion touches nothing";
  companionState[1] = 2;
  PlaceArcher(99, 50.0f, 50.0f);
  EXPECT_TRUE(ArcherTouches(46.0f, 46.0f, 1));
  EXPECT_FALSE(ShieldGuardTouches(46.0f, 46.0f, 1));
  EXPECT_FALSE(SoldierBTouches(46.0f, 46.0f, 1));
}

TEST_F(FoesEnemies, StagePlacesEnemiesAndTheTraceListsThem) {
  gametest::Stage stage;
  stage.objects.Set(40, 40, 1);  // the princess
  stage.objects.Set(10, 10, 5);
  stage.objects.Set(10, 20, 5);
  stage.objects.Set(20, 10, 6);
  stage.objects.Set(20, 30, 7);
  stage.objects.Set(30, 10, 8);
  StartGame(stage);
  Frames(1);
  // The starting screen is filled only when a screen change ends; do what
  // the end of one does.
  EXPECT_EQ(soldiersA[0].state, 0);
  SpawnScreenObjects();
  EXPECT_EQ(soldiersA[0].state, 80);
  EXPECT_EQ(soldiersA[1].state, 80);
  EXPECT_EQ(soldiersA[1].x, 160.0f);
  EXPECT_EQ(soldiersA[1].y, 80.0f);
  EXPECT_EQ(archers[0].state, 1);
  EXPECT_EQ(soldiersB[0].state, 80);
  EXPECT_EQ(shieldGuards[0].state, 1);
  items[5] = ItemDrop{1, 12.5, 30.0, 1};
  std::string trace = Trace();
  EXPECT_EQ(trace.rfind(",\"enemies\":[{\"kind\":\"Archer\",\"slot\":0,\"state\":1,", 0), 0u) << trace;
  EXPECT_NE(trace.find("{\"kind\":\"SoldierA\",\"slot\":1,\"state\":80,\"x\":160,\"y\":80,\"facing\":4,"
                       "\"frameStep\":5,\"animMode\":5,\"stunActive\":0}"),
            std::string::npos)
      << trace;
  EXPECT_NE(trace.find("],\"items\":[{\"i\":5,\"kind\":1,\"x\":12.5,\"y\":30}],\"boss\":{\"hp\":0,"),
            std::string::npos)
      << trace;
  EXPECT_EQ(trace.back(), '}');
}

}  // namespace
