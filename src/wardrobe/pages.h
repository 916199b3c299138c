// The wardrobe's four menu pages, built once at start.
#pragma once

#include "menu/option.h"

// Registers pages 0 (main), 1 (saved outfits), 2 (presets) and 3 (settings).
void InitializeMenu();

// Page 0: links to the other three pages.
void BuildMainPage(Submenu* page);
// Rows 0-4: the game's saved outfits; row 5: a heading; rows 6-20: custom outfits.
void BuildSavedOutfitsPage(Submenu* page);
// Page 2: the preset outfits of the game (wardrobe/presets.h).
void BuildPresetsPage(Submenu* page);
// Page 3: the camera and light toggles and "Save Settings".
void BuildSettingsPage(Submenu* page);
