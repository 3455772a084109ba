// The projectile pool: arrows of the archers, fireballs and breath of the
// dragon. A fixed array of 1000 records scanned in index order.
#include <cmath>

#include "actors/actor_model.h"
#include "actors/float_math.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/world.h"
#include "world/sound_cues.h"

Shot shots[kShotCount];

namespace {

// Heading in whole degrees, truncated toward zero. The factor is 180 divided
// by the 3.141592 used for degrees to radians, applied in double precision
// to the single-precision angle.
int HeadingDegrees(float dx, float dy) {
  if (dx == 0.0f) dx = 1e-8f;
  float a = fmath::Atan(dy / dx);
  if (dx < 0.0f) a += 3.141592f;
  return static_cast<int>(static_cast<double>(a) * 57.29579143313326);
}

}  // namespace

void FireShot(float x, float y, int kind, float targetX, float targetY) {
  int angle = 0, size = 0;
  if (kind == 401) {
    // Aimed at the player: its view position against the shooter's world
    // position less the scroll.
    float dx = (player.x + 43.0f) - (x - scrollX);
    float dy = (player.y + 43.0f) - (y - scrollY);
    angle = HeadingDegrees(dx, dy);
    size = 12;
  } else if (kind == 901) {
    float dx = (targetX + 48.0f) - (x + 28.0f);
    float dy = (targetY + 48.0f) - (y + 28.0f);
    angle = HeadingDegrees(dx, dy);
    size = 56;
  } else if (kind == 902) {
    angle = 90;
    size = 350;
  } else {
    return;
  }
  for (Shot& shot : shots) {
    if (StartShot(shot, x, y, angle, size, kind)) {
      cues::Play(kind == 401 ? cues::kArrow : kind == 901 ? cues::kFireball : cues::kBreath);
      return;
    }
  }
}

int StartShot(Shot& shot, float x, float y, int angle, int size, int kind) {
  if (shot.active) return 0;
  float speed = 0.0f;
  switch (kind) {
    case 401:
      shot.image = 0;
      shot.cellY = 0;
      shot.hitMode = 1;
      speed = 100.0f;
      break;
    case 901: {
      shot.image = 1;
      shot.hitMode = 0;
      speed = 300.0f;
      // Five sectors of the launch angle; cellY keeps its last value.
      float r = static_cast<float>(angle) / 57.29579f;
      if (r < 0.0f) r += 3.141592f;
      if (r >= 0.0f && r < 0.392699f) {
        shot.cellX = 0;
      } else if (r < 1.178097f) {
        shot.cellX = 1;
      } else if (r < 1.963495f) {
        shot.cellX = 2;
      } else if (r < 2.748893f) {
        shot.cellX = 3;
      } else {
        shot.cellX = 4;
      }
      break;
    }
    case 902:
      // cellX keeps its last value; the first animation step brings a value
      // above 2 back to 0.
      shot.image = 2;
      shot.cellY = 0;
      shot.hitMode = 2;
      speed = 0.0f;
      break;
  }
  shot.lifeTimer = 0.0f;
  shot.animTimer = 0.0f;
  shot.angleDeg = angle;
  float radians = DegToRad(static_cast<float>(angle));
  float c = fmath::Cos(radians);
  float s = fmath::Sin(radians);
  shot.vx = c * speed;
  shot.vy = s * speed;
  shot.x = x;
  shot.y = y;
  shot.size = size;
  shot.kind = kind;
  shot.active = 1;
  return 1;
}

void UpdateShot(Shot& shot) {
  const float dt = elSystem::dt;
  // Shots hang still while the party changes screens.
  bool screenChange = companionState[0] >= 6 && companionState[1] >= 6 && companionState[2] >= 6;
  if (!screenChange) {
    shot.x += dt * shot.vx;
    shot.y += dt * shot.vy;
  }

  int sx = static_cast<int>(scrollX);
  int sy = static_cast<int>(scrollY);
  float fsx = static_cast<float>(sx), fsy = static_cast<float>(sy);
  if (shot.y - fsy > static_cast<float>(shot.size + 600) || shot.y - fsy < static_cast<float>(-shot.size) ||
      shot.x - fsx > static_cast<float>(shot.size + 800) || shot.x - fsx < static_cast<float>(-shot.size)) {
    shot.active = 0;  // still drawn this once
  }

  switch (shot.kind) {
    case 401: {
      int a = shot.angleDeg;
      if (a >= -44 && a <= 45) {
        shot.cellX = 1;
      } else if (a >= 46 && a <= 135) {
        shot.cellX = 2;
      } else if (a >= 136 && a <= 225) {
        shot.cellX = 3;
      } else {
        shot.cellX = 0;
      }
      break;
    }
    case 901:
      if (Tick(shot.animTimer, 0.1f) && ++shot.cellY > 2) shot.cellY = 0;
      break;
    case 902:
      if (Tick(shot.animTimer, 0.1f) && ++shot.cellX > 2) shot.cellX = 0;
      shot.lifeTimer += dt;
      if (shot.lifeTimer > 2.0f) shot.active = 0;
      break;
  }

  int size = shot.size;
  elDraw::Draw(static_cast<int>(shot.x) - sx, static_cast<int>(shot.y) - sy,
               pictures.shot[shot.image], size * shot.cellX, size * shot.cellY,
               size * shot.cellX + size, size * shot.cellY + size);
}

void ShotHitsParty(Shot& shot) {
  int h = shot.size / 2;
  float fh = static_cast<float>(h);
  float centreX = shot.x - scrollX + fh;
  float centreY = shot.y - scrollY + fh;
  for (int m = 0; m < kPartySize; ++m) {
    float ax = std::fabs(centreX - PartyCentreX(m));
    float ay = std::fabs(centreY - PartyCentreY(m));
    float d = std::sqrt(ax * ax + ay * ay);
    bool hit = (d < fh && shot.hitMode % 2 == 0) || (ax < fh && ay < fh && shot.hitMode % 2 == 1);
    if (!hit) continue;
    float knock = DegToRad(static_cast<float>(shot.angleDeg + 180));
    if (HurtMember(m, knock) && shot.hitMode < 2) shot.active = 0;
  }
}

void UpdateShots() {
  for (Shot& shot : shots) {
    if (!shot.active) continue;
    UpdateShot(shot);
    // The hit test runs even for a shot the update has just freed.
    ShotHitsParty(shot);
  }
}
