// The garbolt-sim program: options, the scenario, the run, the exit status.
// Kept apart from main() so another build (the Windows one) can run the same program.
#pragma once

namespace garbolt_sim {

int Main(int argc, char** argv);

// The default tour, built into the program.
extern const char kDefaultTour[];

}  // namespace garbolt_sim
