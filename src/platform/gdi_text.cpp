// Fonts and text over software surfaces (FreeType; the faces are found by
// each system's own font lookup, font_files.h).
//
// Three caches keep repeated text cheap: face files are opened once per file
// and face index, a "strike" (face, cell height, synthesised bold and italic,
// escapement) is set up once and keeps its rendered glyphs, and the last
// font descriptions seen map straight to their strike. Making a font is then
// a short search and taking a slot of the fixed font pool; drawing a cached
// glyph is a copy of its mono bitmap.
#include "platform/gdi_text.h"

#include <ft2build.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include "platform/font_files.h"

namespace plat {

namespace {

// ---------------------------------------------------------------------------
// CP932 to Unicode, one table for every single- and double-byte code

uint16_t cp932Table[65536];
bool cp932Ready = false;

void BuildCp932Table() {
  fontfiles::BuildCp932Table(cp932Table);
  cp932Ready = true;
}

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

// ---------------------------------------------------------------------------
// Faces

FT_Library library = nullptr;

struct FaceFile {
  std::string path;
  int index = 0;
  FT_Face face = nullptr;
  std::string name;  // "family:style"
};
std::vector<std::unique_ptr<FaceFile>> faceFiles;

bool StartFreeType() {
  if (library != nullptr) return true;
  if (FT_Init_FreeType(&library) != 0) {
    library = nullptr;
    return false;
  }
  return true;
}

FaceFile* OpenFaceFile(const std::string& path, int index) {
  for (auto& file : faceFiles)
    if (file->path == path && file->index == index) return file.get();
  if (!StartFreeType()) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    // Bitmap-only faces cannot be sized freely; the next candidate is used.
    FT_Done_Face(face);
    return nullptr;
  }
  auto file = std::make_unique<FaceFile>();
  file->path = path;
  file->index = index;
  file->face = face;
  file->name = std::string(face->family_name ? face->family_name : "") + ":" +
               (face->style_name ? face->style_name : "");
  faceFiles.push_back(std::move(file));
  return faceFiles.back().get();
}

// The best installed face for a family name; with `exact`, only a face that
// really carries that family name.
FaceFile* MatchFamily(const char* family, const char* lang, bool exact) {
  fontfiles::FaceLocation found;
  if (!fontfiles::MatchFamily(family, lang, exact, found)) return nullptr;
  return OpenFaceFile(found.path, found.index);
}

FaceFile* GothicFace() {
  static FaceFile* gothic = nullptr;
  if (gothic == nullptr) gothic = MatchFamily("IPAGothic", "ja", true);
  if (gothic == nullptr) gothic = MatchFamily("monospace", "ja", false);
  return gothic;
}

FaceFile* MinchoFace() {
  static FaceFile* mincho = nullptr;
  if (mincho == nullptr) mincho = MatchFamily("IPAMincho", "ja", true);
  if (mincho == nullptr) mincho = MatchFamily("serif", "ja", false);
  if (mincho == nullptr) mincho = GothicFace();
  return mincho;
}

// The face a font asks for (face name in UTF-8). The old system's own
// aliases come first; then the families installed; then, as the old system
// falls back, the default face of the character set.
FaceFile* ResolveFace(const std::string& name, uint8_t charSet) {
  // "標準ゴシック" and "標準明朝".
  static const std::string kGothicAlias = "\u6A19\u6E96\u30B4\u30B7\u30C3\u30AF";
  static const std::string kMinchoAlias = "\u6A19\u6E96\u660E\u671D";
  if (name == kGothicAlias) return GothicFace();
  if (name == kMinchoAlias) return MinchoFace();
  FaceFile* file = nullptr;
  if (!name.empty()) file = MatchFamily(name.c_str(), nullptr, true);
  if (file != nullptr) return file;
  // Names of Japanese faces this system lacks still say which kind they are.
  if (name.find("\u660E\u671D") != std::string::npos || name.find("Mincho") != std::string::npos)
    return MinchoFace();
  if (charSet == kShiftJisCharset) return GothicFace();
  file = MatchFamily("sans-serif", nullptr, false);
  return file != nullptr ? file : GothicFace();
}

// ---------------------------------------------------------------------------
// Strikes and glyphs

struct Glyph {
  int left = 0, top = 0;  // bitmap corner relative to the pen on the baseline (top: up)
  int width = 0, rows = 0;
  int advance = 0;  // pixels along the text direction
  std::vector<uint8_t> bits;  // width x rows, 1 = lit
};

struct Strike {
  FaceFile* file = nullptr;
  int cellHeight = 0;
  bool bold = false, italic = false;
  int escapement = 0;
  FT_Size size = nullptr;
  int ascent = 0;
  int underlineTop = 0, underlineThickness = 1;  // below the baseline
  bool transformed = false;
  FT_Matrix matrix{};
  double cosAngle = 1.0, sinAngle = 0.0;
  std::unordered_map<uint32_t, Glyph> glyphs;
  std::string name;
};
std::vector<std::unique_ptr<Strike>> strikes;

// The cell of a face is its ascender plus its descender. For the IPA faces
// that is exactly the em square, as it is for the gothic of the old system,
// so a 12-pixel font has 12-pixel full-width characters.
Strike* GetStrike(FaceFile* file, int height, bool bold, bool italic, int escapement) {
  FT_Face face = file->face;
  int units = face->ascender - face->descender;
  if (units <= 0) units = face->units_per_EM;
  int cell;
  double ppem;
  if (height > 0) {
    cell = height;
    ppem = static_cast<double>(height) * face->units_per_EM / units;
  } else {
    ppem = -height;
    cell = static_cast<int>(std::lround(ppem * units / face->units_per_EM));
  }
  if (cell < 1) cell = 1;
  if (ppem < 1.0) ppem = 1.0;
  // The face's own style is used when it has one; otherwise it is simulated.
  bool fakeBold = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  bool fakeItalic = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  for (auto& strike : strikes)
    if (strike->file == file && strike->cellHeight == cell && strike->bold == fakeBold &&
        strike->italic == fakeItalic && strike->escapement == escapement)
      return strike.get();

  auto strike = std::make_unique<Strike>();
  strike->file = file;
  strike->cellHeight = cell;
  strike->bold = fakeBold;
  strike->italic = fakeItalic;
  strike->escapement = escapement;
  if (FT_New_Size(face, &strike->size) != 0) return nullptr;
  FT_Activate_Size(strike->size);
  if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
    FT_Done_Size(strike->size);
    return nullptr;
  }
  double scale = ppem / face->units_per_EM;
  strike->ascent = static_cast<int>(std::lround(static_cast<double>(cell) * face->ascender / units));
  int thickness = static_cast<int>(std::lround(face->underline_thickness * scale));
  strike->underlineThickness = std::max(1, thickness);
  int centre = static_cast<int>(std::lround(-face->underline_position * scale));
  strike->underlineTop = std::max(1, centre - strike->underlineThickness / 2);
  if (strike->underlineTop + strike->underlineThickness > cell - strike->ascent)
    strike->underlineTop = std::max(0, cell - strike->ascent - strike->underlineThickness);

  // Escapement turns the glyphs and the direction of the pen; italic is a
  // shear applied before the turn.
  double angle = escapement / 10.0 * 3.14159265358979323846 / 180.0;
  strike->cosAngle = std::cos(angle);
  strike->sinAngle = std::sin(angle);
  if (escapement % 3600 == 0) {
    strike->cosAngle = 1.0;
    strike->sinAngle = 0.0;
  }
  double shear = fakeItalic ? 0.2126 : 0.0;
  strike->transformed = fakeItalic || strike->sinAngle != 0.0 || strike->cosAngle != 1.0;
  if (strike->transformed) {
    double c = strike->cosAngle, s = strike->sinAngle;
    strike->matrix.xx = static_cast<FT_Fixed>(std::lround(c * 65536));
    strike->matrix.xy = static_cast<FT_Fixed>(std::lround((c * shear - s) * 65536));
    strike->matrix.yx = static_cast<FT_Fixed>(std::lround(s * 65536));
    strike->matrix.yy = static_cast<FT_Fixed>(std::lround((s * shear + c) * 65536));
  }
  strike->name = file->name;
  strikes.push_back(std::move(strike));
  return strikes.back().get();
}

const Glyph& GetGlyph(Strike& strike, uint32_t code) {
  auto found = strike.glyphs.find(code);
  if (found != strike.glyphs.end()) return found->second;

  Glyph glyph;
  FT_Face face = strike.file->face;
  FT_Activate_Size(strike.size);
  FT_Set_Transform(face, nullptr, nullptr);
  FT_UInt index = FT_Get_Char_Index(face, code);
  FT_Int32 flags = FT_LOAD_TARGET_MONO;
  if (strike.transformed || strike.bold) flags |= FT_LOAD_NO_BITMAP;
  if (FT_Load_Glyph(face, index, flags) == 0) {
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->metrics.horiAdvance + 32) >> 6);
    bool rendered = slot->format == FT_GLYPH_FORMAT_BITMAP;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      // Simulated bold widens every stroke by one pixel and the advance
      // with it, as the old system does.
      if (strike.bold) FT_Outline_EmboldenXY(&slot->outline, 64, 0);
      if (strike.transformed) FT_Outline_Transform(&slot->outline, &strike.matrix);
      rendered = FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0;
    }
    if (strike.bold) glyph.advance += 1;
    if (rendered) {
      const FT_Bitmap& bitmap = slot->bitmap;
      glyph.left = slot->bitmap_left;
      glyph.top = slot->bitmap_top;
      glyph.width = static_cast<int>(bitmap.width);
      glyph.rows = static_cast<int>(bitmap.rows);
      glyph.bits.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
      for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (int col = 0; col < glyph.width; ++col) {
          bool lit = bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (line[col >> 3] >> (7 - (col & 7))) & 1
                                                              : line[col] >= 128;
          glyph.bits[static_cast<size_t>(row) * glyph.width + col] = lit ? 1 : 0;
        }
      }
    }
  }
  return strike.glyphs.emplace(code, std::move(glyph)).first->second;
}

// ---------------------------------------------------------------------------
// Fonts

struct FontRequest {
  FontDescription description;
  Strike* strike = nullptr;
};

bool SameRequest(const FontDescription& a, const FontDescription& b) {
  return a.height == b.height && a.escapement == b.escapement && a.weight == b.weight &&
         a.italic == b.italic && a.charSet == b.charSet &&
         std::strncmp(a.faceName, b.faceName, kFaceNameSize) == 0;
}

// Recent requests; a new one replaces the oldest.
constexpr int kRecentRequests = 32;
FontRequest recent[kRecentRequests];
int recentCount = 0, recentNext = 0;

std::map<std::string, FaceFile*> faceByName;  // key: character set byte + face name

Strike* StrikeFor(const FontDescription& description) {
  for (int i = 0; i < recentCount; ++i)
    if (SameRequest(recent[i].description, description)) return recent[i].strike;

  char name[kFaceNameSize + 1] = {};
  std::memcpy(name, description.faceName, kFaceNameSize);
  std::string key = std::string(1, static_cast<char>(description.charSet)) + name;
  FaceFile* file;
  auto found = faceByName.find(key);
  if (found != faceByName.end()) {
    file = found->second;
  } else {
    file = ResolveFace(Cp932ToUtf8(name), description.charSet);
    faceByName[key] = file;
  }
  if (file == nullptr) return nullptr;
  // A height of 0 asks for the default size.
  int height = description.height != 0 ? description.height : 16;
  // A negative escapement turns clockwise; whole turns are dropped.
  int escapement = description.escapement % 3600;
  if (escapement < 0) escapement += 3600;
  Strike* strike = GetStrike(file, height, description.weight >= 600, description.italic != 0, escapement);
  if (strike == nullptr) return nullptr;
  recent[recentNext].description = description;
  recent[recentNext].strike = strike;
  recentNext = (recentNext + 1) % kRecentRequests;
  if (recentCount < kRecentRequests) ++recentCount;
  return strike;
}

}  // namespace

struct Font {
  bool used = false;
  Strike* strike = nullptr;
  bool underline = false;
};

namespace {

constexpr int kFontPool = 64;
Font fontPool[kFontPool];

// The font of a context without one: the old system's default is a plain
// sans face.
Font* DefaultFont() {
  static Font font;
  if (font.strike == nullptr) {
    FontDescription description;
    description.height = 16;
    description.charSet = kShiftJisCharset;
    font.strike = StrikeFor(description);
    font.used = font.strike != nullptr;
  }
  return font.used ? &font : nullptr;
}

Font* FontOf(const TextDC& dc) { return dc.font != nullptr ? dc.font : DefaultFont(); }

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

  if (!strike.transformed || (strike.sinAngle == 0.0 && strike.cosAngle == 1.0)) {
    if (opaque) FillBox(s, {x, y, x + width, y + strike.cellHeight}, clip, ColourToPixel(s.format, dc.backColour));
    int pen = x, base = y + strike.ascent;
    for (int i = 0; i < length;) {
      const Glyph& glyph = GetGlyph(strike, NextChar(text, length, i));
      PutGlyph(s, glyph, pen, base, clip, ink);
      pen += glyph.advance;
    }
    if (font.underline)
      FillBox(s, {x, base + strike.underlineTop, x + width, base + strike.underlineTop + strike.underlineThickness},
              clip, ink);
    return;
  }

  // Turned text: the pen walks along the escapement from the baseline
  // point below the cell's corner.
  if (opaque) FillTurned(s, strike, x, y, 0, width, 0, strike.cellHeight, clip, ColourToPixel(s.format, dc.backColour));
  double ux = strike.cosAngle, uy = -strike.sinAngle;
  double baseX = x + strike.ascent * strike.sinAngle, baseY = y + strike.ascent * strike.cosAngle;
  int advanced = 0;
  for (int i = 0; i < length;) {
    const Glyph& glyph = GetGlyph(strike, NextChar(text, length, i));
    int pen = static_cast<int>(std::lround(baseX + advanced * ux));
    int base = static_cast<int>(std::lround(baseY + advanced * uy));
    PutGlyph(s, glyph, pen, base, clip, ink);
    advanced += glyph.advance;
  }
  if (font.underline)
    FillTurned(s, strike, x, y, 0, width, strike.ascent + strike.underlineTop,
               strike.ascent + strike.underlineTop + strike.underlineThickness, clip, ink);
}

int Length(const char* text, int length) {
  if (text == nullptr) return 0;
  return length < 0 ? static_cast<int>(std::strlen(text)) : length;
}

}  // namespace

// ---------------------------------------------------------------------------
// Fonts and contexts

Font* CreateFont(const FontDescription& description) {
  if (!cp932Ready) BuildCp932Table();
  Strike* strike = StrikeFor(description);
  if (strike == nullptr) return nullptr;
  for (Font& font : fontPool)
    if (!font.used) {
      font.used = true;
      font.strike = strike;
      font.underline = description.underline != 0;
      return &font;
    }
  return nullptr;
}

void DeleteFont(Font* font) {
  if (font == nullptr || font < fontPool || font >= fontPool + kFontPool) return;
  font->used = false;
  font->strike = nullptr;
}

bool GetTextDC(Surface& surface, TextDC& dc) {
  dc = TextDC{};
  if (surface.lost || surface.pixels == nullptr) return false;
  if (!cp932Ready) BuildCp932Table();
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
  size.cy = font->strike->cellHeight;
  return true;
}

bool GetTextMetrics(TextDC& dc, TextMetrics& metrics) {
  Font* font = FontOf(dc);
  if (!Usable(dc) || font == nullptr) return false;
  metrics.height = font->strike->cellHeight;
  metrics.ascent = font->strike->ascent;
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
    lineTop += strike.cellHeight;
    ++lines;
    pos = next;
  } while (pos < length);

  int height = lines * strike.cellHeight;
  if (format & kDtCalcRect) {
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
  }
  return height;
}

// ---------------------------------------------------------------------------
// Enumeration and small helpers

int EnumFonts(FontEnumProc proc, void* data) {
  if (proc == nullptr) return 0;
  struct Family {
    bool japanese = false, symbol = false, outline = false;
  };
  std::map<std::string, Family> families;
  std::vector<fontfiles::FamilyFacts> installed;
  if (!fontfiles::ListFamilies(installed)) return 0;
  for (const fontfiles::FamilyFacts& facts : installed) {
    std::string name = Utf8ToCp932(facts.name);
    // A name with characters CP932 lacks, or too long for a description,
    // could not be asked for again: such families are not listed.
    if (std::count(name.begin(), name.end(), '?') != std::count(facts.name.begin(), facts.name.end(), '?'))
      continue;
    if (name.empty() || name.size() >= static_cast<size_t>(kFaceNameSize)) continue;
    Family& entry = families[name];
    entry.japanese |= facts.japanese;
    entry.symbol |= facts.symbol;
    entry.outline |= facts.outline;
  }
  int answer = 1;
  for (const auto& [name, family] : families) {
    FontDescription description;
    description.charSet = family.japanese ? kShiftJisCharset : family.symbol ? kSymbolCharset : kAnsiCharset;
    description.weight = 400;
    std::memcpy(description.faceName, name.data(), name.size());
    answer = proc(description, family.outline ? kTrueTypeFontType : kRasterFontType, data);
    if (answer == 0) break;
  }
  return answer;
}

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

const char* FontFaceName(const Font* font) {
  if (font == nullptr || font->strike == nullptr) return "";
  return font->strike->name.c_str();
}

}  // namespace plat
