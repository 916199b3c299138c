// Runs the plug-in's work and the tools' commands on a thread with the stack
// the simulated game gives its script (sim::kScriptStackBytes, 256 KB), as
// small as a game fiber's is likely to be: a recursion whose depth a file
// decides overflows it here rather than in a player's game.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace testing_support {

// Runs `body` on such a thread and waits for it to end.
void OnGameStack(const std::function<void()>& body);

// garbolt-outfits with these arguments, run inside this process on such a
// thread in the current folder.
ProgramRun RunOutfitsToolOnGameStack(const std::vector<std::string>& arguments);

}  // namespace testing_support
