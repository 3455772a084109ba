// The archer and the shield guard: enemies that stand where they are placed.
// The archer shoots arrows at the princess while she is near; the shield
// guard only turns to face her and stands in the companions' way.
#include <cmath>

#include "actors/actor_model.h"
#include "actors/enemy_common.h"
#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/world.h"

namespace {

constexpr int kCell = 48;
// Arrows are aimed at the princess within this distance, centre to centre.
constexpr float kArcherRange = 273.0f;

void DrawCell(int sprite, float x, float y, int column, int row) {
  elDraw::Draw(static_cast<int>(x - scrollX), static_cast<int>(y - scrollY), sprite, column * kCell,
               row * kCell, column * kCell + kCell, row * kCell + kCell);
}

// The blink of a dying archer or shield guard; both time it with their
// animation timer. The death frame comes from the last facing.
template <typename Record>
void RunDying(Record& e, int sprite) {
  if (e.facing == 0 || e.facing == 1) {
    e.frameStep = 0;
  } else if (e.facing == 2 || e.facing == 3) {
    e.frameStep = 1;
  }
  e.facing = 4;
  e.animTimer += elSystem::dt;
  if (foes::ShownWhileDying(e.animTimer)) DrawCell(sprite, e.x, e.y, e.frameStep, 4);
  if (e.animTimer > 2.0f) foes::EndDying(e);
}

void UpdateArcher(Archer& a) {
  if (a.state == 1) {
    if (a.aiming) {
      float dx = (player.x + 24.0f) - (a.x - scrollX + 12.0f);
      float dy = (player.y + 24.0f) - (a.y - scrollY + 12.0f);
      a.aimAngle = AngleTo(dx, dy);
      a.facing = EnemyRow(FacingOf(a.aimAngle));
      if (Tick(a.shotTimer, 0.5f)) {
        a.frameStep += 1;
        // The arrow leaves on the step from the third drawing frame to the
        // fourth.
        if (a.frameStep == 4) FireShot(a.x + 24.0f, a.y + 24.0f, a.projectileKind, 0.0f, 0.0f);
        if (a.frameStep > 4) {
          a.frameStep = 0;
          a.aiming = 0;
        }
      }
    } else {
      if (Tick(a.animTimer, 0.5f)) a.frameStep = Toggle(a.frameStep);
    }
  }
  if (a.state != 99) DrawCell(pictures.archer, a.x, a.y, a.frameStep, a.facing);
  if (a.state != 99) foes::RunStun(a.stun, a.x, a.y, a.state, a.facing, a.frameStep, nullptr);
  if (a.state == 99) RunDying(a, pictures.archer);
  if (a.state != 0 && a.state != 3 && a.state != 99) {
    a.dx = (player.x + 48.0f) - (a.x - scrollX + 24.0f);
    a.dy = (player.y + 48.0f) - (a.y - scrollY + 24.0f);
    a.dist = std::sqrt(a.dx * a.dx + a.dy * a.dy);
    if (a.dist < kArcherRange) {
      a.aiming = 1;
      a.animTimer = 0.0f;
    }
  }
}

void UpdateShieldGuard(ShieldGuard& g) {
  if (g.state == 1) {
    if (Tick(g.animTimer, 1.0f)) g.frameStep = Toggle(g.frameStep);
  }
  // It turns to the princess in every state, dying included, so its death
  // frame follows her while it blinks.
  g.dx = (player.x + 48.0f) - (g.x - scrollX + 12.0f);
  g.dy = (player.y + 48.0f) - (g.y - scrollY + 12.0f);
  g.dist = std::sqrt(g.dx * g.dx + g.dy * g.dy);
  g.aimAngle = AngleTo(g.dx, g.dy);
  g.facing = EnemyRow(FacingOf(g.aimAngle));
  if (g.state != 99) DrawCell(pictures.shieldGuard, g.x, g.y, g.frameStep, g.facing);
  if (g.state != 99) foes::RunStun(g.stun, g.x, g.y, g.state, g.facing, g.frameStep, nullptr);
  if (g.state == 99) RunDying(g, pictures.shieldGuard);
}

}  // namespace

void PlaceArcher(int slot, float worldX, float worldY) {
  if (!foes::SlotFits(slot)) return;
  Archer& a = archers[slot];
  a.aimAngle = 0.0f;
  a.aiming = 0;
  a.frameStep = 0;
  a.facing = 0;
  a.dx = a.dy = a.dist = 0.0f;
  a.animTimer = 0.0f;
  a.shotTimer = 0.0f;
  a.projectileKind = 401;
  a.x = worldX;
  a.y = worldY;
  a.state = 1;
}

void PlaceShieldGuard(int slot, float worldX, float worldY) {
  if (!foes::SlotFits(slot)) return;
  ShieldGuard& g = shieldGuards[slot];
  g.frameStep = 0;
  g.facing = 0;
  g.animTimer = 0.0f;
  g.x = worldX;
  g.y = worldY;
  g.state = 1;
}

void UpdateArchers() {
  for (Archer& a : archers) {
    if (a.state == 0 || !EnemyOnScreen(a.x, a.y)) continue;
    UpdateArcher(a);
    foes::KilledByCompanion(a.x, a.y, a.state, a.animTimer);
  }
}

void UpdateShieldGuards() {
  for (ShieldGuard& g : shieldGuards) {
    if (g.state == 0 || !EnemyOnScreen(g.x, g.y)) continue;
    UpdateShieldGuard(g);
    foes::KilledByCompanion(g.x, g.y, g.state, g.animTimer);
  }
}
