// Fonts and text over software surfaces, the stand-in for the old graphics
// interface's text calls, built on FreeType and fontconfig.
//
// A font is made from a description (cell height in pixels, escapement,
// weight, italic, underline, character set, face name) and selected into a
// text context, which is a surface that was not lost plus the colours and
// background mode of the old interface. Text is drawn without antialiasing:
// every pixel is either the text colour or untouched, so a surface keyed on
// pixel value 0 keeps exactly the glyph shapes.
//
// Strings are Shift-JIS (CP932) bytes; glyphs are looked up by their Unicode
// value. Faces, sizes and rendered glyphs are cached for the life of the
// process, so making and deleting a font for every line printed is cheap.
#pragma once
#include <cstdint>

#include "platform/image/surface.h"

namespace plat {

constexpr uint8_t kAnsiCharset = 0;
constexpr uint8_t kSymbolCharset = 2;
constexpr uint8_t kShiftJisCharset = 128;

constexpr int kFaceNameSize = 32;

// The description a font is made from. All fields are plain values, so a
// zero-filled block is a valid "anything" request.
struct FontDescription {
  int32_t height = 0;       // cell height in pixels; negative: character height; 0: default
  int32_t width = 0;        // accepted, not used (widths come from the face)
  int32_t escapement = 0;   // text direction, tenths of a degree counter-clockwise
  int32_t orientation = 0;  // accepted, not used (glyphs follow the escapement)
  int32_t weight = 0;       // 0 default (normal), 400 normal, 700 bold; 600 and up is bold
  uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
  uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  char faceName[kFaceNameSize] = {};  // CP932, zero-terminated
};

// An opaque font handle; fonts come from a fixed pool.
struct Font;

// Makes a font. The face name is resolved once per name and character set:
// "標準ゴシック" and "標準明朝" are the installed Japanese gothic and mincho
// faces (IPA Gothic, IPA Mincho), other names go through fontconfig, and a
// name that no installed family carries falls back to the default face of
// the character set (the gothic for Shift-JIS). Returns null when no face
// can be loaded at all or the pool is exhausted.
Font* CreateFont(const FontDescription& description);
void DeleteFont(Font* font);

enum class BkMode { Transparent = 1, Opaque = 2 };

// A text context on one surface. Defaults as the old interface gives them:
// black text, white background, opaque.
struct TextDC {
  Surface* surface = nullptr;
  Font* font = nullptr;  // null: the default font
  uint32_t textColour = 0x000000;  // 0x00BBGGRR
  uint32_t backColour = 0xFFFFFF;
  BkMode bkMode = BkMode::Opaque;
};
// Takes a context on a surface; false (and nothing to draw on) when the
// surface is lost or has no pixels.
bool GetTextDC(Surface& surface, TextDC& dc);
void ReleaseTextDC(TextDC& dc);
// Selects a font and returns the one selected before.
Font* SelectFont(TextDC& dc, Font* font);
uint32_t SetTextColor(TextDC& dc, uint32_t colour);  // returns the previous colour
uint32_t SetBkColor(TextDC& dc, uint32_t colour);
BkMode SetBkMode(TextDC& dc, BkMode mode);

struct TextSize {
  int cx = 0, cy = 0;
};
struct TextMetrics {
  int height = 0, ascent = 0, descent = 0;
};

// `length` -1 means zero-terminated. Every call fails (draws nothing,
// returns false or 0) when the surface was lost after the context was taken.

// Writes a string with the top-left corner of its first cell at (x, y);
// in opaque mode the cells are filled with the background colour first.
// Drawing is cut to the surface.
bool TextOut(TextDC& dc, int x, int y, const char* text, int length);
// Width: the sum of the advances; height: the font's cell height.
bool GetTextExtentPoint32(TextDC& dc, const char* text, int length, TextSize& size);
bool GetTextMetrics(TextDC& dc, TextMetrics& metrics);

// DrawText formats (the old interface's values).
constexpr uint32_t kDtLeft = 0x0000;
constexpr uint32_t kDtCenter = 0x0001;
constexpr uint32_t kDtRight = 0x0002;
constexpr uint32_t kDtWordBreak = 0x0010;
constexpr uint32_t kDtCalcRect = 0x0400;
constexpr uint32_t kDtNoPrefix = 0x0800;

// Writes text into a rectangle, line by line from its top, cut to the
// rectangle. Line feeds (CR, LF, CR LF) break lines; with word break, lines
// also break where the next word would cross the right edge (at spaces, and
// on either side of a double-byte character; a word wider than the
// rectangle is broken between characters). Without kDtNoPrefix an "&" is
// left out and "&&" gives one "&" (the mnemonic underline is not drawn).
// With kDtCalcRect nothing is drawn: the rectangle's right and bottom are set
// to the extent of the text. Returns the height of the text, 0 on failure.
int DrawText(TextDC& dc, const char* text, int length, Rect& rect, uint32_t format);

// Font types handed to the enumeration callback.
constexpr int kRasterFontType = 0x0001;
constexpr int kTrueTypeFontType = 0x0004;
// Calls `proc` once per installed font family (sorted by name) with a
// description carrying its face name (CP932) and character set: Shift-JIS
// for families that cover Japanese, symbol for symbol fonts, ANSI for the
// rest. Families whose names do not fit or cannot be written in CP932 are
// left out. Stops when `proc` returns 0; returns the last value it returned
// (1 when there were no fonts).
using FontEnumProc = int (*)(const FontDescription& font, int fontType, void* data);
int EnumFonts(FontEnumProc proc, void* data);

// Upper-cases the ASCII letters of a CP932 string in place; double-byte
// characters are left as they are, even when their second byte looks like
// a letter. Returns the number of bytes looked at.
int CharUpperBuff(char* text, int length);

// The resolved face of a font, as "family:style" in UTF-8, for tests and
// tools; "" for null.
const char* FontFaceName(const Font* font);

}  // namespace plat
