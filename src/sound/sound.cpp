// The sound device and the sound objects. No device is opened yet: the
// library runs silent, and every call is safe to make.
#include "sound/elsound.h"

namespace elSound {

void InitSound() {}
void ReleaseSound() {}
void ClearSoundTable() {}

}  // namespace elSound
