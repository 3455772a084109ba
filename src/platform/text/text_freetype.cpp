// The FreeType text engine: faces found by each system's own font lookup
// (font_files.h), sized into strikes, glyphs rendered as one-bit masks.
//
// Face files are opened once per file and face index, and a strike (face,
// cell height, synthesised bold and italic, escapement) is set up once.
#include <ft2build.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H

#include "platform/text/text_layout.h"
#include "platform/text/text_engine.h"

namespace plat {
namespace {

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

// The face a font asks for (face name in UTF-8); ChooseFace gives the order.
FaceFile* ResolveFace(const std::string& name, uint8_t charSet) {
  FaceFile* named = name.empty() ? nullptr : MatchFamily(name.c_str(), nullptr, true);
  switch (ChooseFace(name, charSet, named != nullptr)) {
    case FaceChoice::Named: return named;
    case FaceChoice::Gothic: return GothicFace();
    case FaceChoice::Mincho: return MinchoFace();
    case FaceChoice::Plain: break;
  }
  FaceFile* plain = MatchFamily("sans-serif", nullptr, false);
  return plain != nullptr ? plain : GothicFace();
}

std::map<std::string, FaceFile*> faceByName;  // key: character set byte + face name

FaceFile* FaceFor(const StrikeRequest& request) {
  std::string key = std::string(1, static_cast<char>(request.charSet)) + request.face;
  auto found = faceByName.find(key);
  if (found != faceByName.end()) return found->second;
  FaceFile* file = ResolveFace(request.face, request.charSet);
  faceByName[key] = file;
  return file;
}

// ---------------------------------------------------------------------------
// Strikes and glyphs

struct Strike {
  FaceFile* file = nullptr;
  int cellHeight = 0;
  bool bold = false, italic = false;
  int escapement = 0;
  FT_Size size = nullptr;
  StrikeFacts facts;
  bool transformed = false;
  FT_Matrix matrix{};
};
std::vector<std::unique_ptr<Strike>> strikes;

// The cell of a face is its ascender plus its descender. For the IPA faces
// that is exactly the em square, as it is for the gothic of the old system,
// so a 12-pixel font has 12-pixel full-width characters.
int GetStrike(FaceFile* file, int height, bool bold, bool italic, int escapement) {
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
  for (size_t i = 0; i < strikes.size(); ++i) {
    const Strike& strike = *strikes[i];
    if (strike.file == file && strike.cellHeight == cell && strike.bold == fakeBold &&
        strike.italic == fakeItalic && strike.escapement == escapement)
      return static_cast<int>(i);
  }

  auto strike = std::make_unique<Strike>();
  strike->file = file;
  strike->cellHeight = cell;
  strike->bold = fakeBold;
  strike->italic = fakeItalic;
  strike->escapement = escapement;
  if (FT_New_Size(face, &strike->size) != 0) return -1;
  FT_Activate_Size(strike->size);
  if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0) {
    FT_Done_Size(strike->size);
    return -1;
  }
  double scale = ppem / face->units_per_EM;
  StrikeFacts& facts = strike->facts;
  facts.cellHeight = cell;
  facts.ascent = static_cast<int>(std::lround(static_cast<double>(cell) * face->ascender / units));
  int thickness = static_cast<int>(std::lround(face->underline_thickness * scale));
  facts.underlineThickness = std::max(1, thickness);
  int centre = static_cast<int>(std::lround(-face->underline_position * scale));
  facts.underlineTop = UnderlineTop(centre, facts.underlineThickness, cell, facts.ascent);
  facts.name = file->name;

  // Escapement turns the glyphs; italic is a shear applied before the turn.
  double c, s;
  EscapementTurn(escapement, c, s);
  double shear = fakeItalic ? 0.2126 : 0.0;
  strike->transformed = fakeItalic || s != 0.0 || c != 1.0;
  if (strike->transformed) {
    strike->matrix.xx = static_cast<FT_Fixed>(std::lround(c * 65536));
    strike->matrix.xy = static_cast<FT_Fixed>(std::lround((c * shear - s) * 65536));
    strike->matrix.yx = static_cast<FT_Fixed>(std::lround(s * 65536));
    strike->matrix.yy = static_cast<FT_Fixed>(std::lround((s * shear + c) * 65536));
  }
  strikes.push_back(std::move(strike));
  return static_cast<int>(strikes.size() - 1);
}

class FreeTypeEngine final : public TextEngine {
 public:
  int OpenStrike(const StrikeRequest& request, StrikeFacts& facts) override {
    FaceFile* file = FaceFor(request);
    if (file == nullptr) return -1;
    int handle = GetStrike(file, request.height, request.bold, request.italic, request.escapement);
    if (handle >= 0) facts = strikes[static_cast<size_t>(handle)]->facts;
    return handle;
  }

  void RenderGlyph(int handle, uint32_t code, Glyph& glyph) override {
    const Strike& strike = *strikes[static_cast<size_t>(handle)];
    FT_Face face = strike.file->face;
    FT_Activate_Size(strike.size);
    FT_Set_Transform(face, nullptr, nullptr);
    FT_UInt index = FT_Get_Char_Index(face, code);
    FT_Int32 flags = FT_LOAD_TARGET_MONO;
    if (strike.transformed || strike.bold) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face, index, flags) != 0) return;
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
    if (!rendered) return;
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

  bool ListFamilies(std::vector<fontfiles::FamilyFacts>& families) override {
    return fontfiles::ListFamilies(families);
  }
};

}  // namespace

TextEngine& FreeTypeText() {
  static FreeTypeEngine engine;
  return engine;
}

}  // namespace plat
