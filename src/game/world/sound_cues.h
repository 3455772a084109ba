// The game's sounds: an effect for each event worth hearing, and the music.
// All of it stays silent unless the player asked for sound (--sound). The
// cues only play: they read nothing of the game, change nothing and draw no
// random numbers, so a run sounds or not without playing differently.
#pragma once

namespace cues {

enum Cue {
  kSwing,       // the princess swings
  kLaunch,      // a companion flies off the swing
  kHit,         // a flying companion lands on a foe
  kDefeat,      // an enemy (or the dragon) is beaten
  kItem,        // an item picked up
  kHurt,        // the princess (or a companion, at her cost) is hurt
  kArrow,       // an archer's arrow
  kFireball,    // the dragon's fireball
  kBreath,      // the dragon's breath
  kRoar,        // the dragon roars as it arrives
  kScreen,      // the view slides to the next screen
  kGameOver,    // GAME_OVER
  kStageClear,  // STAGE CLEAR
  kCueCount
};

// Set before the game starts; false leaves the game silent.
extern bool enabled;

// Loads the effects (the game's loading calls it).
void Load();
void Play(Cue cue);

enum Tune { kSilence, kFieldTune, kBossTune };
// The tune the game's state calls for, told every frame: the one that plays
// changes only when the answer does (a stage started again hears the field
// tune again).
void Music(Tune tune);

}  // namespace cues
