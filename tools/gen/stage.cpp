// The stage: reads the readable map "stage_map.txt" (one character per block
// of 4 x 4 cells) and writes the four stage files the game loads from its
// folder: "stagedata.txt" and the picture, solid and object layers
// "map01_data.txt", "map01_zk.txt" and "map01_teki.txt".
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "art.h"
#include "canvas.h"
#include "terrain.h"

namespace gen {
namespace {

using namespace terrain;

constexpr int kBlock = 4;                       // cells per map character, each way
constexpr int kBlocksX = 72, kBlocksY = 54;     // 3 x 3 screens of 24 x 18 characters
constexpr int kCols = kBlocksX * kBlock, kRows = kBlocksY * kBlock;  // 288 x 216 cells

// The starting screen (column, row) and the boss screen: the dragon waits on
// the diagonal screen (2, 2). The fourth number is stored by the game and
// never used.
constexpr int kStageData[4] = {0, 0, 2, 0};

enum class Ground { Grass, Flowers, Path, Water, Bridge, Wall, Floor, Carpet, Tree, Pine, Bush, Rock };

struct Key {
  char c;
  Ground ground;
  int code;        // object code placed in the block, 0 for none
  bool fromNeighbours;  // the ground under an actor follows the blocks around it
};

constexpr Key kLegend[] = {
    {'.', Ground::Grass, 0, false},  {',', Ground::Flowers, 0, false}, {':', Ground::Path, 0, false},
    {'~', Ground::Water, 0, false},  {'=', Ground::Bridge, 0, false},  {'#', Ground::Wall, 0, false},
    {'_', Ground::Floor, 0, false},  {'c', Ground::Carpet, 0, false},  {'T', Ground::Tree, 0, false},
    {'P', Ground::Pine, 0, false},   {'b', Ground::Bush, 0, false},    {'o', Ground::Rock, 0, false},
    {'@', Ground::Grass, 1, true},   {'1', Ground::Grass, 2, true},    {'2', Ground::Grass, 3, true},
    {'3', Ground::Grass, 4, true},   {'a', Ground::Grass, 5, true},    {'r', Ground::Grass, 6, true},
    {'s', Ground::Grass, 7, true},   {'g', Ground::Grass, 8, true},
};

const Key* FindKey(char c) {
  for (const Key& k : kLegend)
    if (k.c == c) return &k;
  return nullptr;
}

bool Walkable(Ground g) {
  return g == Ground::Grass || g == Ground::Flowers || g == Ground::Path || g == Ground::Bridge ||
         g == Ground::Floor || g == Ground::Carpet;
}

struct Map {
  std::vector<std::string> rows;  // kBlocksY strings of kBlocksX characters
};

// The map source sits beside this file; the build runs the generator in that
// folder, and the path it was compiled from covers other working folders.
std::ifstream OpenSource() {
  std::ifstream in("stage_map.txt");
  if (!in) in.open(std::filesystem::path(__FILE__).parent_path() / "stage_map.txt");
  return in;
}

// Lines starting with '#' and empty lines are comments; blanks inside a line
// only separate the screens and are dropped.
bool ReadMap(Map& map) {
  std::ifstream in = OpenSource();
  if (!in) {
    std::fprintf(stderr, "stage: cannot open stage_map.txt\n");
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string row;
    for (char c : line)
      if (c != ' ' && c != '\t') row += c;
    if (row.empty()) continue;
    if (static_cast<int>(row.size()) != kBlocksX) {
      std::fprintf(stderr, "stage_map.txt:%d: %zu blocks, expected %d\n", number, row.size(), kBlocksX);
      return false;
    }
    for (char c : row) {
      if (!FindKey(c)) {
        std::fprintf(stderr, "stage_map.txt:%d: unknown character '%c'\n", number, c);
        return false;
      }
    }
    map.rows.push_back(row);
  }
  if (static_cast<int>(map.rows.size()) != kBlocksY) {
    std::fprintf(stderr, "stage_map.txt: %zu rows of blocks, expected %d\n", map.rows.size(), kBlocksY);
    return false;
  }
  return true;
}

class Stage {
 public:
  explicit Stage(const Map& map) : map_(map) {
    for (int by = 0; by < kBlocksY; ++by)
      for (int bx = 0; bx < kBlocksX; ++bx) blockGround_[by][bx] = BlockGround(bx, by);
  }

  void Build() {
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) {
        tiles_[r][c] = TileAt(r, c);
        solid_[r][c] = Solid(tiles_[r][c]) ? 1 : 0;
        objects_[r][c] = 0;
      }
    }
    for (int by = 0; by < kBlocksY; ++by) {
      for (int bx = 0; bx < kBlocksX; ++bx) {
        int code = FindKey(map_.rows[by][bx])->code;
        if (code == 0) continue;
        // The cell whose placement centres the actor's figure on the block:
        // actors are drawn 16 pixels left of and 12 above the map cells they
        // stand for, and the player's cell is placed 24 pixels up and left.
        int r = by * kBlock, c = bx * kBlock;
        if (code == 1) c += 1;
        else if (code >= 5) r += 1, c += 1;
        objects_[r][c] = code;
      }
    }
  }

  bool Write(const std::string& folder) const {
    FILE* f = std::fopen((folder + "/stagedata.txt").c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "%d %d %d %d\n", kStageData[0], kStageData[1], kStageData[2], kStageData[3]);
    if (std::fclose(f) != 0) return false;
    return WriteLayer(folder + "/map01_data.txt", tiles_) && WriteLayer(folder + "/map01_zk.txt", solid_) &&
           WriteLayer(folder + "/map01_teki.txt", objects_);
  }

 private:
  using Layer = std::array<std::array<int, kCols>, kRows>;

  static bool WriteLayer(const std::string& path, const Layer& layer) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    for (int r = 0; r < kRows; ++r) {
      for (int c = 0; c < kCols; ++c) std::fprintf(f, c ? " %d" : "%d", layer[r][c]);
      std::fputc('\n', f);
    }
    return std::fclose(f) == 0;
  }

  // The ground of a block; an actor stands on whatever most of the blocks
  // beside it are.
  Ground BlockGround(int bx, int by) const {
    const Key* key = FindKey(map_.rows[by][bx]);
    if (!key->fromNeighbours) return key->ground;
    static const int kSteps[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    int votes[16] = {};
    Ground best = Ground::Grass;
    int bestVotes = 0;
    for (const auto& s : kSteps) {
      int nx = bx + s[0], ny = by + s[1];
      if (nx < 0 || ny < 0 || nx >= kBlocksX || ny >= kBlocksY) continue;
      const Key* k = FindKey(map_.rows[ny][nx]);
      if (k->fromNeighbours || !Walkable(k->ground)) continue;
      int v = ++votes[static_cast<int>(k->ground)];
      if (v > bestVotes) bestVotes = v, best = k->ground;
    }
    return best;
  }

  bool Inside(int r, int c) const { return r >= 0 && c >= 0 && r < kRows && c < kCols; }
  Ground At(int r, int c) const { return blockGround_[r / kBlock][c / kBlock]; }

  // A mask of the neighbours for which `same` holds; beyond the stage's
  // border everything counts as the same, so no edge is drawn there.
  template <typename Same>
  int MaskAt(int r, int c, Same same) const {
    static const int kSteps[8][3] = {{0, -1, kN}, {1, 0, kE},   {0, 1, kS},   {-1, 0, kW},
                                     {1, -1, kNE}, {1, 1, kSE}, {-1, 1, kSW}, {-1, -1, kNW}};
    int mask = 0;
    for (const auto& s : kSteps) {
      int nr = r + s[1], nc = c + s[0];
      if (!Inside(nr, nc) || same(At(nr, nc), nr, nc)) mask |= s[2];
    }
    return mask;
  }

  bool IsWall(int r, int c) const { return !Inside(r, c) || At(r, c) == Ground::Wall; }
  // 0 top face, else 1 + the row of the brick face (kWallFrontRows on the
  // ground): the face fills the last cells of the wall above open ground.
  int WallPart(int r, int c) const {
    for (int k = 1; k <= kWallFrontRows; ++k) {
      if (!Inside(r + k, c)) return 0;
      if (!IsWall(r + k, c)) return kWallFrontRows + 1 - k;
    }
    return 0;
  }

  uint32_t CellHash(int r, int c, int salt) const { return Hash(r, c, salt); }

  int GrassTile(int r, int c) const {
    if (Inside(r - 1, c) && IsWall(r - 1, c) && WallPart(r - 1, c) == kWallFrontRows) return kWallShadow;
    uint32_t h = CellHash(r, c, 1) % 100;
    if (h < 58) return kGrass;
    return kGrass + 1 + static_cast<int>(h % (kGrassVariants - 1));
  }

  int TileAt(int r, int c) const {
    switch (At(r, c)) {
      case Ground::Grass: return GrassTile(r, c);
      case Ground::Flowers: {
        if (Inside(r - 1, c) && IsWall(r - 1, c) && WallPart(r - 1, c) == kWallFrontRows) return kWallShadow;
        uint32_t h = CellHash(r, c, 2);
        if (h % 100 < 55) return kFlowers + static_cast<int>((h >> 8) % kFlowerVariants);
        return GrassTile(r, c);
      }
      case Ground::Path: {
        int mask = MaskAt(r, c, [](Ground g, int, int) { return g == Ground::Path || g == Ground::Bridge; });
        uint32_t h = CellHash(r, c, 3);
        if (CanonicalMask(mask) == 255 && h % 100 < 10) return kPathPlain + static_cast<int>((h >> 8) % kPathPlainCount);
        return kPath + BlobIndex(mask);
      }
      case Ground::Water: {
        int mask = MaskAt(r, c, [](Ground g, int, int) { return g == Ground::Water || g == Ground::Bridge; });
        uint32_t h = CellHash(r, c, 4);
        if (CanonicalMask(mask) == 255 && h % 100 < 30) return kWaterPlain + static_cast<int>((h >> 8) % kWaterPlainCount);
        return kWater + BlobIndex(mask);
      }
      case Ground::Bridge: return BridgeTile(r, c);
      case Ground::Wall: {
        int part = WallPart(r, c);
        if (part == 0) {
          int mask = MaskAt(r, c, [this](Ground g, int nr, int nc) {
            return g == Ground::Wall && WallPart(nr, nc) == 0;
          });
          if (CanonicalMask(mask) == 255) return kWallTopPlain + (c % 2) + 2 * (r % 2);
          return kWallTop + BlobIndex(mask);
        }
        auto continues = [&](int nc) { return !Inside(r, nc) || (IsWall(r, nc) && WallPart(r, nc) == part); };
        int end = !continues(c - 1) ? 0 : !continues(c + 1) ? 2 : 1;
        return kWallFront + 3 * (part - 1) + end;
      }
      case Ground::Floor: {
        int slab = (r / 2) + (c / 2);
        uint32_t h = CellHash(r / 2, c / 2, 5) % 100;
        int shade = slab % 2;
        if (shade == 0 && h < 6) shade = 2;
        return kFloor + (c % 2) + 2 * (r % 2) + 4 * shade;
      }
      case Ground::Carpet: {
        int mask = MaskAt(r, c, [](Ground g, int, int) { return g == Ground::Carpet; });
        return kCarpet + BlobIndex(mask);
      }
      case Ground::Tree: return PictureTile(kTree, c % kBlock, r % kBlock);
      case Ground::Pine: return PictureTile(kPine, c % kBlock, r % kBlock);
      case Ground::Bush: return PictureTile(kBush, c % kBlock, r % kBlock);
      case Ground::Rock: return PictureTile(kRock, c % kBlock, r % kBlock);
    }
    return kGrass;
  }

  // A bridge spans water: with water to its left or right it runs up-down,
  // otherwise left-right; its rails follow the outline of the deck.
  int BridgeTile(int r, int c) const {
    int by = r / kBlock, bx = c / kBlock;
    auto waterBlock = [&](int x) { return x >= 0 && x < kBlocksX && blockGround_[by][x] == Ground::Water; };
    bool upDown = waterBlock(bx - 1) || waterBlock(bx + 1);
    auto deck = [&](int nr, int nc) { return Inside(nr, nc) && At(nr, nc) == Ground::Bridge; };
    if (upDown) {
      if (!deck(r, c - 1)) return kBridgeUpDown;
      if (!deck(r, c + 1)) return kBridgeUpDown + 3;
      return kBridgeUpDown + 1 + c % 2;
    }
    if (!deck(r - 1, c)) return kBridgeAcross;
    if (!deck(r + 1, c)) return kBridgeAcross + 3;
    return kBridgeAcross + 1 + r % 2;
  }

  const Map& map_;
  Ground blockGround_[kBlocksY][kBlocksX];
  Layer tiles_{}, solid_{}, objects_{};
};

}  // namespace

bool MakeStage(const std::string& gameFolder) {
  Map map;
  if (!ReadMap(map)) return false;
  // Three layers of 62208 cells: too large for the stack.
  auto stage = std::make_unique<Stage>(map);
  stage->Build();
  return stage->Write(gameFolder);
}

}  // namespace gen
