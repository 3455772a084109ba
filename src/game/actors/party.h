// The party: the player character and the three companions, as the world,
// the enemies and the projectile pool see them.
#pragma once
#include <cstdint>

// ---------------------------------------------------------------------------
// The player (the princess)

struct PlayerState {
  int32_t hp = 0;               // the party's shared life
  float x = 0.0f, y = 0.0f;     // view position of the top-left of the 96 x 96 cell
  float moveHeading = 0.0f;     // degrees; 400 = not walking
  int32_t directionCode = 0;    // up 1, right 10, down 100, left 1000
  bool swinging = false;
  uint32_t inputLocked = 0;
  int32_t animStep = 0;
  uint32_t facing = 0;          // 0 down, 1 right, 2 up, 3 left, 4..7 diagonals, 8 dying
  float animTimer = 0.0f;
  int32_t walkStepDir = 1;
  int32_t column = 0;
  int32_t controllable = 1;
  float knockAngle = 0.0f;
  bool hitLatch = false;
  float invulnTimer = 0.0f;
  uint32_t blink = 0;
  float deathTimer = 0.0f;
  uint32_t keyUp = 0, keyDown = 0, keyRight = 0, keyLeft = 0, keyCall = 0, keySwing = 0;
};
extern PlayerState player;

void PlacePlayer(float worldX, float worldY);
void UpdatePlayer();
// Whether the swing strikes the box (x, y, w, h) now: 0 none, 1 a strike,
// 2 a strike with the sweet spot. `e` and `f` as the companions pass them.
int SwingHit(int x, int y, int w, int h, int e, int f);
// Hurts the player unless its hit latch is set; true when it took effect.
bool HurtPlayer(float knockAngle);
void HealPlayer(int amount);

// ---------------------------------------------------------------------------
// The companions

constexpr int kCompanionCount = 3;

struct Companion {
  float x = 0.0f, y = 0.0f;    // view position of the top-left of the 56 x 56 cell
  float vx = 0.0f, vy = 0.0f;
  float heading = 0.0f;
  int32_t column = 0, row = 0;
  float animTimer = 0.0f;
  int32_t walkStep = 0;
  int32_t facing = 0;
  int32_t flightFrame = 0;
  int32_t hurtStep = 2;        // 2 = well
  float landedTimer = 0.0f;
  int32_t trailOffsetX = 0, trailOffsetY = 0;
  float followTimer = 0.0f;
  int32_t slotOffsetX = 0, slotOffsetY = 0;
  int32_t flightDir = 0;
  int32_t launchFacing = 0;
  int32_t strikeResult = 0;
  float flightDistance = 0.0f;
  int32_t hitOffsetX = 0, hitOffsetY = 0;
  bool bumped = false;
  float returnSpeedX = 0.0f, returnSpeedY = 0.0f;
  bool powered = false;
  float knockAngle = 0.0f;
  bool hitLatch = false;
  float blinkTimer = 0.0f;
  uint32_t blink = 0;
  float fleeTimer = 0.0f;
  int32_t fleeAngle = 0;
};
extern Companion companions[kCompanionCount];
// 0 absent, 1 following, 2 standing, 3 idle, 4 flying, 5 landed,
// 6 running back, 7 riding, 8 regrouping.
extern int32_t companionState[kCompanionCount];
extern int32_t companionSlot[kCompanionCount];  // formation slot, -1 = none

void PlaceCompanion(int i, float worldX, float worldY);
void UpdateCompanions();
void GatherCompanions();
// Whether flying companion j strikes a w x h target at view position (x, y).
bool CompanionHits(int j, int w, int h, float x, float y, bool boxTest, bool stopOnHit);
// Hurts companion i unless latched, flying or running back; costs one of the
// player's hit points. True when it took effect.
bool HurtCompanion(int i, float knockAngle);

// ---------------------------------------------------------------------------
// The party table: member 0 the player, 1..3 the companions

constexpr int kPartySize = 4;
float PartyX(int member);
float PartyY(int member);
// Centre of a member in view coordinates.
float PartyCentreX(int member);
float PartyCentreY(int member);
bool HurtMember(int member, float knockAngle);

// ---------------------------------------------------------------------------
// Starting over (tests): every field of the records back to its initial value.
void ResetPlayer();
void ResetCompanions();
