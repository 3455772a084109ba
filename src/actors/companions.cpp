// Stand-in until the companions are written.
#include "actors/party.h"

Companion companions[kCompanionCount];
int32_t companionState[kCompanionCount];
int32_t companionSlot[kCompanionCount] = {-1, -1, -1};
void PlaceCompanion(int, float, float) {}
void UpdateCompanions() {}
void GatherCompanions() {}
bool CompanionHits(int, int, int, float, float, bool, bool) { return false; }
bool HurtCompanion(int, float) { return false; }

float PartyX(int m) { return m == 0 ? player.x : companions[m - 1].x; }
float PartyY(int m) { return m == 0 ? player.y : companions[m - 1].y; }
float PartyCentreX(int m) { return m == 0 ? player.x + 48 : companions[m - 1].x + 28; }
float PartyCentreY(int m) { return m == 0 ? player.y + 48 : companions[m - 1].y + 28; }
bool HurtMember(int m, float angle) { return m == 0 ? HurtPlayer(angle) : HurtCompanion(m - 1, angle); }

#include <cstdio>
void TraceCompanionFields(FILE*, int) {}
