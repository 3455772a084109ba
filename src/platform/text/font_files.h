// Where the text code's faces come from: each system's own font lookup
// (fontconfig on Linux, font folders on Windows) behind one small interface.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat::fontfiles {

// Fills a table of 65536 entries with the Unicode character (one UTF-16
// unit) of every CP932 code: single bytes at their value, double bytes at
// lead << 8 | trail; 0 where CP932 has no character.
void BuildCp932Table(uint16_t* table);

struct FaceLocation {
  std::string path;  // as FreeType opens it (on Windows in the system's code page)
  int index = 0;     // the face within a collection
};
// The best installed face for a family name (UTF-8), preferring faces for
// `lang` when given; with `exact`, only a face that really carries that
// family name. False when there is none.
bool MatchFamily(const char* family, const char* lang, bool exact, FaceLocation& found);

struct FamilyFacts {
  std::string name;  // UTF-8
  bool japanese = false, symbol = false, outline = false;
};
// Every installed face's family, one entry a face; false when the system's
// font lookup cannot be started.
bool ListFamilies(std::vector<FamilyFacts>& families);

}  // namespace plat::fontfiles
