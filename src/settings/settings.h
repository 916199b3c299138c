// The plug-in's three settings and their file, ./Garbolt/Garbolt.ini.
#pragma once

#include <cstdint>
#include <string>

#include "settings/ini.h"

extern bool useCamera;  // the wardrobe places its camera
extern bool drawLight;  // the wardrobe draws its light
// The key that opens the menu: a Windows virtual-key code, F9 (120) until the file says otherwise.
extern std::int32_t menuKey;

// The settings, one row each, all in the file's [Garbolt] section. A toggle
// has a row on the settings page and is written back by "Save Settings"; a
// number is only read, by code of its own. Reset, load, save, the first save
// and the settings page all go by this table.
struct Setting {
    const char* key;
    std::int32_t defaultValue;
    bool* toggle;          // a toggle's variable, or null
    std::int32_t* number;  // a number's variable, or null
    const char* label;     // a toggle's row on the settings page
    const char* description;
};
inline constexpr char kSettingsSection[] = "Garbolt";
inline constexpr std::int32_t kDefaultMenuKey = 120;  // F9
inline constexpr Setting kSettings[] = {
    {"bUseCamera", 0, &useCamera, nullptr, "Use Wardrobe Camera",
     "Create a camera facing the player when using the wardrobe"},
    {"bDrawLight", 0, &drawLight, nullptr, "Draw Light",
     "Draw a light in front of the player while in the wardrobe"},
    {"iMenuKey", kDefaultMenuKey, nullptr, &menuKey, nullptr, nullptr},
};

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
