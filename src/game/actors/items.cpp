// Healing items left by dead enemies. They lie where the enemy died until
// the princess walks over them; they never expire.
#include <cmath>
#include <cstdlib>

#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include "world/pictures.h"
#include "world/world.h"
#include "world/sound_cues.h"

ItemDrop items[kItemPoolSize];

// Two decimal digits pick the entry: 00-14 a small heal, 20-24 a large one,
// everything else nothing (15 %, 5 % and 80 %).
const int32_t dropTable[100] = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  -1, -1, -1, -1, -1,
    1,  1,  1,  1,  1,  -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
};

void ResetItems() {
  for (ItemDrop& item : items) item = ItemDrop{};
}

bool RollItemDrop(float worldX, float worldY) {
  int d1 = std::rand() % 10;
  int d2 = std::rand() % 10;
  int32_t kind = dropTable[d1 * 10 + d2];
  if (kind == -1) return false;
  for (ItemDrop& item : items) {
    if (item.live == 0) {
      item.live = 1;
      item.x = worldX;
      item.y = worldY;
      item.kind = kind;
      return true;
    }
  }
  // A full pool loses the drop, and the roll still counts as a drop.
  return true;
}

void UpdateItems() {
  for (ItemDrop& item : items) {
    if (!item.live) continue;
    int k = item.kind;
    elDraw::Draw(static_cast<int>(item.x - scrollX), static_cast<int>(item.y - scrollY), pictures.item,
                 k * 48, 0, k * 48 + 48, 48);
    // The positions are double; the distance is taken in single precision.
    float dx = static_cast<float>((item.x - scrollX + 24.0) - (player.x + 48.0f));
    float dy = static_cast<float>((item.y - scrollY + 24.0) - (player.y + 48.0f));
    if (std::sqrt(dx * dx + dy * dy) < 72.0f) {
      item.live = 0;
      cues::Play(cues::kItem);
      if (item.kind == 0) {
        HealPlayer(3);
      } else if (item.kind == 1) {
        HealPlayer(5);
      }
    }
  }
}
