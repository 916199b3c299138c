// What the menu and wardrobe tests share about the plug-in linked into the
// test program: the game controls they press and its process-wide state put
// back between tests.
#pragma once

// ResetPluginState(), the plug-in's own reset of everything it keeps.
#include "host/state.h"
// The game's controls and keys, as the player presses them.
#include "sim/play/player.h"

namespace testing_support {

// As a fixture's `using namespace` brings them in.
namespace controls = play::controls;

}  // namespace testing_support
