// The sprite table: pictures loaded from BMP files, empty sprites, reloads
// in place, and the source colour keys that make drawing transparent.
#include <cstdio>
#include <cstring>

#include "draw/eldraw.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"

namespace elDraw {

SpriteSlot SpriteTable[kSpriteCount];
ColorKeySetting colorKeySetting;

namespace {

// What the key operations answer: the display's "done", and a refusal for a
// slot number that names no surface.
constexpr int kKeyDone = 0;
constexpr int kKeyRefused = -1;

constexpr int32_t kTopLeftKey = -1;

// The decoded picture is kept between loads so that a reload during play
// (the boss animation swaps pictures) reuses its pixel buffer.
plat::Bitmap loadedPicture;

// A slot number inside the table.
bool ValidSlot(int slot) { return slot >= 0 && slot < kSpriteCount; }

// A slot number inside the table whose slot holds a surface.
plat::Surface* SurfaceOf(int slot) {
  return ValidSlot(slot) ? SpriteTable[slot].surface : nullptr;
}

int FindFreeSlot() {
  for (int i = kFirstLoadableSprite; i < kSpriteCount; ++i) {
    if (SpriteTable[i].name[0] == '\0') return i;
  }
  return 0;
}

void SetName(SpriteSlot& slot, const char* name) {
  std::snprintf(slot.name, sizeof slot.name, "%s", name);
}

// The key for a sprite being loaded or created, from the global setting.
int32_t CurrentKey() {
  return colorKeySetting.fromTopLeft == 1 ? kTopLeftKey : colorKeySetting.keyColour;
}

// Loads the picture file `name` (relative to the program folder) into a new
// surface of the slot and keys it. Pictures are files only: there are no
// bitmap resources to fall back to.
bool LoadPicture(const char* name, SpriteSlot& slot) {
  char path[elSystem::kNameBufferSize + kSpriteNameSize];
  std::snprintf(path, sizeof path, "%s%s", elSystem::GetProgramFolder(0), name);
  if (!plat::LoadBitmap(path, loadedPicture)) return false;

  const int width = loadedPicture.width, height = loadedPicture.height;
  plat::Surface* surface = plat::CreateSurface(width, height);
  if (!surface) return false;
  slot.surface = surface;
  slot.width = static_cast<uint16_t>(width);
  slot.height = static_cast<uint16_t>(height);

  // A surface that cannot be drawn on keeps undefined content, unreported.
  plat::Restore(*surface);
  const plat::Rect whole{0, 0, width, height};
  plat::GdiStretchBitmap(*surface, whole, loadedPicture, whole);

  slot.keySetting = CurrentKey();
  ApplyColorKey(*surface, slot.keySetting);
  return true;
}

}  // namespace

void ResetSlot(SpriteSlot& slot) {
  slot.surface = nullptr;
  slot.name[0] = '\0';
  slot.packFlag = 0;
  slot.memoryKind = 2;
  slot.keySetting = 0;
  slot.width = 0;
  slot.height = 0;
}

int ApplyColorKey(plat::Surface& surface, int32_t keyValue) {
  // Writing the colour through the old graphics interface lets it choose
  // the nearest value the surface holds; that value is read back raw.
  uint32_t remembered = 0;
  if (keyValue != kTopLeftKey) {
    remembered = plat::GdiGetPixel(surface, 0, 0);
    plat::GdiSetPixel(surface, 0, 0, static_cast<uint32_t>(keyValue));
  }

  uint32_t value = 0xFFFFFFFFu;
  plat::LockInfo lock;
  if (plat::Lock(surface, lock) == plat::Result::Ok) {
    // Only the first pixel's bytes are read, not a whole 32-bit word: the
    // row of a one-pixel-wide surface of 16 or 24 bits ends before four
    // bytes. The value is cut to the pixel's bits either way.
    const int bytes = surface.format.bytesPerPixel;
    if (bytes == 2) {
      uint16_t pixel;
      std::memcpy(&pixel, lock.pixels, sizeof pixel);
      value = pixel;
    } else if (bytes == 4) {
      std::memcpy(&value, lock.pixels, sizeof value);
    } else {
      value = 0;
      for (int i = bytes - 1; i >= 0; --i) value = value << 8 | lock.pixels[i];
    }
    const int bits = surface.format.bitsPerPixel;
    if (bits < 32) value &= (1u << bits) - 1u;
    plat::Unlock(surface);
  }

  if (keyValue != kTopLeftKey) plat::GdiSetPixel(surface, 0, 0, remembered);
  plat::SetColorKey(surface, true, value, value);
  return kKeyDone;
}

int LoadObject(const char* name, int) {
  constexpr const char* kCaption = "elDraw::LoadObject";
  // Names are Shift-JIS bytes and are measured in bytes.
  if (std::strlen(name) > kMaxSpriteName)
    return ErrorAbout(kCaption, name, "ファイル名またはリソース名が長すぎます");
  int number = FindFreeSlot();
  if (number == 0) return ErrorAbout(kCaption, name, "オブジェクト数が多過ぎます");
  SpriteSlot& slot = SpriteTable[number];
  SetName(slot, name);
  slot.packFlag = 0;
  slot.memoryKind = 2;
  if (!LoadPicture(name, slot)) return ErrorAbout(kCaption, name, "BMPファイルを読み込めません");
  return number;
}

int CreateObject(int width, int height, int) {
  constexpr const char* kCaption = "elDraw::CreateObject";
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", width, height);
  int number = FindFreeSlot();
  if (number == 0) return ErrorAbout(kCaption, size, "オブジェクト数が多過ぎます");
  SpriteSlot& slot = SpriteTable[number];
  SetName(slot, "*");
  slot.packFlag = 0;
  slot.memoryKind = 2;
  slot.width = static_cast<uint16_t>(width);
  slot.height = static_cast<uint16_t>(height);
  slot.surface = width > 0 && height > 0 ? plat::CreateSurface(width, height) : nullptr;
  if (!slot.surface) return ErrorAbout(kCaption, size, "スプライトを作成できません");
  slot.keySetting = CurrentKey();
  ApplyColorKey(*slot.surface, slot.keySetting);
  return number;
}

int SwapObject(const char* name, int number, int) {
  constexpr const char* kCaption = "elDraw::SwapObject";
  // A slot number outside the table would write past it; it does nothing.
  if (!ValidSlot(number)) return 0;
  if (std::strlen(name) > kMaxSpriteName)
    return ErrorAbout(kCaption, name, "ファイル名またはリソース名が長すぎます");
  // The name may be the slot's own (a reload after a surface loss).
  char newName[kSpriteNameSize];
  std::snprintf(newName, sizeof newName, "%s", name);
  SpriteSlot& slot = SpriteTable[number];
  if (slot.surface) {
    plat::ReleaseSurface(slot.surface);
    slot.surface = nullptr;
  }
  SetName(slot, newName);
  slot.packFlag = 0;
  slot.memoryKind = 2;
  if (!LoadPicture(newName, slot)) return ErrorAbout(kCaption, newName, "BMPファイルを読み込めません");
  return 1;
}

void ReleaseObject(int number) {
  // A slot number outside the table does nothing.
  plat::Surface* surface = SurfaceOf(number);
  if (!surface) return;
  plat::ReleaseSurface(surface);
  SpriteSlot& slot = SpriteTable[number];
  slot.surface = nullptr;
  slot.name[0] = '\0';
  slot.keySetting = 0;
  slot.width = 0;
  slot.height = 0;
}

void SetColorKey(uint32_t colour) {
  colorKeySetting.keyColour = static_cast<int32_t>(colour);
  colorKeySetting.fromTopLeft = 0;
}

void UseTopLeftColorKey() { colorKeySetting.fromTopLeft = 1; }

// The per-object key operations refuse a slot number outside the table or a
// slot without a surface, instead of reaching through a null surface, and
// say so with a non-zero result.
int SetObjectColorKey(int number, uint32_t colour) {
  plat::Surface* surface = SurfaceOf(number);
  if (!surface) return kKeyRefused;
  SpriteTable[number].keySetting = static_cast<int32_t>(colour);
  return ApplyColorKey(*surface, static_cast<int32_t>(colour));
}

int SetObjectTopLeftColorKey(int number) {
  plat::Surface* surface = SurfaceOf(number);
  if (!surface) return kKeyRefused;
  SpriteTable[number].keySetting = kTopLeftKey;
  return ApplyColorKey(*surface, kTopLeftKey);
}

int CopyColorKey(int destNumber, int sourceNumber) {
  plat::Surface* dest = SurfaceOf(destNumber);
  plat::Surface* source = SurfaceOf(sourceNumber);
  if (!dest || !source) return kKeyRefused;
  // A source without a key passes that on: the destination loses its key.
  plat::SetColorKey(*dest, source->hasKey, source->keyLow, source->keyHigh);
  return kKeyDone;
}

}  // namespace elDraw
