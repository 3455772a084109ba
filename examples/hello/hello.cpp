// Hello: a whole program on the zolbeck library. A face that the arrow keys
// move, a chime on Space, a line of text; Escape quits (the library does
// that). Its picture and sound lie beside the program, where the library
// looks for data: the build writes them (make_data.cpp).
#include <zolbeck/zolbeck.h>

// The library takes text as Shift-JIS bytes. This UTF-8 source becomes so
// through the package's -fexec-charset=CP932 (zolbeck::zolbeck brings it).
static_assert(sizeof("こんにちは") == 11, "narrow literals must be Shift-JIS: build with -fexec-charset=CP932");

namespace {

constexpr int kSize = 32;  // the face's width and height
int face = 0;              // its sprite slot; 0 when it did not load
int chime = -1;            // its sound slot; -1 when it did not load
int x = (800 - kSize) / 2, y = (600 - kSize) / 2;
int space = 0;  // Space's edge state: 1 in the frame it goes down

int Clamp(int value, int high) { return value < 0 ? 0 : (value > high ? high : value); }

// Runs once the screen and the sound device are open. A file that does not
// load shows the library's error box; the program goes on without it.
void Load() {
  face = elDraw::LoadObject("hello.bmp", 0);
  chime = elSound::LoadObject("hello.wav", 4);  // four buffers: presses overlap
}

// One frame: read the keys, draw, present.
void Frame() {
  const int step = 4;
  if (elSystem::IsKeyDown(VK_LEFT)) x -= step;
  if (elSystem::IsKeyDown(VK_RIGHT)) x += step;
  if (elSystem::IsKeyDown(VK_UP)) y -= step;
  if (elSystem::IsKeyDown(VK_DOWN)) y += step;
  x = Clamp(x, 800 - kSize);
  y = Clamp(y, 600 - kSize);
  elSystem::KeyEdge(VK_SPACE, space);
  if (space == 1) elSound::PlayObject(chime, -1);  // -1: the next buffer in turn

  elDraw::Clear();
  if (face) elDraw::Draw(x, y, face, 0, 0, kSize, kSize);
  elDraw::Print(16, 16, "こんにちは！  Arrows move, Space chimes, Escape quits.  (%d, %d)", x, y);
  elDraw::Present();
}

}  // namespace

int main(int argc, char** argv) {
  programLoad = Load;
  programFrame = Frame;
  shell::ProgramInfo info;
  info.name = "hello";
  info.title = "Hello";
  info.summary = "The zolbeck library's first example: arrows, Space, Escape.";
  return shell::RunProgram(argc, argv, info);
}
