// Where the outfit file is when no --file names it.
#pragma once

#include <string>

namespace garbolt_outfits {

// The outfit file the tool works on without --file, found by its folder:
// - Garbolt/SavedOutfits.xml under the working folder, when that holds a
//   Garbolt folder (the tool started in the game folder);
// - SavedOutfits.xml beside the program, when the program sits in a folder
//   named Garbolt (where the release puts it: double-clicked in Explorer, or
//   started there);
// - Garbolt/SavedOutfits.xml beside the program, when the program sits in
//   the game folder and was started from elsewhere.
// With none of these folders, the first, so that messages name the usual
// place. `programFolder` may be empty when the system does not say.
std::string DefaultOutfitFile(const std::string& programFolder);

}  // namespace garbolt_outfits
