// The fonts of the text layout: strikes, recent requests, the font pool,
// the default font and the list of installed families.
//
// Three caches keep repeated text cheap: the engine keeps its faces, a
// "strike" (face, cell height, bold and italic, escapement) keeps the glyphs
// it has rendered, and the last font descriptions seen map straight to their
// strike. Making a font is then a short search and taking a slot of the
// fixed font pool; drawing a cached glyph is a copy of its mono bitmap.
#include "platform/text/text_fonts.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/text/font_files.h"
#include "platform/text/text_engine.h"

namespace plat {

using textinternal::Strike;

namespace {

// ---------------------------------------------------------------------------
// Strikes

std::vector<std::unique_ptr<Strike>> strikes;

// The engine of the running backend: its own, or FreeType.
TextEngine& CurrentEngine() {
  Backend* backend = ActiveBackend();
  TextEngine* own = backend != nullptr ? backend->Text() : nullptr;
  return own != nullptr ? *own : FreeTypeText();
}

Strike* GetStrike(TextEngine& engine, const StrikeRequest& request) {
  StrikeFacts facts;
  int handle = engine.OpenStrike(request, facts);
  if (handle < 0) return nullptr;
  for (auto& strike : strikes)
    if (strike->engine == &engine && strike->handle == handle) return strike.get();
  auto strike = std::make_unique<Strike>();
  strike->engine = &engine;
  strike->handle = handle;
  strike->facts = facts;
  EscapementTurn(request.escapement, strike->cosAngle, strike->sinAngle);
  strikes.push_back(std::move(strike));
  return strikes.back().get();
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

Strike* StrikeFor(const FontDescription& description) {
  TextEngine& engine = CurrentEngine();
  for (int i = 0; i < recentCount; ++i)
    if (recent[i].strike->engine == &engine && SameRequest(recent[i].description, description))
      return recent[i].strike;

  char name[kFaceNameSize + 1] = {};
  std::memcpy(name, description.faceName, kFaceNameSize);
  StrikeRequest request;
  request.face = Cp932ToUtf8(name);
  request.charSet = description.charSet;
  // A height of 0 asks for the default size.
  request.height = description.height != 0 ? description.height : 16;
  request.bold = description.weight >= 600;
  request.italic = description.italic != 0;
  // A negative escapement turns clockwise; whole turns are dropped.
  request.escapement = description.escapement % 3600;
  if (request.escapement < 0) request.escapement += 3600;
  Strike* strike = GetStrike(engine, request);
  if (strike == nullptr) return nullptr;
  recent[recentNext].description = description;
  recent[recentNext].strike = strike;
  recentNext = (recentNext + 1) % kRecentRequests;
  if (recentCount < kRecentRequests) ++recentCount;
  return strike;
}

constexpr int kFontPool = 64;
Font fontPool[kFontPool];

// The font of a context without one: the old system's default is a plain
// sans face.
Font* DefaultFont() {
  static Font font;
  // Looked up again only when the running backend's engine changes.
  if (font.strike == nullptr || font.strike->engine != &CurrentEngine()) {
    FontDescription description;
    description.height = 16;
    description.charSet = kShiftJisCharset;
    font.strike = StrikeFor(description);
    font.used = font.strike != nullptr;
  }
  return font.used ? &font : nullptr;
}

}  // namespace

namespace textinternal {

const Glyph& GetGlyph(Strike& strike, uint32_t code) {
  auto found = strike.glyphs.find(code);
  if (found != strike.glyphs.end()) return found->second;
  Glyph glyph;
  strike.engine->RenderGlyph(strike.handle, code, glyph);
  return strike.glyphs.emplace(code, std::move(glyph)).first->second;
}

Font* FontOf(const TextDC& dc) { return dc.font != nullptr ? dc.font : DefaultFont(); }

}  // namespace textinternal

// ---------------------------------------------------------------------------
// Making, deleting and listing fonts

Font* CreateFont(const FontDescription& description) {
  textinternal::PrepareCharacterTable();
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

int EnumFonts(FontEnumProc proc, void* data) {
  if (proc == nullptr) return 0;
  struct Family {
    bool japanese = false, symbol = false, outline = false;
  };
  std::map<std::string, Family> families;
  std::vector<fontfiles::FamilyFacts> installed;
  if (!CurrentEngine().ListFamilies(installed)) return 0;
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

const char* FontFaceName(const Font* font) {
  if (font == nullptr || font->strike == nullptr) return "";
  return font->strike->facts.name.c_str();
}

}  // namespace plat
