// The dragon: a body at the top of the boss screen with a head of its own.
// It comes down and roars, then steps aside, spits fireballs from one of
// three lanes and breathes fire, for as long as it has hit points. Flying
// companions that reach the box below its body hurt it. All its positions
// are screen pixels.
#include <cmath>
#include <cstdio>

#include "actors/actor_model.h"
#include "actors/float_math.h"
#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/world.h"
#include "world/sound_cues.h"

DragonBoss dragon;
DragonExtra dragonExtra;

namespace {

constexpr int kRestart = -1;  // the script begins again
constexpr int kHold = -2;     // the last frame stays
constexpr int kEnd = -3;      // back to script 0
// Body animation scripts: one entry every 0.25 s.
constexpr int kScript[4][5] = {
    {0, kHold, kHold, kHold, kHold},
    {0, 1, 2, 1, kRestart},
    {3, 3, 4, 4, kHold},
    {4, 4, 3, 3, kEnd},
};
constexpr float kSideTarget[3] = {100.0f, 0.0f, 200.0f};  // centre, left, right
constexpr float kLaneOffset[3] = {150.0f, 210.0f, 270.0f};  // left, middle, right

void ShowBodyFrame(int frame) {
  // The body sprite is reloaded only when a different picture is to show:
  // mode 0 asks for frame 0 every frame, and reading the file that often
  // would change nothing on screen. A body that failed to load (sprite 0)
  // must not be swapped into the library's own sprite.
  if (frame == dragonExtra.bodyFrameShown || pictures.dragonBody == 0) return;
  char name[40];
  std::snprintf(name, sizeof name, "bmp\\boss01\\dragon_haba0%d.bmp", frame);
  elDraw::SwapObject(name, pictures.dragonBody, 2);
  dragonExtra.bodyFrameShown = frame;
}

void SetState(int phase, int state) {
  dragon.phase = phase;
  dragon.state = state;
  dragon.phaseTimer = 0.0f;
}
void SetState(int state) { SetState(dragon.phase, state); }

void StopBody() { dragon.bodyVx = dragon.bodyVy = 0.0f; }
void StopHead() { dragon.headVx = dragon.headVy = 0.0f; }

// Sends the head's point (px, py) toward (tx, ty) at `speed`.
void HeadToward(float px, float py, float tx, float ty, float speed) {
  float a = AngleTo(tx - px, ty - py);
  dragon.headVx = speed * fmath::Cos(a);
  dragon.headVy = speed * fmath::Sin(a);
}

int ChooseLane(float k) {
  DragonBoss& d = dragon;
  float dx = (d.bodyX + 300.0f) - (d.targetX + k);
  float dy = d.bodyY - (d.targetY + k);
  if (dx == 0.0f) dx = 1e-8f;
  float theta = fmath::Atan(dy / dx);
  if (theta < 0.0f) theta += 3.141592f;
  if (theta >= 0.0f && theta < 1.178097f) return 2;
  if (theta >= 1.178097f && theta < 1.963495f) return 1;
  return 0;
}

// States 0 and 1 of the fireball and breath phases: the head rises to the
// aiming point while the princess's position is taken.
void RiseToAim() {
  DragonBoss& d = dragon;
  if (d.state == 0) {
    HeadToward(d.headX + 90.0f, d.headY, d.bodyX + 300.0f, d.bodyY - 96.0f, 30.0f);
    d.bodyAnim = 2;
    d.targetX = player.x;
    d.targetY = player.y;
    SetState(1);
  }
  if (d.state == 1 && d.headY < -96.0f) {
    d.headY = -96.0f;
    d.headX = d.bodyX + 210.0f;
    d.headColumn = 0;
    StopHead();
    SetState(2);
  }
}

void Dive(float k) {
  DragonBoss& d = dragon;
  d.lane = ChooseLane(k);
  HeadToward(d.headX, d.headY, d.bodyX + kLaneOffset[d.lane], -36.0f, 300.0f);
  d.bodyAnim = 3;
  SetState(3);
}

// The head has reached its lane: true on the frame it arrives.
bool Arrived() {
  DragonBoss& d = dragon;
  if (d.headY <= -36.0f) return false;
  d.headY = -36.0f;
  d.headX = d.bodyX + kLaneOffset[d.lane];
  d.headColumn = 2;
  StopHead();
  SetState(4);
  return true;
}

void Entrance() {
  DragonBoss& d = dragon;
  if (d.state == 0 && d.bodyY > -10.0f) {
    d.bodyY = -10.0f;
    d.headY = -56.0f;
    StopBody();
    StopHead();
    SetState(1);
  }
  if (d.state == 1 && d.phaseTimer > 2.0f) {
    d.headColumn = 0;
    d.bodyY = 0.0f;
    d.headY = -46.0f;
    d.bodyAnim = 0;
    SetState(2);
  }
  if (d.state == 2) {
    if (d.phaseTimer > 1.0f) d.headVy = -20.0f;
    if (d.headY < -96.0f) SetState(3);
  }
  if (d.state == 3) {
    d.headVy = 80.0f;
    if (d.headY > -36.0f) {
      d.headY = -36.0f;
      StopHead();
      d.headColumn = 2;
      SetState(4);
      cues::Play(cues::kRoar);
    }
  }
  if (d.state == 4 && d.phaseTimer > 3.0f) {
    d.headColumn = 1;
    SetState(5);
  }
  if (d.state == 5) {
    d.headVy = -30.0f;
    if (d.headY < -46.0f) {
      d.headY = -46.0f;
      StopHead();
      SetState(1, 0);
      player.inputLocked = 0;
    }
  }
}

void SideStep() {
  DragonBoss& d = dragon;
  if (d.state == 0 && d.phaseTimer > 1.0f) SetState(1);
  if (d.state == 1) {
    d.guarded = 1;
    d.bodyY = -10.0f;
    d.bodyAnim = 1;
    SetState(2);
    if (d.side == 1) {
      d.sideVelocity = d.sideSpeed;
      d.side = 0;
    } else if (d.side == 2) {
      d.sideVelocity = -d.sideSpeed;
      d.side = 0;
    } else if (player.x + 96.0f <= 399.0f) {
      d.side = 1;
      d.sideVelocity = -d.sideSpeed;
    } else {
      d.side = 2;
      d.sideVelocity = d.sideSpeed;
    }
  }
  if (d.state == 2) {
    d.bodyVy = -15.0f;
    if (d.bodyY < -20.0f) {
      d.bodyY = -20.0f;
      StopBody();
      SetState(3);
    }
  }
  if (d.state == 3) {
    d.bodyVx = d.sideVelocity;
    float target = kSideTarget[d.side];
    if (target - 1.0f < d.bodyX && d.bodyX < target + 1.0f) {
      d.bodyX = target;
      StopBody();
      SetState(4);
    }
  }
  if (d.state == 4) {
    d.bodyVy = 15.0f;
    if (d.bodyY > -10.0f) {
      d.bodyY = 0.0f;
      StopBody();
      d.bodyAnim = 0;
      d.guarded = 0;
      SetState(5);
    }
  }
  if (d.state == 5 && d.phaseTimer > 1.0f) SetState(2, 0);
  d.headX = d.bodyX + 50.0f;
  d.headY = d.bodyY - 46.0f;
}

// The dragon lives in view coordinates but the projectile pool keeps world
// positions. Released as they stand, its shots would land a whole screen
// away and be culled at once on any screen but the top-left one, leaving the
// dragon harmless; so they are released at the world position of the point.
// On the top-left screen the scroll is 0 and nothing changes. The aim of a
// fireball depends only on the difference, which the shift leaves as it is.
float ToWorldX(float viewX) { return viewX + scrollX; }
float ToWorldY(float viewY) { return viewY + scrollY; }

void Fireballs() {
  DragonBoss& d = dragon;
  RiseToAim();
  if (d.state == 2 && d.phaseTimer > d.aimDelay) Dive(96.0f);
  if (d.state == 3 && Arrived()) {
    FireShot(ToWorldX(d.headX + 62.0f), ToWorldY(d.headY + 144.0f), 901, ToWorldX(d.targetX),
             ToWorldY(d.targetY));
  }
  if (d.state == 4 && d.phaseTimer > 1.0f) {
    HeadToward(d.headX, d.headY, d.bodyX + 50.0f, -46.0f, 30.0f);
    if (d.enraged == 0 || d.volleys > 1) {
      d.volleys = 0;
      SetState(5);
    } else {
      d.volleys += 1;
      SetState(0);
    }
  }
  if (d.state == 5 && d.headY < -46.0f) {
    if (d.cycles > 1) {
      SetState(3, 0);
      d.cycles = 0;
    } else {
      SetState(1, 0);
      d.cycles += 1;
    }
    d.headX = d.bodyX + 50.0f;
    d.headY = -46.0f;
    d.headColumn = 1;
  }
}

void Breath() {
  DragonBoss& d = dragon;
  RiseToAim();
  if (d.state == 2 && d.phaseTimer > 3.0f) Dive(48.0f);
  if (d.state == 3 && Arrived()) {
    float cx = d.targetX + 48.0f;
    // The princess is kept within reach of one of the three lanes; a centre
    // outside all of them would leave the breath's position undefined, so
    // no breath comes then.
    if (cx >= d.bodyX - 200.0f && cx < d.bodyX + 100.0f) {
      FireShot(ToWorldX(d.bodyX - 250.0f), ToWorldY(d.bodyY + 200.0f), 902, 0.0f, 0.0f);
    } else if (cx >= d.bodyX + 100.0f && cx < d.bodyX + 500.0f) {
      FireShot(ToWorldX(d.bodyX + 125.0f), ToWorldY(d.bodyY + 200.0f), 902, 0.0f, 0.0f);
    } else if (cx >= d.bodyX + 500.0f && cx < d.bodyX + 800.0f) {
      FireShot(ToWorldX(d.bodyX + 500.0f), ToWorldY(d.bodyY + 200.0f), 902, 0.0f, 0.0f);
    }
  }
  if (d.state == 4 && d.phaseTimer > d.breathDelay) {
    HeadToward(d.headX, d.headY, d.bodyX + 50.0f, -46.0f, 30.0f);
    SetState(5);
  }
  if (d.state == 5 && d.headY < -46.0f) {
    SetState(1, 0);
    d.headColumn = 1;
  }
}

void AnimateBody() {
  DragonBoss& d = dragon;
  if (d.bodyAnim == 0) {
    d.scriptPos = 0;
    ShowBodyFrame(0);
    return;
  }
  d.scriptTimer += elSystem::dt;
  if (d.scriptTimer < 0.25f) return;
  d.scriptTimer = 0.0f;
  d.scriptPos += 1;
  // Scripts are four entries and a mark; a position past them (a script
  // switched in the middle of another) reads the mark.
  if (d.bodyAnim < 0 || d.bodyAnim > 3) d.bodyAnim = 0;
  if (d.scriptPos < 0 || d.scriptPos > 4) d.scriptPos = 4;
  int entry = kScript[d.bodyAnim][d.scriptPos];
  if (entry == kRestart) {
    d.scriptPos = 0;
  } else if (entry == kHold) {
    d.scriptPos -= 1;
  } else if (entry == kEnd) {
    d.scriptPos = 0;
    d.bodyAnim = 0;
  }
  ShowBodyFrame(kScript[d.bodyAnim][d.scriptPos]);
}

void KeepPartyDown() {
  for (int i = 0; i < kCompanionCount; ++i) {
    Companion& c = companions[i];
    if (c.y + 28.0f < 100.0f && companionState[i] == 4) companionState[i] = 5;
    if (c.y + 28.0f < 200.0f && companionState[i] != 4) c.y = 172.0f;
  }
  if (player.y + 48.0f < 200.0f) player.y = 152.0f;
  if (player.x < -24.0f) player.x = -24.0f;
  if (player.x > 728.0f) player.x = 728.0f;
  if (player.y < -24.0f) player.y = -24.0f;
  if (player.y > 528.0f) player.y = 528.0f;
}

void Draw(bool shown) {
  DragonBoss& d = dragon;
  d.headRow = d.headX > d.bodyX + 210.0f ? 1 : 0;
  int bx = static_cast<int>(d.bodyX);
  int by = static_cast<int>(d.bodyY);
  if (shown) {
    elDraw::Draw(static_cast<int>(d.bodyX - 200.0f), by, pictures.dragonAura, 0, 0, 1050, 500);
    elDraw::Draw(static_cast<int>(d.bodyX + 150.0f), 168, pictures.dragonShadow, 0, 0, 260, 80);
    if (!d.blinkOff) {
      elDraw::Draw(bx, by, pictures.dragonBody, 0, 0, 600, 250);
      int c = d.headColumn * 180, r = d.headRow * 250;
      elDraw::Draw(static_cast<int>(d.headX), static_cast<int>(d.headY - 50.0f), pictures.dragonHead, c,
                   r, c + 180, r + 250);
    }
    if (d.phase == 0 && d.state == 4)
      elDraw::Draw(static_cast<int>(d.headX + 10.0f), static_cast<int>(d.headY + 150.0f),
                   pictures.dragonRoar, 0, 0, 160, 80);
  }
  elDraw::Print(200, 290, "ドラゴンのHP=%d", d.hp);
}

// The beaten dragon: it stops where it is, blinks out over two seconds and
// leaves the stage cleared.
void Defeated() {
  DragonBoss& d = dragon;
  DragonExtra& e = dragonExtra;
  const bool wasGone = e.defeatTimer >= kDragonFadeSeconds;
  e.defeatTimer += elSystem::dt;
  bool gone = e.defeatTimer >= kDragonFadeSeconds;
  if (gone && !wasGone) {
    cues::Play(cues::kStageClear);
  }
  if (!gone) {
    // Companions still land on the box while it fades.
    for (int j = 0; j < kCompanionCount; ++j)
      CompanionHits(j, 100, 50, d.bodyX + 250.0f, d.bodyY + 100.0f, true, true);
    if (Tick(d.blinkTimer, 0.1f)) d.blinkOff = Toggle(d.blinkOff);
  } else {
    d.blinkOff = 1;
  }
  if (!gone) KeepPartyDown();
  Draw(!gone);
  if (gone) elDraw::Print(400, 350, "STAGE CLEAR");
}

}  // namespace

void ResetDragon() {
  // A stage started again shows the waiting dragon's picture once more.
  ShowBodyFrame(0);
  dragon = DragonBoss{};
  dragonExtra = DragonExtra{};
}

void StartDragon() {
  if (dragonExtra.started) return;
  dragonExtra.started = true;
  DragonBoss& d = dragon;
  d.hp = 12;
  d.phase = 0;
  d.state = 0;
  d.bodyAnim = 1;
  d.scriptPos = 0;
  d.headColumn = 1;
  d.headRow = 0;
  d.phaseTimer = 0.0f;
  d.headX = 150.0f;
  d.headY = -296.0f;
  d.headVx = 0.0f;
  d.headVy = 40.0f;
  d.bodyX = 100.0f;
  d.bodyY = -250.0f;
  d.bodyVx = 0.0f;
  d.bodyVy = 40.0f;
  d.sideSpeed = 60.0f;
  d.aimDelay = 1.0f;
  d.breathDelay = 2.0f;
  player.inputLocked = 1;
}

void UpdateDragon() {
  DragonBoss& d = dragon;
  float dt = elSystem::dt;
  if (dragonExtra.defeated) {
    Defeated();
    return;
  }

  // Rage at half the hit points: faster steps, shorter waits.
  if (d.hp <= 6 && d.enraged == 0) d.enraged = 1;
  if (d.enraged == 1) {
    d.sideSpeed *= 1.5f;
    d.aimDelay *= 0.75f;
    d.breathDelay *= 0.75f;
    d.enraged = 2;
  }

  // A companion flying into the box lands on it in any case; it hurts only
  // while the dragon is neither stepping aside nor still blinking.
  for (int j = 0; j < kCompanionCount; ++j) {
    if (CompanionHits(j, 100, 50, d.bodyX + 250.0f, d.bodyY + 100.0f, true, true) && !d.guarded &&
        !d.hurt) {
      d.hp -= 1;
      d.hurt = 1;
      d.hurtTimer = 2.0f;
      break;
    }
  }

  if (d.hp <= 0) {
    // The last hit point ends the fight in a victory.
    dragonExtra.defeated = true;
    dragonExtra.defeatTimer = 0.0f;
    cues::Play(cues::kDefeat);
    d.hurt = 0;
    d.blinkTimer = 0.0f;
    d.blinkOff = 0;
    StopBody();
    StopHead();
    d.bodyAnim = 0;
    if (d.phase == 0) player.inputLocked = 0;
    Defeated();
    return;
  }

  if (d.hurt) {
    d.hurtTimer -= dt;
    if (Tick(d.blinkTimer, 0.1f)) d.blinkOff = Toggle(d.blinkOff);
    if (d.hurtTimer < 0.0f) {
      d.hurt = 0;
      d.blinkOff = 0;
    }
  }

  KeepPartyDown();

  d.bodyX += d.bodyVx * dt;
  d.bodyY += d.bodyVy * dt;
  d.headX += d.headVx * dt;
  d.headY += d.headVy * dt;

  AnimateBody();

  d.phaseTimer += dt;
  switch (d.phase) {
    case 0: Entrance(); break;
    case 1: SideStep(); break;
    case 2: Fireballs(); break;
    case 3: Breath(); break;
    default: break;
  }

  Draw(true);
}
