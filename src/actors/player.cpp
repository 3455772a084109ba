// Stand-in until the princess is written.
#include "actors/party.h"

PlayerState player;
void PlacePlayer(float, float) {}
void UpdatePlayer() {}
int SwingHit(int, int, int, int, int, int) { return 0; }
bool HurtPlayer(float) { return false; }
void HealPlayer(int amount) { player.hp += amount; }

#include <cstdio>
void TracePlayerFields(FILE*) {}
