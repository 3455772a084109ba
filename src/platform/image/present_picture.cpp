// The back screen into a window's output: changed spans only (see
// present_picture.h).
#include "platform/image/present_picture.h"

#include <cstring>
#include <new>

#include "platform/core/hints.h"

namespace plat {
namespace {

uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// The bytes [first, last) of two rows of n bytes that hold every
// difference between them; first == last when there is none.
void ChangedBytes(const uint8_t* a, const uint8_t* b, size_t n, size_t& first, size_t& last) {
  first = last = 0;
  if (std::memcmp(a, b, n) == 0) return;
  size_t i = 0;
  while (i + 8 <= n && Load64(a + i) == Load64(b + i)) i += 8;
  while (i < n && a[i] == b[i]) ++i;
  size_t j = n;
  while (j >= i + 8 && Load64(a + j - 8) == Load64(b + j - 8)) j -= 8;
  while (j > i && a[j - 1] == b[j - 1]) --j;
  first = i;
  last = j;
}

}  // namespace

bool PresentPicture::Reserve(int w, int h, int outW, int outH) {
  if (w <= 0 || h <= 0) return false;
  try {
    picture_.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    kept_.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  }
  if (!scaler_.Reserve(w, h, outW, outH)) {
    Release();
    return false;
  }
  w_ = h_ = 0;
  whole_ = true;
  return true;
}

void PresentPicture::Release() { *this = PresentPicture{}; }

bool PresentPicture::Converted(const Surface& source, const Rect& sourceRect, int x0, int y, int x1) {
  const Rect span{sourceRect.left + x0, sourceRect.top + y, sourceRect.left + x1, sourceRect.top + y + 1};
  if (!ConvertToXrgb8888(source, span, picture_.data() + static_cast<size_t>(y) * w_ + x0, w_ * 4)) return false;
  scaler_.MarkRow(y, x0, x1);
  return true;
}

int PresentPicture::Present(const Surface& source, const Rect& sourceRect, uint32_t* out, int outPitch,
                            int outW, int outH, Rect* rects, int maxRects) {
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  const int bytes = source.format.bytesPerPixel;
  if (source.pixels == nullptr || w <= 0 || h <= 0 || outW <= 0 || outH <= 0 || sourceRect.left < 0 ||
      sourceRect.top < 0 || sourceRect.right > source.width || sourceRect.bottom > source.height) {
    return -1;
  }
  if (w != w_ || h != h_ || bytes != bytes_ || outW != outW_ || outH != outH_) whole_ = true;
  // An output larger than the one reserved for (a larger display) takes
  // larger buffers, once.
  if (!scaler_.Plan(w, h, outW, outH) && !(Reserve(w, h, outW, outH) && scaler_.Plan(w, h, outW, outH))) {
    return -1;
  }
  const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(bytes);
  if (whole_) {
    w_ = w;
    h_ = h;
    bytes_ = bytes;
    outW_ = outW;
    outH_ = outH;
    if (!ConvertToXrgb8888(source, sourceRect, picture_.data(), w * 4)) return -1;
    for (int y = 0; y < h; ++y)
      std::memcpy(kept_.data() + y * rowBytes,
                  source.pixels + static_cast<size_t>(sourceRect.top + y) * source.pitch +
                      static_cast<size_t>(sourceRect.left) * bytes,
                  rowBytes);
    scaler_.MarkAll();
    hints_ = Rect{};
    whole_ = false;
  } else {
    for (int y = 0; y < h; ++y) {
      const uint8_t* now = source.pixels + static_cast<size_t>(sourceRect.top + y) * source.pitch +
                           static_cast<size_t>(sourceRect.left) * bytes;
      uint8_t* before = kept_.data() + y * rowBytes;
      size_t first = 0, last = 0;
      ChangedBytes(now, before, rowBytes, first, last);
      if (first == last) continue;
      const int x0 = static_cast<int>(first / bytes), x1 = static_cast<int>((last + bytes - 1) / bytes);
      std::memcpy(before + static_cast<size_t>(x0) * bytes, now + static_cast<size_t>(x0) * bytes,
                  static_cast<size_t>(x1 - x0) * bytes);
      if (!Converted(source, sourceRect, x0, y, x1)) return -1;
    }
    // What the hints covered comes back from the back screen.
    for (int y = hints_.top; y < hints_.bottom; ++y)
      if (!Converted(source, sourceRect, hints_.left, y, hints_.right)) return -1;
  }
  hints_ = DrawHints(picture_.data(), w * 4, w, h);
  for (int y = hints_.top; y < hints_.bottom; ++y) scaler_.MarkRow(y, hints_.left, hints_.right);
  return scaler_.Scale(picture_.data(), w * 4, out, outPitch, rects, maxRects);
}

}  // namespace plat
