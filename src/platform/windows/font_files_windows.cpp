// The text code's faces on Windows: a table of the faces a Japanese system
// (or a folder of IPA fonts) has, looked for by file name in the font
// folders: those named by ZOLBECK_FONT_DIR (separated by ';'), the "fonts"
// folder beside the program, the user's and the system's font folders, and
// last the IPA fonts of a Debian system seen through Wine's Z: drive.
// FreeType draws them as on Linux, so the same face file gives the same
// pixels on both systems.
#include <cstring>
#include <string>
#include <vector>

#include "platform/text/font_files.h"
#include "platform/platform.h"
#include "platform/windows/win32_shared.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace plat::fontfiles {

void BuildCp932Table(uint16_t* table) {
  for (int b = 0; b < 256; ++b) {
    if (IsLeadByte(static_cast<unsigned char>(b))) continue;
    const unsigned char c = static_cast<unsigned char>(b);
    table[b] = b == 0 ? 0 : Cp932CharToUnit(&c, 1);
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      table[lead << 8 | trail] = Cp932CharToUnit(pair, 2);
    }
  }
}

namespace {

struct KnownFace {
  const char* family;  // UTF-8
  const char* file;
  int index;
  bool japanese;
};

// English and Japanese names of the same face both lead to it.
constexpr KnownFace kFaces[] = {
    {"IPAGothic", "ipag.ttf", 0, true},
    {"IPAMincho", "ipam.ttf", 0, true},
    {"IPAPGothic", "ipagp.ttf", 0, true},
    {"IPAPMincho", "ipamp.ttf", 0, true},
    {"MS Gothic", "msgothic.ttc", 0, true},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", "msgothic.ttc", 0, true},
    {"MS PGothic", "msgothic.ttc", 1, true},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", "msgothic.ttc", 1,
     true},
    {"MS UI Gothic", "msgothic.ttc", 2, true},
    {"MS Mincho", "msmincho.ttc", 0, true},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D", "msmincho.ttc", 0, true},
    {"MS PMincho", "msmincho.ttc", 1, true},
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE6\x98\x8E\xE6\x9C\x9D", "msmincho.ttc", 1, true},
    {"Meiryo", "meiryo.ttc", 0, true},
    {"Yu Gothic", "YuGothR.ttc", 0, true},
    {"Arial", "arial.ttf", 0, false},
    {"Tahoma", "tahoma.ttf", 0, false},
    {"Times New Roman", "times.ttf", 0, false},
    {"Courier New", "cour.ttf", 0, false},
};

// The families a generic name stands for, best first.
struct Generic {
  const char* name;
  const char* families[4];
};
constexpr Generic kGenerics[] = {
    {"monospace", {"MS Gothic", "IPAGothic", "Courier New", nullptr}},
    {"serif", {"MS Mincho", "IPAMincho", "Times New Roman", nullptr}},
    {"sans-serif", {"Arial", "Tahoma", "MS Gothic", "IPAGothic"}},
};

std::string EnvironmentUtf8(const wchar_t* name) {
  wchar_t buffer[4096];
  DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
  return length > 0 && length < std::size(buffer) ? Utf8FromWide(buffer) : std::string();
}

std::vector<std::string> FontFolders() {
  std::vector<std::string> folders;
  std::string listed = EnvironmentUtf8(L"ZOLBECK_FONT_DIR");
  for (size_t at = 0; at <= listed.size();) {
    size_t end = listed.find(';', at);
    if (end == std::string::npos) end = listed.size();
    if (end > at) folders.push_back(listed.substr(at, end - at));
    at = end + 1;
  }
  wchar_t buffer[MAX_PATH * 4];
  DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length > 0 && length < std::size(buffer)) {
    std::string program = Utf8FromWide(buffer);
    folders.push_back(program.substr(0, program.find_last_of("\\/") + 1) + "fonts");
  }
  std::string local = EnvironmentUtf8(L"LOCALAPPDATA");
  if (!local.empty()) folders.push_back(local + "\\Microsoft\\Windows\\Fonts");
  if (GetWindowsDirectoryW(buffer, static_cast<UINT>(std::size(buffer))) > 0)
    folders.push_back(Utf8FromWide(buffer) + "\\Fonts");
  // Under Wine a Debian system's IPA fonts sit at their usual place.
  folders.push_back("Z:\\usr\\share\\fonts\\opentype\\ipafont-gothic");
  folders.push_back("Z:\\usr\\share\\fonts\\opentype\\ipafont-mincho");
  return folders;
}

// The face's file in the first folder that has it, as FreeType opens names
// (the system's code page).
bool Locate(const KnownFace& face, FaceLocation& found) {
  static const std::vector<std::string> folders = FontFolders();
  for (const std::string& folder : folders) {
    std::wstring wide = WideFromUtf8(folder + "\\" + face.file);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    char path[MAX_PATH * 4];
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, path, sizeof path, nullptr,
                                &lost);
    if (n <= 0 || lost) continue;
    found.path = path;
    found.index = face.index;
    return true;
  }
  return false;
}

bool LocateFamily(const char* family, bool japanese, FaceLocation& found) {
  for (const KnownFace& face : kFaces) {
    if (lstrcmpiA(face.family, family) != 0 && std::strcmp(face.family, family) != 0) continue;
    if (japanese && !face.japanese) continue;
    if (Locate(face, found)) return true;
  }
  return false;
}

}  // namespace

bool MatchFamily(const char* family, const char* lang, bool exact, FaceLocation& found) {
  if (family == nullptr) return false;
  const bool japanese = lang != nullptr && std::strcmp(lang, "ja") == 0;
  if (LocateFamily(family, false, found)) return true;
  if (exact) return false;
  for (const Generic& generic : kGenerics) {
    if (std::strcmp(generic.name, family) != 0) continue;
    for (const char* name : generic.families)
      if (name != nullptr && LocateFamily(name, japanese, found)) return true;
  }
  // Like fontconfig, a loose match always answers when any face is there.
  for (const KnownFace& face : kFaces)
    if ((!japanese || face.japanese) && Locate(face, found)) return true;
  return false;
}

bool ListFamilies(std::vector<FamilyFacts>& families) {
  families.clear();
  FaceLocation found;
  for (const KnownFace& face : kFaces) {
    if (!Locate(face, found)) continue;
    FamilyFacts facts;
    facts.name = face.family;
    facts.japanese = face.japanese;
    facts.outline = true;
    families.push_back(facts);
  }
  return true;
}

}  // namespace plat::fontfiles
