// The stage, the map screens and transitions, and the projectile pool.
#pragma once
#include <cstdint>

// ---------------------------------------------------------------------------
// Stage and map files

constexpr int kStageRows = 216;
constexpr int kStageColumns = 288;
constexpr int kScreenRows = 72;     // cells per screen
constexpr int kScreenColumns = 96;

extern int32_t stageData[4];
extern int32_t screenCol, screenRow;
extern int32_t tileLayer[kStageRows][kStageColumns];
extern int32_t collisionLayer[kStageRows][kStageColumns];
extern int32_t objectLayer[kStageRows][kStageColumns];
extern bool stageLoaded, mapLoaded;

void LoadStage();
void LoadMap();
void SpawnScreenObjects();
// Forgets everything loaded (tests).
void ResetStage();

// ---------------------------------------------------------------------------
// Map screens and transitions

extern float scrollX, scrollY;
extern float scrollSpeedX, scrollSpeedY;
extern int32_t transitionDir;  // 0 none, 1 right, 2 left, 3 up, 4 down
extern float transitionDistance;
extern float transitionOffsetX, transitionOffsetY;
extern float carrySpeedX, carrySpeedY;

void PrerenderScreens();
void UpdateScreen();
void DrawMap();
void AssignFormationSlots(int order);

// ---------------------------------------------------------------------------
// The game frame and the projectile pool

constexpr int kShotCount = 1000;

struct Shot {
  int32_t active = 0;
  int32_t angleDeg = 0;
  float vx = 0.0f, vy = 0.0f;
  float x = 0.0f, y = 0.0f;
  int32_t kind = 0;   // 401 arrow, 901 fireball, 902 breath
  int32_t size = 0;
  float lifeTimer = 0.0f;
  float animTimer = 0.0f;
  int32_t image = 0;
  int32_t cellX = 0, cellY = 0;
  int32_t hitMode = 0;
};
extern Shot shots[kShotCount];
extern bool placementInstalled;
extern int32_t bossActive;

void FireShot(float x, float y, int kind, float targetX, float targetY);
int StartShot(Shot& shot, float x, float y, int angle, int size, int kind);
void UpdateShots();
void UpdateShot(Shot& shot);
void ShotHitsParty(Shot& shot);

// ---------------------------------------------------------------------------
// Tests: puts every global of the world (stage, scroll and transition, the
// game frame's flags, the projectile pool, the enemy entries of the
// placement table) back to its start-of-process value.
void ResetWorld();
