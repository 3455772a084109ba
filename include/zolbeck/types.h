// The few plain types the zolbeck library's operations take.
#pragma once
#include <cstdint>

namespace plat {

using Window = uint32_t;  // a window of the library; 0 = no window
struct Point { int x = 0, y = 0; };
struct Rect { int left = 0, top = 0, right = 0, bottom = 0; };  // right, bottom exclusive
// How the entry shows the main window.
enum class Show { Hide, Normal, Minimized, Maximized };
// A picture in the desktop's pixel format. Programs only hold pointers to
// it (elDraw::screen, the sprite table); the library draws on it.
struct Surface;

}  // namespace plat
