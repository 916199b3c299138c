// The game window as the operating system shows it.
//
// The Linux plug-in asks the simulated game for its window through the seam.
// The Windows plug-in asks USER32 itself (FindWindowA, GetWindowRect), so in
// the Windows build the simulated window is mirrored by a real top-level
// window with the game's title and the chosen size, made and removed when a
// frame begins. On Linux this module does nothing.
#pragma once

namespace sim {

class Game;

void RegisterHostWindow(Game& game);

}  // namespace sim
