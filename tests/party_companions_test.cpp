// The companions in play: launches and flights, formation slots, joining
// and following, hurts, flying through enemies, walls, the screen change,
// and the trace fields of the party.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "actors/foes.h"
#include "party_fixture.h"
#include "world/trace.h"
#include "portable.h"

namespace {

using partytest::kC;
using partytest::kDt;
using partytest::kV;
using partytest::PartyFixture;

// The princess at (296, 56), facing down; her centre is (344, 104). A
// companion at (280, 80) stands in the down swing's sweet spot, one at
// (280, 120) in its strike box only.
constexpr int kPlayerX = 296, kPlayerY = 56;
constexpr int kSweetX = 280, kSweetY = 80;
constexpr int kBoxX = 280, kBoxY = 120;

class CompanionFlight : public PartyFixture {
 protected:
  struct Flight {
    int struckAt = -1;      // frame of the first strike
    int lastStrike = -1;    // frame of the last (re)strike
    int landedAt = -1;
    float vy = 0.0f;
    float distance = 0.0f;  // flightDistance when it landed
    float startY = 0.0f, endY = 0.0f;
  };

  // Swings once and follows companion i until it lands; the swing strikes
  // again in every frame of its third tick while the companion is in reach.
  Flight SwingAndFollow(int i) {
    Flight f;
    Hold(kC);
    for (int n = 1; n <= 300 && f.landedAt < 0; ++n) {
      float prevDistance = companions[i].flightDistance;
      int prevState = companionState[i];
      Frames(1);
      if (n == 1) Release(kC);
      if (companionState[i] == 4) {
        if (f.struckAt < 0) f.struckAt = n;
        // A strike starts the distance over, also one in the very next frame.
        if (prevState != 4 || companions[i].flightDistance <= prevDistance) {
          f.lastStrike = n;
          f.startY = companions[i].y;
        }
        f.vy = companions[i].vy;
        EXPECT_EQ(companions[i].row, 4 + companions[i].flightFrame);
        EXPECT_EQ(companions[i].column, static_cast<int>(player.facing));
      } else if (companionState[i] == 5 && prevState == 4) {
        f.landedAt = n;
        f.distance = companions[i].flightDistance;
        f.endY = companions[i].y;
      }
    }
    return f;
  }
};

TEST_F(CompanionFlight, StrikeLaunchesAtTwoHundredForThreeHundredPixels) {
  gametest::Stage s;
  PutPlayer(s, kPlayerX, kPlayerY);
  PutCompanion(s, 1, kBoxX, kBoxY);
  Begin(s);
  EXPECT_EQ(companionState[1], 2) << "close enough to stand in the party";

  Flight f = SwingAndFollow(1);
  ASSERT_GT(f.struckAt, 0);
  // The third swing frame comes after two ticks of 0.2 s.
  EXPECT_EQ(f.struckAt, 27);
  EXPECT_FALSE(companions[1].powered);
  EXPECT_NEAR(f.vy, 200.0f, 1e-3);
  EXPECT_NEAR(companions[1].vx, 0.0f, 1e-3);
  EXPECT_EQ(companions[1].flightDir, 2);
  ASSERT_GT(f.landedAt, 0);
  // 300 px at 200 px/s: 1.5 s from the last strike, and one frame more,
  // since ninety single-precision steps of 3.3333337 stay just short of 300.
  EXPECT_EQ(f.landedAt - f.lastStrike + 1, 91);
  EXPECT_GE(f.distance, 300.0f);
  EXPECT_LT(f.distance, 300.0f + 2 * 200.0f * kDt);
  EXPECT_NEAR(f.endY - f.startY, (f.landedAt - f.lastStrike) * 200.0f * kDt, 1e-2);

  // Landed for a second, then idle where it came down.
  EXPECT_EQ(companions[1].column, 8);
  int idle = FramesUntil([] { return companionState[1] == 3; }, 200);
  EXPECT_EQ(idle, 60);
}

TEST_F(CompanionFlight, SweetSpotLaunchesAtThreeHundredForOneSecond) {
  gametest::Stage s;
  PutPlayer(s, kPlayerX, kPlayerY);
  PutCompanion(s, 0, kSweetX, kSweetY);
  Begin(s);

  Flight f = SwingAndFollow(0);
  ASSERT_GT(f.landedAt, 0);
  EXPECT_TRUE(companions[0].powered);
  EXPECT_NEAR(f.vy, 300.0f, 1e-3);
  EXPECT_EQ(f.landedAt - f.lastStrike + 1, 60);
  EXPECT_GE(f.distance, 300.0f);
  EXPECT_LT(f.distance, 300.0f + 300.0f * kDt);

  // Striking a landed companion launches it again at once.
  player.facing = 1;
  player.swinging = true;
  player.animStep = 2;
  player.x = companions[0].x - 20.0f;
  player.y = companions[0].y - 56.0f;  // its centre on the right swing's sweet spot
  player.animTimer = 0.0f;
  ASSERT_EQ(companionState[0], 5);
  Frames(1);
  EXPECT_EQ(companionState[0], 4);
  EXPECT_EQ(companions[0].launchFacing, 1);
  EXPECT_EQ(companions[0].flightDir, 0);
  EXPECT_NEAR(companions[0].vx, 300.0f, 1e-3);
}

TEST_F(CompanionFlight, FlightEndsAtAWallOrTheScreenEdge) {
  gametest::Stage s;
  PutPlayer(s, kPlayerX, kPlayerY);
  PutCompanion(s, 1, kBoxX, kBoxY);
  PutCompanion(s, 2, kBoxX + 400, kBoxY);
  Wall(s, 200, 300, 400, 320);  // across companion 1's path
  Begin(s);
  Flight f = SwingAndFollow(1);
  ASSERT_GT(f.landedAt, 0);
  EXPECT_LT(f.distance, 300.0f) << "stopped by the wall";
  // Its blocked-down probes sit 56 below its top.
  EXPECT_LE(companions[1].y + 56.0f, 300.0f + 8.0f);
  EXPECT_GE(companions[1].y + 56.0f, 300.0f - 8.0f);

  // Flying left from x = 200 clamps at -4 and lands.
  companions[2].x = 200.0f;
  companions[2].y = 300.0f;
  companionState[2] = 4;
  companions[2].flightDir = 4;
  companions[2].launchFacing = 3;
  companions[2].flightDistance = 0.0f;
  int landed = FramesUntil([] { return companionState[2] != 4; }, 200);
  EXPECT_EQ(companionState[2], 5);
  EXPECT_FLOAT_EQ(companions[2].x, -4.0f);
  EXPECT_LT(landed, 90);
}

class CompanionFormation : public PartyFixture {};

TEST_F(CompanionFormation, ThirdCalledTakesAFreeSlot) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);              // centre (344, 248)
  PutCompanion(s, 0, 40, 40);          // far away
  PutCompanion(s, 1, 680, 480);        // far away
  PutCompanion(s, 2, 272, 152);        // up and to the left, within call reach
  Begin(s);
  companionState[0] = 1;
  companionSlot[0] = 0;
  companionState[1] = 1;
  companionSlot[1] = 1;
  ASSERT_EQ(companionState[2], 3);

  Press(kV);
  EXPECT_EQ(companionState[2], 1);
  // Above would be nearest, but slots 0 and 1 are held: the left one is
  // nearer than the one below.
  EXPECT_EQ(companionSlot[2], 3);
  EXPECT_EQ(companionSlot[0], 0) << "beyond 174 px the call does not reach";
  EXPECT_EQ(companionSlot[1], 1);

  // It walks there at 80 px/s (from the next frame on: this frame's step
  // was taken before the call) and stands.
  float before = CentreDistance(2);
  Frames(2);
  float step = std::hypot(companions[2].vx, companions[2].vy);
  EXPECT_NEAR(step, 80.0f, 1e-3);
  EXPECT_LT(CentreDistance(2), before);
  int stood = FramesUntil([] { return companionState[2] == 2; }, 300);
  EXPECT_LT(stood, 300);
  Frames(1);
  EXPECT_EQ(companionSlot[2], -1) << "a standing companion gives its slot up";
}

TEST_F(CompanionFormation, WithNoSlotsHeldNothingIsExcluded) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  PutCompanion(s, 0, 248, 224);  // standing beside her
  PutCompanion(s, 1, 360, 224);
  PutCompanion(s, 2, 304, 112);  // straight above, beyond 76 px
  Begin(s);
  ASSERT_EQ(companionState[0], 2);
  ASSERT_EQ(companionState[1], 2);
  ASSERT_EQ(companionState[2], 3);
  Frames(1);
  ASSERT_EQ(companionSlot[0], -1);
  Press(kV);
  EXPECT_EQ(companionState[2], 1);
  EXPECT_EQ(companionSlot[2], 0);
  EXPECT_EQ(companionState[0], 2) << "the call leaves standing companions alone";
}

TEST_F(CompanionFormation, IdleCompanionsJoinAndTheCallReaches174) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);   // centre (344, 248)
  PutCompanion(s, 0, 464, 216);  // centre (492, 244): 148 px away
  PutCompanion(s, 1, 96, 216);   // centre (124, 244): 220 px away
  Begin(s);
  Press(kV);
  EXPECT_EQ(companionState[0], 1);
  EXPECT_EQ(companionState[1], 3) << "out of the call's reach";

  // Walking up to an idle companion recruits it.
  Hold(VK_LEFT);
  int joined = FramesUntil([] { return companionState[1] == 2; }, 300);
  EXPECT_LT(joined, 300);
  EXPECT_LT(CentreDistance(1), 76.0f);
  // Walking on, the party follows after half a second beyond 76 px.
  int following = FramesUntil([] { return companionState[1] == 1; }, 300);
  EXPECT_LT(following, 300);
  EXPECT_GT(companions[1].followTimer, 0.5f);
  Release(VK_LEFT);
  int back = FramesUntil([] { return companionState[1] == 2; }, 300);
  EXPECT_LT(back, 300);
}

class CompanionHurt : public PartyFixture {};

TEST_F(CompanionHurt, CostsTheSharedLifeButNotWhileFlyingOrRunningBack) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  PutCompanion(s, 0, 248, 224);
  PutCompanion(s, 1, 360, 224);
  Begin(s);
  ASSERT_EQ(player.hp, 18);

  companionState[0] = 4;
  EXPECT_FALSE(HurtMember(1, 0.0f)) << "flying";
  companionState[0] = 6;
  EXPECT_FALSE(HurtCompanion(0, 0.0f)) << "running back";
  EXPECT_EQ(player.hp, 18);
  companionState[0] = 2;

  float x = companions[1].x, y = companions[1].y;
  companions[1].animTimer = 0.0f;
  ASSERT_TRUE(HurtMember(2, 3.1415920f));  // the blow from the left
  EXPECT_EQ(player.hp, 17);
  EXPECT_FALSE(HurtCompanion(1, 0.0f)) << "latched";
  EXPECT_EQ(player.hp, 17);
  Frames(1);
  EXPECT_EQ(companions[1].column, 6);
  EXPECT_EQ(companions[1].row, 3) << "facing the blow";
  int well = FramesUntil([] { return companions[1].hurtStep == 2; }, 200);
  // Two ticks of 0.3 s: eighteen single-precision steps of 1/60 s add up
  // to just over 0.3.
  EXPECT_EQ(well + 1, 36);
  EXPECT_FLOAT_EQ(companions[1].x, x);
  EXPECT_FLOAT_EQ(companions[1].y, y);
  // Four seconds of protection, counted while well.
  int cleared = FramesUntil([] { return !companions[1].hitLatch; }, 400);
  EXPECT_GE(cleared, 239);
  EXPECT_LE(cleared, 242);
  EXPECT_TRUE(HurtCompanion(1, 0.0f));
  EXPECT_EQ(player.hp, 16);
}

class CompanionEnemies : public PartyFixture {
 protected:
  // Three soldiers in a column below the companion at (kBoxX, kBoxY).
  void RowOfSoldiers() {
    for (int k = 0; k < 3; ++k) {
      PlaceSoldierA(k, static_cast<float>(kBoxX + 4), static_cast<float>(250 + 70 * k));
    }
  }
};

TEST_F(CompanionEnemies, CompanionZeroFliesThroughTheRow) {
  gametest::Stage s;
  PutPlayer(s, kPlayerX, kPlayerY);
  PutCompanion(s, 0, kBoxX, kBoxY);
  Begin(s);
  RowOfSoldiers();
  Hold(kC);
  Frames(1);
  Release(kC);
  int landed = FramesUntil([] { return companionState[0] == 5; }, 300);
  ASSERT_LT(landed, 300);
  EXPECT_GE(companions[0].flightDistance, 300.0f) << "it flew its full length";
  for (int k = 0; k < 3; ++k) EXPECT_EQ(soldiersA[k].state, 99) << "soldier " << k;
}

TEST_F(CompanionEnemies, CompanionOneLandsOnTheFirst) {
  gametest::Stage s;
  PutPlayer(s, kPlayerX, kPlayerY);
  PutCompanion(s, 1, kBoxX, kBoxY);
  Begin(s);
  RowOfSoldiers();
  Hold(kC);
  Frames(1);
  Release(kC);
  int landed = FramesUntil([] { return companionState[1] == 5; }, 300);
  ASSERT_LT(landed, 300);
  EXPECT_LT(companions[1].flightDistance, 300.0f);
  EXPECT_EQ(soldiersA[0].state, 99);
  EXPECT_NE(soldiersA[1].state, 99);
  EXPECT_NE(soldiersA[2].state, 99);
}

TEST_F(CompanionEnemies, AFollowerBumpingIntoABodyStandsStill) {
  gametest::Stage s;
  PutPlayer(s, 296, 200);
  PutCompanion(s, 1, 120, 224);
  Begin(s);
  companionState[1] = 1;
  companionSlot[1] = 3;  // to her left, past the soldier
  PlaceSoldierA(0, 190.0f, 220.0f);
  int bumpedFrames = 0;
  for (int n = 0; n < 120; ++n) {
    float x = companions[1].x, y = companions[1].y;
    Frames(1);
    if (companions[1].bumped && companions[1].hurtStep == 2) {
      ++bumpedFrames;
      EXPECT_FLOAT_EQ(companions[1].x, x) << "frame " << n;
      EXPECT_FLOAT_EQ(companions[1].y, y) << "frame " << n;
      EXPECT_EQ(companionState[1], 1) << "bumping keeps the state";
    }
  }
  EXPECT_GT(bumpedFrames, 0);
}

TEST(CompanionHitsTest, MarginsAndStopRules) {
  for (int j = 0; j < 3; ++j) {
    companions[j] = Companion{};
    companions[j].x = 100.0f;
    companions[j].y = 100.0f;
    companionState[j] = 4;
  }
  // Companion 0 strikes from 52 px ahead of its centre, here to the right.
  companions[0].hitOffsetX = 52;
  // A 48 x 48 target centred 52 + 27 px to the right: inside 4 + 24.
  EXPECT_TRUE(CompanionHits(0, 48, 48, 128.0f + 52 + 27 - 24, 128.0f - 24, false, false));
  EXPECT_EQ(companionState[0], 4) << "companion 0 flies on";
  EXPECT_FALSE(CompanionHits(0, 48, 48, 128.0f + 52 + 28 - 24, 128.0f - 24, false, false));
  companions[0].powered = true;
  EXPECT_TRUE(CompanionHits(0, 48, 48, 128.0f + 52 + 31 - 24, 128.0f - 24, false, false));
  EXPECT_TRUE(CompanionHits(0, 100, 50, 128.0f + 52 - 50, 128.0f - 25, true, true));
  EXPECT_EQ(companionState[0], 5) << "a stopping target lands even companion 0";

  // Companions 1 and 2: margin 24, no hit offset, land on the first hit.
  companions[1].hitOffsetX = 52;
  EXPECT_FALSE(CompanionHits(1, 48, 48, 128.0f + 48 - 24, 128.0f - 24, false, false));
  EXPECT_EQ(companions[1].hitOffsetX, 0);
  EXPECT_TRUE(CompanionHits(1, 48, 48, 128.0f + 47 - 24, 128.0f - 24, false, false));
  EXPECT_EQ(companionState[1], 5);
  EXPECT_FALSE(CompanionHits(1, 48, 48, 128.0f - 24, 128.0f - 24, false, false))
      << "only flying companions strike";
  EXPECT_TRUE(CompanionHits(2, 100, 50, 128.0f - 50 + 73, 128.0f - 25 + 48, true, false));
  EXPECT_EQ(companionState[2], 5);
  EXPECT_FALSE(CompanionHits(3, 48, 48, 0.0f, 0.0f, false, false));
  for (int j = 0; j < 3; ++j) {
    companions[j] = Companion{};
    companionState[j] = 0;
  }
}

class CompanionScreenChange : public PartyFixture {};

TEST_F(CompanionScreenChange, RunBackRideAndRegroup) {
  gametest::Stage s;
  PutPlayer(s, 600, 248);  // centre (648, 296)
  PutCompanion(s, 0, 600, 200);
  PutCompanion(s, 1, 680, 272);
  PutCompanion(s, 2, 608, 336);
  Begin(s);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(companionState[i], 2) << i;

  Hold(VK_RIGHT);
  int started = FramesUntil([] { return player.inputLocked != 0; }, 300);
  ASSERT_LT(started, 300);
  Release(VK_RIGHT);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(companionState[i] == 6 || companionState[i] == 7) << i;
    EXPECT_GE(companionSlot[i], 0);
    EXPECT_LE(companionSlot[i], 3);
  }
  int slots[3] = {companionSlot[0], companionSlot[1], companionSlot[2]};

  // All three reach her within a second (the return speeds would cover the
  // distance in 0.5 s along each axis, but the heading shares them out) and
  // ride along.
  int riding = FramesUntil(
      [] { return companionState[0] == 7 && companionState[1] == 7 && companionState[2] == 7; },
      100);
  EXPECT_LE(riding, 60);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(companions[i].x, player.x + 24.0f);
    EXPECT_FLOAT_EQ(companions[i].y, player.y + 24.0f);
  }
  float xBefore = player.x;
  int unlocked = FramesUntil([] { return player.inputLocked == 0; }, 200);
  EXPECT_EQ(unlocked, 61) << "a horizontal scroll";
  EXPECT_LT(player.x, xBefore - 700.0f) << "carried to the left edge";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(companionState[i], 8) << i;

  // Then each walks to the formation point the screen change gave it.
  int regrouped = FramesUntil(
      [] { return companionState[0] == 2 && companionState[1] == 2 && companionState[2] == 2; },
      300);
  EXPECT_LT(regrouped, 300);
  const int offsets[4][2] = {{0, -72}, {72, 0}, {0, 72}, {-72, 0}};
  for (int i = 0; i < 3; ++i) {
    float tx = player.x + 48.0f + offsets[slots[i]][0];
    float ty = player.y + 48.0f + offsets[slots[i]][1];
    float cx = companions[i].x + 28.0f, cy = companions[i].y + 28.0f;
    // Companions near the left edge are held by the screen clamp at -4.
    if (tx - 28.0f >= -4.0f) {
      EXPECT_NEAR(cx, tx, 2.5f) << i;
      EXPECT_NEAR(cy, ty, 2.5f) << i;
    }
  }
}

class PartyTrace : public PartyFixture {};

TEST_F(PartyTrace, FieldsAreWrittenWithNineDigits) {
  player.facing = 5;
  player.swinging = true;
  player.hitLatch = true;
  player.invulnTimer = 0.1f;
  companions[2].vx = 0.1f;
  companions[2].powered = true;
  companions[2].flightDistance = 300.000031f;
  std::string t = portable::Capture([](FILE* out) {
    TracePlayerFields(out);
    std::fputs("|", out);
    TraceCompanionFields(out, 2);
  });

  std::string p = t.substr(0, t.find('|'));
  std::string c = t.substr(t.find('|') + 1);
  for (const char* name : {"facing", "column", "animStep", "swinging", "controllable",
                           "inputLocked", "hitLatch", "invulnTimer", "deathTimer"}) {
    EXPECT_NE(p.find(std::string(",\"") + name + "\":"), std::string::npos) << name;
  }
  EXPECT_NE(p.find(",\"facing\":5,"), std::string::npos);
  EXPECT_NE(p.find(",\"swinging\":1,"), std::string::npos);
  EXPECT_NE(p.find(",\"hitLatch\":1,"), std::string::npos);
  EXPECT_NE(p.find(",\"invulnTimer\":0.100000001,"), std::string::npos);
  for (const char* name : {"vx", "vy", "facing", "column", "row", "flightDir", "flightDistance",
                           "powered", "hurtStep", "hitLatch", "landedTimer", "followTimer"}) {
    EXPECT_NE(c.find(std::string(",\"") + name + "\":"), std::string::npos) << name;
  }
  EXPECT_EQ(c.rfind(",\"vx\":0.100000001,", 0), 0u);
  EXPECT_NE(c.find(",\"powered\":1,"), std::string::npos);
  EXPECT_NE(c.find(",\"flightDistance\":300.000031,"), std::string::npos);
}

}  // namespace
