// The foes as the world sees them: the enemy pools, the item drops and the
// dragon boss. Their records live with their code.
#pragma once

// Enemy placement (object codes 5 to 8): overwrite pool slot `slot`.
void PlaceSoldierA(int slot, float worldX, float worldY);
void PlaceArcher(int slot, float worldX, float worldY);
void PlaceSoldierB(int slot, float worldX, float worldY);
void PlaceShieldGuard(int slot, float worldX, float worldY);

// Pool updates, once per frame in the order Archer, ShieldGuard, SoldierA,
// SoldierB.
void UpdateArchers();
void UpdateShieldGuards();
void UpdateSoldiersA();
void UpdateSoldiersB();

// Whether a live enemy of the kind touches companion j standing at view
// position (x, y) (the companions' bump test).
bool SoldierATouches(float x, float y, int j);
bool ArcherTouches(float x, float y, int j);
bool SoldierBTouches(float x, float y, int j);
bool ShieldGuardTouches(float x, float y, int j);

// Item drops.
bool RollItemDrop(float worldX, float worldY);
void UpdateItems();

// The dragon boss.
void StartDragon();
void UpdateDragon();
