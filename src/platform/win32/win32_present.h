// How the win32 backend shows the back screen: converted, hinted and scaled
// by our own code (present_picture.h) into a 32-bit output picture of the
// picture's place in the client area, only where it changed, and drawn
// with GDI, centred on black (the same place the mouse arithmetic of
// picture_fit.h assumes). The kept output also repaints the window when the
// system asks (WM_PAINT).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/core/picture_fit.h"
#include "platform/image/present_picture.h"
#include "platform/image/surface.h"
#include "platform/windows/win32_api.h"

namespace plat {

class GdiPresenter {
 public:
  // Sizes the buffers for a picture of w x h in client areas up to the
  // desktop's size; `wholeScale` scales by whole numbers only.
  void Open(int w, int h, bool wholeScale);
  void Close();
  // Shows a rectangle of the back screen in the window.
  void Present(HWND window, const Surface& source, const Rect& sourceRect);
  // Draws the last picture again into `dc` (black before the first one).
  void Redraw(HWND window, HDC dc);

 private:
  void DrawOutput(HDC dc, const Rect& part) const;
  void PaintBorder(HDC dc, int outW, int outH) const;

  PresentPicture picture_;
  std::vector<uint32_t> output_;  // the picture's place, place_.w x place_.h
  int w_ = 0, h_ = 0;             // the picture's size
  bool wholeScale_ = false;
  bool hasPicture_ = false;
  PictureRect place_{};
  int outW_ = -1, outH_ = -1;  // the client area at the last present
};

}  // namespace plat
