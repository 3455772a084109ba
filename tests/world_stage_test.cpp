// The stage loader: number reading, the shared last value, the party placed
// while reading, the per-screen enemy placement and its refusals.
#include <string>
#include <vector>

#include "game_fixture.h"
#include "platform/headless/headless.h"

namespace {

struct Placement {
  int code, slot;
  float x, y;
};
std::vector<Placement> placed;

template <int Code>
void Record(int slot, float x, float y) {
  placed.push_back({Code, slot, x, y});
}

class StageTest : public gametest::GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    for (int i = 0; i < kObjectCodes; ++i) savedTable_[i] = placementTable[i];
    placed.clear();
  }
  void TearDown() override {
    for (int i = 0; i < kObjectCodes; ++i) placementTable[i] = savedTable_[i];
    GameFixture::TearDown();
  }
  // Every code records its placements instead of placing (the party's
  // entries at once, the enemies' after the first frame installed them).
  void RecordAll() {
    placementTable[1] = Record<1>;
    placementTable[2] = Record<2>;
    placementTable[3] = Record<3>;
    placementTable[4] = Record<4>;
    placementTable[5] = Record<5>;
    placementTable[6] = Record<6>;
    placementTable[7] = Record<7>;
    placementTable[8] = Record<8>;
    placementInstalled = true;
  }
  static std::string Repeat(const std::string& item, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += item;
    return s;
  }

 private:
  PlaceFunction savedTable_[kObjectCodes] = {};
};

TEST_F(StageTest, LineLayoutDoesNotMatterAndStartScreenSetsTheScroll) {
  gametest::Stage stage;
  stage.data[0] = 2;
  stage.data[1] = 1;
  stage.data[2] = 1;
  stage.data[3] = 77;
  for (int r = 0; r < kStageRows; ++r)
    for (int c = 0; c < kStageColumns; ++c) stage.tiles.Set(r, c, (r * 7 + c * 13) % 400 - 3);
  StartGame(stage);
  // The same numbers one a line, with tabs and carriage returns in between.
  std::string oneALine;
  for (int32_t v : stage.tiles.cells) oneALine += "\t" + std::to_string(v) + "\r\n";
  gametest::WriteFile("map01_zk.txt", oneALine);
  Frames(1);

  EXPECT_EQ(stageData[0], 2);
  EXPECT_EQ(stageData[1], 1);
  EXPECT_EQ(stageData[2], 1);
  EXPECT_EQ(stageData[3], 77);
  EXPECT_EQ(screenCol, 2);
  EXPECT_EQ(screenRow, 1);
  EXPECT_EQ(scrollX, 1536.0f);
  EXPECT_EQ(scrollY, 576.0f);
  EXPECT_EQ(player.hp, 18);
  for (int r = 0; r < kStageRows; ++r) {
    for (int c = 0; c < kStageColumns; ++c) {
      ASSERT_EQ(tileLayer[r][c], stage.tiles.At(r, c)) << r << "," << c;
      ASSERT_EQ(collisionLayer[r][c], stage.tiles.At(r, c)) << r << "," << c;
    }
  }
  // Loaded once: a changed file is not read again.
  gametest::WriteFile("map01_data.txt", "5");
  Frames(2);
  EXPECT_EQ(tileLayer[0][1], stage.tiles.At(0, 1));
}

TEST_F(StageTest, ShortFilesRepeatTheirLastNumber) {
  gametest::Stage stage;
  StartGame(stage);
  std::string hundred;
  for (int i = 1; i <= 100; ++i) hundred += std::to_string(i) + " ";
  gametest::WriteFile("map01_data.txt", hundred);
  // A character that is no number stops all further reading.
  gametest::WriteFile("map01_zk.txt", "5 -6 +7 x 8 9");
  gametest::WriteFile("map01_teki.txt", "0 0");
  Frames(1);
  EXPECT_EQ(tileLayer[0][0], 1);
  EXPECT_EQ(tileLayer[0][99], 100);
  EXPECT_EQ(tileLayer[0][100], 100);
  EXPECT_EQ(tileLayer[215][287], 100);
  EXPECT_EQ(collisionLayer[0][0], 5);
  EXPECT_EQ(collisionLayer[0][1], -6);
  EXPECT_EQ(collisionLayer[0][2], 7);
  EXPECT_EQ(collisionLayer[0][3], 7);
  EXPECT_EQ(collisionLayer[0][4], 7);
  EXPECT_EQ(collisionLayer[215][287], 7);
}

TEST_F(StageTest, LastValueIsSharedByTheMapFilesButNotWithStageData) {
  gametest::Stage stage;
  StartGame(stage);
  gametest::WriteFile("stagedata.txt", "1 junk");
  // Nothing read yet by the map files: an unreadable first number is 0, not
  // the 1 of "stagedata.txt".
  gametest::WriteFile("map01_data.txt", "? 3 4");
  gametest::WriteFile("map01_zk.txt", "");
  gametest::WriteFile("map01_teki.txt", "-");
  RecordAll();
  Frames(1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(stageData[i], 1) << i;
  EXPECT_EQ(tileLayer[0][0], 0);
  EXPECT_EQ(tileLayer[100][100], 0);
  EXPECT_EQ(collisionLayer[0][0], 0);
  EXPECT_EQ(objectLayer[0][0], 0);

  ResetStage();
  gametest::WriteFile("map01_data.txt", "9 8 3");
  gametest::WriteFile("map01_zk.txt", "abc");
  // The empty object file continues with the collision file's 3: companion
  // 1 is placed at every cell, in file order.
  gametest::WriteFile("map01_teki.txt", "");
  placed.clear();
  LoadStage();
  LoadMap();
  EXPECT_EQ(collisionLayer[0][0], 3);
  EXPECT_EQ(collisionLayer[215][287], 3);
  EXPECT_EQ(objectLayer[215][287], 3);
  ASSERT_EQ(placed.size(), static_cast<size_t>(kStageRows * kStageColumns));
  EXPECT_EQ(placed.back().code, 3);
  EXPECT_EQ(placed.back().x, 8.0f * 287);
  EXPECT_EQ(placed.back().y, 8.0f * 215);
}

TEST_F(StageTest, MissingFilesLeaveZerosAndStartOnTheFirstScreen) {
  LoadGame();  // no stage files at all
  Frames(2);
  EXPECT_EQ(screenCol, 0);
  EXPECT_EQ(screenRow, 0);
  EXPECT_EQ(scrollX, 0.0f);
  EXPECT_EQ(tileLayer[5][5], 0);
  EXPECT_EQ(player.hp, 18);
}

// Start screens outside the stage are refused with one box naming the file;
// the game starts on the first screen, as without the file.
TEST_F(StageTest, StartScreenOutsideTheStageIsRefused) {
  const struct {
    const char* text;
    int col, row;  // where the game starts
    bool refused;
  } cases[] = {
      {"2 2 0 0", 2, 2, false},
      {"99999999999 0 2 0", 0, 0, true},
      {"3 0 2 0", 0, 0, true},
      {"0 3 2 0", 0, 0, true},
      {"-1 1 2 0", 0, 0, true},
      {"1 -2147483648 2 0", 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ResetStage();
    gametest::WriteFile("stagedata.txt", c.text);
    uint32_t boxes = plat::headless::BoxCount();
    LoadStage();
    EXPECT_EQ(plat::headless::BoxCount(), boxes + (c.refused ? 1u : 0u));
    if (c.refused) {
      EXPECT_EQ(plat::headless::LastBoxText().rfind("stagedata.txt : ", 0), 0u)
          << plat::headless::LastBoxText();
    }
    EXPECT_EQ(screenCol, c.col);
    EXPECT_EQ(screenRow, c.row);
    EXPECT_EQ(scrollX, 768.0f * c.col);
    EXPECT_EQ(scrollY, 576.0f * c.row);
  }
}

TEST_F(StageTest, PartyIsPlacedWhileReadingInFileOrder) {
  gametest::Stage stage;
  stage.data[0] = 1;
  stage.objects.Set(10, 100, 1);
  stage.objects.Set(3, 200, 2);
  stage.objects.Set(80, 5, 1);  // the last player cell wins
  stage.objects.Set(100, 150, 4);
  stage.objects.Set(100, 140, 5);  // enemies wait for a screen entry
  StartGame(stage);
  RecordAll();
  Frames(1);
  ASSERT_EQ(placed.size(), 4u);
  EXPECT_EQ(placed[0].code, 2);
  EXPECT_EQ(placed[0].x, 1600.0f);
  EXPECT_EQ(placed[0].y, 24.0f);
  EXPECT_EQ(placed[1].code, 1);
  EXPECT_EQ(placed[1].x, 800.0f);
  EXPECT_EQ(placed[1].y, 80.0f);
  EXPECT_EQ(placed[2].code, 1);
  EXPECT_EQ(placed[2].x, 40.0f);
  EXPECT_EQ(placed[3].code, 4);
  EXPECT_EQ(objectLayer[100][140], 5);
  // The scroll of the start screen is in place when the party is placed.
  EXPECT_EQ(scrollX, 768.0f);
}

TEST_F(StageTest, ScreenEntryPlacesEnemiesFromSlotZeroEveryTime) {
  gametest::Stage stage;
  // Five archers on screen (1, 1), read row by row; a soldier between them
  // has its own counter; code 2 is ignored by the screen placement.
  stage.objects.Set(72 + 50, 96 + 10, 6);
  stage.objects.Set(72 + 5, 96 + 90, 6);
  stage.objects.Set(72 + 5, 96 + 3, 6);
  stage.objects.Set(72 + 71, 96 + 95, 6);
  stage.objects.Set(72 + 20, 96 + 0, 6);
  stage.objects.Set(72 + 20, 96 + 1, 5);
  stage.objects.Set(72 + 30, 96 + 30, 2);
  stage.objects.Set(72 + 0, 96 + 96, 6);  // screen (2, 1): not this one
  StartGame(stage);
  Frames(1);
  RecordAll();
  placed.clear();
  screenCol = 1;
  screenRow = 1;
  for (int entry = 0; entry < 2; ++entry) {
    placed.clear();
    SpawnScreenObjects();
    ASSERT_EQ(placed.size(), 6u);
    const float expected[5][2] = {{99, 77}, {186, 77}, {96, 92}, {106, 122}, {191, 143}};
    int archer = 0;
    for (const Placement& p : placed) {
      if (p.code == 5) {
        EXPECT_EQ(p.slot, 0);
        EXPECT_EQ(p.x, 8.0f * 97);
        continue;
      }
      ASSERT_EQ(p.code, 6);
      EXPECT_EQ(p.slot, archer);
      EXPECT_EQ(p.x, 8.0f * expected[archer][0]);
      EXPECT_EQ(p.y, 8.0f * expected[archer][1]);
      ++archer;
    }
    EXPECT_EQ(archer, 5);
  }
}

TEST_F(StageTest, CodesWithoutPlacementAndSlotsBeyondThePoolAreRefused) {
  gametest::Stage stage;
  // 101 soldiers on screen (0, 0): slots 0..99 fit the pool; the 101st is
  // refused. Codes 9 and 1000 have no placement function.
  for (int i = 0; i < 101; ++i) stage.objects.Set(i / 90, i % 90, 5);
  stage.objects.Set(10, 10, 9);
  stage.objects.Set(10, 11, 1000);
  stage.objects.Set(10, 12, -4);
  StartGame(stage);
  Frames(1);
  RecordAll();
  placed.clear();
  SpawnScreenObjects();
  ASSERT_EQ(placed.size(), 100u);
  EXPECT_EQ(placed.back().slot, 99);

  EXPECT_FALSE(PlaceObject(9, 0, 0, 0));
  EXPECT_FALSE(PlaceObject(0, 0, 0, 0));
  EXPECT_FALSE(PlaceObject(6, 100, 0, 0));
  EXPECT_FALSE(PlaceObject(6, -1, 0, 0));
  EXPECT_TRUE(PlaceObject(6, 99, 0, 0));
  placementTable[7] = nullptr;
  EXPECT_FALSE(PlaceObject(7, 0, 0, 0));
}

TEST_F(StageTest, StartScreenOutsideTheStagePlacesNothing) {
  gametest::Stage stage;
  stage.data[0] = 5;
  stage.data[1] = -1;
  StartGame(stage);
  Frames(1);
  RecordAll();
  placed.clear();
  SpawnScreenObjects();
  EXPECT_TRUE(placed.empty());
}

}  // namespace
