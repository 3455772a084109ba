// Checks of the generated stage files, read from the game folder (the build
// folder, where the test program lives): their counts and codes, where the
// party and the enemies start, and that the journey across the nine screens
// can be made.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <queue>
#include <string>
#include <utility>
#include <vector>
#include "portable.h"

namespace {

constexpr int kCols = 288, kRows = 216;
constexpr int kScreenCols = 96, kScreenRows = 72;
constexpr int kCells = kCols * kRows;

std::string GameFile(const std::string& name) {
  return (std::filesystem::path(portable::ProgramFolder()) / name).string();
}

// Every white-space separated word of a file; `allNumbers` tells whether each
// was a plain decimal integer.
std::vector<long> ReadNumbers(const std::string& name, bool& allNumbers) {
  std::ifstream in(GameFile(name));
  std::vector<long> numbers;
  allNumbers = static_cast<bool>(in);
  std::string word;
  while (in >> word) {
    size_t start = (word[0] == '-' || word[0] == '+') ? 1 : 0;
    bool digits = word.size() > start;
    for (size_t i = start; i < word.size(); ++i) digits = digits && std::isdigit(static_cast<unsigned char>(word[i]));
    if (!digits) {
      allNumbers = false;
      continue;
    }
    numbers.push_back(std::stol(word));
  }
  return numbers;
}

struct Cell {
  int row, col;
};

class StageFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    bool ok = true;
    tiles = ReadNumbers("map01_data.txt", ok);
    tilesOk = ok;
    solid = ReadNumbers("map01_zk.txt", ok);
    solidOk = ok;
    objects = ReadNumbers("map01_teki.txt", ok);
    objectsOk = ok;
  }

  static bool Loaded() {
    return tiles.size() == kCells && solid.size() == kCells && objects.size() == kCells;
  }

  static long Solid(int row, int col) {
    if (row < 0 || col < 0 || row >= kRows || col >= kCols) return 1;
    return solid[row * kCols + col];
  }

  // The actors' solid-tile probe: the world position less the play area's
  // offset (16, 12), plus the probe offset, in cells.
  static bool Probe(int worldX, int worldY, int dx, int dy) {
    return Solid((worldY - 12 + dy) / 8, (worldX - 16 + dx) / 8) != 0;
  }

  static std::vector<Cell> CellsWith(long code) {
    std::vector<Cell> cells;
    for (int i = 0; i < kCells; ++i)
      if (objects[i] == code) cells.push_back({i / kCols, i % kCols});
    return cells;
  }

  static int ScreenOf(const Cell& c) { return (c.row / kScreenRows) * 3 + c.col / kScreenCols; }

  static inline std::vector<long> tiles, solid, objects;
  static inline bool tilesOk = false, solidOk = false, objectsOk = false;
};

// The journey, screen by screen (column, row).
const std::array<std::pair<int, int>, 9> kRoute = {
    {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {0, 1}, {0, 2}, {1, 2}, {2, 2}}};

TEST_F(StageFiles, StageDataStartsTopLeftWithTheDragonBottomRight) {
  bool ok = false;
  std::vector<long> data = ReadNumbers("stagedata.txt", ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(data.size(), 4u);
  EXPECT_EQ(data[0], 0);
  EXPECT_EQ(data[1], 0);
  EXPECT_EQ(data[2], 2);
}

TEST_F(StageFiles, EachLayerHoldsOneNumberPerCellAndNothingElse) {
  EXPECT_TRUE(tilesOk && solidOk && objectsOk);
  EXPECT_EQ(tiles.size(), static_cast<size_t>(kCells));
  EXPECT_EQ(solid.size(), static_cast<size_t>(kCells));
  EXPECT_EQ(objects.size(), static_cast<size_t>(kCells));
}

TEST_F(StageFiles, ValuesStayInTheirRanges) {
  ASSERT_TRUE(Loaded());
  // The tile sheet's size, from its BMP header, bounds the tile numbers.
  std::ifstream sheet(GameFile("BMP/m_cp.bmp"), std::ios::binary);
  ASSERT_TRUE(sheet);
  unsigned char header[54] = {};
  sheet.read(reinterpret_cast<char*>(header), sizeof header);
  int width = header[18] | header[19] << 8, height = header[22] | header[23] << 8;
  ASSERT_EQ(width, 640);
  long tileCount = (width / 8) * (height / 8);
  for (int i = 0; i < kCells; ++i) {
    ASSERT_GE(tiles[i], 0) << "cell " << i;
    ASSERT_LT(tiles[i], tileCount) << "cell " << i;
    ASSERT_TRUE(solid[i] == 0 || solid[i] == 1) << "cell " << i;
    ASSERT_GE(objects[i], 0) << "cell " << i;
    ASSERT_LE(objects[i], 8) << "cell " << i;
  }
}

TEST_F(StageFiles, SolidCellsShowSolidTilesAndFreeCellsFreeOnes) {
  ASSERT_TRUE(Loaded());
  // One tile is always solid or always free: what blocks looks blocking.
  std::vector<int> seen(1000, -1);
  for (int i = 0; i < kCells; ++i) {
    int& s = seen[tiles[i]];
    if (s < 0) s = static_cast<int>(solid[i]);
    ASSERT_EQ(s, solid[i]) << "tile " << tiles[i] << " at cell " << i;
  }
}

TEST_F(StageFiles, StageBorderIsWalledAllRound) {
  ASSERT_TRUE(Loaded());
  for (int c = 0; c < kCols; ++c) {
    EXPECT_EQ(Solid(0, c), 1) << "top, column " << c;
    EXPECT_EQ(Solid(kRows - 1, c), 1) << "bottom, column " << c;
  }
  for (int r = 0; r < kRows; ++r) {
    EXPECT_EQ(Solid(r, 0), 1) << "left, row " << r;
    EXPECT_EQ(Solid(r, kCols - 1), 1) << "right, row " << r;
  }
}

TEST_F(StageFiles, PartyStartsTogetherOnTheStartScreenOnFreeGround) {
  ASSERT_TRUE(Loaded());
  std::vector<Cell> player = CellsWith(1);
  ASSERT_EQ(player.size(), 1u);
  EXPECT_EQ(ScreenOf(player[0]), 0);
  int px = player[0].col * 8, py = player[0].row * 8;
  // The player is placed 24 pixels up and left of its cell; its feet probes.
  for (int dx = 28; dx <= 68; dx += 8) {
    EXPECT_FALSE(Probe(px - 24, py - 24, dx, 48));
    EXPECT_FALSE(Probe(px - 24, py - 24, dx, 72));
  }
  for (int dy = 52; dy <= 68; dy += 8) {
    EXPECT_FALSE(Probe(px - 24, py - 24, 24, dy));
    EXPECT_FALSE(Probe(px - 24, py - 24, 72, dy));
  }
  for (long code = 2; code <= 4; ++code) {
    std::vector<Cell> companion = CellsWith(code);
    ASSERT_EQ(companion.size(), 1u) << "code " << code;
    EXPECT_EQ(ScreenOf(companion[0]), 0) << "code " << code;
    int cx = companion[0].col * 8, cy = companion[0].row * 8;
    // Near enough that one call gathers them (centres within 174 pixels).
    float dx = (cx + 28) - (px + 24), dy = (cy + 28) - (py + 24);
    EXPECT_LT(dx * dx + dy * dy, 170.0f * 170.0f) << "code " << code;
    for (int d = 12; d <= 52; d += 8) {
      EXPECT_FALSE(Probe(cx, cy, d, 32)) << "code " << code;
      EXPECT_FALSE(Probe(cx, cy, d, 56)) << "code " << code;
    }
    for (int d = 36; d <= 52; d += 8) {
      EXPECT_FALSE(Probe(cx, cy, 8, d)) << "code " << code;
      EXPECT_FALSE(Probe(cx, cy, 56, d)) << "code " << code;
    }
  }
}

TEST_F(StageFiles, EnemiesOfEveryKindRiseInNumberAlongTheJourney) {
  ASSERT_TRUE(Loaded());
  std::array<std::array<int, 9>, 9> count{};  // [code][screen]
  for (long code = 5; code <= 8; ++code)
    for (const Cell& c : CellsWith(code)) ++count[code][ScreenOf(c)];
  int previous = 0;
  for (size_t step = 0; step < kRoute.size(); ++step) {
    int screen = kRoute[step].second * 3 + kRoute[step].first;
    int total = 0;
    for (int code = 5; code <= 8; ++code) {
      EXPECT_LE(count[code][screen], 100);
      total += count[code][screen];
    }
    if (step == 0 || step + 1 == kRoute.size()) {
      EXPECT_EQ(total, 0) << "no enemies on the start or the boss screen";
    } else {
      EXPECT_GE(total, 1) << "screen " << screen;
      EXPECT_GE(total, previous) << "screen " << screen;
    }
    previous = total;
  }
  for (int code = 5; code <= 8; ++code) {
    int all = 0;
    for (int s = 0; s < 9; ++s) all += count[code][s];
    EXPECT_GE(all, 2) << "code " << code;
  }
}

TEST_F(StageFiles, EnemiesStartClearOfSolidCells) {
  ASSERT_TRUE(Loaded());
  // The soldiers' probes around a 48 x 48 cell; a soldier placed inside a
  // wall could never walk out, and a standing one would sit in it.
  for (long code = 5; code <= 8; ++code) {
    for (const Cell& c : CellsWith(code)) {
      int x = c.col * 8, y = c.row * 8;
      for (int dx = 4; dx <= 44; dx += 8) {
        EXPECT_FALSE(Probe(x, y, dx, 24)) << "code " << code << " at " << c.row << "," << c.col;
        EXPECT_FALSE(Probe(x, y, dx, 48)) << "code " << code << " at " << c.row << "," << c.col;
      }
      for (int dy = 28; dy <= 44; dy += 8) {
        EXPECT_FALSE(Probe(x, y, 0, dy)) << "code " << code << " at " << c.row << "," << c.col;
        EXPECT_FALSE(Probe(x, y, 48, dy)) << "code " << code << " at " << c.row << "," << c.col;
      }
    }
  }
}

// Between two screens of the journey, a stretch of at least 16 cells
// (128 pixels) along the shared edge must be free for 12 cells on each side.
TEST_F(StageFiles, EveryCrossingOfTheJourneyIsOpen) {
  ASSERT_TRUE(Loaded());
  constexpr int kDepth = 12, kWidth = 16;
  for (size_t step = 0; step + 1 < kRoute.size(); ++step) {
    auto [ax, ay] = kRoute[step];
    auto [bx, by] = kRoute[step + 1];
    bool sideways = ay == by;
    int longest = 0, run = 0;
    int length = sideways ? kScreenRows : kScreenCols;
    for (int k = 0; k < length; ++k) {
      bool free = true;
      for (int d = -kDepth; d < kDepth; ++d) {
        int row = sideways ? ay * kScreenRows + k : std::max(ay, by) * kScreenRows + d;
        int col = sideways ? std::max(ax, bx) * kScreenCols + d : ax * kScreenCols + k;
        free = free && Solid(row, col) == 0;
      }
      run = free ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    EXPECT_GE(longest, kWidth) << "from screen (" << ax << "," << ay << ") to (" << bx << "," << by << ")";
  }
}

// A companion-sized footprint (7 x 4 cells, where its probes reach) walks
// from the start to every screen without crossing a solid cell.
TEST_F(StageFiles, EveryScreenCanBeReachedOnFoot) {
  ASSERT_TRUE(Loaded());
  auto fits = [](int r, int c) {
    for (int y = r; y < r + 4; ++y)
      for (int x = c; x < c + 7; ++x)
        if (Solid(y, x)) return false;
    return true;
  };
  std::vector<Cell> start = CellsWith(2);
  ASSERT_EQ(start.size(), 1u);
  Cell from{(start[0].row * 8 - 12 + 32) / 8, (start[0].col * 8 - 16 + 8) / 8};
  ASSERT_TRUE(fits(from.row, from.col));
  std::vector<char> seen(kCells, 0);
  std::queue<Cell> queue;
  queue.push(from);
  seen[from.row * kCols + from.col] = 1;
  std::array<bool, 9> reached{};
  while (!queue.empty()) {
    Cell c = queue.front();
    queue.pop();
    reached[ScreenOf(c)] = true;
    const int steps[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    for (const auto& s : steps) {
      Cell n{c.row + s[0], c.col + s[1]};
      if (n.row < 0 || n.col < 0 || n.row >= kRows || n.col >= kCols) continue;
      if (seen[n.row * kCols + n.col] || !fits(n.row, n.col)) continue;
      seen[n.row * kCols + n.col] = 1;
      queue.push(n);
    }
  }
  for (int s = 0; s < 9; ++s) EXPECT_TRUE(reached[s]) << "screen " << s;
}

TEST_F(StageFiles, DragonsHallIsOpenBelowTheDragon) {
  ASSERT_TRUE(Loaded());
  // The party is kept below y = 200 of the view; the floor from there down
  // to the bottom wall must be almost all free for the fight.
  int free = 0, total = 0;
  for (int r = 2 * kScreenRows + 200 / 8; r < 3 * kScreenRows - 6; ++r) {
    for (int c = 2 * kScreenCols + 6; c < 3 * kScreenCols - 6; ++c) {
      ++total;
      free += Solid(r, c) == 0;
    }
  }
  EXPECT_GT(free, total * 9 / 10);
}

}  // namespace
