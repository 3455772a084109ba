// What every actor shares: the solid-tile probe, headings and facings, the
// on-screen test and the placement tables.
#include "actors/actor_model.h"
#include "actors/float_math.h"
#include <zolbeck/elsystem.h>

#include <cmath>

#include "actors/foes.h"
#include "actors/party.h"
#include "world/world.h"

int SolidAt(float worldX, float worldY, int dx, int dy) {
  // The casts truncate toward zero before the offset is added, and the
  // division truncates toward zero again: -3.7 + 4 gives column 0.
  int row = (static_cast<int>(worldY - 12.0f) + dy) / 8;
  int col = (static_cast<int>(worldX - 16.0f) + dx) / 8;
  // A probe beyond the stage (an actor walking off an outer edge, a knocked
  // companion) would read outside the grid; it reads as free ground, which
  // is what the view beyond the edge shows and lets nothing get stuck there.
  if (row < 0 || row >= kStageRows || col < 0 || col >= kStageColumns) return 0;
  return collisionLayer[row][col];
}

float AngleTo(float dx, float dy) {
  if (dx == 0.0f) dx = 1e-8f;
  float a = fmath::Atan(dy / dx);
  if (dx < 0.0f) a += 3.141592f;
  return a;
}

Facing FacingOf(float angle) {
  // Later tests override earlier ones, so the shared boundaries go to the
  // later facing: 0.5 is down, 2 is left, 4 and -1 are up.
  Facing f = Facing::Right;
  if (angle >= -1.0f && angle <= 0.5f) f = Facing::Right;
  if (angle >= 0.5f && angle <= 2.0f) f = Facing::Down;
  if (angle >= 2.0f && angle <= 4.0f) f = Facing::Left;
  if (angle >= 4.0f || angle <= -1.0f) f = Facing::Up;
  return f;
}

int PartyRow(Facing facing) {
  switch (facing) {
    case Facing::Down: return 0;
    case Facing::Right: return 1;
    case Facing::Up: return 2;
    case Facing::Left: return 3;
  }
  return 0;
}

int EnemyRow(Facing facing) {
  switch (facing) {
    case Facing::Down: return 0;
    case Facing::Left: return 1;
    case Facing::Right: return 2;
    case Facing::Up: return 3;
  }
  return 0;
}

float DegToRad(float degrees) { return degrees * 3.141592f / 180.0f; }

bool EnemyOnScreen(float x, float y) {
  return x + 48.0f - scrollX > 0.0f && x - scrollX < 800.0f && y + 48.0f - scrollY > 0.0f &&
         y - scrollY < 600.0f;
}

namespace {

void PlacePlayerEntry(int, float worldX, float worldY) { PlacePlayer(worldX, worldY); }
void PlaceCompanion0(int, float worldX, float worldY) { PlaceCompanion(0, worldX, worldY); }
void PlaceCompanion1(int, float worldX, float worldY) { PlaceCompanion(1, worldX, worldY); }
void PlaceCompanion2(int, float worldX, float worldY) { PlaceCompanion(2, worldX, worldY); }

bool Companion0Hits(int w, int h, float x, float y, bool box, bool stop) {
  return CompanionHits(0, w, h, x, y, box, stop);
}
bool Companion1Hits(int w, int h, float x, float y, bool box, bool stop) {
  return CompanionHits(1, w, h, x, y, box, stop);
}
bool Companion2Hits(int w, int h, float x, float y, bool box, bool stop) {
  return CompanionHits(2, w, h, x, y, box, stop);
}

// The party's seven entries: the three companion hit tests, then the player
// and companion placements. The stage loader's table takes the last four.
struct PartyEntries {
  bool (*hits[3])(int, int, float, float, bool, bool);
  PlaceFunction place[4];
};
constexpr PartyEntries kPartyEntries = {
    {Companion0Hits, Companion1Hits, Companion2Hits},
    {PlacePlayerEntry, PlaceCompanion0, PlaceCompanion1, PlaceCompanion2}};

}  // namespace

PlaceFunction placementTable[kObjectCodes] = {
    nullptr,
    kPartyEntries.place[0],
    kPartyEntries.place[1],
    kPartyEntries.place[2],
    kPartyEntries.place[3],
    nullptr,
    nullptr,
    nullptr,
    nullptr};

void InstallEnemyPlacement() {
  placementTable[5] = PlaceSoldierA;
  placementTable[6] = PlaceArcher;
  placementTable[7] = PlaceSoldierB;
  placementTable[8] = PlaceShieldGuard;
}

// Pool size of every enemy kind.
constexpr int kPoolSize = 100;

bool PlaceObject(int code, int slot, float worldX, float worldY) {
  // A code without a placement function (above 8, or an enemy code before
  // the first frame installed them) would call through an empty or foreign
  // entry, and a slot of 100 or more would write past the pool: both are
  // refused.
  if (code < 1 || code >= kObjectCodes) return false;
  if (slot < 0 || slot >= kPoolSize) return false;
  PlaceFunction place = placementTable[code];
  if (place == nullptr) return false;
  place(slot, worldX, worldY);
  return true;
}

Blocking ProbeEdges(float worldX, float worldY, int firstX, int upRow, int downRow, int firstY,
                    int leftCol, int rightCol) {
  Blocking b;
  for (int dx = firstX; dx <= firstX + 40; dx += 8) {
    if (SolidAt(worldX, worldY, dx, upRow) != 0) b.up = true;
    if (SolidAt(worldX, worldY, dx, downRow) != 0) b.down = true;
  }
  for (int dy = firstY; dy <= firstY + 16; dy += 8) {
    if (SolidAt(worldX, worldY, leftCol, dy) != 0) b.left = true;
    if (SolidAt(worldX, worldY, rightCol, dy) != 0) b.right = true;
  }
  return b;
}

bool Tick(float& timer, float period) {
  timer += elSystem::dt;
  if (timer > period) {
    timer = 0.0f;
    return true;
  }
  return false;
}
