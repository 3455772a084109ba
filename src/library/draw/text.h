// elDraw text inside the library: the font description and the text
// context, beside what programs see (<zolbeck/eltext.h>).
#pragma once
#include <cstdint>

#include <zolbeck/eltext.h>

#include "platform/text/text_layout.h"

namespace elDraw {

// The one font description. It exists from ListFonts (screen set-up) to
// FreeFontDescription (quit); text calls outside that time draw nothing.
extern plat::FontDescription* fontDescription;

struct TextState {
  plat::TextDC dc;
  plat::Font* font = nullptr;
  plat::Font* previousFont = nullptr;
  int held = 0;      // 1 while a context is taken
  int target = -1;   // whose context: -1 back screen, 2 Font sprite, 3 font buffer
  int fontSize = 0;  // the size given to the last BeginText (not doubled)
  uint32_t textColour = 0x000000, backColour = 0x000000;  // 0x00BBGGRR
  int transparent = 0;
};
extern TextState textState;

// Lists the installed fonts (screen set-up), allocating the description.
void ListFonts();
void FreeFontDescription();
// Empties the list; AddFontToList adds one font and returns 0 once the list
// is full (the font is then not listed).
void ClearFontList();
int AddFontToList(const char* faceName, uint8_t charSet);

}  // namespace elDraw
