// The controls a program shows a new player: a few lines in a small box
// over the first seconds of a run in a window, until a key is pressed. The
// window backends lay them over the converted picture in their present;
// the back screen never holds them, so screenshots, traces and replays are
// the same with or without them.
#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace plat {

// How long the hints show at most, from the first picture shown.
constexpr uint32_t kHintsMs = 8000;

// The lines to show, ended by null (ASCII; other bytes show as '?'); null
// shows none. Set when the platform starts.
void StartHints(const char* const* lines);
// A key was pressed: the hints go for good.
void EndHints();
// Lays the hints over a picture of w x h 0x00RRGGBB pixels (rows `pitch`
// bytes apart) while they show; the first call starts their time. Returns
// the rectangle covered, empty when nothing was drawn.
Rect DrawHints(uint32_t* picture, int pitch, int w, int h);

}  // namespace plat
