// elDraw's message-window layout: text laid out character by character on
// the Font sprite (with line breaks, hanging punctuation, shadow and
// emboldening), its reveal one character at a time, and the smoothed
// variant drawn at double size on the font buffer and reduced.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "draw/eldraw.h"
#include "draw/text.h"
#include "draw/text_context.h"
#include "shell/elsystem.h"

namespace elDraw {

TextLayout textLayout;

using textcontext::ApplyColours;
using textcontext::BeginOn;
using textcontext::ReleaseContext;
using textcontext::SetFaceByIndex;
using textcontext::SetFaceByName;
using textcontext::TakeContext;
using textcontext::WriteDescription;

namespace {

constexpr int kFontSprite = 2;
constexpr int kFontBuffer = 3;

// Pixel value 0 is the Font sprite's transparent colour: a colour that
// would come out as 0 is lifted to dark grey.
uint32_t GuardColour(uint32_t colour) {
  uint32_t red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
  return red < 16 && green < 16 && blue < 16 ? 0x101010 : colour;
}

// The characters no line may start with: they hang at the end of the line.
bool HangsAtLineEnd(const char* c, int n) {
  static const char* const kForbidden[] = {"、", "。", "，", "．", "・", "…", "‥", "”",
                                           "’", "（", "」", ",", ".", "　", " "};
  for (const char* f : kForbidden)
    if (static_cast<int>(std::strlen(f)) == n && std::memcmp(f, c, static_cast<size_t>(n)) == 0) return true;
  return false;
}

// ---------------------------------------------------------------------------
// The smoothing pass

struct Channels {
  int shift[3];
  int max;
};


// Reduces one character's double-size image (imageW x imageH at the font
// buffer's top-left corner) into the Font sprite over `box`, blending its
// edges with what the back screen shows there.
void SmoothCharacter(const LayoutBox& box, int imageW, int imageH) {
  plat::Surface* buffer = SpriteTable[kFontBuffer].surface;
  plat::Surface* font = SpriteTable[kFontSprite].surface;
  plat::Surface* back = screen.backScreen;
  if (buffer == nullptr || font == nullptr || back == nullptr) return;
  plat::LockInfo src, dst, bg;
  if (plat::Lock(*buffer, src) != plat::Result::Ok) return;
  if (plat::Lock(*font, dst) != plat::Result::Ok) {
    plat::Unlock(*buffer);
    return;
  }
  if (plat::Lock(*back, bg) != plat::Result::Ok) {
    plat::Unlock(*font);
    plat::Unlock(*buffer);
    return;
  }

  const int bytes = back->format.bytesPerPixel;
  // Channel positions: 5-bit values on 16-bit screens, bytes otherwise; a
  // 24-bit pixel is read as its three bytes in memory order.
  Channels ch{};
  if (bytes == 2) {
    for (int c = 0; c < 3; ++c) ch.shift[c] = screen.format.place5[c];
    ch.max = 31;
  } else if (bytes == 3) {
    ch = {{0, 8, 16}, 255};
  } else {
    for (int c = 0; c < 3; ++c) ch.shift[c] = screen.format.shift[c];
    ch.max = 255;
  }

  // Also kept inside the three surfaces: the clip rectangle may be larger.
  int left = std::max({box.left, screen.clipRect.left, 0});
  int top = std::max({box.top, screen.clipRect.top, 0});
  int right = std::min({box.right, screen.clipRect.right, font->width, back->width});
  int bottom = std::min({box.bottom, screen.clipRect.bottom, font->height, back->height});
  imageW = std::min(imageW, buffer->width);
  imageH = std::min(imageH, buffer->height);

  for (int ty = top; ty < bottom; ++ty) {
    uint8_t* out = dst.pixels + static_cast<std::ptrdiff_t>(ty) * dst.pitch;
    const uint8_t* under = bg.pixels + static_cast<std::ptrdiff_t>(ty) * bg.pitch;
    int sy = 2 * (ty - box.top);
    for (int tx = left; tx < right; ++tx) {
      int sx = 2 * (tx - box.left);
      int sum[3] = {0, 0, 0};
      int lit = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        int py = sy + dy;
        if (py < 0 || py >= imageH) continue;
        const uint8_t* row = src.pixels + static_cast<std::ptrdiff_t>(py) * src.pitch;
        for (int dx = -1; dx <= 1; ++dx) {
          int px = sx + dx;
          if (px < 0 || px >= imageW) continue;
          uint32_t p = plat::LoadPixelValue(row + static_cast<std::ptrdiff_t>(px) * bytes, bytes);
          if (p == 0) continue;
          ++lit;
          for (int c = 0; c < 3; ++c) sum[c] += static_cast<int>(p >> ch.shift[c]) & ch.max;
        }
      }
      if (lit == 0) continue;
      uint32_t behind = plat::LoadPixelValue(under + static_cast<std::ptrdiff_t>(tx) * bytes, bytes);
      uint32_t value = 0;
      for (int c = 0; c < 3; ++c) {
        int s = sum[c] + ch.max;
        if (lit < 8) s += (8 - lit) * (static_cast<int>(behind >> ch.shift[c]) & ch.max);
        s >>= 3;
        if (s > ch.max) s = ch.max;
        value |= static_cast<uint32_t>(s) << ch.shift[c];
      }
      plat::StorePixelValue(out + static_cast<std::ptrdiff_t>(tx) * bytes, bytes, value);
    }
  }
  plat::Unlock(*back);
  plat::Unlock(*font);
  plat::Unlock(*buffer);
}

// ---------------------------------------------------------------------------
// The layout

// Draws one character with its shadow and emboldening. `scale` is 2 on the
// double-size font buffer, where every offset is doubled and emboldening
// fills the pixel between.
void DrawCharacter(int x, int y, const char* c, int n, int flags, int scale, uint32_t ink, uint32_t shade) {
  int boldX = flags & kLayoutBoldX ? 1 : 0, boldY = flags & kLayoutBoldY ? 1 : 0;
  plat::TextDC& dc = textState.dc;
  if (flags & kLayoutShadow) {
    plat::SetTextColor(dc, shade);
    plat::TextOut(dc, x + scale * (1 + boldX), y + scale * (1 + boldY), c, n);
  }
  plat::SetTextColor(dc, ink);
  for (int dy = 0; dy <= boldY * scale; ++dy)
    for (int dx = 0; dx <= boldX * scale; ++dx) plat::TextOut(dc, x + dx, y + dy, c, n);
}

void Layout(int left, int top, int right, int bottom, const char* text, int flags, bool smooth) {
  if (fontDescription == nullptr || text == nullptr) return;
  const int home = smooth ? kFontBuffer : -1;

  // 1. The work surfaces, cleared, with the font of the current description.
  ReleaseContext();
  if (smooth) ClearObject(kFontBuffer);
  ClearObject(kFontSprite);
  bool drawing = TakeContext(smooth ? kFontBuffer : kFontSprite) != 0;
  if (drawing) plat::SetBkMode(textState.dc, plat::BkMode::Transparent);

  // 2. Colours that would vanish on the Font sprite.
  uint32_t ink = GuardColour(textState.textColour);
  uint32_t shade = GuardColour(textState.backColour);

  // 3. The pen and the record.
  const int extra = flags & 0xFF;
  const int shadow = flags & kLayoutShadow ? 1 : 0;
  const int boldX = flags & kLayoutBoldX ? 1 : 0, boldY = flags & kLayoutBoldY ? 1 : 0;
  int x = left, y = top;
  int lineHeight = textState.fontSize + extra;
  LayoutBox& bounds = textLayout.boxes[0];
  bounds = {left, top, left, top};
  int count = 0;

  auto grow = [&](const LayoutBox& b) {
    bounds.left = std::min(bounds.left, b.left);
    bounds.top = std::min(bounds.top, b.top);
    bounds.right = std::max(bounds.right, b.right);
    bounds.bottom = std::max(bounds.bottom, b.bottom);
  };
  auto place = [&](const LayoutBox& b, const char* c, int n) {
    if (!drawing) return;
    if (!smooth) {
      DrawCharacter(b.left, b.top, c, n, flags, 1, ink, shade);
      return;
    }
    // The double-size image goes to the buffer's corner, over whatever the
    // previous character left there.
    int imageW = 2 * (b.right - b.left), imageH = 2 * (b.bottom - b.top);
    plat::Surface* buffer = SpriteTable[kFontBuffer].surface;
    if (buffer == nullptr) return;
    plat::BltFill(*buffer, {0, 0, std::min(imageW, buffer->width), std::min(imageH, buffer->height)}, 0);
    DrawCharacter(0, 0, c, n, flags, 2, ink, shade);
    SmoothCharacter(b, imageW, imageH);
  };

  // 4. Character by character.
  const int length = static_cast<int>(std::strlen(text));
  for (int i = 0; i < length;) {
    // The record holds the bounding box and at most 3199 characters.
    if (count >= kLayoutBoxes - 1) break;
    int n = plat::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length ? 2 : 1;
    const char* c = text + i;
    bool lineFeed = n == 1 && *c == '\n';
    int w = 0, h = 0;
    if (!lineFeed) {
      plat::TextSize size;
      if (drawing) plat::GetTextExtentPoint32(textState.dc, c, n, size);
      if (smooth) {
        size.cx /= 2;
        size.cy /= 2;
      }
      w = size.cx + shadow + boldX;
      h = size.cy + shadow + boldY;
    }
    LayoutBox b{x, y, x + w, y + h};
    x += w;
    if (h > lineHeight) lineHeight = h;

    if (x > right || lineFeed) {
      if (!lineFeed && HangsAtLineEnd(c, n)) {
        // The character hangs over the right edge. It is kept in the record
        // and the bounding box as well, so the blit and the reveal show it.
        place(b, c, n);
        textLayout.boxes[++count] = b;
        grow(b);
        i += n;
      } else if (lineFeed) {
        i += n;
      }
      // Any other character that overflowed starts the next line.
      x = left;
      y += lineHeight;
      if (y + lineHeight >= bottom) break;
      continue;
    }
    place(b, c, n);
    textLayout.boxes[++count] = b;
    grow(b);
    i += n;
  }
  textLayout.count = count;

  // 6. The work surface goes back.
  ReleaseContext();

  // 7. The Font sprite has the screen's size: the text keeps its place.
  if (textLayout.blitAfterLayout)
    Draw(bounds.left, bounds.top, kFontSprite, bounds.left, bounds.top, bounds.right, bounds.bottom);

  // 8. The text state is held again, with the colours it had.
  if (TakeContext(home)) ApplyColours();
  textLayout.revealCount = 0;
  textLayout.revealTimer = 0.0f;
  textLayout.blitAfterLayout = 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Layouts

void LayoutText(int left, int top, int right, int bottom, const char* text, int flags) {
  Layout(left, top, right, bottom, text, flags, false);
}

void LayoutTextHidden(int left, int top, int right, int bottom, const char* text, int flags) {
  textLayout.blitAfterLayout = 0;
  Layout(left, top, right, bottom, text, flags, false);
}

int RevealText(float interval) {
  TextLayout& t = textLayout;
  if (interval == 0.0f || t.revealCount >= t.count) {
    const LayoutBox& b = t.boxes[0];
    Draw(b.left, b.top, kFontSprite, b.left, b.top, b.right, b.bottom);
    t.revealCount = t.count;
  } else {
    for (int i = 1; i <= t.revealCount; ++i) {
      const LayoutBox& b = t.boxes[i];
      Draw(b.left, b.top, kFontSprite, b.left, b.top, b.right, b.bottom);
    }
  }
  if (t.revealCount < t.count) {
    t.revealTimer += elSystem::dt;
    if (t.revealTimer >= interval) {
      ++t.revealCount;
      t.revealTimer = 0.0f;
    }
  }
  return t.revealCount >= t.count ? 1 : 0;
}

int BeginSmoothText(int face, int size) {
  if (fontDescription == nullptr) return 0;
  WriteDescription(size * 2, 0, 0, 0, 0);
  SetFaceByIndex(face);
  textState.fontSize = size;
  return BeginOn(kFontBuffer);
}

int BeginSmoothTextFace(const char* faceName, int size) {
  if (fontDescription == nullptr || faceName == nullptr) return 0;
  WriteDescription(size * 2, 0, 0, 0, 0);
  SetFaceByName(faceName);
  textState.fontSize = size;
  return BeginOn(kFontBuffer);
}

void EndSmoothText() { ReleaseContext(); }

void LayoutSmoothText(int left, int top, int right, int bottom, const char* text, int flags) {
  Layout(left, top, right, bottom, text, flags, true);
}

void LayoutSmoothTextHidden(int left, int top, int right, int bottom, const char* text, int flags) {
  textLayout.blitAfterLayout = 0;
  Layout(left, top, right, bottom, text, flags, true);
}

}  // namespace elDraw
