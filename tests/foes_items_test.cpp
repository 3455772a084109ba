// Item drops: the odds of the two-digit roll, the pool of 100 and pickups.
#include <cstdlib>

#include "foes_fixture.h"

namespace {

using foestest::FoesFixture;

class FoesItems : public FoesFixture {};

TEST_F(FoesItems, DropOddsOverManySeededRolls) {
  int counts[3] = {};  // small, large, none
  for (unsigned seed : {1u, 77u, 4242u}) {
    std::srand(seed);
    for (int i = 0; i < 20000; ++i) {
      ResetItems();
      if (RollItemDrop(10.0f, 20.0f)) {
        ASSERT_EQ(items[0].live, 1);
        ++counts[items[0].kind];
      } else {
        ASSERT_EQ(items[0].live, 0);
        ++counts[2];
      }
    }
  }
  double total = 60000.0;
  EXPECT_NEAR(counts[0] / total, 0.15, 0.01);
  EXPECT_NEAR(counts[1] / total, 0.05, 0.005);
  EXPECT_NEAR(counts[2] / total, 0.80, 0.01);
}

TEST_F(FoesItems, TheFirstDrawIsTheTensDigit) {
  for (unsigned seed = 1; seed < 200; ++seed) {
    std::srand(seed);
    int d1 = std::rand() % 10;
    int d2 = std::rand() % 10;
    int next = std::rand();
    std::srand(seed);
    ResetItems();
    bool dropped = RollItemDrop(1.0f, 2.0f);
    ASSERT_EQ(dropped, dropTable[d1 * 10 + d2] != -1) << seed;
    if (dropped) {
      ASSERT_EQ(items[0].kind, dropTable[d1 * 10 + d2]);
    }
    ASSERT_EQ(std::rand(), next) << "exactly two draws";
  }
  EXPECT_EQ(dropTable[14], 0);
  EXPECT_EQ(dropTable[15], -1);
  EXPECT_EQ(dropTable[20], 1);
  EXPECT_EQ(dropTable[24], 1);
  EXPECT_EQ(dropTable[25], -1);
}

// A seed whose next roll drops something.
unsigned DroppingSeed() {
  for (unsigned seed = 1;; ++seed) {
    std::srand(seed);
    int d1 = std::rand() % 10;
    int d2 = std::rand() % 10;
    if (dropTable[d1 * 10 + d2] != -1) return seed;
  }
}

TEST_F(FoesItems, TheHundredthItemIsTheLast) {
  for (int i = 0; i < 99; ++i) items[i] = ItemDrop{1, 5.0, 5.0, 0};
  std::srand(DroppingSeed());
  EXPECT_TRUE(RollItemDrop(300.0f, 400.0f));
  EXPECT_EQ(items[99].live, 1);
  EXPECT_EQ(items[99].x, 300.0);
  EXPECT_EQ(items[99].y, 400.0);
  ItemDrop last = items[99];
  std::srand(DroppingSeed());
  EXPECT_TRUE(RollItemDrop(600.0f, 100.0f)) << "a lost drop still reports a drop";
  EXPECT_EQ(items[99].x, last.x);
  for (const ItemDrop& item : items) EXPECT_EQ(item.live, 1);
}

TEST_F(FoesItems, TwoStackedItemsArePickedUpInOneFrame) {
  Begin();
  player.hp = 10;
  items[3] = ItemDrop{1, 500.0, 400.0, 0};
  items[7] = ItemDrop{1, 500.0, 400.0, 1};
  items[8] = ItemDrop{1, 500.0 + 768.0, 400.0, 1};  // the next screen
  // Her centre 71 pixels left of the items' centre.
  player.x = 500.0f + 24.0f - 48.0f - 71.0f;
  player.y = 400.0f + 24.0f - 48.0f;
  UpdateItems();
  EXPECT_EQ(items[3].live, 0);
  EXPECT_EQ(items[7].live, 0);
  EXPECT_EQ(items[8].live, 1);
  EXPECT_EQ(player.hp, 18) << "3 + 5, with no upper limit";
}

TEST_F(FoesItems, PickupNeedsToBeCloserThanSeventyTwo) {
  Begin();
  player.hp = 40;
  items[0] = ItemDrop{1, 500.0, 400.0, 1};
  player.x = 500.0f + 24.0f - 48.0f - 72.0f;
  player.y = 400.0f + 24.0f - 48.0f;
  UpdateItems();
  EXPECT_EQ(items[0].live, 1);
  player.hp = 0;  // her condition does not matter
  player.x += 1.0f;
  UpdateItems();
  EXPECT_EQ(items[0].live, 0);
  EXPECT_EQ(player.hp, 5);
}

}  // namespace
