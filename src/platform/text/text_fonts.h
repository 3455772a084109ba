// What the two text files share (not for use outside src/platform): the
// strikes and fonts of text_fonts.cpp, which text_layout.cpp draws with.
#pragma once
#include <cstdint>
#include <unordered_map>

#include "platform/text/text_engine.h"
#include "platform/text/text_layout.h"

namespace plat {
namespace textinternal {

// One engine's sized face, with the glyphs it has rendered.
struct Strike {
  TextEngine* engine = nullptr;
  int handle = -1;
  StrikeFacts facts;
  double cosAngle = 1.0, sinAngle = 0.0;
  std::unordered_map<uint32_t, Glyph> glyphs;
};

// The glyph of a Unicode character, rendered on first use.
const Glyph& GetGlyph(Strike& strike, uint32_t code);

// Builds the CP932 table of the layout once, before any text is measured.
void PrepareCharacterTable();

}  // namespace textinternal

struct Font {
  bool used = false;
  textinternal::Strike* strike = nullptr;
  bool underline = false;
};

namespace textinternal {

// The font a context draws with: its own, or the default one (null when
// no face can be loaded).
Font* FontOf(const TextDC& dc);

}  // namespace textinternal
}  // namespace plat
