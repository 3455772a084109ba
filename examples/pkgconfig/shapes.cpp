// Shapes: a program on the zolbeck library that needs no data files, built
// with one compiler line from pkg-config (README.md). A box that the arrow
// keys move over a hatched star, a title in 32-pixel mincho, a beep on
// Space; Escape quits.
#include <zolbeck/zolbeck.h>

// Text is Shift-JIS bytes; zolbeck.pc's -fexec-charset=CP932 makes this
// UTF-8 source's literals so.
static_assert(sizeof("図形") == 5, "narrow literals must be Shift-JIS: build with -fexec-charset=CP932");

namespace {

int x = 360, y = 420;
int space = 0;  // Space's edge state

void Frame() {
  const int step = 5;
  if (elSystem::IsKeyDown(VK_LEFT) && x > 0) x -= step;
  if (elSystem::IsKeyDown(VK_RIGHT) && x < 720) x += step;
  if (elSystem::IsKeyDown(VK_UP) && y > 0) y -= step;
  if (elSystem::IsKeyDown(VK_DOWN) && y < 520) y += step;
  elSystem::KeyEdge(VK_SPACE, space);
  if (space == 1) elSound::Beep();

  elDraw::Clear();
  // Colours are 0x00BBGGRR.
  static const elDraw::Point star[] = {{400, 140}, {459, 321}, {305, 209}, {495, 209}, {341, 321}};
  elDraw::Polygon(star, 5, 0x0000C0FF, 0x00402000, 2, 1);
  elDraw::Rectangle(x, y, x + 80, y + 80, 0x00FF8040, 0x00FFFFFF, 3);
  elDraw::Line(0, 599, 799, 0, 0x0000FF00, 1);

  elDraw::BeginText(0, 32, 0, 1, 0, 0);  // face 0 (mincho), 32 pixels, bold
  elDraw::SetTextColors(0x00FFFFFF, 0, 1);  // white, no background
  elDraw::TextOut(40, 40, "図形と音  Shapes and a beep");
  elDraw::EndText();
  elDraw::Print(40, 90, "Arrows move the box, Space beeps, Escape quits.  (%d, %d)", x, y);
  elDraw::Present();
}

}  // namespace

int main(int argc, char** argv) {
  programFrame = Frame;  // nothing to load
  shell::ProgramInfo info;
  info.name = "shapes";
  info.title = "Shapes";
  info.summary = "A zolbeck program without data files: primitives, text, a beep.";
  return shell::RunProgram(argc, argv, info);
}
