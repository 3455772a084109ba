// The one text context of elDraw and the font description it is made
// from, shared by the text state (text.cpp) and the message-window layout
// (message_layout.cpp); not part of the library's interface.
#pragma once

namespace elDraw::textcontext {

// Fills the description's size, direction, weight, slant and underline
// (the character set becomes Shift-JIS).
void WriteDescription(int size, int angle, int weight, int italic, int underline);
// Face 0 "標準明朝", 1 "標準ゴシック"; any other keeps the previous face.
void SetFaceByIndex(int face);
// A face by name, with the character set the font list gives it.
void SetFaceByName(const char* faceName);

// Makes the font from the description and holds the context of `target`
// (-1 the back screen, else a sprite slot) with it selected; 0 when the
// surface is missing or lost, and then no state is held.
int TakeContext(int target);
// Gives the held context and its font back; nothing when none is held.
void ReleaseContext();
// Sets the text state's colours and background mode on the held context.
void ApplyColours();
// Ends a state still held, then takes the context of `target`.
int BeginOn(int target);

}  // namespace elDraw::textcontext
