// The plug-in's three settings and their file, ./Garbolt/Garbolt.ini.
#pragma once

#include <cstdint>
#include <string>

#include "settings/ini.h"

extern bool useCamera;  // the wardrobe places its camera
extern bool drawLight;  // the wardrobe draws its light
// The key that opens the menu: a Windows virtual-key code, F9 (120) until the file says otherwise.
extern std::int32_t menuKey;

// The settings file, and what was read from it at start-up plus the saves since.
extern const IniStore settingsStore;
extern IniDocument settingsDocument;

// The three settings and the document back at their load-time values.
void ResetSettings();

// Reads the settings file into the settings; a missing file keeps them as
// they are, without a message.
void loadSettings();
// Writes the two toggles back into the settings file, keeping its layout; a
// toggle whose value already reads as its state keeps its line as it is.
// Without the file (but with its folder) it writes the default file with the
// settings in force.
void saveSettings();
// True when the settings file can be opened for reading.
bool settingsFileExists();

// Reads a decimal integer as strtol does (leading whitespace, optional sign,
// digits up to the first non-digit); false when no digit is read or the
// number does not fit in 32 bits.
bool parseSettingInteger(const std::string& text, std::int32_t& value);
