// How the win32 backend shows the back screen: converted by the library's
// own converter into a 32-bit picture kept here, then drawn into the client
// area with GDI, scaled by whole numbers and centred on black (the same
// place the mouse arithmetic of picture_fit.h assumes). The kept picture
// also repaints the window when the system asks (WM_PAINT).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/core/picture_fit.h"
#include "platform/image/surface.h"
#include "platform/windows/win32_api.h"

namespace plat {

class GdiPresenter {
 public:
  // Sizes the picture for a client area of w x h (before any scaling).
  void Open(int w, int h);
  void Close();
  // Shows a rectangle of the back screen in the window.
  void Present(HWND window, const Surface& source, const Rect& sourceRect);
  // Draws the last picture again into `dc` (black before the first one).
  void Redraw(HWND window, HDC dc);

 private:
  void Draw(HWND window, HDC dc);

  std::vector<uint32_t> picture_;
  int w_ = 0, h_ = 0;  // the last picture's size
  bool hasPicture_ = false;
  int outW_ = -1, outH_ = -1;  // the client area at the last draw
};

}  // namespace plat
