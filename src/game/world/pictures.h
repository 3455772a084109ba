// The sprite numbers of the game's pictures, kept by the start-up loader in
// its load order and used by the world and the actors.
#pragma once

struct GamePictures {
  int tileSheet = 0;           // "BMP\m_cp.bmp"
  int screenPictures[3][3] = {};  // nine blank 768 x 576 map screens, [column][row]
  int dragonAura = 0;          // "BMP\boss01\buresu.BMP"
  int shot[3] = {};            // arrow, fireball, breath
  int frame = 0;               // "BMP\waku.BMP"
  int shadow = 0;              // "BMP\kake.bmp"
  int item = 0;                // "BMP\item.bmp"
  int strikeVertical = 0;      // "BMP\g_a1.bmp", strikes up and down
  int strikeHorizontal = 0;    // "BMP\g_a2.bmp", strikes left and right
  int archer = 0;              // "bmp\atya.bmp"
  int shieldGuard = 0;         // "bmp\tate1.bmp"
  int soldierA = 0;            // "bmp\enemy00_00.bmp"
  int soldierB = 0;            // "bmp\enemy00_01.bmp"
  int dragonRoar = 0;          // "bmp\boss01\sakebi.bmp"
  int dragonShadow = 0;        // "bmp\boss01\d_kage.bmp"
  int dragonHead = 0;          // "bmp\boss01\dragon_head.bmp"
  int dragonBody = 0;          // "bmp\boss01\dragon_haba00.bmp", frames swapped in
  int princess = 0;            // "BMP\princess.bmp"
  int companion[3] = {};       // "BMP\damenzu_00.bmp" .. "_02.bmp"
  int companionTrail = 0;      // "BMP\damenzu_ef00.bmp"
};
extern GamePictures pictures;
