// The picture and stage generators. Each writes its files under `gameFolder`
// (the build folder), with the exact names and letter case the game uses.
#pragma once
#include <string>

namespace gen {

// Folder names: "BMP" and "bmp" are the same folder to the game (names are
// matched in any letter case), so everything goes under "BMP/".
bool MakeTerrain(const std::string& gameFolder);     // m_cp.bmp, waku.BMP, kake.bmp
bool MakeStage(const std::string& gameFolder);       // stagedata.txt, map01_*.txt
bool MakeParty(const std::string& gameFolder);       // princess, damenzu_00..02, damenzu_ef00
bool MakeFoes(const std::string& gameFolder);        // enemy00_00/01, atya, tate1, g_a1, g_a2, Ya, item
bool MakeDragon(const std::string& gameFolder);
// The desktop icon from the princess sheet MakeParty wrote: icons/NxN/zolbeck.png.
bool MakeIcon(const std::string& gameFolder);      // boss01/*
// The library's music: MIDI/field.mid, boss.mid, test0.mid, test1.mid, and
// notmidi.mid, a text file under a MIDI name.
bool MakeMusic(const std::string& gameFolder);
// The sounds: WAVE/*.wav (the game's effects, tone.wav, bell.wav) and
// SOUND.PAK (TONE.WAV, BELL.WAV and the streamed LOOP.WAV).
bool MakeSounds(const std::string& gameFolder);

}  // namespace gen
