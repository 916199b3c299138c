// Each part of the simulated game registers its natives (and resets its own
// state) here, whenever the game is created or reset.
#pragma once

namespace sim {

class Game;

void RegisterAllModules(Game& game);

// Notifications and the name hash.
void RegisterCoreNatives(Game& game);

}  // namespace sim
