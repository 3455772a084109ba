// The game: its pictures and its frame.
#pragma once

// Loads the game's pictures and creates the map screens (start-up).
void LoadPictures();
// One frame of the game (scene 1).
void GameFrame();
// Hands the game to the library: its pictures for LoadGame, its frame for
// scene 1 and its members of the trace.
void InstallGame();
