// Where the text code's glyphs come from. The layout of text_layout.cpp (cells,
// lines, word breaks, colours, underlines, turned text) is the same on every
// system; a text engine finds the face a font asks for, sizes it, and
// renders single glyphs as one-bit masks. FreeType draws for the sdl and
// headless backends on both systems (the same face file gives the same
// pixels everywhere); a backend with text of its own (the win32 backend's
// GDI) hands out its engine instead.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text/font_files.h"
#include "platform/text/text_layout.h"

namespace plat {

// A font as the engine is asked for it.
struct StrikeRequest {
  std::string face;  // UTF-8; "" for any
  uint8_t charSet = 0;
  int height = 16;  // positive: cell height; negative: character height
  bool bold = false, italic = false;
  int escapement = 0;  // tenths of a degree counter-clockwise, 0 to 3599
};

struct StrikeFacts {
  int cellHeight = 0, ascent = 0;
  int underlineTop = 0, underlineThickness = 1;  // below the baseline
  std::string name;  // "family:style", UTF-8
};

struct Glyph {
  int left = 0, top = 0;  // bitmap corner relative to the pen on the baseline (top: up)
  int width = 0, rows = 0;
  int advance = 0;  // pixels along the text direction
  std::vector<uint8_t> bits;  // width x rows, 1 = lit
};

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  // A handle for the strike that serves the request (equal requests may
  // share one), or -1 when no face can be had.
  virtual int OpenStrike(const StrikeRequest& request, StrikeFacts& facts) = 0;
  // Renders one Unicode character (0: the face's missing-glyph box), turned
  // by the strike's escapement.
  virtual void RenderGlyph(int strike, uint32_t code, Glyph& glyph) = 0;
  // Every installed family; false when the system's font list cannot be had.
  virtual bool ListFamilies(std::vector<fontfiles::FamilyFacts>& families) = 0;
};

// FreeType over the faces of font_files.h (text_freetype.cpp).
TextEngine& FreeTypeText();

// What a font's face name asks for, in the order every engine resolves it:
// the old system's aliases "標準ゴシック" and "標準明朝", then an installed
// family of that name (`installed`), then the kind a Japanese face's name
// says ("…明朝", "…Mincho") on a system that lacks it, then the default of
// the character set: the gothic for Shift-JIS, a plain face otherwise.
enum class FaceChoice { Named, Gothic, Mincho, Plain };
inline FaceChoice ChooseFace(const std::string& face, uint8_t charSet, bool installed) {
  static const std::string kGothicAlias = "\u6A19\u6E96\u30B4\u30B7\u30C3\u30AF";
  static const std::string kMinchoAlias = "\u6A19\u6E96\u660E\u671D";
  if (face == kGothicAlias) return FaceChoice::Gothic;
  if (face == kMinchoAlias) return FaceChoice::Mincho;
  if (installed) return FaceChoice::Named;
  if (face.find("\u660E\u671D") != std::string::npos || face.find("Mincho") != std::string::npos)
    return FaceChoice::Mincho;
  return charSet == kShiftJisCharset ? FaceChoice::Gothic : FaceChoice::Plain;
}

// The turn of an escapement: whole quarter turns of 0 are exact.
inline void EscapementTurn(int escapement, double& cosAngle, double& sinAngle) {
  if (escapement % 3600 == 0) {
    cosAngle = 1.0;
    sinAngle = 0.0;
    return;
  }
  double angle = escapement / 10.0 * 3.14159265358979323846 / 180.0;
  cosAngle = std::cos(angle);
  sinAngle = std::sin(angle);
}

// The underline's top below the baseline from its centre and thickness in
// pixels, kept inside the cell.
inline int UnderlineTop(int centre, int thickness, int cellHeight, int ascent) {
  int top = centre - thickness / 2;
  if (top < 1) top = 1;
  if (top + thickness > cellHeight - ascent) top = cellHeight - ascent - thickness;
  return top < 0 ? 0 : top;
}

}  // namespace plat
