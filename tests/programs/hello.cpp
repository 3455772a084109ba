// hello: the smallest whole program on the zolbeck library. A window, a
// sprite walked with the arrow keys, a sound on Space, a line of text;
// Escape quits.
#include <zolbeck/zolbeck.h>

namespace {

int princess = 0;  // a sprite slot (0: not loaded)
int bell = -1;     // a sound slot (-1: not loaded)
float x = 352.0f, y = 252.0f;

// Key edge states: the library moves them on, the program keeps them.
int left = 0, right = 0, up = 0, down = 0, space = 0;

void Load() {
  // The picture's top-left pixel is its transparent colour.
  elDraw::UseTopLeftColorKey();
  princess = elDraw::LoadObject("BMP\\princess.bmp", 2);
  // Four buffers, so that quick presses overlap instead of cutting off.
  bell = elSound::LoadObject("WAVE\\bell.wav", 4);
  // Without its pictures there is nothing to show: end the run (exit code 1).
  elDraw::QuitOnError();
}

void Frame() {
  elSystem::KeyEdge(VK_LEFT, left);
  elSystem::KeyEdge(VK_RIGHT, right);
  elSystem::KeyEdge(VK_UP, up);
  elSystem::KeyEdge(VK_DOWN, down);
  elSystem::KeyEdge(VK_SPACE, space);

  // 1 pressed now, 3 held: bit 0 is set while the key is down.
  const float step = 200.0f * elSystem::dt;  // 200 pixels a second
  if (left & 1) x -= step;
  if (right & 1) x += step;
  if (up & 1) y -= step;
  if (down & 1) y += step;
  if (space == 1) elSound::PlayObject(bell, -1);  // the next buffer in turn

  elDraw::Clear();
  elDraw::Draw(static_cast<int>(x), static_cast<int>(y), princess, 0, 0, 96, 96);
  elDraw::Print(8, 8, "矢印キーで歩く  Space: 鈴  Esc: 終わり   (%d, %d)", static_cast<int>(x),
                static_cast<int>(y));
  elDraw::Present();
}

}  // namespace

int main(int argc, char** argv) {
  programLoad = Load;
  programFrame = Frame;
  shell::ProgramInfo info;
  info.name = "hello";
  info.title = "Hello, zolbeck";
  return shell::RunProgram(argc, argv, info);
}
