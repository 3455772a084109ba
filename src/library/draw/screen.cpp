// The screen set-up, the library's error box, the release of every surface
// and the colour-depth check for windowed play.
//
// The display here is the platform's software surface layer. It offers one
// software driver without 3-D hardware, whose emulated blitter can stretch,
// so the set-up always ends with the default display object, hardware3D 0
// and canStretch 1. Surfaces have no memory placement: the memory mode and
// memory kinds are accepted and change nothing. Co-operation levels and the
// clipper are bookkeeping, since the platform keeps a present inside the
// window by itself.
#include <cstdio>
#include <cstring>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"
#include "sound/elsound.h"

namespace elDraw {

ScreenState screen;
int wipeState = 0;
ClipRect wipeSaved;

// Builds the lookup tables of the effects (tables.cpp).
void BuildSineTable();
void BuildColourTables();
void ClearColourTables();

namespace {

constexpr const char* kScreenCaption = "elDraw::Screen";

// The internal sprites: slot, name and what the error box says when the
// sprite cannot be made.
struct InternalSprite {
  const char* name;
  const char* failure;
};
constexpr InternalSprite kInternalSprites[kFirstLoadableSprite] = {
    {"内部用１", "Bufferスプライトが生成できません"},
    {"内部用２", "Screenスプライトが生成できません"},
    {"内部用３", "Fontスプライトが生成できません"},
    {"内部用４", "Fontバッファスプライトが生成できません"},
};

// The full-screen display mode can take any depth the surface layer has a
// format for. The platform cannot change the desktop itself, so surfaces
// keep the desktop's format and the depth is only recorded.
bool SetDisplayMode(int, int, int depth) {
  return depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

// Zero bits below a channel mask.
uint16_t MaskShift(uint32_t mask) {
  uint16_t shift = 0;
  while (shift < 32 && ((mask >> shift) & 1u) == 0) ++shift;
  return shift;
}

bool FillPixelFormat(const plat::PixelFormat& format, PixelFormatInfo& info) {
  const uint32_t masks[3] = {format.redMask, format.greenMask, format.blueMask};
  info = PixelFormatInfo{};
  for (int ch = 0; ch < 3; ++ch) {
    if (masks[ch] == 0) return false;
    info.mask[ch] = masks[ch];
    info.shift[ch] = MaskShift(masks[ch]);
    info.maxValue[ch] = masks[ch] >> info.shift[ch];
    info.place5[ch] =
        static_cast<uint16_t>(info.maxValue[ch] == 63 ? info.shift[ch] + 1 : info.shift[ch]);
  }
  for (int ch = 0; ch < 3; ++ch) {
    info.halfMask |= (info.maxValue[ch] >> 1) << info.shift[ch];
    info.fullMask |= info.mask[ch];
  }
  info.halfMaskPair = info.halfMask << 16 | info.halfMask;
  return true;
}

}  // namespace

void SetClip(int left, int top, int right, int bottom) {
  screen.clipRect = ClipRect{left, top, right, bottom};
}

void SetDepth(int depth, int fallback1, int fallback2) {
  screen.depth = depth;
  screen.fallbackDepth1 = fallback1;
  screen.fallbackDepth2 = fallback2;
}

void SetVSync(int flag) { screen.vsync = flag; }

int Error(const char* caption, const char* message, int code) {
  return ErrorAbout(caption, nullptr, message, code);
}

int ErrorAbout(const char* caption, const char* name, const char* message, int) {
  elSystem::ReportFailure(caption, name, message);
  char text[260];
  std::snprintf(text, sizeof text, "%s : %s", caption, message);
  if (screen.directDraw) FlipToGDISurface();
  plat::MessageBeep(-1);
  plat::MessageBox(text, "エラー発生", plat::Buttons::Ok, plat::Icon::Warning);
  screen.errorFlag = 1;
  return 0;
}

int IsError() { return screen.errorFlag; }

int QuitOnError() {
  if (screen.errorFlag) elSystem::QuitAfterError();
  return screen.errorFlag;
}

void FlipToGDISurface() {
  if (screen.directDraw) plat::FlipToGdiSurface();
}

int Screen(int width, int height, int) {
  screen.directDraw = false;
  screen.frontScreen = nullptr;
  screen.backScreen = nullptr;
  screen.clipper = false;
  screen.errorFlag = 0;
  if (width == -1) {
    width = elSystem::clientWidth;
    height = elSystem::clientHeight;
  }
  screen.width = width;
  screen.height = height;
  SetClip(0, 0, width, height);
  // What a failure names: the size asked for.
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", width, height);
  auto fail = [&size](const char* message) { return ErrorAbout(kScreenCaption, size, message); };

  // The only driver is the software one; it has no 3-D hardware, so the
  // enumeration keeps nothing and the default object is made.
  screen.hardware3D = 0;
  screen.directDraw = true;

  if (elSystem::fullScreen) {
    bool set = SetDisplayMode(width, height, screen.depth);
    if (!set && screen.fallbackDepth1 != 0) {
      screen.depth = screen.fallbackDepth1;
      set = SetDisplayMode(width, height, screen.depth);
      if (!set && screen.fallbackDepth2 != 0) {
        screen.depth = screen.fallbackDepth2;
        set = SetDisplayMode(width, height, screen.depth);
      }
    }
    if (!set) return fail("解像度が変更できません");
  } else {
    screen.depth = elSystem::GetScreenBitsPerPixel();
  }

  screen.frontScreen = plat::CreatePrimarySurface();
  if (!screen.frontScreen) return fail("表画面が生成できません");
  screen.backScreen = plat::CreateSurface(width, height);
  if (!screen.backScreen) return fail("裏画面が生成できません");
  if (!elSystem::fullScreen) screen.clipper = true;

  for (int i = 0; i < kFirstLoadableSprite; ++i) {
    SpriteSlot& slot = SpriteTable[i];
    slot.surface = plat::CreateSurface(width, height);
    if (!slot.surface) return fail(kInternalSprites[i].failure);
    ApplyColorKey(*slot.surface, 0);
    std::snprintf(slot.name, sizeof slot.name, "%s", kInternalSprites[i].name);
    slot.packFlag = 0;
    slot.memoryKind = 2;
    slot.keySetting = 0;
    slot.width = static_cast<uint16_t>(width);
    slot.height = static_cast<uint16_t>(height);
  }

  // The software driver's emulated blitter reports stretching.
  screen.canStretch = 1;

  if (!FillPixelFormat(screen.backScreen->format, screen.format))
    return fail("ピクセル情報が取得できません");

  BuildSineTable();
  // A desktop of two bytes per pixel reports 16 bits whether it holds 565
  // or 555; the tables place their values by the measured format.
  if (elSystem::GetScreenBitsPerPixel() == 16) {
    BuildColourTables();
  } else {
    ClearColourTables();
  }

  for (int i = kFirstLoadableSprite; i < kSpriteCount; ++i) {
    // Emptied, not released: the set-up runs once, or again only after
    // Release has given every surface back.
    SpriteTable[i].surface = nullptr;
    ResetSlot(SpriteTable[i]);
  }

  ResetScrollViewSprites();
  screen.presentSource = plat::Rect{0, 0, width, height};
  elSystem::clientRect = plat::Rect{elSystem::clientLeft, elSystem::clientTop,
                                    elSystem::clientLeft + width, elSystem::clientTop + height};

  elSound::InitSound();
  elSound::ClearSoundTable();
  elSound::ResetMidi();
  elSystem::ResetWaits();
  ListFonts();
  elSystem::JoyInit();
  if (elSystem::clipCursorMode) elSystem::ClipCursorToClient();
  return 1;
}

void Release() {
  if (!screen.directDraw) return;
  for (SpriteSlot& slot : SpriteTable) {
    if (!slot.surface) continue;
    plat::ReleaseSurface(slot.surface);
    ResetSlot(slot);
  }
  screen.clipper = false;
  if (screen.frontScreen) plat::ReleaseSurface(screen.frontScreen);
  screen.frontScreen = nullptr;
  if (screen.backScreen) plat::ReleaseSurface(screen.backScreen);
  screen.backScreen = nullptr;
  // Full screen leaves the display mode alone here (it never changed) and
  // the window is destroyed right after the release, so it is not
  // minimised first.
  screen.directDraw = false;
}

int CheckWindowDepth(const char* settingsFile) {
  static const char* const kColourCounts[4] = {"16", "256", "65536", "1670万"};
  int level = 0;
  switch (screen.depth) {
    case 8: level = 1; break;
    case 16: level = 2; break;
    case 24:
    case 32: level = 3; break;
    default: return 1;
  }
  if (!elSystem::IsWindowed()) return 1;
  if (elSystem::GetScreenBitsPerPixel() >= screen.depth) return 1;

  char format[260];
  std::snprintf(format, sizeof format, "%s%s%s%s", "　ウィンドウ状態で実行しようとしていますが、",
                "画面が%s色以下に設定されています。\n", "正しく動作させるには、%s色以上に設定するか、",
                "フルスクリーンで実行させて下さい。");
  char text[260];
  std::snprintf(text, sizeof text, format, kColourCounts[level - 1], kColourCounts[level]);
  elSystem::ReportFailure("elDraw::CheckWindowDepth", settingsFile, text);
  elSystem::ShowWarning("%s", text);

  const char* file = settingsFile ? settingsFile : "";
  const char* question = nullptr;
  if (file[0] == '\0') {
    question = nullptr;
  } else if (std::strcmp(file, "*") == 0) {
    question = "フルスクリーンに切り換えますか？";
  } else {
    question = "フルスクリーンに設定し直しますか？";
  }
  if (!question || !elSystem::AskYesNo("%s", question)) {
    elSystem::QuitAfterError();
    return 0;
  }
  if (std::strcmp(file, "*") != 0) elSystem::WriteNumberFile(file, 1);
  elSystem::fullScreen = 1;
  return 1;
}

}  // namespace elDraw
