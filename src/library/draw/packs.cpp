// Sprite packs: many pictures in one file, each as its width and height
// (16 bits each, little-endian), its upper-case file name with a closing
// zero, and its pixels in 15 bits (0RRRRRGGGGGBBBBB), rows top to bottom.
// There is no header and no directory: a search reads from the start.
//
// Packs are made by people and passed around, so the reader trusts nothing
// in them: a name that runs to the end of the file, a size larger than what
// is left of the file, or a picture without width or height make the search
// fail with the box that says the picture cannot be read.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"

namespace elDraw {

namespace {

constexpr const char* kNoPackFile = "パックファイル名が指定されていません";
constexpr const char* kNotFound = "BMPファイルを読み込めません";
constexpr const char* kTooLong = "ファイル名またはリソース名が長すぎます";

// The pack's path: the program folder and the name given to SetPackFile;
// empty until then.
char packPath[elSystem::kNameBufferSize * 2];

// The longest name a pack entry can be asked for by: it must fit a sprite
// slot's name, so that a restore can ask for it again.
constexpr size_t kMaxEntryName = kMaxSpriteName;

// Upper case for Shift-JIS text: ASCII letters only, and never the second
// byte of a double-byte character.
void ToUpper(char* text) {
  for (auto* p = reinterpret_cast<unsigned char*>(text); *p != '\0'; ++p) {
    if (plat::IsLeadByte(*p) && p[1] != '\0') {
      ++p;
    } else if (*p >= 'a' && *p <= 'z') {
      *p = static_cast<unsigned char>(*p - 'a' + 'A');
    }
  }
}

// An entry found in the pack: the file stands at its pixels.
struct Entry {
  FILE* file = nullptr;
  int width = 0, height = 0;
};

bool Read16(FILE* file, int& value) {
  unsigned char b[2];
  if (std::fread(b, 1, 2, file) != 2) return false;
  value = b[0] | b[1] << 8;
  return true;
}

// The file's length; the file is left at its start.
long long LengthOf(FILE* file) {
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  const long long end = ftello(file);
  std::rewind(file);
  return end;
}

// Finds `upperName` in the pack. On failure the error box has been shown
// and the file is closed.
bool FindEntry(const char* caption, const char* upperName, Entry& entry) {
  char named[sizeof packPath + kSpriteNameSize];
  elSystem::NameInPack(named, sizeof named, packPath, upperName);
  FILE* file = packPath[0] != '\0' ? plat::OpenFile(packPath, "rb") : nullptr;
  if (file == nullptr) {
    ErrorAbout(caption, named, kNoPackFile);
    return false;
  }
  // A buffer that holds several small entries lets their skips stay in
  // memory instead of each costing a seek and a read of the system.
  static char buffer[32768];
  std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
  // Stored names longer than any request cannot match; they are read to
  // their end all the same.
  char name[kMaxEntryName + 2];
  int width = 0, height = 0;
  const long long length = LengthOf(file);
  long long at = 0;  // where the next entry starts
  while (Read16(file, width) && Read16(file, height)) {
    at += 4;
    size_t kept = 0;
    int c = 0;
    while ((c = std::fgetc(file)) > 0) {
      ++at;
      if (kept < sizeof name - 1) name[kept++] = static_cast<char>(c);
    }
    if (c == EOF) break;  // the name runs to the end of the file
    ++at;
    name[kept] = '\0';
    const long long bytes = 2LL * width * height;
    if (length - at < bytes) break;  // the pixels would run past the end
    if (std::strcmp(name, upperName) == 0) {
      if (width == 0 || height == 0) break;
      entry.file = file;
      entry.width = width;
      entry.height = height;
      return true;
    }
    at += bytes;
    if (fseeko(file, at, SEEK_SET) != 0) break;
  }
  std::fclose(file);
  ErrorAbout(caption, named, kNotFound);
  return false;
}

// Where each 5-bit channel goes in a pixel: at the top of its channel, low
// bits zero. On 16-bit screens this is the screen's place5; on 24- and
// 32-bit screens the same rule keeps the colours instead of darkening them.
int TopShift(uint32_t mask) {
  int shift = 0, bits = 0;
  while (shift < 32 && ((mask >> shift) & 1u) == 0) ++shift;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
  return shift + bits - 5;
}

// Decodes the entry's pixels into the slot's surface, keys it and names it.
// Returns false (no box) when the surface cannot be locked.
bool Decode(Entry& entry, SpriteSlot& slot, const char* upperName) {
  plat::Surface& surface = *slot.surface;
  plat::LockInfo lock;
  if (plat::Lock(surface, lock) != plat::Result::Ok) {
    std::fclose(entry.file);
    return false;
  }
  const plat::PixelFormat& f = surface.format;
  const int red = TopShift(f.redMask), green = TopShift(f.greenMask), blue = TopShift(f.blueMask);
  const int bpp = f.bytesPerPixel;
  static uint8_t row[2 * 65536];
  for (int y = 0; y < entry.height; ++y) {
    // The size was checked against the file, so a short read is an error
    // of the medium; what was not read stays black.
    const size_t got = std::fread(row, 2, static_cast<size_t>(entry.width), entry.file);
    if (got < static_cast<size_t>(entry.width)) std::memset(row + 2 * got, 0, 2 * (entry.width - got));
    uint8_t* out = lock.pixels + static_cast<size_t>(y) * lock.pitch;
    for (int x = 0; x < entry.width; ++x) {
      const uint32_t d = row[2 * x] | row[2 * x + 1] << 8;
      const uint32_t v = ((d >> 10) & 31) << red | ((d >> 5) & 31) << green | (d & 31) << blue;
      plat::StorePixelValue(out + static_cast<size_t>(x) * bpp, bpp, v);
    }
  }
  plat::Unlock(surface);
  std::fclose(entry.file);

  slot.keySetting = colorKeySetting.fromTopLeft == 1 ? -1 : colorKeySetting.keyColour;
  ApplyColorKey(surface, slot.keySetting);
  std::snprintf(slot.name, sizeof slot.name, "%s", upperName);
  slot.packFlag = 1;
  slot.memoryKind = 2;
  slot.width = static_cast<uint16_t>(entry.width);
  slot.height = static_cast<uint16_t>(entry.height);
  return true;
}

// The request in upper case; false after the box for a name too long to
// be kept in a sprite slot.
bool UpperRequest(const char* caption, const char* name, char (&upper)[kSpriteNameSize]) {
  if (name == nullptr || std::strlen(name) > kMaxEntryName) {
    ErrorAbout(caption, name, kTooLong);
    return false;
  }
  std::snprintf(upper, sizeof upper, "%s", name);
  ToUpper(upper);
  return true;
}

}  // namespace

// An empty name leaves no pack chosen: the program folder itself is no pack
// file, though this system would open it for reading.
void SetPackFile(const char* name) {
  packPath[0] = '\0';
  if (name == nullptr || name[0] == '\0') return;
  std::snprintf(packPath, sizeof packPath, "%s%s", elSystem::GetProgramFolder(0), name);
}

int LoadPack(const char* name, int memoryKind) {
  constexpr const char* kCaption = "elDraw::LoadPack";
  char upper[kSpriteNameSize];
  if (!UpperRequest(kCaption, name, upper)) return 0;
  Entry entry;
  if (!FindEntry(kCaption, upper, entry)) return 0;
  const int number = CreateObject(entry.width, entry.height, memoryKind);
  if (number == 0) {
    std::fclose(entry.file);
    return 0;
  }
  return Decode(entry, SpriteTable[number], upper) ? number : 0;
}

int SwapPack(const char* name, int number, int) {
  constexpr const char* kCaption = "elDraw::SwapPack";
  // A slot number outside the table would write past it; it does nothing.
  if (number < 0 || number >= kSpriteCount) return 0;
  char upper[kSpriteNameSize];
  if (!UpperRequest(kCaption, name, upper)) return 0;
  Entry entry;
  if (!FindEntry(kCaption, upper, entry)) return 0;
  SpriteSlot& slot = SpriteTable[number];
  if (slot.surface != nullptr) plat::ReleaseSurface(slot.surface);
  slot.surface = plat::CreateSurface(entry.width, entry.height);
  slot.name[0] = '\0';
  if (slot.surface == nullptr) {
    std::fclose(entry.file);
    // The slot keeps a name, so that it stays taken, as a failed creation
    // leaves it.
    std::snprintf(slot.name, sizeof slot.name, "*");
    return ErrorAbout(kCaption, upper, "スプライトを作成できません");
  }
  return Decode(entry, slot, upper) ? number : 0;
}

namespace {

// The part of a Shift-JIS path after its last backslash.
const char* BareName(const char* path) {
  const char* bare = path;
  for (const auto* p = reinterpret_cast<const unsigned char*>(path); *p != '\0'; ++p) {
    if (plat::IsLeadByte(*p) && p[1] != '\0') {
      ++p;
    } else if (*p == '\\') {
      bare = reinterpret_cast<const char*>(p + 1);
    }
  }
  return bare;
}

// The 15-bit value a colour is stored as: only pure black becomes 0.
uint16_t PackValue(uint32_t colour) {
  uint32_t r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
  if (r != 0 || g != 0 || b != 0) {
    r >>= 3;
    g >>= 3;
    b >>= 3;
    // A dark colour must not turn into the transparent black.
    if (r == 0 && g == 0 && b == 0) b = 1;
  }
  return static_cast<uint16_t>(r << 10 | g << 5 | b);
}

// Appends the picture of a loaded sprite to the pack; a pack that cannot be
// opened is skipped silently.
void AppendEntry(const char* path, int number, const char* upperName) {
  plat::Surface* surface = SpriteTable[number].surface;
  if (surface == nullptr || plat::IsLost(*surface)) return;
  FILE* file = plat::OpenFile(path, "ab");
  if (file == nullptr) return;
  const int width = SpriteTable[number].width, height = SpriteTable[number].height;
  const unsigned char size[4] = {static_cast<unsigned char>(width), static_cast<unsigned char>(width >> 8),
                                 static_cast<unsigned char>(height), static_cast<unsigned char>(height >> 8)};
  std::fwrite(size, 1, sizeof size, file);
  const char* bare = BareName(upperName);
  std::fwrite(bare, 1, std::strlen(bare) + 1, file);
  std::vector<unsigned char> row(2 * static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint16_t v = PackValue(plat::GdiGetPixel(*surface, x, y));
      row[2 * x] = static_cast<unsigned char>(v);
      row[2 * x + 1] = static_cast<unsigned char>(v >> 8);
    }
    std::fwrite(row.data(), 1, row.size(), file);
  }
  std::fclose(file);
}

}  // namespace

int Convert(const char* pack, const char* folder, int replace) {
  constexpr const char* kCaption = "elDraw::Convert";
  // 16-bit pixels have already lost the low bits the pack keeps.
  if (elSystem::GetScreenBitsPerPixel() <= 16) return ErrorAbout(kCaption, pack, "画面をフルカラーにして下さい");
  const std::string programFolder = elSystem::GetProgramFolder(0);
  const std::string path = programFolder + (pack ? pack : "");
  if (replace != 0) std::remove(plat::ResolvePath(path.c_str()).c_str());

  const std::string sub = folder ? folder : "";
  const std::string searched = sub.empty() ? programFolder : programFolder + sub;
  for (const std::string& file : plat::FindFiles(searched.c_str(), "*.BMP")) {
    std::string name = sub.empty() ? file : sub + "\\" + file;
    std::vector<char> upper(name.begin(), name.end());
    upper.push_back('\0');
    ToUpper(upper.data());
    const int number = LoadObject(upper.data(), 1);
    if (number == 0) continue;
    AppendEntry(path.c_str(), number, upper.data());
    ReleaseObject(number);
  }
  return 1;
}

}  // namespace elDraw
