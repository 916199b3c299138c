// The release's default files, byte for byte as the release package ships
// them (package/Garbolt/), built into every program that makes a game folder.
#pragma once

namespace play {

extern const char kDefaultSavedOutfits[];  // Garbolt/SavedOutfits.xml
extern const char kDefaultSettings[];      // Garbolt/Garbolt.ini

constexpr const char* kSavedOutfitsPath = "Garbolt/SavedOutfits.xml";
constexpr const char* kSettingsPath = "Garbolt/Garbolt.ini";

}  // namespace play
