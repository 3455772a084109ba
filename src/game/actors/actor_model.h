// What every actor shares: the solid-tile probe, headings and facings, the
// on-screen test, the placement tables and single-precision maths.
#pragma once

#include <cstdint>

// The grid cell under a probe: world position less the play area's offset
// (16, 12), truncated toward zero, plus (dx, dy), divided by 8.
int SolidAt(float worldX, float worldY, int dx, int dy);
// The four blocking flags of an actor: a movement component is skipped when
// its sign points into a set flag.
struct Blocking {
  bool up = false, down = false, left = false, right = false;
};
// The probe pattern every walking actor uses around its cell at world
// (x, y): six probes every 8 pixels from `firstX` along the row `upRow`
// (blocking upward) and the row `downRow` (downward), three every 8 pixels
// from `firstY` down the column `leftCol` (leftward) and `rightCol`
// (rightward).
Blocking ProbeEdges(float worldX, float worldY, int firstX, int upRow, int downRow, int firstY,
                    int leftCol, int rightCol);

// A timer that ticks every `period` seconds: adds the frame time and, when it
// then exceeds the period, starts again from 0 and answers true.
bool Tick(float& timer, float period);
// The next step of a two-step animation: 0 becomes 1, and anything else
// (1, or a step left over from a longer cycle) becomes 0.
inline int32_t Toggle(int32_t step) { return step == 0 ? 1 : 0; }

// Heading in radians of (dx, dy), y growing downward: 0 right, pi/2 down.
float AngleTo(float dx, float dy);
// The four-way facing of a heading: 0 right, 1 down, 2 left, 3 up.
enum class Facing { Right, Down, Left, Up };
Facing FacingOf(float angle);
// Sheet rows of a facing.
int PartyRow(Facing facing);   // player and companion sheets: down 0, right 1, up 2, left 3
int EnemyRow(Facing facing);   // enemy sheets: down 0, left 1, right 2, up 3
float DegToRad(float degrees);  // degrees x 3.141592 / 180
// Whether an enemy at world (x, y) is processed this frame.
bool EnemyOnScreen(float x, float y);

// The stage loader's placement functions, by object code 1..8; entries
// 5..8 are installed by the first game frame.
using PlaceFunction = void (*)(int slot, float worldX, float worldY);
constexpr int kObjectCodes = 9;
extern PlaceFunction placementTable[kObjectCodes];
void InstallEnemyPlacement();
// Calls the placement of `code` when there is one and the slot fits its
// pool; false when refused.
bool PlaceObject(int code, int slot, float worldX, float worldY);
