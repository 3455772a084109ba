// The stage files: the start and boss screens, and the three map layers
// (tile picture, solid, object code) of 216 rows by 288 columns.
#include <cstdio>
#include <initializer_list>

#include "actors/actor_model.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/elsystem.h>
#include "world/world.h"

int32_t stageData[4];
int32_t screenCol, screenRow;
int32_t tileLayer[kStageRows][kStageColumns];
int32_t collisionLayer[kStageRows][kStageColumns];
int32_t objectLayer[kStageRows][kStageColumns];
bool stageLoaded, mapLoaded;

namespace {

// The number a failed read repeats. The three map files share one (so a map
// file that starts unreadable continues the previous file's last number);
// "stagedata.txt" keeps its own.
int32_t mapLastValue = 0;
int32_t stageLastValue = 0;

// Reads white-space-separated decimal numbers the way "%d" does: leading
// white space skipped, an optional sign, then digits. A read that finds no
// number (end of file, or a character that is no digit) fails and consumes
// nothing but the white space and the sign, so a stray character makes
// every later read fail as well. The buffer is fixed: nothing is allocated.
class NumberReader {
 public:
  explicit NumberReader(FILE* file) : file_(file) {}

  // True and the number in `value` when one could be read.
  bool Read(int32_t& value) {
    int c = Peek();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') {
      ++pos_;
      c = Peek();
    }
    bool negative = false;
    if (c == '+' || c == '-') {
      negative = c == '-';
      ++pos_;
      c = Peek();
    }
    if (c < '0' || c > '9') return false;
    // Out-of-range numbers wrap, as the runtime's conversion leaves them.
    uint32_t magnitude = 0;
    while (c >= '0' && c <= '9') {
      magnitude = magnitude * 10u + static_cast<uint32_t>(c - '0');
      ++pos_;
      c = Peek();
    }
    value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    return true;
  }

 private:
  int Peek() {
    if (pos_ == length_) {
      if (atEnd_) return EOF;
      length_ = std::fread(buffer_, 1, sizeof buffer_, file_);
      pos_ = 0;
      if (length_ == 0) {
        atEnd_ = true;
        return EOF;
      }
    }
    return static_cast<unsigned char>(buffer_[pos_]);
  }

  FILE* file_;
  static inline char buffer_[1 << 16];
  size_t pos_ = 0, length_ = 0;
  bool atEnd_ = false;
};

// Fills `count` cells from the file; every failed read repeats `last`. A file
// that cannot be opened (or is no plain file) leaves the cells as they are.
template <typename Visit>
void ReadNumbers(const char* name, int count, int32_t& last, Visit visit) {
  FILE* file = elSystem::OpenFile(name, "rt");
  if (file == nullptr) return;
  NumberReader reader(file);
  for (int i = 0; i < count; ++i) {
    int32_t value;
    if (reader.Read(value)) last = value;
    visit(i, last);
  }
  std::fclose(file);
}

void ReadLayer(const char* name, int32_t (&layer)[kStageRows][kStageColumns]) {
  ReadNumbers(name, kStageRows * kStageColumns, mapLastValue,
              [&](int i, int32_t v) { layer[i / kStageColumns][i % kStageColumns] = v; });
}

}  // namespace

void LoadStage() {
  if (stageLoaded) return;
  stageLoaded = true;
  ReadNumbers("stagedata.txt", 4, stageLastValue, [](int i, int32_t v) { stageData[i] = v; });
  screenCol = stageData[0];
  screenRow = stageData[1];
  // A start screen outside the 3 x 3 stage would put the view (and the
  // party placed relative to it) far outside the map, where nothing can be
  // played, and its pixel position can overflow: it is refused with a box,
  // and the game starts on the first screen as without the file.
  if (screenCol < 0 || screenCol > 2 || screenRow < 0 || screenRow > 2) {
    elDraw::Error("stagedata.txt", "開始画面がステージの外です");
    screenCol = screenRow = 0;
  }
  scrollX = static_cast<float>(screenCol * 768);
  scrollY = static_cast<float>(screenRow * 576);
}

void LoadMap() {
  if (mapLoaded) return;
  mapLoaded = true;
  player.hp = 18;
  ReadLayer("map01_data.txt", tileLayer);
  ReadLayer("map01_zk.txt", collisionLayer);
  // The party is placed while the object layer is read, relative to the
  // scroll position of the starting screen.
  ReadNumbers("map01_teki.txt", kStageRows * kStageColumns, mapLastValue, [](int i, int32_t v) {
    int row = i / kStageColumns, col = i % kStageColumns;
    if (v >= 1 && v <= 4) {
      PlaceObject(v, 0, static_cast<float>(8 * col), static_cast<float>(8 * row));
    }
    objectLayer[row][col] = v;
  });
  PrerenderScreens();
}

void SpawnScreenObjects() {
  // One running slot counter per enemy code: the enemies of the screen take
  // the first slots of their pools, in reading order.
  int32_t counters[kObjectCodes] = {};
  // A screen outside the 3 x 3 stage has no cells to scan.
  if (screenCol < 0 || screenCol > 2 || screenRow < 0 || screenRow > 2) return;
  for (int row = kScreenRows * screenRow; row < kScreenRows * screenRow + kScreenRows; ++row) {
    for (int col = kScreenColumns * screenCol; col < kScreenColumns * screenCol + kScreenColumns;
         ++col) {
      int32_t v = objectLayer[row][col];
      if (v <= 4) continue;
      // Codes above 8 have no placement function and no counter: skipped
      // instead of called through a table entry that does not exist.
      if (v >= kObjectCodes) continue;
      // More than 100 of one code would write past the pool: PlaceObject
      // refuses those slots.
      PlaceObject(v, counters[v], static_cast<float>(8 * col), static_cast<float>(8 * row));
      ++counters[v];
    }
  }
}

void ResetStage() {
  for (int32_t& v : stageData) v = 0;
  screenCol = screenRow = 0;
  for (auto* layer : {&tileLayer, &collisionLayer, &objectLayer}) {
    for (auto& row : *layer)
      for (int32_t& cell : row) cell = 0;
  }
  stageLoaded = mapLoaded = false;
  mapLastValue = stageLastValue = 0;
}
