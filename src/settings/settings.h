// The plug-in's three settings and their file, ./Garbolt/Garbolt.ini.
#pragma once

#include <cstdint>

extern bool useCamera;  // the wardrobe places its camera
extern bool drawLight;  // the wardrobe draws its light
// The key that opens the menu: a Windows virtual-key code, F9 (120) until the file says otherwise.
extern std::int32_t menuKey;

// Reads the settings file into the settings; a missing file keeps them as they are.
void loadSettings();
// Writes the two toggles back into the settings file, keeping its layout.
void saveSettings();
bool settingsFileExists();
