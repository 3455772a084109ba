// Stand-in until the dragon is written.
#include "actors/foes.h"

void StartDragon() {}
void UpdateDragon() {}
