// elDraw text of the zolbeck library: fonts, formatted lines, text boxes, the frame-rate line, the
// font list and the message-window layout with its reveal and its smoothed
// double-size variant.
//
// One font description and one text context exist at a time. BeginText (or
// a variant) makes the font and holds the back screen's context until
// EndText; the layouts end that state, work on the Font sprite (and the font
// buffer), and take the back screen's context again before they return.
//
// All text is Shift-JIS bytes (see elSystem::FromUtf8 for UTF-8). Colours
// are 0x00BBGGRR.
#pragma once
#include <cstdint>


namespace elDraw {

// ---------------------------------------------------------------------------
// Fonts and the text state


// Starts drawing text on the back screen with a font: face 0 "標準明朝"
// (mincho), 1 "標準ゴシック" (gothic), any other keeps the previous face;
// size in pixels; angle in degrees, counter-clockwise; weight 0 normal,
// 1 bold, any other the face's own; italic and underline 0 or 1. End it
// with EndText in the same frame, before Present.
int BeginText(int face, int size, int angle, int weight, int italic, int underline);
// BeginText with a face named (Shift-JIS), as the font list has it.
int BeginTextFace(const char* faceName, int size, int angle, int weight, int italic, int underline);
// Text and background colours, 0x00BBGGRR; `transparent` 1 leaves the
// background under the letters, 0 fills it.
void SetTextColors(uint32_t textColour, uint32_t backColour, int transparent);
// One line with its top-left corner at (x, y); not cut to the clip rectangle.
void TextOut(int x, int y, const char* text);
// Text broken into lines at words inside the box. Alignment 0 left,
// 1 centre, 2 right; anything else draws nothing.
void TextBox(int left, int top, int right, int bottom, const char* text, int alignment);
// The height in pixels TextBox would take for the text; draws nothing.
int MeasureTextBox(int left, int top, int right, int bottom, const char* text);
// Ends the text begun by BeginText.
void EndText();

// One line of printf-formatted text: white on dark blue, 12-pixel gothic,
// opaque; Begin and End are done inside. The text must stay under 260 bytes.
void Print(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// Print without the formatting.
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
// The frame-rate line at (0, 0), measured every two seconds; once a frame.
void ShowFps();

// ---------------------------------------------------------------------------
// The font list

constexpr int kFontListSize = 200;
constexpr int kFontListNameSize = 36;
// The installed fonts, listed by Screen (at most 200).
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

// A message window's text, laid out character by character inside the box
// with the font and colours of BeginText (call it between BeginText and
// EndText), then drawn. Japanese punctuation hangs at the line's end; "\n"
// breaks a line; what does not fit the box is left out. Black text is drawn
// as (16, 16, 16): black is the transparent colour.
void LayoutText(int left, int top, int right, int bottom, const char* text, int flags);
// LayoutText without drawing, for RevealText.
void LayoutTextHidden(int left, int top, int right, int bottom, const char* text, int flags);
// Draws the laid-out text with one more character every `interval` seconds
// (0: all at once); call it every frame. Returns 1 once every character is
// shown.
int RevealText(float interval);

// Text at twice the size, smoothed down onto the screen: BeginSmoothText,
// LayoutSmoothText (or its Hidden form and RevealText), EndSmoothText.
int BeginSmoothText(int face, int size);
int BeginSmoothTextFace(const char* faceName, int size);
void EndSmoothText();
// LayoutText with smoothed edges, between BeginSmoothText and EndSmoothText.
void LayoutSmoothText(int left, int top, int right, int bottom, const char* text, int flags);
void LayoutSmoothTextHidden(int left, int top, int right, int bottom, const char* text, int flags);

}  // namespace elDraw
