// What the party's picture files share: the palette, the shapes and layers
// every figure is built from, the princess's facings and poses, the
// companions' poses, and the sheets each file makes.
#pragma once
#include <initializer_list>

#include "canvas.h"

namespace gen::party {

constexpr float kPi = 3.14159265f;
constexpr Rgb kKey = kMagenta;
constexpr Rgb kInk{24, 20, 32};

// A material: highlight, base and shadow.
struct Ramp {
  Rgb hi, base, lo;
};

const Ramp kSkin{{252, 224, 192}, {248, 200, 160}, {216, 152, 112}};
const Ramp kPink{{252, 176, 208}, {248, 120, 168}, {200, 72, 128}};
const Ramp kGold{{255, 244, 160}, {248, 216, 72}, {200, 152, 32}};
const Ramp kHair{{248, 204, 120}, {232, 152, 64}, {184, 104, 40}};
constexpr Rgb kHairDeep{136, 72, 40};
const Ramp kLace{{255, 255, 255}, {232, 226, 244}, {176, 164, 208}};
const Ramp kPanel{{255, 228, 240}, {248, 188, 216}, {216, 136, 184}};
const Ramp kShoe{{200, 72, 128}, {136, 40, 96}, {96, 32, 72}};
const Ramp kWood{{168, 112, 64}, {120, 72, 40}, {80, 48, 32}};
constexpr Rgb kEye{56, 40, 104};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlush{248, 144, 160};
constexpr Rgb kMouth{176, 56, 80};
constexpr Rgb kGem{224, 56, 56};

// ---------------------------------------------------------------------------
// Shapes with fractional positions (pixel centres at whole coordinates)
// (party.cpp).

void Ell(Canvas& c, float cx, float cy, float rx, float ry, Rgb col);
void Disc(Canvas& c, float cx, float cy, float r, Rgb col);
// A line with round ends, `r` pixels from its middle to its edge.
void Capsule(Canvas& c, float x0, float y0, float x1, float y1, float r, Rgb col);
void Poly(Canvas& c, std::initializer_list<float> xy, Rgb col);
// A polygon given as points along a direction: each pair (along, across)
// is measured from (ox, oy) along unit vector (ux, uy) and its normal.
void DirPoly(Canvas& c, float ox, float oy, float ux, float uy, std::initializer_list<float> pts, Rgb col);

// ---------------------------------------------------------------------------
// Layers: a part of a figure drawn alone on the key colour, then shaded,
// outlined and laid over the figure (party.cpp).

Canvas NewLayer(int size);
bool IsKey(const Canvas& c, int x, int y);
// Rims the silhouette: pixels of a ramp's base colour near the bottom-right
// edge take its shadow (`depth` pixels deep), those on the top-left edge its
// highlight.
void Shade(Canvas& c, std::initializer_list<const Ramp*> ramps, int depth = 2);
void Stamp(Canvas& dst, Canvas& layer, bool outline = true);
// Finishes a layer drawn facing right (or front) and lays it over `dst`.
void Finish(Canvas& dst, Canvas& layer, bool mirror, std::initializer_list<const Ramp*> ramps, int depth = 2);
// Copies a finished cell into a sheet.
void Put(Canvas& sheet, const Canvas& cell, int column, int row);
float Rad(float degrees);
// A line drawn only over pixels already painted, for grooves and seams.
void LineOn(Canvas& c, float x0, float y0, float x1, float y1, Rgb col);
// A few four-point twinkles, for hits and dizziness.
void Twinkle(Canvas& c, int x, int y, int size, Rgb col, Rgb core);
// An impact burst: an eight-pointed star, white with a golden heart.
void Burst(Canvas& cell, float x, float y, float r, float turn);
// Stars circling a dizzy head; `phase` turns them.
void DizzyStars(Canvas& cell, float cx, float cy, float phase);

// ---------------------------------------------------------------------------
// The princess: 96 x 96 cells. Rows 0-7 are her facings, row 8 her death;
// columns 0-1 stand, 2-5 walk, 6-8 swing, 11 knocked back.

constexpr int kCell = 96;

enum class View { Front, Side, Back, FrontQuarter, BackQuarter };

struct Facing {
  View view;
  bool mirror;
  float degrees;  // screen angle she looks along (0 right, 90 down)
};
// Facings in sheet-row order: down, right, up, left, down-right, up-right,
// down-left, up-left. The left-hand views are the right-hand ones mirrored.
const Facing kFacings[8] = {
    {View::Front, false, 90},        {View::Side, false, 0},          {View::Back, false, 270},
    {View::Side, true, 180},         {View::FrontQuarter, false, 45}, {View::BackQuarter, false, 315},
    {View::FrontQuarter, true, 135}, {View::BackQuarter, true, 225},
};

enum class Face { Calm, Shut, Fierce };

struct Pose {
  int bob = 0;             // body lowered by this many pixels
  int lean = 0;            // upper body shifted sideways (drawing before mirroring)
  float stride = 0;        // -1..1: which foot is ahead
  float freeArm = 0;       // -1..1: swing of the empty hand
  float parasol = -100;    // screen angle from grip to tip
  bool reach = false;      // the holding arm follows the parasol (a swing)
  bool parasolShown = true;
  bool feetShown = true;
  Face face = Face::Calm;
};

// The folded parasol from its grip at (gx, gy) toward `degrees`
// (art_princess.cpp).
Canvas ParasolLayer(float gx, float gy, float degrees);
// Her figure in a facing and pose, with the smear of a swing from
// `smearFrom` to `smearTo` degrees when they differ (art_princess.cpp).
void DrawPrincess(Canvas& cell, int facing, const Pose& p, float smearFrom = 0, float smearTo = 0);
// Her whole sheet (art_princess_sheet.cpp).
Canvas MakePrincessSheet();

// ---------------------------------------------------------------------------
// The companions: 56 x 56 cells. Rows 0-3 face down, right, up, left with
// columns 0-1 standing, 2-5 walking, 6-7 hurt, 8 landed, 9-10 panic and
// 11-12 running away; rows 4-5 are the two flight frames, one column per
// facing of the princess at the strike.

constexpr int kSmall = 56;
constexpr float kGround = 52;  // the bottom of their feet

// Companion 0, the piercer: a little knight whose helmet ends in a drill.
const Ramp kTeal{{136, 224, 224}, {72, 176, 192}, {40, 120, 144}};
const Ramp kSteel{{240, 240, 248}, {192, 196, 216}, {128, 132, 164}};
const Ramp kScarf{{248, 112, 96}, {224, 56, 56}, {160, 32, 40}};
// Companion 1, the sturdy one: a round bun of a fellow with a pot helmet
// and a big wooden shield.
const Ramp kBun{{252, 204, 128}, {240, 164, 88}, {200, 116, 56}};
const Ramp kPot{{200, 200, 216}, {152, 152, 176}, {104, 104, 132}};
// Companion 2, the stunner: a small mage in a pointed hat with a great orb.
const Ramp kRobe{{184, 128, 232}, {136, 80, 192}, {92, 52, 144}};
const Ramp kOrb{{224, 252, 255}, {120, 216, 248}, {48, 144, 216}};
const Ramp kBoot{{104, 88, 120}, {72, 60, 88}, {48, 40, 64}};
constexpr Rgb kShadowFace{40, 32, 72};
constexpr Rgb kGlowEye{252, 236, 112};
constexpr Rgb kSweat{136, 200, 248};

enum class Mood { Calm, Hurt, Dizzy, Panic, Scared };

struct BuddyPose {
  int bob = 0;            // whole figure lowered
  float step = 0;         // -1..1 which foot is ahead; 0 both together
  bool lift = false;      // feet apart as in a stride
  bool sitting = false;   // landed: sat down, feet forward
  bool armsUp = false;    // panic
  Mood mood = Mood::Calm;
};

enum class BuddyView { Front, Side, Back };

// A companion (0 the drill knight, 1 the shield bun, 2 the orb mage) in a
// view and pose (art_companions.cpp).
void DrawBuddy(int who, Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p);
// A companion's whole sheet, and the piercing streak's
// (art_companion_sheet.cpp).
Canvas MakeBuddySheet(int who);
Canvas MakeTrailSheet();

}  // namespace gen::party
