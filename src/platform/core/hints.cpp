// The hints box: the lines in the built-in bitmap font, white with a dark
// shadow, on the picture darkened to a quarter, near the top and centred.
#include "platform/core/hints.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/core/hint_font.h"

namespace plat {
namespace {

constexpr int kPad = 6;                            // between the box's edge and the text
constexpr int kLineH = hintfont::kCellH + 1;       // a line of text and a pixel between lines
constexpr int kTop = 24;                           // the box's distance from the picture's top
constexpr uint32_t kInk = 0xFFFFFF, kShadow = 0x000000, kEdge = 0xA0A0A0;

const char* const* hintLines = nullptr;
bool started = false, ended = false;
uint32_t startTick = 0;

}  // namespace

void StartHints(const char* const* lines) {
  hintLines = lines;
  started = ended = false;
}

void EndHints() { ended = true; }

Rect DrawHints(uint32_t* picture, int pitch, int w, int h) {
  if (hintLines == nullptr || hintLines[0] == nullptr || ended) return Rect{};
  const uint32_t now = TimeGetTime();
  if (!started) {
    started = true;
    startTick = now;
  }
  if (now - startTick >= kHintsMs) {
    ended = true;
    return Rect{};
  }
  int lines = 0, longest = 0;
  for (; hintLines[lines] != nullptr; ++lines)
    longest = std::max(longest, static_cast<int>(std::strlen(hintLines[lines])));
  const int boxW = longest * hintfont::kCellW - 1 + 2 * kPad;
  const int boxH = lines * kLineH - 1 + 2 * kPad;
  const int left = std::max(0, (w - boxW) / 2), top = std::min(kTop, std::max(0, h - boxH));
  const Rect box{left, top, std::min(w, left + boxW), std::min(h, top + boxH)};
  if (box.left >= box.right || box.top >= box.bottom) return Rect{};

  auto row = [&](int y) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(picture) + static_cast<std::ptrdiff_t>(y) * pitch);
  };
  auto put = [&](int x, int y, uint32_t colour) {
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) row(y)[x] = colour;
  };
  for (int y = box.top; y < box.bottom; ++y) {
    uint32_t* p = row(y);
    for (int x = box.left; x < box.right; ++x) p[x] = (p[x] >> 2) & 0x3F3F3F;
  }
  for (int x = box.left; x < left + boxW; ++x) {
    put(x, top, kEdge);
    put(x, top + boxH - 1, kEdge);
  }
  for (int y = top; y < top + boxH; ++y) {
    put(left, y, kEdge);
    put(left + boxW - 1, y, kEdge);
  }
  for (int line = 0; line < lines; ++line) {
    const int y0 = top + kPad + line * kLineH;
    int x0 = left + kPad;
    for (const char* c = hintLines[line]; *c != '\0'; ++c, x0 += hintfont::kCellW) {
      const unsigned code = static_cast<unsigned char>(*c);
      const hintfont::GlyphBits& glyph = hintfont::kFont.glyphs[(code >= 32 && code < 127 ? code : '?') - 32];
      for (int pass = 0; pass < 2; ++pass) {
        const int shift = pass == 0 ? 1 : 0;  // the shadow first, one pixel down and right
        for (int gy = 0; gy < hintfont::kGlyphH; ++gy)
          for (int gx = 0; gx < hintfont::kGlyphW; ++gx)
            if (glyph.rows[gy] & (1u << (hintfont::kGlyphW - 1 - gx)))
              put(x0 + gx + shift, y0 + gy + shift, pass == 0 ? kShadow : kInk);
      }
    }
  }
  return box;
}

}  // namespace plat
