// The interactive mode: the terminal is the game. Keys become the game's
// keyboard messages and controls, the menu is drawn as text every frame with
// the notifications under it, and typing fills the naming keyboard.
#pragma once

#include <vector>

#include "runner.h"
#include "scenario.h"

namespace garbolt_sim {

// Plays `prelude` first, then hands the game to the terminal until q or Ctrl-C.
int RunInteractive(const RunOptions& options, const std::vector<Command>& prelude);

}  // namespace garbolt_sim
