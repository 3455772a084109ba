// Stand-in until the enemies are written.
#include "actors/foes.h"

void PlaceSoldierA(int, float, float) {}
void PlaceArcher(int, float, float) {}
void PlaceSoldierB(int, float, float) {}
void PlaceShieldGuard(int, float, float) {}
void UpdateArchers() {}
void UpdateShieldGuards() {}
void UpdateSoldiersA() {}
void UpdateSoldiersB() {}
bool SoldierATouches(float, float, int) { return false; }
bool ArcherTouches(float, float, int) { return false; }
bool SoldierBTouches(float, float, int) { return false; }
bool ShieldGuardTouches(float, float, int) { return false; }

#include <cstdio>
void TraceFoes(FILE*) {}
