// The game: its pictures and its frame.
#pragma once

// Loads the game's pictures and creates the map screens (start-up).
void LoadPictures();
// One frame of the game (scene 1).
void GameFrame();
// Hands the game to the library: its pictures for LoadGame, its frame for
// scene 1 and its members of the trace.
void InstallGame();

// The end of the stage: "GAME_OVER" or "STAGE CLEAR" is showing.
bool StageEnded();
// Puts the stage back as it was before its first frame (pictures, map
// screens and the loaded stage are kept).
void StartStageAgain();
// Once the stage has ended, Enter starts it again (polled every frame).
void RunStageEnd();
// The line under the end text that says how to start again.
void DrawStageEndHint();
// Forgets the polled Enter state (tests).
void ResetStageEnd();
