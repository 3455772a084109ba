// The win32 backend's present: the library's converter, then GDI.
#include "platform/win32/win32_present.h"

namespace plat {

void GdiPresenter::Open(int w, int h) {
  picture_.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  w_ = w;
  h_ = h;
  hasPicture_ = false;
  outW_ = outH_ = -1;
}

void GdiPresenter::Close() {
  picture_.clear();
  picture_.shrink_to_fit();
  hasPicture_ = false;
}

void GdiPresenter::Present(HWND window, const Surface& source, const Rect& sourceRect) {
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  if (!window || w <= 0 || h <= 0) return;
  const size_t needed = static_cast<size_t>(w) * static_cast<size_t>(h);
  if (picture_.size() < needed) picture_.resize(needed);  // only when the picture outgrows the window
  if (!ConvertToXrgb8888(source, sourceRect, picture_.data(), w * 4)) return;
  w_ = w;
  h_ = h;
  hasPicture_ = true;
  HDC dc = GetDC(window);
  if (!dc) return;
  Draw(window, dc);
  ReleaseDC(window, dc);
}

void GdiPresenter::Redraw(HWND window, HDC dc) {
  outW_ = outH_ = -1;  // the whole client area is painted, border included
  Draw(window, dc);
}

void GdiPresenter::Draw(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  const int outW = client.right, outH = client.bottom;
  if (outW <= 0 || outH <= 0) return;  // minimised
  if (!hasPicture_) {
    PatBlt(dc, 0, 0, outW, outH, BLACKNESS);
    return;
  }
  const PictureRect place = FitPicture(outW, outH, w_, h_);
  // The border around the picture is painted black when the client area
  // changes size (full screen and back); it stays black afterwards.
  if (outW != outW_ || outH != outH_) {
    PatBlt(dc, 0, 0, outW, place.y, BLACKNESS);
    PatBlt(dc, 0, place.y + place.h, outW, outH - place.y - place.h, BLACKNESS);
    PatBlt(dc, 0, place.y, place.x, place.h, BLACKNESS);
    PatBlt(dc, place.x + place.w, place.y, outW - place.x - place.w, place.h, BLACKNESS);
    outW_ = outW;
    outH_ = outH;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w_;
  info.bmiHeader.biHeight = -h_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (place.w == w_ && place.h == h_) {
    SetDIBitsToDevice(dc, place.x, place.y, static_cast<DWORD>(w_), static_cast<DWORD>(h_), 0, 0, 0,
                      static_cast<UINT>(h_), picture_.data(), &info, DIB_RGB_COLORS);
  } else {
    // Whole-number scaling with the nearest pixel keeps the picture sharp.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, place.x, place.y, place.w, place.h, 0, 0, w_, h_, picture_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }
}

}  // namespace plat
