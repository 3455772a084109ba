// Music through FluidSynth. The synthesiser renders into the mixer as its
// music source (never through FluidSynth's own audio drivers), and its MIDI
// player runs on the synthesiser's sample clock, so where the piece is
// depends only on how many frames the mixer has pulled.
#include "platform/audio/music.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/audio/audio_source.h"
#include "platform/core/messages.h"

namespace plat {
namespace {

// Rendering goes in blocks of the synthesiser's own size; the end of the
// piece is looked for after each block.
constexpr int kBlockFrames = 64;
// Headroom for a full General MIDI arrangement summed into the mix.
constexpr double kGain = 0.6;

struct Music {
  // The main thread holds it while it changes the piece. The rendering side
  // only tries it and renders silence for a period it cannot have, so the
  // audio thread never waits for the main thread.
  std::mutex lock;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  std::vector<uint8_t> piece;  // kept for going back to the start
  int lastTick = 0;            // the piece is over once the player passes it
  bool installed = false;      // the source is in the mixer
  bool playing = false;
  bool ended = false;          // the player has run to its last event
  bool notifyArmed = false;
  Window notifyWindow = 0;
  intptr_t notifyParam = 0;
  float block[2 * kBlockFrames];
};
Music music;

int16_t ToSample(float x) {
  float scaled = x * 32767.0f;
  if (scaled >= 32767.0f) return 32767;
  if (scaled <= -32768.0f) return -32768;
  return static_cast<int16_t>(std::lrintf(scaled));
}

// The piece has ended by the sample clock once the player has passed its
// last tick. The player itself would go on counting ticks, so it is stopped
// here; its notes sound out. The last tick comes with the piece: asking the
// player for it walks every event of every track, far too slow for every
// block, and the player's own end comes seconds late, after the notes.
void NoticeEnd() {
  if (!music.playing) return;
  bool over = fluid_player_get_current_tick(music.player) >= music.lastTick ||
              fluid_player_get_status(music.player) == FLUID_PLAYER_DONE;
  if (!over) return;
  fluid_player_stop(music.player);
  music.playing = false;
  music.ended = true;
  if (music.notifyArmed) {
    music.notifyArmed = false;
    PostMessage(music.notifyWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, music.notifyParam);
  }
}

void Render(void*, int16_t* out, int frames) {
  std::unique_lock<std::mutex> hold(music.lock, std::try_to_lock);
  if (!hold.owns_lock() || !music.synth) {
    std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    return;
  }
  while (frames > 0) {
    int n = std::min(frames, kBlockFrames);
    fluid_synth_write_float(music.synth, n, music.block, 0, 2, music.block, 1, 2);
    for (int i = 0; i < 2 * n; ++i) out[i] = ToSample(music.block[i]);
    out += 2 * n;
    frames -= n;
    if (music.player) NoticeEnd();
  }
}

void DeletePlayer() {
  if (!music.player) return;
  fluid_player_stop(music.player);
  delete_fluid_player(music.player);
  music.player = nullptr;
}

// Going back to the start takes a fresh player: it stands at the first tick
// with no seek or stop of the old one still pending.
bool NewPlayer() {
  DeletePlayer();
  music.player = new_fluid_player(music.synth);
  if (!music.player) return false;
  if (fluid_player_add_mem(music.player, music.piece.data(), music.piece.size()) != FLUID_OK) {
    DeletePlayer();
    return false;
  }
  music.ended = false;
  return true;
}

void SetInstalled(bool on) {
  if (music.installed == on) return;
  music.installed = on;
  SetAudioSource(on ? Render : nullptr, on ? &music : nullptr);
}

bool IsFile(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

std::string FindSoundFont() {
  if (const char* chosen = std::getenv("ZOLBECK_SOUNDFONT"); chosen && chosen[0]) {
    return IsFile(chosen) ? std::string(chosen) : std::string();
  }
  // Full General MIDI fonts first, then the small one the set-up installs,
  // then whatever else is there, in name order.
  static const char* const kFolders[] = {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3",
                                         "/usr/share/soundfonts"};
  static const char* const kPreferred[] = {"FluidR3_GM.sf2", "FluidR3_GM.sf3", "default-GM.sf2",
                                           "default-GM.sf3", "default.sf2", "TimGM6mb.sf2"};
  for (const char* name : kPreferred) {
    for (const char* folder : kFolders) {
      std::filesystem::path path = std::filesystem::path(folder) / name;
      if (IsFile(path)) return path.string();
    }
  }
  for (const char* folder : kFolders) {
    std::error_code error;
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      std::string ext = entry.path().extension().string();
      if ((ext == ".sf2" || ext == ".sf3") && IsFile(entry.path())) found.push_back(entry.path().string());
    }
    if (!found.empty()) return *std::min_element(found.begin(), found.end());
  }
  return std::string();
}

MusicStart StartMusic() {
  if (music.synth) return MusicStart::Ready;
  std::string font = FindSoundFont();
  if (font.empty()) return MusicStart::NoSoundFont;
  // Failures are answered through the result; FluidSynth's own messages
  // would only repeat them on the terminal.
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
    fluid_set_log_function(level, nullptr, nullptr);
  }
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return MusicStart::Failed;
  int rate = AudioOutputRate();
  fluid_settings_setnum(settings, "synth.sample-rate", rate > 0 ? rate : 44100);
  fluid_settings_setnum(settings, "synth.gain", kGain);
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  // A new piece resets the synthesiser itself (LoadMusic); a loop pass keeps
  // the tails of the notes of the pass before.
  fluid_settings_setint(settings, "player.reset-synth", 0);
  // The first synthesiser of the process fills FluidSynth's dither table
  // from rand(). The program's own sequence must not move for that (a game
  // replays the same with music or without), so FluidSynth draws from a
  // state of its own, and the program's state is put back as it was.
  static char ownState[256];
  char* programState = initstate(1, ownState, sizeof ownState);
  fluid_synth_t* synth = new_fluid_synth(settings);
  setstate(programState);
  if (!synth) {
    delete_fluid_settings(settings);
    return MusicStart::Failed;
  }
  if (fluid_synth_sfload(synth, font.c_str(), 1) == FLUID_FAILED) {
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return MusicStart::NoSoundFont;
  }
  std::lock_guard<std::mutex> hold(music.lock);
  music.settings = settings;
  music.synth = synth;
  return MusicStart::Ready;
}

bool LoadMusic(const uint8_t* data, size_t size, uint32_t lastTick) {
  UnloadMusic();
  if (!music.synth || size == 0 || lastTick > 0x7FFFFFFFu) return false;
  {
    std::lock_guard<std::mutex> hold(music.lock);
    music.piece.assign(data, data + size);
    music.lastTick = static_cast<int>(lastTick);
    fluid_synth_system_reset(music.synth);
    if (!NewPlayer()) {
      music.piece.clear();
      return false;
    }
  }
  SetInstalled(true);
  return true;
}

void UnloadMusic() {
  SetInstalled(false);
  std::lock_guard<std::mutex> hold(music.lock);
  DeletePlayer();
  music.piece.clear();
  music.playing = music.notifyArmed = false;
  if (music.synth) fluid_synth_all_sounds_off(music.synth, -1);
}

bool MusicLoaded() { return music.player != nullptr; }

void PlayMusic(Window notifyWindow, intptr_t notifyParam) {
  std::lock_guard<std::mutex> hold(music.lock);
  if (!music.player) return;
  // Played from its end, a piece is over at once, as a sequencer's is.
  if (music.ended) {
    if (notifyWindow) PostMessage(notifyWindow, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, notifyParam);
    return;
  }
  fluid_player_play(music.player);
  music.playing = true;
  music.notifyArmed = notifyWindow != 0;
  music.notifyWindow = notifyWindow;
  music.notifyParam = notifyParam;
}

void StopMusic() {
  std::lock_guard<std::mutex> hold(music.lock);
  if (!music.player) return;
  if (music.playing) fluid_player_stop(music.player);
  music.playing = music.notifyArmed = false;
  fluid_synth_all_sounds_off(music.synth, -1);
}

void RewindMusic() {
  StopMusic();
  std::lock_guard<std::mutex> hold(music.lock);
  if (music.player) NewPlayer();
}

bool MusicPlaying() {
  std::lock_guard<std::mutex> hold(music.lock);
  return music.playing;
}

Window DisarmMusicNotify() {
  std::lock_guard<std::mutex> hold(music.lock);
  Window window = music.notifyArmed ? music.notifyWindow : 0;
  music.notifyArmed = false;
  return window;
}

void EndMusic() {
  UnloadMusic();
  std::lock_guard<std::mutex> hold(music.lock);
  if (music.synth) delete_fluid_synth(music.synth);
  if (music.settings) delete_fluid_settings(music.settings);
  music.synth = nullptr;
  music.settings = nullptr;
}

}  // namespace plat
