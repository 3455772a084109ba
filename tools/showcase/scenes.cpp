// The scenes of drawing that are not effects: the wipes, the primitives, a
// sprite pack made and loaded back, and text.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <zolbeck/elsystem.h>

#include <zolbeck/eldraw.h>
#include "showcase.h"

namespace showcase {
namespace {

// ---------------------------------------------------------------------------
// Wipes: each of the nine shapes opens, waits, closes, and the next follows.

constexpr elDraw::ClipRect kView = {0, 44, 800, 584};
int wipeShape = 1, wipeClosing = 0, wipeRest = 0;
elDraw::ClipRect wipeWindow;  // the window between frames (the title bar resets the clip)

// What the wipes show: the backdrop and the dragon drawn once and kept in a
// sprite, since only what is drawn through the clip rectangle is cut by it
// (Draw and the effects; not the fills, stretches or text).
int wipePicture = 0;

void WipeEnter() {
  if (wipePicture == 0) {
    wipePicture = elDraw::CreateObject(800, 540, 2);
    Background();
    elDraw::DrawStretch(220, 60, pictures.dragon, 0, 0, 180, 250, 360, 500);
    elDraw::GrabScreen(wipePicture, 0, 44, 800, 584);
  }
  // The view starts hidden, as after a closing, and the frames open it
  // with shape 1. (A wipe started in a program's very first frame would be
  // cancelled: the loop sees the scene change from 0 to 1 after that frame.)
  elDraw::wipeState = 0;
  elDraw::screen.clipRect = kView;
  elDraw::ClipWipeHide();
  wipeWindow = elDraw::screen.clipRect;
  wipeShape = 9;
  wipeClosing = 1;
  wipeRest = 0;
}

void WipeLeave() {
  elDraw::wipeState = 0;
  elDraw::screen.clipRect = kView;
}

void WipeFrame() {
  elDraw::screen.clipRect = wipeWindow;
  float speed = 300.0f + level * 900.0f;
  // ClipWipeStep answers 0 once the wipe is over: the view then rests, open
  // (state 0) for 1.3 s, closed (state -1, hidden) for a quarter second.
  if (elDraw::ClipWipeStep() == 0 && ++wipeRest > (wipeClosing ? 20 : 100)) {
    wipeRest = 0;
    if (wipeClosing) wipeShape = wipeShape % 9 + 1;
    wipeClosing = !wipeClosing;
    // A closed window is empty: every wipe starts from the whole view.
    elDraw::screen.clipRect = kView;
    elDraw::ClipWipeStart(wipeClosing, wipeShape, speed, 120);
  }
  elDraw::DrawOpaque(0, 44, wipePicture, 0, 0, 800, 540);
  wipeWindow = elDraw::screen.clipRect;
  elDraw::screen.clipRect = {0, 0, 800, 600};
  Caption(8, 584, "ClipWipeStart(closing=%d, shape=%d, speed=%.0f, band=120)  window %d,%d-%d,%d",
          wipeClosing, wipeShape, speed, wipeWindow.left, wipeWindow.top, wipeWindow.right, wipeWindow.bottom);
}

// ---------------------------------------------------------------------------
// Primitives

void PrimitiveFrame() {
  elDraw::FillColor(0, 44, 800, 600, ScreenPixel(32, 32, 48));  // a screen pixel, not 0x00BBGGRR
  int w = 1 + static_cast<int>(level * 9.0f);
  for (int i = 0; i < 8; ++i) {  // a fan of lines, every colour
    uint32_t colour = (i & 1 ? 0x0000FF : 0) | (i & 2 ? 0x00FF00 : 0) | (i & 4 ? 0xFF0000 : 0) | 0x404040;
    elDraw::Line(20, 80, 20 + i * 30, 260, colour, w);
  }
  elDraw::Rectangle(300, 70, 460, 180, 0x2080FF, 0xFFFFFF, w);
  elDraw::Point star[] = {{560, 60}, {600, 180}, {500, 105}, {620, 105}, {520, 180}};
  elDraw::Polygon(star, 5, 0x00FFFF, 0x000080, 2, 0);
  elDraw::Point box[] = {{650, 70}, {780, 70}, {780, 180}, {650, 180}};
  elDraw::Polygon(box, 4, 0x00C0FF, 0x400000, 1, 1 + (sceneFrame / 60) % 2);
  int bend = static_cast<int>(level * 200.0f);
  elDraw::Point curve[] = {{40, 420}, {200, 420 - bend}, {400, 220 + bend}, {560, 420},
                           {640, 500}, {720, 300}, {780, 420}};
  elDraw::Bezier(curve, 7, 0x80FF80, w);
  for (int i = 0; i < 400; ++i) elDraw::SetPixel(20 + (i * 37) % 260, 470 + (i * 53) % 100, 0xFFFFFF);
  elDraw::DrawStretch(320, 460, pictures.princess, 0, 0, 96, 96, 120, 120);
  int band = 300 + static_cast<int>(level * 120.0f);
  elDraw::InvertArea(band, 460, band + 60, 580);
  int r, g, b;
  elDraw::GetPixel(band + 30, 520, &r, &g, &b);
  Caption(8, 290, "Line width %d   Rectangle   Polygon hatch 0, %d   Bezier 7 points", w, 1 + (sceneFrame / 60) % 2);
  Caption(480, 520, "InvertArea at x=%d", band);
  Caption(480, 540, "GetPixel(%d,520) = %d,%d,%d", band + 30, r, g, b);
  Caption(8, 580, "SetPixel x 400");
}

// ---------------------------------------------------------------------------
// A sprite pack: every picture of BMP\ packed by Convert, four loaded back.
// Convert keeps full-colour pixels, so it runs only on a desktop of more than
// 16 bits (--depth 24 or 32); otherwise the pack the build made that way
// (--make-pack) is loaded.

int packMade = -1, packed[4];
const char* const kPacked[] = {"princess.bmp", "item.bmp", "enemy00_01.bmp", "m_cp.bmp"};
std::string packName = "SHOWCASE.PAK";  // as Convert and SetPackFile take it

// The pack a run makes goes to the user's cache folder ($XDG_CACHE_HOME or
// ~/.cache, then "zolbeck"): an installed program's folder is not the
// user's to write. Convert and SetPackFile name their file from the program
// folder, which is the working one, so the cache is named from there. ""
// when there is no such folder, or its name is not plain ASCII (the
// library's names are Shift-JIS).
std::string CachePackName() {
  namespace fs = std::filesystem;
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  fs::path folder;
  if (cache != nullptr && cache[0] == '/') {
    folder = cache;
  } else if (home != nullptr && home[0] == '/') {
    folder = fs::path(home) / ".cache";
  } else {
    return "";
  }
  folder /= "zolbeck";
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return "";
  const fs::path here = fs::current_path(error);
  if (error) return "";
  const fs::path name = fs::relative(folder / "SHOWCASE.PAK", here, error);
  if (error || name.empty()) return "";
  std::string text = name.generic_string();
  for (char& c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return "";
    if (c == '/') c = '\\';
  }
  return text;
}

void PackEnter() {
  if (packMade >= 0) return;
  const bool fullColour = elSystem::GetScreenBitsPerPixel() > 16;
  if (fullColour && !makePackHere) {
    std::string cached = CachePackName();
    if (!cached.empty()) packName = cached;
  }
  packMade = fullColour ? elDraw::Convert(packName.c_str(), "BMP", 1) : 0;
  elDraw::SetPackFile(packName.c_str());
  // A sprite's transparent colour is the setting in force when it is made:
  // the sheets keep their top-left colour, the tile sheet (which has none
  // to spare) takes black, which a pack stores only for pure black.
  for (int i = 0; i < 3; ++i) packed[i] = elDraw::LoadPack(kPacked[i], 0);
  elDraw::SetColorKey(0x000000);
  packed[3] = elDraw::LoadPack(kPacked[3], 0);
  elDraw::UseTopLeftColorKey();
}

void PackFrame() {
  Background();
  if (packMade) {
    Caption(8, 56, "Convert(pack, \"BMP\", 1) = 1   SetPackFile(pack)");
    Caption(8, 74, "pack = \"%s\"", packName.c_str());
  } else {
    Caption(8, 56, "Convert needs a full-colour desktop (--depth 32): the build's SHOWCASE.PAK is loaded");
  }
  if (packed[0]) {
    int cell = (sceneFrame / 8) % 4;
    elDraw::Draw(40, 100, packed[0], cell * 96, 0, cell * 96 + 96, 96);
  }
  if (packed[1]) elDraw::DrawStretch(180, 100, packed[1], 0, 0, 96, 48, 192, 96);
  if (packed[2]) elDraw::Draw(420, 100, packed[2], 0, 0, 336, 240);
  if (packed[3]) elDraw::Draw(40, 380, packed[3], 0, 0, 640, 88);
  for (int i = 0; i < 4; ++i) Caption(8, 480 + i * 18, "LoadPack(\"%s\", 0) = slot %d", kPacked[i], packed[i]);
}

// ---------------------------------------------------------------------------
// Text: boxes in three alignments, and a message revealed a letter at a time.

const char kMessage[] =
    "姫「みんな、ついてきて！」\n竜の住む山へ続く道は長い。仲間を投げて敵を倒し、"
    "落ちた宝を拾いながら進もう。The princess throws her companions; they are her only weapon.";
bool revealDone = false;
int revealWait = 0;

void StartReveal() {
  elDraw::BeginText(1, 20, 0, 0, 0, 0);  // gothic, 20 pixels, normal weight
  elDraw::SetTextColors(0xFFFFFF, 0x000000, 1);
  elDraw::LayoutTextHidden(40, 300, 760, 560, kMessage, elDraw::kLayoutShadow | 4);
  elDraw::EndText();
  revealDone = false;
  revealWait = 0;
}

void TextFrame() {
  Background();
  elDraw::FillColor(30, 290, 770, 570, ScreenPixel(24, 40, 72));
  elDraw::BeginText(0, 18, 0, 0, 0, 0);  // mincho, 18 pixels
  elDraw::SetTextColors(0x80FFFF, 0x000000, 1);
  const char* names[] = {"左寄せ left", "中央 centre", "右寄せ right"};
  for (int a = 0; a < 3; ++a) {
    elDraw::FillColor(20 + a * 260, 60, 260 + a * 260, 150, ScreenPixel(40, 56, 96));
    elDraw::TextBox(20 + a * 260, 60, 260 + a * 260, 150, names[a], a);
  }
  elDraw::EndText();
  float interval = 0.01f + level * 0.15f;
  if (revealDone && ++revealWait > 120) StartReveal();
  revealDone = elDraw::RevealText(interval) == 1;
  Caption(20, 160, "TextBox alignment 0, 1, 2");
  Caption(20, 270, "LayoutTextHidden + RevealText(%.2f)  %d of %d shown", interval, elDraw::textLayout.revealCount,
          elDraw::textLayout.count);
}

}  // namespace

const Scene kWipeScene = {"ワイプ", "Wipes", WipeEnter, WipeLeave, WipeFrame};
const Scene kPrimitiveScene = {"図形", "Primitives", nullptr, nullptr, PrimitiveFrame};
const Scene kPackScene = {"スプライトパック", "Sprite pack", PackEnter, nullptr, PackFrame};
const Scene kTextScene = {"文字", "Text", StartReveal, nullptr, TextFrame};

}  // namespace showcase
