// The game: its pictures and its frame.
#pragma once

// Loads the game's pictures and creates the map screens (start-up).
void LoadPictures();
// One frame of the game (scene 1).
void GameFrame();
