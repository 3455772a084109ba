// The foes' records: the four enemy pools, the item drops and the dragon.
// The game reaches them through foes.h; tests and the trace read them here.
#pragma once
#include <cstdint>

constexpr int kEnemyPoolSize = 100;
constexpr int kItemPoolSize = 100;

// What a stun leaves in an enemy, the same in every kind (soldiers do not
// use the shake).
struct StunFields {
  int32_t stunActive = 0;
  int32_t shakeStep = 0;
  float shakeTimer = 0.0f;
  float stunTimer = 0.0f;
  float stunDuration = 0.0f;
  float stunDiameter = 0.0f;
  float stunCentreX = 0.0f, stunCentreY = 0.0f;  // view position of companion 2
};

// SoldierA and SoldierB.
struct Soldier {
  float x = 0.0f, y = 0.0f;  // world position of the 48 x 48 cell
  // 0 empty, 1 wandering, 2 chasing, 3 stunned, 80 appearing, 99 dying
  int32_t state = 0;
  int32_t directionCode = 0;  // up 1, right 10, down 100, left 1000, summed
  int32_t frameStep = 0;
  int32_t facing = 0;         // sheet row: 0 down, 1 left, 2 right, 3 up, 4 special
  int32_t animMode = 0;       // 0 idle, 1 walk, 2 strike, 3/4 stunned, 5 appearing
  int32_t cycleStarted = 0;
  float animTimer = 0.0f;
  float deathTimer = 0.0f;
  float wanderTimer = 0.0f;
  float vx = 0.0f, vy = 0.0f;
  float heading = 0.0f;       // degrees while wandering (400 standing), radians chasing
  float aimAngle[3] = {};
  float memberDx[4] = {}, memberDy[4] = {}, memberDist[4] = {};
  int32_t nearMember[4] = {};
  int32_t randomIndex = 0;
  int32_t directionPick = 0;
  StunFields stun;
};

struct Archer {
  float x = 0.0f, y = 0.0f;
  int32_t state = 0;  // 0, 1 alive, 3 stunned, 99 dying
  float aimAngle = 0.0f;
  int32_t aiming = 0;
  int32_t frameStep = 0;
  int32_t facing = 0;
  float dx = 0.0f, dy = 0.0f, dist = 0.0f;
  float animTimer = 0.0f;
  float shotTimer = 0.0f;
  int32_t projectileKind = 0;
  StunFields stun;
};

struct ShieldGuard {
  float x = 0.0f, y = 0.0f;
  int32_t state = 0;  // 0, 1 alive, 3 stunned, 99 dying
  int32_t frameStep = 0;
  int32_t facing = 0;
  float animTimer = 0.0f;
  float dx = 0.0f, dy = 0.0f, dist = 0.0f, aimAngle = 0.0f;
  StunFields stun;
};

extern Soldier soldiersA[kEnemyPoolSize];
extern Soldier soldiersB[kEnemyPoolSize];
extern Archer archers[kEnemyPoolSize];
extern ShieldGuard shieldGuards[kEnemyPoolSize];

struct ItemDrop {
  int32_t live = 0;
  double x = 0.0, y = 0.0;  // world position of the 48 x 48 cell
  int32_t kind = 0;         // 0 small heal (+3), 1 large heal (+5)
};
extern ItemDrop items[kItemPoolSize];
// The drop kind of two decimal digits d1 d2 (index d1 * 10 + d2); -1 none.
extern const int32_t dropTable[100];

struct DragonBoss {
  int32_t hp = 0;
  int32_t phase = 0;   // 0 entrance, 1 side step, 2 fireballs, 3 breath
  int32_t state = 0;
  int32_t bodyAnim = 0;
  int32_t cycles = 0;
  int32_t side = 0;    // 0 centre, 1 left, 2 right
  float sideVelocity = 0.0f;
  float targetX = 0.0f, targetY = 0.0f;
  float headX = 0.0f, headY = 0.0f;
  float bodyX = 0.0f, bodyY = 0.0f;
  float bodyVx = 0.0f, bodyVy = 0.0f;
  float headVx = 0.0f, headVy = 0.0f;
  int32_t lane = 0;    // 0 left, 1 middle, 2 right
  int32_t scriptPos = 0;
  int32_t headColumn = 0, headRow = 0;
  float scriptTimer = 0.0f;
  float phaseTimer = 0.0f;
  float hurtTimer = 0.0f;
  int32_t guarded = 0;
  float blinkTimer = 0.0f;
  int32_t hurt = 0;
  int32_t blinkOff = 0;
  int32_t enraged = 0;
  float sideSpeed = 0.0f;
  float aimDelay = 0.0f;
  float breathDelay = 0.0f;
  int32_t volleys = 0;
};
extern DragonBoss dragon;

// What the dragon keeps beside its record: whether it has been set up, the
// body picture now in the body sprite, and the end of the fight.
struct DragonExtra {
  bool started = false;
  int32_t bodyFrameShown = 0;  // the start-up loader puts frame 0 there
  bool defeated = false;
  float defeatTimer = 0.0f;
};
extern DragonExtra dragonExtra;
// The seconds the beaten dragon takes to blink out.
constexpr float kDragonFadeSeconds = 2.0f;

// Back to the start-of-process values (tests).
void ResetEnemies();
void ResetItems();
void ResetDragon();
inline void ResetFoes() {
  ResetEnemies();
  ResetItems();
  ResetDragon();
}
