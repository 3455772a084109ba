// Generates every picture, the stage files and the music into a folder:
//   zolbeck_gen FOLDER
#include <cstdio>

#include "art.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zolbeck_gen FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  bool ok = gen::MakeTerrain(folder) && gen::MakeStage(folder) && gen::MakeParty(folder) && gen::MakeIcon(folder) &&
            gen::MakeFoes(folder) && gen::MakeDragon(folder) && gen::MakeMusic(folder) &&
            gen::MakeSounds(folder);
  if (!ok) {
    std::fprintf(stderr, "zolbeck_gen: could not write the game's data into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
