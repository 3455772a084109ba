// The game's pictures, and the game frame (scene 1): time step, map, actors
// in drawing order, projectiles, status line, frame picture and present.
#include "world/game.h"

#include "actors/actor_model.h"
#include "actors/foes.h"
#include "actors/foes_state.h"
#include "actors/party.h"
#include <zolbeck/eldraw.h>
#include <zolbeck/eltext.h>
#include <zolbeck/elsystem.h>
#include "world/pictures.h"
#include "world/trace.h"
#include "world/world.h"
#include "world/sound_cues.h"

GamePictures pictures;
bool placementInstalled;
int32_t bossActive;

void LoadPictures() {
  constexpr int kKind = 2;
  GamePictures& p = pictures;
  p.tileSheet = elDraw::LoadObject("BMP\\m_cp.bmp", kKind);
  // The nine map screens follow the tile sheet, column by column.
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row) {
      p.screenPictures[column][row] = elDraw::CreateObject(768, 576, kKind);
    }
  }
  p.dragonAura = elDraw::LoadObject("BMP\\boss01\\buresu.BMP", kKind);
  p.shot[0] = elDraw::LoadObject("bmp\\Ya.bmp", kKind);
  p.shot[1] = elDraw::LoadObject("BMP\\boss01\\dragon_fireball.BMP", kKind);
  p.shot[2] = elDraw::LoadObject("BMP\\boss01\\dragon_breath.BMP", kKind);
  p.frame = elDraw::LoadObject("BMP\\waku.BMP", kKind);
  p.shadow = elDraw::LoadObject("BMP\\kake.bmp", kKind);
  p.item = elDraw::LoadObject("BMP\\item.bmp", kKind);
  p.strikeVertical = elDraw::LoadObject("BMP\\g_a1.bmp", kKind);
  p.strikeHorizontal = elDraw::LoadObject("BMP\\g_a2.bmp", kKind);
  p.archer = elDraw::LoadObject("bmp\\atya.bmp", kKind);
  p.shieldGuard = elDraw::LoadObject("bmp\\tate1.bmp", kKind);
  // From here on every picture takes its colour key from its top-left pixel.
  elDraw::UseTopLeftColorKey();
  p.soldierA = elDraw::LoadObject("bmp\\enemy00_00.bmp", kKind);
  p.soldierB = elDraw::LoadObject("bmp\\enemy00_01.bmp", kKind);
  p.dragonRoar = elDraw::LoadObject("bmp\\boss01\\sakebi.bmp", kKind);
  p.dragonShadow = elDraw::LoadObject("bmp\\boss01\\d_kage.bmp", kKind);
  p.dragonHead = elDraw::LoadObject("bmp\\boss01\\dragon_head.bmp", kKind);
  p.dragonBody = elDraw::LoadObject("bmp\\boss01\\dragon_haba00.bmp", kKind);
  p.princess = elDraw::LoadObject("BMP\\princess.bmp", kKind);
  p.companion[0] = elDraw::LoadObject("BMP\\damenzu_00.bmp", kKind);
  p.companion[1] = elDraw::LoadObject("BMP\\damenzu_01.bmp", kKind);
  p.companion[2] = elDraw::LoadObject("BMP\\damenzu_02.bmp", kKind);
  p.companionTrail = elDraw::LoadObject("BMP\\damenzu_ef00.bmp", kKind);
}

namespace {

// The shadows under the party, drawn whatever the companions are doing.
void DrawShadows() {
  elDraw::Draw(static_cast<int>(player.x + 24.0f), static_cast<int>(player.y + 36.0f + 24.0f),
               pictures.shadow, 0, 0, 48, 16);
  for (int n = 0; n < kCompanionCount; ++n) {
    elDraw::Draw(static_cast<int>(companions[n].x + 4.0f),
                 static_cast<int>(companions[n].y + 36.0f + 4.0f), pictures.shadow, 0, 0, 48, 16);
  }
}

// The fight begins on the boss screen (only a diagonal screen can match both
// numbers) in the first frame in which the whole party regroups there after
// a screen change.
void TestBossTrigger() {
  if (stageData[2] == screenCol && stageData[2] == screenRow && companionState[0] == 8 &&
      companionState[1] == 8 && companionState[2] == 8) {
    bossActive = 1;
  }
}

}  // namespace

void GameFrame() {
  // Every game frame stands for 1/60 s, whatever the frame pacing.
  elSystem::dt = 0.016666668f;
  elDraw::Clear();
  // Starting again happens before anything moves, so that the frame that
  // follows is the stage's first frame once more.
  RunStageEnd();
  if (!placementInstalled) {
    InstallEnemyPlacement();
    placementInstalled = true;
  }
  LoadStage();
  UpdateScreen();

  UpdateArchers();
  UpdateShieldGuards();
  UpdateSoldiersA();
  UpdateSoldiersB();
  DrawShadows();
  UpdateItems();
  TestBossTrigger();
  if (bossActive == 1) {
    StartDragon();
    UpdateDragon();
  }
  UpdateCompanions();
  UpdatePlayer();
  UpdateShots();
  DrawStageEndHint();
  // The music follows the game: silence once GAME_OVER or STAGE CLEAR shows.
  cues::Music(StageEnded() ? cues::kSilence : bossActive == 1 ? cues::kBossTune : cues::kFieldTune);

  elDraw::Print(400, 300, "PCのHP=%d", player.hp);
  elDraw::Draw(0, 0, pictures.frame, 0, 0, 800, 600);
  elDraw::Present();
}

void ResetWorld() {
  ResetStage();
  scrollX = scrollY = 0.0f;
  scrollSpeedX = scrollSpeedY = 0.0f;
  transitionDir = 0;
  transitionDistance = 0.0f;
  transitionOffsetX = transitionOffsetY = 0.0f;
  carrySpeedX = carrySpeedY = 0.0f;
  for (Shot& shot : shots) shot = Shot{};
  placementInstalled = false;
  bossActive = 0;
  ResetStageEnd();
  for (int code = 5; code < kObjectCodes; ++code) placementTable[code] = nullptr;
}

void InstallGame() {
  // The pictures, then the sounds when sound is on.
  programLoad = [] {
    LoadPictures();
    cues::Load();
  };
  programFrame = GameFrame;
  InstallGameTrace();
}
