// The plug-in's settings (settings/setting_list.def) and their file,
// ./Garbolt/Garbolt.ini.
#pragma once

#include <cstdint>
#include <string>

#include "settings/ini.h"

inline constexpr char kSettingsSection[] = "Garbolt";
inline constexpr std::int32_t kDefaultMenuKey = 120;  // F9

// The settings' variables, one per row of the list.
#define GARBOLT_TOGGLE(variable, key, defaultValue, label, description) extern bool variable;
#define GARBOLT_NUMBER(variable, key, defaultValue) extern std::int32_t variable;
#include "settings/setting_list.def"
#undef GARBOLT_TOGGLE
#undef GARBOLT_NUMBER

// The settings, one row each, in the order of the list.
struct Setting {
    const char* key;
    std::int32_t defaultValue;
    bool* toggle;          // a toggle's variable, or null
    std::int32_t* number;  // a number's variable, or null
    const char* label;     // a toggle's row on the settings page, or null
    const char* description;
};
inline constexpr Setting kSettings[] = {
#define GARBOLT_TOGGLE(variable, key, defaultValue, label, description) \
    {key, defaultValue, &variable, nullptr, label, description},
#define GARBOLT_NUMBER(variable, key, defaultValue) \
    {key, defaultValue, nullptr, &variable, nullptr, nullptr},
#include "settings/setting_list.def"
#undef GARBOLT_TOGGLE
#undef GARBOLT_NUMBER
};

// A toggle of the settings page, which "Save Settings" writes back; the
// other settings only the file sets.
constexpr bool OnSettingsPage(const Setting& setting) {
    return setting.toggle != nullptr && setting.label != nullptr;
}

// The settings file, and what was read from it at start-up plus the saves since.
extern const IniStore settingsStore;
extern IniDocument settingsDocument;

// The settings and the document back at their load-time values.
void ResetSettings();

// Reads the settings file into the settings; a missing file keeps them as
// they are, without a message.
void loadSettings();
// Writes the settings page's toggles back into the settings file, keeping its layout; a
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
