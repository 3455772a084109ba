// Music: one Standard MIDI File at a time, played by a software synthesiser
// into the mixer as its music source. The sequencer runs on the sample clock
// of the output, so a headless run renders the same samples every time.
//
// Everything here runs on the main thread except the rendering, which runs
// where the mixer runs. The only thing the rendering side does besides
// writing samples is to post the end-of-play notification.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace plat {

enum class MusicStart { Ready, NoSoundFont, Failed };

// Starts the synthesiser and loads the sound font the first time it is
// called; later calls answer at once. A program that plays no music never
// pays for the font.
MusicStart StartMusic();

// The sound font StartMusic would load: $ZOLBECK_SOUNDFONT when set (an
// explicit choice: a wrong name finds nothing), else the best General MIDI
// font of the system's sound-font folders. "" when there is none.
std::string FindSoundFont();

// Takes a copy of a Standard MIDI File and sets it at its start, stopped, in
// place of any piece before; the piece is over once the player passes
// `lastTick` (the end of its longest track, read from the file by the
// caller). False when the synthesiser refuses it.
bool LoadMusic(const uint8_t* data, size_t size, uint32_t lastTick);
// Drops the piece; its sound stops at once and the source is removed.
void UnloadMusic();
bool MusicLoaded();

// Plays from the current position. With a window, the end of the piece posts
// MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL, `notifyParam`) to it, once.
void PlayMusic(Window notifyWindow, intptr_t notifyParam);
// Stops with the sound cut; a later PlayMusic goes on from here.
void StopMusic();
// Stops and goes back to the first tick.
void RewindMusic();
// True from PlayMusic until the piece ends or is stopped.
bool MusicPlaying();
// Takes back an end notification that has not been posted yet and gives the
// window it was for (0 when there was none). The caller then reports it as
// aborted or superseded. Once this returns, the rendering side cannot post it.
Window DisarmMusicNotify();

// Frees the piece, the synthesiser and the font (at platform stop).
void EndMusic();

}  // namespace plat
