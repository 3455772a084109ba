// The win32 backend's present: our own conversion and scaling, then GDI.
#include "platform/win32/win32_present.h"

#include <algorithm>

namespace plat {

void GdiPresenter::Open(int w, int h, bool wholeScale) {
  w_ = w;
  h_ = h;
  wholeScale_ = wholeScale;
  hasPicture_ = false;
  outW_ = outH_ = -1;
  const int outW = std::max(w, GetSystemMetrics(SM_CXSCREEN)), outH = std::max(h, GetSystemMetrics(SM_CYSCREEN));
  picture_.Reserve(w, h, outW, outH);
  output_.assign(static_cast<size_t>(outW) * static_cast<size_t>(outH), 0);
}

void GdiPresenter::Close() {
  picture_.Release();
  output_.clear();
  output_.shrink_to_fit();
  hasPicture_ = false;
}

void GdiPresenter::Present(HWND window, const Surface& source, const Rect& sourceRect) {
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  if (!window || w <= 0 || h <= 0) return;
  RECT client{};
  GetClientRect(window, &client);
  const int outW = client.right, outH = client.bottom;
  if (outW <= 0 || outH <= 0) return;  // minimised
  const PictureRect place = FitPicture(outW, outH, w, h, wholeScale_);
  const size_t needed = static_cast<size_t>(place.w) * static_cast<size_t>(place.h);
  if (output_.size() < needed) output_.resize(needed);  // only when the client area outgrows the desktop
  const bool resized = outW != outW_ || outH != outH_ || !(place == place_);
  if (resized) picture_.Forget();
  constexpr int kMaxRects = 16;
  Rect changed[kMaxRects];
  const int count = picture_.Present(source, sourceRect, output_.data(), place.w * 4, place.w, place.h,
                                     changed, kMaxRects);
  if (count < 0) return;
  place_ = place;
  hasPicture_ = true;
  HDC dc = GetDC(window);
  if (!dc) return;
  // The border around the picture is painted black when the client area
  // changes size (full screen and back); it stays black afterwards.
  if (resized) {
    PaintBorder(dc, outW, outH);
    outW_ = outW;
    outH_ = outH;
  }
  for (int i = 0; i < count; ++i) DrawOutput(dc, changed[i]);
  ReleaseDC(window, dc);
}

void GdiPresenter::Redraw(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  if (!hasPicture_ || client.right != outW_ || client.bottom != outH_) {
    // The client area has not been shown a picture at this size yet.
    PatBlt(dc, 0, 0, client.right, client.bottom, BLACKNESS);
    picture_.Forget();
    outW_ = outH_ = -1;
    return;
  }
  PaintBorder(dc, outW_, outH_);
  DrawOutput(dc, Rect{0, 0, place_.w, place_.h});
}

void GdiPresenter::PaintBorder(HDC dc, int outW, int outH) const {
  const PictureRect& p = place_;
  PatBlt(dc, 0, 0, outW, p.y, BLACKNESS);
  PatBlt(dc, 0, p.y + p.h, outW, outH - p.y - p.h, BLACKNESS);
  PatBlt(dc, 0, p.y, p.x, p.h, BLACKNESS);
  PatBlt(dc, p.x + p.w, p.y, outW - p.x - p.w, p.h, BLACKNESS);
}

// One rectangle of the output picture: its rows handed over as a top-down
// picture of their own, all of whose rows are drawn.
void GdiPresenter::DrawOutput(HDC dc, const Rect& part) const {
  const int rows = part.bottom - part.top, columns = part.right - part.left;
  if (rows <= 0 || columns <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = place_.w;
  info.bmiHeader.biHeight = -rows;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, place_.x + part.left, place_.y + part.top, static_cast<DWORD>(columns),
                    static_cast<DWORD>(rows), part.left, 0, 0, static_cast<UINT>(rows),
                    output_.data() + static_cast<size_t>(part.top) * place_.w, &info, DIB_RGB_COLORS);
}

}  // namespace plat
