// elSound inside the library: the object table and what a load fills,
// beside what programs see (<zolbeck/elsound.h>).
#pragma once
#include <cstdint>

#include <zolbeck/elsound.h>

#include "platform/platform.h"

namespace elSound {

extern int reloadingObjects;  // 1 while the object table is rebuilt in place

// Writes the start-up values into every slot of the object table.
void ClearSoundTable();

extern int loadingSlot;  // the slot the current load fills (or rebuilds)

}  // namespace elSound
