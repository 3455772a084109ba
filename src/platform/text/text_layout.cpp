// Text over software surfaces: the layout of cells, lines, word breaks,
// colours and underlines, over the glyphs of a text engine (text_engine.h:
// FreeType, or the win32 backend's GDI) in the strikes of text_fonts.cpp.
#include "platform/text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/text/font_files.h"
#include "platform/text/text_fonts.h"

namespace plat {

using textinternal::FontOf;
using textinternal::GetGlyph;
using textinternal::Strike;

namespace {

// ---------------------------------------------------------------------------
// CP932 to Unicode, one table for every single- and double-byte code

uint16_t cp932Table[65536];
bool cp932Ready = false;

// The character at text[i]; moves i past it. A lead byte at the very end is
// a broken character of its own.
inline uint32_t NextChar(const char* text, int length, int& i) {
  unsigned char c = static_cast<unsigned char>(text[i]);
  if (IsLeadByte(c) && i + 1 < length) {
    unsigned char t = static_cast<unsigned char>(text[i + 1]);
    i += 2;
    return cp932Table[c << 8 | t];
  }
  i += 1;
  return IsLeadByte(c) ? 0 : cp932Table[c];
}

bool Usable(const TextDC& dc) {
  return dc.surface != nullptr && !dc.surface->lost && dc.surface->pixels != nullptr;
}

// ---------------------------------------------------------------------------
// Pixels

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
};

Box Intersect(const Box& a, const Box& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

inline void PutPixel(Surface& s, int x, int y, uint32_t value) {
  StorePixelValue(s.pixels + static_cast<ptrdiff_t>(y) * s.pitch +
                      static_cast<ptrdiff_t>(x) * s.format.bytesPerPixel,
                  s.format.bytesPerPixel, value);
}

void FillBox(Surface& s, Box box, const Box& clip, uint32_t value) {
  box = Intersect(box, clip);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) PutPixel(s, x, y, value);
}

// A rectangle in text space (s along the text, t down from the cell top)
// turned by the strike's escapement around the cell's corner (ox, oy).
void FillTurned(Surface& s, const Strike& strike, double ox, double oy, int s0, int s1, int t0, int t1,
                const Box& clip, uint32_t value) {
  double ux = strike.cosAngle, uy = -strike.sinAngle;  // along the text
  double vx = strike.sinAngle, vy = strike.cosAngle;   // down the cell
  double xs[4], ys[4];
  int corner = 0;
  for (int ss : {s0, s1})
    for (int tt : {t0, t1}) {
      xs[corner] = ox + ss * ux + tt * vx;
      ys[corner] = oy + ss * uy + tt * vy;
      ++corner;
    }
  Box bounds{static_cast<int>(std::floor(*std::min_element(xs, xs + 4))),
             static_cast<int>(std::floor(*std::min_element(ys, ys + 4))),
             static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))) + 1,
             static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))) + 1};
  bounds = Intersect(bounds, clip);
  for (int y = bounds.top; y < bounds.bottom; ++y)
    for (int x = bounds.left; x < bounds.right; ++x) {
      double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
      double a = dx * ux + dy * uy, b = dx * vx + dy * vy;
      if (a >= s0 && a < s1 && b >= t0 && b < t1) PutPixel(s, x, y, value);
    }
}

void PutGlyph(Surface& s, const Glyph& glyph, int penX, int baseY, const Box& clip, uint32_t value) {
  int x0 = penX + glyph.left, y0 = baseY - glyph.top;
  Box box = Intersect({x0, y0, x0 + glyph.width, y0 + glyph.rows}, clip);
  for (int y = box.top; y < box.bottom; ++y) {
    const uint8_t* row = glyph.bits.data() + static_cast<size_t>(y - y0) * glyph.width;
    for (int x = box.left; x < box.right; ++x)
      if (row[x - x0]) PutPixel(s, x, y, value);
  }
}

int RunWidth(Strike& strike, const char* text, int length) {
  int width = 0;
  for (int i = 0; i < length;) width += GetGlyph(strike, NextChar(text, length, i)).advance;
  return width;
}

// One line of text with its cell's top-left corner at (x, y), cut to `clip`.
void DrawRun(TextDC& dc, const Font& font, int x, int y, const char* text, int length, Box clip) {
  Surface& s = *dc.surface;
  clip = Intersect(clip, {0, 0, s.width, s.height});
  Strike& strike = *font.strike;
  uint32_t ink = ColourToPixel(s.format, dc.textColour);
  int width = RunWidth(strike, text, length);
  bool opaque = dc.bkMode == BkMode::Opaque;

  if (strike.sinAngle == 0.0 && strike.cosAngle == 1.0) {
    if (opaque) FillBox(s, {x, y, x + width, y + strike.facts.cellHeight}, clip, ColourToPixel(s.format, dc.backColour));
    int pen = x, base = y + strike.facts.ascent;
    for (int i = 0; i < length;) {
      const Glyph& glyph = GetGlyph(strike, NextChar(text, length, i));
      PutGlyph(s, glyph, pen, base, clip, ink);
      pen += glyph.advance;
    }
    if (font.underline)
      FillBox(s, {x, base + strike.facts.underlineTop, x + width, base + strike.facts.underlineTop + strike.facts.underlineThickness},
              clip, ink);
    return;
  }

  // Turned text: the pen walks along the escapement from the baseline
  // point below the cell's corner.
  if (opaque) FillTurned(s, strike, x, y, 0, width, 0, strike.facts.cellHeight, clip, ColourToPixel(s.format, dc.backColour));
  double ux = strike.cosAngle, uy = -strike.sinAngle;
  double baseX = x + strike.facts.ascent * strike.sinAngle, baseY = y + strike.facts.ascent * strike.cosAngle;
  int advanced = 0;
  for (int i = 0; i < length;) {
    const Glyph& glyph = GetGlyph(strike, NextChar(text, length, i));
    int pen = static_cast<int>(std::lround(baseX + advanced * ux));
    int base = static_cast<int>(std::lround(baseY + advanced * uy));
    PutGlyph(s, glyph, pen, base, clip, ink);
    advanced += glyph.advance;
  }
  if (font.underline)
    FillTurned(s, strike, x, y, 0, width, strike.facts.ascent + strike.facts.underlineTop,
               strike.facts.ascent + strike.facts.underlineTop + strike.facts.underlineThickness, clip, ink);
}

int Length(const char* text, int length) {
  if (text == nullptr) return 0;
  return length < 0 ? static_cast<int>(std::strlen(text)) : length;
}

}  // namespace

namespace textinternal {

void PrepareCharacterTable() {
  if (cp932Ready) return;
  fontfiles::BuildCp932Table(cp932Table);
  cp932Ready = true;
}

}  // namespace textinternal

// ---------------------------------------------------------------------------
// Contexts

bool GetTextDC(Surface& surface, TextDC& dc) {
  dc = TextDC{};
  if (surface.lost || surface.pixels == nullptr) return false;
  textinternal::PrepareCharacterTable();
  dc.surface = &surface;
  return true;
}

void ReleaseTextDC(TextDC& dc) { dc = TextDC{}; }

Font* SelectFont(TextDC& dc, Font* font) {
  Font* previous = dc.font;
  dc.font = font;
  return previous;
}

uint32_t SetTextColor(TextDC& dc, uint32_t colour) {
  uint32_t previous = dc.textColour;
  dc.textColour = colour & 0xFFFFFF;
  return previous;
}

uint32_t SetBkColor(TextDC& dc, uint32_t colour) {
  uint32_t previous = dc.backColour;
  dc.backColour = colour & 0xFFFFFF;
  return previous;
}

BkMode SetBkMode(TextDC& dc, BkMode mode) {
  BkMode previous = dc.bkMode;
  dc.bkMode = mode;
  return previous;
}

// ---------------------------------------------------------------------------
// Text

bool TextOut(TextDC& dc, int x, int y, const char* text, int length) {
  Font* font = FontOf(dc);
  if (!Usable(dc) || font == nullptr) return false;
  length = Length(text, length);
  DrawRun(dc, *font, x, y, text, length, {0, 0, dc.surface->width, dc.surface->height});
  return true;
}

bool GetTextExtentPoint32(TextDC& dc, const char* text, int length, TextSize& size) {
  Font* font = FontOf(dc);
  if (!Usable(dc) || font == nullptr) return false;
  size.cx = RunWidth(*font->strike, text, Length(text, length));
  size.cy = font->strike->facts.cellHeight;
  return true;
}

bool GetTextMetrics(TextDC& dc, TextMetrics& metrics) {
  Font* font = FontOf(dc);
  if (!Usable(dc) || font == nullptr) return false;
  metrics.height = font->strike->facts.cellHeight;
  metrics.ascent = font->strike->facts.ascent;
  metrics.descent = metrics.height - metrics.ascent;
  return true;
}

int DrawText(TextDC& dc, const char* text, int length, Rect& rect, uint32_t format) {
  Font* font = FontOf(dc);
  if (!Usable(dc) || font == nullptr) return 0;
  length = Length(text, length);
  Strike& strike = *font->strike;

  // Prefix characters go first, so that the lines measure what is drawn.
  static std::string stripped;
  if (!(format & kDtNoPrefix)) {
    stripped.clear();
    for (int i = 0; i < length; ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (IsLeadByte(c) && i + 1 < length) {
        stripped += text[i];
        stripped += text[++i];
      } else if (c == '&') {
        if (i + 1 < length && text[i + 1] == '&') stripped += text[++i];
      } else {
        stripped += text[i];
      }
    }
    text = stripped.data();
    length = static_cast<int>(stripped.size());
  }

  bool wordBreak = (format & kDtWordBreak) != 0;
  int boxWidth = rect.right - rect.left;
  int lineTop = rect.top, widest = 0, lines = 0;
  Box clip{rect.left, rect.top, rect.right, rect.bottom};
  int pos = 0;
  do {
    int start = pos, end = length, next = length;
    int width = 0, breakEnd = -1, breakNext = -1;
    bool previousDouble = false;
    for (int i = start; i < length;) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (c == '\r' || c == '\n') {
        end = i;
        next = i + 1;
        if (c == '\r' && next < length && text[next] == '\n') ++next;
        break;
      }
      bool isDouble = IsLeadByte(c) && i + 1 < length;
      // A double-byte character may start or end a line anywhere.
      if (wordBreak && i > start && (isDouble || previousDouble)) {
        breakEnd = i;
        breakNext = i;
      }
      int after = i;
      int advance = GetGlyph(strike, NextChar(text, length, after)).advance;
      if (wordBreak && i > start && width + advance > boxWidth) {
        if (c == ' ') {
          end = i;
          next = i;
        } else if (breakEnd > start) {
          end = breakEnd;
          next = breakNext;
        } else {
          end = i;  // One word wider than the box: broken between characters
          next = i;
        }
        while (end > start && text[end - 1] == ' ') --end;
        while (next < length && text[next] == ' ') ++next;
        break;
      }
      if (c == ' ') {
        breakEnd = i;
        breakNext = i + 1;
      }
      width += advance;
      previousDouble = isDouble;
      i = after;
    }
    int lineWidth = RunWidth(strike, text + start, end - start);
    widest = std::max(widest, lineWidth);
    if (!(format & kDtCalcRect)) {
      int x = rect.left;
      if (format & kDtCenter)
        x = rect.left + (boxWidth - lineWidth) / 2;
      else if (format & kDtRight)
        x = rect.right - lineWidth;
      DrawRun(dc, *font, x, lineTop, text + start, end - start, clip);
    }
    lineTop += strike.facts.cellHeight;
    ++lines;
    pos = next;
  } while (pos < length);

  int height = lines * strike.facts.cellHeight;
  if (format & kDtCalcRect) {
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
  }
  return height;
}

// ---------------------------------------------------------------------------
// Small helpers

int CharUpperBuff(char* text, int length) {
  if (text == nullptr || length <= 0) return 0;
  for (int i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(c) && i + 1 < length) {
      ++i;  // The second byte of a double-byte character is not a letter
    } else if (c >= 'a' && c <= 'z') {
      text[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return length;
}

}  // namespace plat
