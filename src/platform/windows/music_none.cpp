// Music on Windows without a software synthesiser: this build carries none,
// so every call answers as when no sound font is found. (A window of the
// program sends its MIDI command strings to the system's own sequencer.)
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
