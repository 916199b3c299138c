// The plug-in's two files in a game folder, and what a fresh game folder
// holds of them. The release ships neither file: a player's outfits and
// settings must survive an update that unpacks the package over the game.
#pragma once

namespace play {

constexpr const char* kSavedOutfitsPath = "Garbolt/SavedOutfits.xml";
constexpr const char* kSettingsPath = "Garbolt/Garbolt.ini";

// An outfit file that holds no outfit yet: the root element alone.
constexpr const char* kEmptySavedOutfits = "<?xml version=\"1.0\"?>\n<Garbolt />\n";

}  // namespace play
