// The command line of garbolt-outfits.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace garbolt_outfits {

// Runs the program with its arguments (without the program name); returns
// the exit status (see commands.h).
int RunOutfitsTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace garbolt_outfits
