// elDraw text: the font description and text state, formatted lines, the
// frame-rate line and the font list. The message-window layout is in
// message_layout.cpp.
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "draw/eldraw.h"
#include "draw/text.h"
#include "draw/text_context.h"
#include "shell/demo.h"
#include "shell/elsystem.h"

namespace elDraw {

plat::FontDescription* fontDescription = nullptr;
TextState textState;
char printBuffer[kPrintBufferSize] = {};
FpsState fpsState;
FontListEntry fontList[kFontListSize];
int fontListCount = 0;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDarkBlue = 0x800000;  // red 0, green 0, blue 128

plat::Surface* TargetSurface(int target) {
  if (target < 0) return screen.backScreen;
  return SpriteTable[target].surface;
}

// Copies a CP932 string into a fixed field, cut so that no double-byte
// character loses its second byte.
void CopyName(char* field, int size, const char* name) {
  int used = 0;
  for (int i = 0; name[i] != '\0';) {
    int n = plat::IsLeadByte(static_cast<unsigned char>(name[i])) && name[i + 1] != '\0' ? 2 : 1;
    if (used + n > size - 1) break;
    for (int k = 0; k < n; ++k) field[used++] = name[i++];
  }
  std::memset(field + used, 0, static_cast<size_t>(size - used));
}

}  // namespace

namespace textcontext {

void WriteDescription(int size, int angle, int weight, int italic, int underline) {
  fontDescription->height = size;
  fontDescription->width = 0;
  fontDescription->escapement = angle * 10;
  fontDescription->weight = weight == 0 ? 400 : weight == 1 ? 700 : 0;
  fontDescription->italic = static_cast<uint8_t>(italic);
  fontDescription->underline = static_cast<uint8_t>(underline);
  fontDescription->charSet = plat::kShiftJisCharset;
}

void SetFaceByIndex(int face) {
  if (face == 0) CopyName(fontDescription->faceName, plat::kFaceNameSize, "標準明朝");
  if (face == 1) CopyName(fontDescription->faceName, plat::kFaceNameSize, "標準ゴシック");
}

void SetFaceByName(const char* faceName) {
  CopyName(fontDescription->faceName, plat::kFaceNameSize, faceName);
  for (int i = 0; i < fontListCount; ++i)
    if (std::strcmp(fontList[i].faceName, fontDescription->faceName) == 0) {
      fontDescription->charSet = fontList[i].charSet;
      break;
    }
}

int TakeContext(int target) {
  textState.held = 0;
  textState.target = target;
  plat::Surface* surface = TargetSurface(target);
  if (surface == nullptr) return 0;
  plat::Font* font = plat::CreateFont(*fontDescription);
  if (!plat::GetTextDC(*surface, textState.dc)) {
    plat::DeleteFont(font);
    return 0;
  }
  textState.font = font;
  textState.previousFont = plat::SelectFont(textState.dc, font);
  textState.held = 1;
  return 1;
}

void ReleaseContext() {
  if (!textState.held) return;
  plat::SelectFont(textState.dc, textState.previousFont);
  plat::DeleteFont(textState.font);
  plat::ReleaseTextDC(textState.dc);
  textState.font = nullptr;
  textState.previousFont = nullptr;
  textState.held = 0;
}

void ApplyColours() {
  plat::SetTextColor(textState.dc, textState.textColour);
  plat::SetBkColor(textState.dc, textState.backColour);
  plat::SetBkMode(textState.dc, textState.transparent ? plat::BkMode::Transparent : plat::BkMode::Opaque);
}

int BeginOn(int target) {
  // A state still held is ended first, so that its font goes back.
  ReleaseContext();
  return TakeContext(target);
}

}  // namespace textcontext

using textcontext::ApplyColours;
using textcontext::BeginOn;
using textcontext::ReleaseContext;
using textcontext::SetFaceByIndex;
using textcontext::SetFaceByName;
using textcontext::WriteDescription;

namespace {

void PrintText(int x, int y, const char* text) {
  BeginText(1, 12, 0, 0, 0, 0);
  SetTextColors(kWhite, kDarkBlue, 0);
  TextOut(x, y, text);
  EndText();
}

// The list-filling callback of the font enumeration.
int ListOneFont(const plat::FontDescription& font, int /*fontType*/, void* /*data*/) {
  return AddFontToList(font.faceName, font.charSet);
}

}  // namespace

// ---------------------------------------------------------------------------
// Text state

int BeginText(int face, int size, int angle, int weight, int italic, int underline) {
  if (fontDescription == nullptr) return 0;
  WriteDescription(size, angle, weight, italic, underline);
  SetFaceByIndex(face);
  textState.fontSize = size;
  return BeginOn(-1);
}

int BeginTextFace(const char* faceName, int size, int angle, int weight, int italic, int underline) {
  if (fontDescription == nullptr || faceName == nullptr) return 0;
  WriteDescription(size, angle, weight, italic, underline);
  SetFaceByName(faceName);
  textState.fontSize = size;
  return BeginOn(-1);
}

void SetTextColors(uint32_t textColour, uint32_t backColour, int transparent) {
  textState.textColour = textColour & 0xFFFFFF;
  textState.backColour = backColour & 0xFFFFFF;
  textState.transparent = transparent;
  if (textState.held) ApplyColours();
}

void TextOut(int x, int y, const char* text) {
  if (!textState.held || text == nullptr) return;
  plat::TextOut(textState.dc, x, y, text, -1);
}

void TextBox(int left, int top, int right, int bottom, const char* text, int alignment) {
  if (!textState.held || text == nullptr) return;
  uint32_t format = plat::kDtNoPrefix | plat::kDtWordBreak;
  if (alignment == 1)
    format |= plat::kDtCenter;
  else if (alignment == 2)
    format |= plat::kDtRight;
  else if (alignment != 0)
    return;
  plat::Rect rect{left, top, right, bottom};
  plat::DrawText(textState.dc, text, -1, rect, format);
}

int MeasureTextBox(int left, int top, int right, int bottom, const char* text) {
  if (!textState.held || text == nullptr) return 0;
  plat::Rect rect{left, top, right, bottom};
  return plat::DrawText(textState.dc, text, -1, rect, plat::kDtNoPrefix | plat::kDtCalcRect | plat::kDtWordBreak);
}

void EndText() { ReleaseContext(); }

void Print(int x, int y, const char* format, ...) {
  if (format == nullptr) return;
  va_list args;
  va_start(args, format);
  // The line is cut to the buffer instead of running past it; a double-byte
  // character that would lose its second byte is left out.
  int wanted = std::vsnprintf(printBuffer, kPrintBufferSize, format, args);
  va_end(args);
  if (wanted < 0) {
    printBuffer[0] = '\0';
  } else if (wanted >= kPrintBufferSize) {
    int i = 0;
    const int last = kPrintBufferSize - 1;
    while (i < last) {
      int n = plat::IsLeadByte(static_cast<unsigned char>(printBuffer[i])) ? 2 : 1;
      if (i + n > last) break;
      i += n;
    }
    printBuffer[i] = '\0';
  }
  PrintText(x, y, printBuffer);
}

void PrintAt(int x, int y, const char* text) {
  if (text == nullptr) return;
  PrintText(x, y, text);
}

void ShowFps() {
  uint32_t now = shell::GameClock();
  if (now >= fpsState.nextTime) {
    fpsState.fps = static_cast<float>(fpsState.frames / 2.0);
    if (fpsState.fps > fpsState.maxFps) fpsState.maxFps = fpsState.fps;
    if (fpsState.fps > 0.0f && fpsState.fps < fpsState.minFps) fpsState.minFps = fpsState.fps;
    fpsState.nextTime = now + 2000;
    fpsState.frames = 0;
  }
  if (fpsState.frames < 999) ++fpsState.frames;
  Print(0, 0, "%3.1f fps ( max %3.1f / min %3.1f )", fpsState.fps, fpsState.maxFps, fpsState.minFps);
}

// ---------------------------------------------------------------------------
// Font list

void ClearFontList() {
  for (FontListEntry& entry : fontList) entry = FontListEntry{};
  fontListCount = 0;
}

int AddFontToList(const char* faceName, uint8_t charSet) {
  if (fontListCount >= kFontListSize || faceName == nullptr) return 0;
  FontListEntry& entry = fontList[fontListCount++];
  CopyName(entry.faceName, kFontListNameSize, faceName);
  entry.charSet = charSet;
  entry.type = charSet == plat::kShiftJisCharset ? 1 : charSet == plat::kSymbolCharset ? 3 : 2;
  return 1;
}

void ListFonts() {
  if (fontDescription == nullptr) fontDescription = new plat::FontDescription{};
  ClearFontList();
  plat::EnumFonts(ListOneFont, nullptr);
}

void FreeFontDescription() {
  ReleaseContext();
  delete fontDescription;
  fontDescription = nullptr;
}

}  // namespace elDraw
