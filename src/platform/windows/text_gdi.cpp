// The win32 backend's text engine: the system's own fonts through GDI. The
// font mapper picks the face (CreateFontIndirectW, unsmoothed), GDI gives
// the cell, ascent, underline and every character's advance, and renders
// each glyph as a one-bit mask (GetGlyphOutlineW), turned by the escapement.
// The shared layout of text_layout.cpp places them on our surfaces.
//
// The Japanese faces a font asks for by the old system's aliases are
// "ＭＳ ゴシック" and "ＭＳ 明朝" where installed, otherwise the nearest
// installed Japanese face, otherwise whatever the font mapper gives for the
// Shift-JIS character set.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/text/text_layout.h"
#include "platform/text/text_engine.h"
#include "platform/windows/win32_api.h"
#include "platform/windows/win32_shared.h"

namespace plat {
namespace {

// The faces that stand in for the old system's gothic and mincho, best first.
const wchar_t* const kGothicFaces[] = {
    L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF",  // ＭＳ ゴシック
    L"MS Gothic",
    L"IPA\x30B4\x30B7\x30C3\x30AF",  // IPAゴシック
    L"IPAGothic",
    L"Noto Sans Mono CJK JP",
    L"VL \x30B4\x30B7\x30C3\x30AF",  // VL ゴシック
    L"VL Gothic",
    L"\x30E1\x30A4\x30EA\x30AA",  // メイリオ
    L"Meiryo",
    L"\x6E38\x30B4\x30B7\x30C3\x30AF",  // 游ゴシック
    L"Yu Gothic",
    L"MS UI Gothic",
};
const wchar_t* const kMinchoFaces[] = {
    L"\xFF2D\xFF33 \x660E\x671D",  // ＭＳ 明朝
    L"MS Mincho",
    L"IPA\x660E\x671D",  // IPA明朝
    L"IPAMincho",
    L"Noto Serif CJK JP",
    L"\x6E38\x660E\x671D",  // 游明朝
    L"Yu Mincho",
};

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return text;
}

FIXED Fixed(double value) {
  const long raw = static_cast<long>(value * 65536.0 + (value < 0 ? -0.5 : 0.5));
  FIXED fixed;
  fixed.value = static_cast<short>(raw >> 16);
  fixed.fract = static_cast<WORD>(raw & 0xFFFF);
  return fixed;
}

struct FamilyEntry {
  fontfiles::FamilyFacts facts;
  std::wstring face;  // the name GDI knows it by
};

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto& families = *reinterpret_cast<std::map<std::wstring, FamilyEntry>*>(data);
  // Vertical variants ("@" names) lay text down the page, which the layout
  // does not do.
  if (font->lfFaceName[0] == L'@' || font->lfFaceName[0] == 0) return 1;
  FamilyEntry& entry = families[Lower(font->lfFaceName)];
  if (entry.face.empty()) {
    entry.face = font->lfFaceName;
    entry.facts.name = Utf8FromWide(font->lfFaceName);
  }
  entry.facts.japanese |= font->lfCharSet == SHIFTJIS_CHARSET;
  entry.facts.symbol |= font->lfCharSet == SYMBOL_CHARSET;
  entry.facts.outline |= (type & TRUETYPE_FONTTYPE) != 0;
  return 1;
}

class GdiText final : public TextEngine {
 public:
  int OpenStrike(const StrikeRequest& request, StrikeFacts& facts) override {
    if (!Start()) return -1;
    LOGFONTW font{};
    font.lfHeight = request.height;
    font.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = request.italic ? TRUE : FALSE;
    font.lfCharSet = request.charSet;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = NONANTIALIASED_QUALITY;
    PickFace(request, font);
    for (size_t i = 0; i < strikes_.size(); ++i)
      if (std::memcmp(&strikes_[i].font, &font, sizeof font) == 0 &&
          strikes_[i].escapement == request.escapement) {
        facts = strikes_[i].facts;
        return static_cast<int>(i);
      }

    Strike strike;
    strike.font = font;
    strike.escapement = request.escapement;
    strike.handle = CreateFontIndirectW(&font);
    if (strike.handle == nullptr) return -1;
    SelectObject(dc_, strike.handle);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc_, &metrics)) {
      DeleteObject(strike.handle);
      return -1;
    }
    strike.facts.cellHeight = metrics.tmHeight;
    strike.facts.ascent = metrics.tmAscent;
    strike.facts.underlineThickness = 1;
    int centre = metrics.tmDescent / 2;
    std::vector<char>& outline = scratch_;
    UINT size = GetOutlineTextMetricsW(dc_, 0, nullptr);
    if (size > 0) {
      outline.resize(size);
      auto* ot = reinterpret_cast<OUTLINETEXTMETRICW*>(outline.data());
      if (GetOutlineTextMetricsW(dc_, size, ot) > 0) {
        strike.facts.underlineThickness = ot->otmsUnderscoreSize > 0 ? static_cast<int>(ot->otmsUnderscoreSize) : 1;
        centre = -ot->otmsUnderscorePosition;
      }
    }
    strike.facts.underlineTop = UnderlineTop(centre, strike.facts.underlineThickness, metrics.tmHeight,
                                             metrics.tmAscent);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(dc_, LF_FACESIZE, chosen);
    const bool bold = metrics.tmWeight >= FW_SEMIBOLD, italic = metrics.tmItalic != 0;
    strike.facts.name = Utf8FromWide(chosen) + ":" +
                        (bold ? (italic ? "Bold Italic" : "Bold") : (italic ? "Italic" : "Regular"));

    double c, s;
    EscapementTurn(request.escapement, c, s);
    // The glyph's own space has y up: a counter-clockwise turn.
    strike.turn.eM11 = Fixed(c);
    strike.turn.eM12 = Fixed(s);
    strike.turn.eM21 = Fixed(-s);
    strike.turn.eM22 = Fixed(c);
    strikes_.push_back(strike);
    facts = strike.facts;
    return static_cast<int>(strikes_.size() - 1);
  }

  void RenderGlyph(int handle, uint32_t code, Glyph& glyph) override {
    const Strike& strike = strikes_[static_cast<size_t>(handle)];
    SelectObject(dc_, strike.handle);
    // A character the code page lacks shows the face's missing-glyph box.
    UINT format = GGO_BITMAP;
    UINT character = code;
    if (code == 0) format |= GGO_GLYPH_INDEX;
    // The advance is what GDI's own text output moves by.
    const wchar_t unit = static_cast<wchar_t>(code);
    SIZE extent{};
    GLYPHMETRICS metrics{};
    if (code != 0 && GetTextExtentPoint32W(dc_, &unit, 1, &extent)) {
      glyph.advance = extent.cx;
    } else if (GetGlyphOutlineW(dc_, character, format, &metrics, 0, nullptr, &kIdentity) != GDI_ERROR) {
      glyph.advance = metrics.gmCellIncX;
    }
    DWORD size = GetGlyphOutlineW(dc_, character, format, &metrics, 0, nullptr, &strike.turn);
    if (size == GDI_ERROR || size == 0) return;  // blank (a space) or none
    std::vector<char>& bits = scratch_;
    bits.assign(size, 0);
    if (GetGlyphOutlineW(dc_, character, format, &metrics, size, bits.data(), &strike.turn) == GDI_ERROR) return;
    glyph.left = metrics.gmptGlyphOrigin.x;
    glyph.top = metrics.gmptGlyphOrigin.y;
    glyph.width = static_cast<int>(metrics.gmBlackBoxX);
    glyph.rows = static_cast<int>(metrics.gmBlackBoxY);
    // Rows of the mask are whole double words, top row first.
    const size_t pitch = (static_cast<size_t>(glyph.width) + 31) / 32 * 4;
    if (pitch * glyph.rows > size) {
      glyph.width = glyph.rows = 0;
      return;
    }
    glyph.bits.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    for (int row = 0; row < glyph.rows; ++row) {
      const auto* line = reinterpret_cast<const unsigned char*>(bits.data()) + pitch * row;
      for (int col = 0; col < glyph.width; ++col)
        glyph.bits[static_cast<size_t>(row) * glyph.width + col] = (line[col >> 3] >> (7 - (col & 7))) & 1;
    }
  }

  bool ListFamilies(std::vector<fontfiles::FamilyFacts>& families) override {
    families.clear();
    if (!Start()) return false;
    for (const auto& [key, entry] : Families()) families.push_back(entry.facts);
    return true;
  }

 private:
  struct Strike {
    LOGFONTW font{};
    int escapement = 0;
    HFONT handle = nullptr;
    StrikeFacts facts;
    MAT2 turn{};
  };

  static constexpr MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

  bool Start() {
    if (dc_ == nullptr) dc_ = CreateCompatibleDC(nullptr);
    return dc_ != nullptr;
  }

  // The installed families, read once.
  const std::map<std::wstring, FamilyEntry>& Families() {
    if (!familiesRead_) {
      LOGFONTW any{};
      any.lfCharSet = DEFAULT_CHARSET;
      EnumFontFamiliesExW(dc_, &any, CollectFamily, reinterpret_cast<LPARAM>(&families_), 0);
      familiesRead_ = true;
    }
    return families_;
  }

  const FamilyEntry* Installed(const std::wstring& face) {
    auto found = Families().find(Lower(face));
    return found != families_.end() ? &found->second : nullptr;
  }

  // The first of a list of faces that is installed as a Japanese face.
  std::wstring FirstJapanese(const wchar_t* const* faces, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const FamilyEntry* entry = Installed(faces[i]);
      if (entry != nullptr && entry->facts.japanese) return entry->face;
    }
    return {};
  }

  // A Japanese face of the list; when none is installed, the font mapper
  // chooses one for the Shift-JIS character set, led by the family.
  void Japanese(const wchar_t* const* faces, size_t count, BYTE family, LOGFONTW& font) {
    std::wstring face = FirstJapanese(faces, count);
    if (face.empty()) face = FirstJapanese(kGothicFaces, std::size(kGothicFaces));
    font.lfPitchAndFamily = FIXED_PITCH | family;
    if (face.empty()) font.lfCharSet = SHIFTJIS_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
  }

  // The face to ask the font mapper for; ChooseFace gives the order.
  void PickFace(const StrikeRequest& request, LOGFONTW& font) {
    const FamilyEntry* named = request.face.empty() ? nullptr : Installed(WideFromUtf8(request.face));
    switch (ChooseFace(request.face, request.charSet, named != nullptr)) {
      case FaceChoice::Named: named->face.copy(font.lfFaceName, LF_FACESIZE - 1); break;
      case FaceChoice::Gothic: Japanese(kGothicFaces, std::size(kGothicFaces), FF_MODERN, font); break;
      case FaceChoice::Mincho: Japanese(kMinchoFaces, std::size(kMinchoFaces), FF_ROMAN, font); break;
      case FaceChoice::Plain: font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS; break;  // the mapper's sans
    }
  }

  HDC dc_ = nullptr;
  std::vector<Strike> strikes_;
  std::map<std::wstring, FamilyEntry> families_;
  bool familiesRead_ = false;
  std::vector<char> scratch_;
};

}  // namespace

TextEngine& GdiTextEngine() {
  static GdiText engine;
  return engine;
}

}  // namespace plat
