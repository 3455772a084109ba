// Music in the page: this first web build carries no synthesiser, so
// every call answers as when no sound font is found; the game plays on
// with its sound effects alone.
#include "platform/audio/music.h"

namespace plat {

MusicStart StartMusic() { return MusicStart::NoSoundFont; }
std::string FindSoundFont() { return std::string(); }
bool LoadMusic(const uint8_t*, size_t, uint32_t) { return false; }
void UnloadMusic() {}
bool MusicLoaded() { return false; }
void PlayMusic(Window, intptr_t) {}
void StopMusic() {}
void RewindMusic() {}
bool MusicPlaying() { return false; }
Window DisarmMusicNotify() { return 0; }
void EndMusic() {}

}  // namespace plat
