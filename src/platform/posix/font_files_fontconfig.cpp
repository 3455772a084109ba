// The text code's faces on Linux: fontconfig finds and lists them, iconv
// gives the CP932 table.
#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include "platform/text/font_files.h"
#include "platform/platform.h"

namespace plat::fontfiles {

void BuildCp932Table(uint16_t* table) {
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  auto convert = [&](const char* bytes, size_t count) -> uint16_t {
    if (cd == reinterpret_cast<iconv_t>(-1)) return count == 1 ? static_cast<uint8_t>(bytes[0]) : 0;
    char in[2] = {bytes[0], count > 1 ? bytes[1] : '\0'};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = count, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
        sizeof out - outLeft != 2)
      return 0;  // Unmapped: drawn as the face's missing-glyph box
    return static_cast<uint16_t>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8);
  };
  for (int b = 0; b < 256; ++b) {
    if (IsLeadByte(static_cast<unsigned char>(b))) continue;
    char c = static_cast<char>(b);
    table[b] = convert(&c, 1);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      table[lead << 8 | trail] = convert(pair, 2);
    }
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
}

namespace {

bool FamilyMatches(FcPattern* font, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
  return false;
}

}  // namespace

// Fontconfig always answers with something; `exact` checks the answer
// carries the family asked for.
bool MatchFamily(const char* family, const char* lang, bool exact, FaceLocation& found) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  if (lang != nullptr) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* font = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (font == nullptr) return false;
  bool ok = false;
  FcChar8* path = nullptr;
  int index = 0;
  if ((!exact || FamilyMatches(font, family)) &&
      FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch) {
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    found.path = reinterpret_cast<const char*>(path);
    found.index = index;
    ok = true;
  }
  FcPatternDestroy(font);
  return ok;
}

bool ListFamilies(std::vector<FamilyFacts>& families) {
  families.clear();
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG, FC_SYMBOL, FC_OUTLINE, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  if (set == nullptr) return true;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* family = nullptr;
    if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch) continue;
    FamilyFacts facts;
    facts.name = reinterpret_cast<const char*>(family);
    FcLangSet* langs = nullptr;
    facts.japanese = FcPatternGetLangSet(font, FC_LANG, 0, &langs) == FcResultMatch &&
                     FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    FcBool flag = FcFalse;
    facts.symbol = FcPatternGetBool(font, FC_SYMBOL, 0, &flag) == FcResultMatch && flag;
    flag = FcFalse;
    facts.outline = FcPatternGetBool(font, FC_OUTLINE, 0, &flag) == FcResultMatch && flag;
    families.push_back(facts);
  }
  FcFontSetDestroy(set);
  return true;
}

}  // namespace plat::fontfiles
