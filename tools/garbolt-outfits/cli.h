// The command line of garbolt-outfits.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

// Runs the program with its arguments (without the program name) on the
// outfit file that --file names, else on `defaultPath`; returns the exit
// status (see commands.h).
int RunOutfitsTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const std::string& defaultPath = outfit_file::kOutfitFilePath);

// Started without arguments in a console window of its own (double-clicked
// in Explorer): runs check on `path`, shows the outcome and waits for Enter,
// so the window does not close before it can be read. Returns check's status.
int RunDoubleClicked(const std::string& path, std::istream& in, std::ostream& out);

}  // namespace garbolt_outfits
