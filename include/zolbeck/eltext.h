// elDraw text of the zolbeck library: fonts, formatted lines, text boxes, the frame-rate line, the
// font list and the message-window layout with its reveal and its smoothed
// double-size variant.
//
// One font description and one text context exist at a time. BeginText (or
// a variant) makes the font and holds the back screen's context until
// EndText; the layouts end that state, work on the Font sprite (and the font
// buffer), and take the back screen's context again before they return.
#pragma once
#include <cstdint>


namespace elDraw {

// ---------------------------------------------------------------------------
// Fonts and the text state


// Face indices: 0 "標準明朝", 1 "標準ゴシック"; any other keeps the previous face.
int BeginText(int face, int size, int angle, int weight, int italic, int underline);
int BeginTextFace(const char* faceName, int size, int angle, int weight, int italic, int underline);
void SetTextColors(uint32_t textColour, uint32_t backColour, int transparent);
void TextOut(int x, int y, const char* text);
// Alignment 0 left, 1 centre, 2 right; anything else draws nothing.
void TextBox(int left, int top, int right, int bottom, const char* text, int alignment);
int MeasureTextBox(int left, int top, int right, int bottom, const char* text);
void EndText();

// One line: white on dark blue, 12-pixel gothic, opaque.
void Print(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
void PrintAt(int x, int y, const char* text);
constexpr int kPrintBufferSize = 260;
// The text of the last Print, terminator included.
extern char printBuffer[kPrintBufferSize];

struct FpsState {
  int32_t frames = 0;        // capped at 999
  uint32_t nextTime = 0;     // ms
  float fps = 0.0f, maxFps = 0.0f, minFps = 999.9f;
};
extern FpsState fpsState;
void ShowFps();

// ---------------------------------------------------------------------------
// The font list

constexpr int kFontListSize = 200;
constexpr int kFontListNameSize = 36;
struct FontListEntry {
  char faceName[kFontListNameSize] = {};
  int32_t type = -1;  // 1 Shift-JIS, 3 symbol, 2 other, -1 empty
  uint8_t charSet = 0;
};
extern FontListEntry fontList[kFontListSize];
extern int fontListCount;


// ---------------------------------------------------------------------------
// Message-window layout

// Flags: low 8 bits extra line spacing; these add a shadow and emboldening.
constexpr int kLayoutShadow = 0x100;
constexpr int kLayoutBoldX = 0x200;
constexpr int kLayoutBoldY = 0x400;

struct LayoutBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
constexpr int kLayoutBoxes = 3200;
struct TextLayout {
  LayoutBox boxes[kLayoutBoxes];  // 0: bounding box; 1..count: the characters
  int32_t count = 0;
  int32_t revealCount = 0;
  float revealTimer = 0.0f;
  int32_t blitAfterLayout = 1;
};
extern TextLayout textLayout;

void LayoutText(int left, int top, int right, int bottom, const char* text, int flags);
void LayoutTextHidden(int left, int top, int right, int bottom, const char* text, int flags);
// Returns 1 once every character is shown.
int RevealText(float interval);

int BeginSmoothText(int face, int size);
int BeginSmoothTextFace(const char* faceName, int size);
void EndSmoothText();
void LayoutSmoothText(int left, int top, int right, int bottom, const char* text, int flags);
void LayoutSmoothTextHidden(int left, int top, int right, int bottom, const char* text, int flags);

}  // namespace elDraw
