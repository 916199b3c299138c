#include "interactive.h"

#include <iostream>

namespace garbolt_sim {

int RunInteractive(const RunOptions&, const std::vector<Command>&) {
    std::cerr << "garbolt-sim: the interactive mode is not in this build yet\n";
    return kExitBadScenario;
}

}  // namespace garbolt_sim
