// The tests drive the game through the library, as the game's entry does.
#include "world/game.h"

namespace {
const bool installed = (InstallGame(), true);
}  // namespace
