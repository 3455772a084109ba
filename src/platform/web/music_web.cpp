// Music in the page: FluidSynth compiled for the browser (js-synthesizer)
// plays the piece in an audio worklet of its own, with the sound font the
// page carries. The page offers it (Module.zolbeckMusic) only to a program
// in a window; a headless run answers as when no sound font is found, so
// its state never follows the browser's clock. The worklet starts with the
// page's sound, on the first key or click: a piece played before then waits
// for it. The page tells of the piece's end through ZolbeckMusicEnded.
#include <emscripten.h>

#include "platform/audio/music.h"
#include "platform/core/messages.h"

namespace plat {
namespace {

struct Music {
  bool loaded = false;
  bool playing = false;
  bool ended = false;
  bool notifyArmed = false;
  Window notifyWindow = 0;
  intptr_t notifyParam = 0;
};
Music music;

// clang-format off
EM_JS(int, PageHasMusic, (), { return Module.zolbeckMusic ? 1 : 0; });
EM_JS(void, PageLoad, (const uint8_t* data, size_t size, uint32_t lastTick), {
  Module.zolbeckMusic.load(HEAPU8.slice(data, data + size), lastTick);
});
EM_JS(void, PageDrop, (), { Module.zolbeckMusic.drop(); });
EM_JS(void, PagePlay, (), { Module.zolbeckMusic.play(); });
EM_JS(void, PageStop, (), { Module.zolbeckMusic.stop(); });
EM_JS(void, PageRewind, (), { Module.zolbeckMusic.rewind(); });
// clang-format on

}  // namespace

MusicStart StartMusic() { return PageHasMusic() ? MusicStart::Ready : MusicStart::NoSoundFont; }

std::string FindSoundFont() { return PageHasMusic() ? std::string("TimGM6mb.sf2") : std::string(); }

bool LoadMusic(const uint8_t* data, size_t size, uint32_t lastTick) {
  UnloadMusic();
  if (!PageHasMusic() || size == 0 || lastTick > 0x7FFFFFFFu) return false;
  PageLoad(data, size, lastTick);
  music.loaded = true;
  music.ended = false;
  return true;
}

void UnloadMusic() {
  if (music.loaded) PageDrop();
  music.loaded = music.playing = music.notifyArmed = music.ended = false;
}

bool MusicLoaded() { return music.loaded; }

void PlayMusic(Window notifyWindow, intptr_t notifyParam) {
  if (!music.loaded) return;
  // Played from its end, a piece is over at once, as a sequencer's is.
  if (music.ended) {
    if (notifyWindow) PostMessage(notifyWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, notifyParam);
    return;
  }
  PagePlay();
  music.playing = true;
  music.notifyArmed = notifyWindow != 0;
  music.notifyWindow = notifyWindow;
  music.notifyParam = notifyParam;
}

void StopMusic() {
  if (!music.loaded) return;
  PageStop();
  music.playing = music.notifyArmed = false;
}

void RewindMusic() {
  StopMusic();
  if (!music.loaded) return;
  PageRewind();
  music.ended = false;
}

bool MusicPlaying() { return music.playing; }

Window DisarmMusicNotify() {
  Window window = music.notifyArmed ? music.notifyWindow : 0;
  music.notifyArmed = false;
  return window;
}

void EndMusic() { UnloadMusic(); }

}  // namespace plat

// The page calls this when the piece it plays has passed its last tick.
extern "C" EMSCRIPTEN_KEEPALIVE void ZolbeckMusicEnded() {
  using namespace plat;
  if (!music.playing) return;
  music.playing = false;
  music.ended = true;
  if (music.notifyArmed) {
    music.notifyArmed = false;
    PostMessage(music.notifyWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, music.notifyParam);
  }
}
