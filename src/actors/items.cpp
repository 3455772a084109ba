// Stand-in until the item drops are written.
#include "actors/foes.h"

bool RollItemDrop(float, float) { return false; }
void UpdateItems() {}
