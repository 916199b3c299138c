#include "settings/settings.h"

#include <cstdio>

#include "host/files.h"
#include "host/notification.h"
#include "settings/default_settings.h"

namespace {
constexpr std::int32_t kDefaultMenuKey = 120;  // F9
}  // namespace

bool useCamera = false;
bool drawLight = false;
std::int32_t menuKey = kDefaultMenuKey;

const IniStore settingsStore("./Garbolt/Garbolt.ini");
IniDocument settingsDocument;

namespace {

constexpr char kSettingsSection[] = "Garbolt";
constexpr char kUseCameraKey[] = "bUseCamera";
constexpr char kDrawLightKey[] = "bDrawLight";
constexpr char kMenuKeyKey[] = "iMenuKey";

// Virtual-key codes that the keyboard table can hold.
constexpr std::int32_t kLowestMenuKey = 1;
constexpr std::int32_t kHighestMenuKey = 254;

constexpr char kUnreadableAtLoadMessage[] =
    "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. Using default settings.~s~";
constexpr char kMissingAtSaveMessage[] =
    "~COLOR_RED~Failed to save: Unable to find Garbolt/Garbolt.ini~s~";
constexpr char kSavedMessage[] = "Successfully saved settings";
constexpr char kSaveFailedMessage[] = "~COLOR_RED~Failed to save settings~s~";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// A nonzero number turns the toggle on; zero, or text that is no number,
// leaves it as it is.
void LoadToggle(const IniSection& section, const char* key, bool& toggle) {
    std::int32_t value = 0;
    if (parseSettingInteger(section.get(key), value) && value != 0) {
        toggle = true;
    }
}

// Writes "1" or "0" unless the value already reads as that number: the
// line then stays as the player wrote it, a note after the value included
// ("bDrawLight = 0 ; light stays off"), when the setting did not change.
void SaveToggle(IniSection& section, const char* key, bool toggle) {
    const std::int32_t wanted = toggle ? 1 : 0;
    const std::string* stored = section.find(key);
    std::int32_t value = 0;
    if (stored != nullptr && parseSettingInteger(*stored, value) && value == wanted) {
        return;
    }
    section.set(key, toggle ? "1" : "0");
}

// The folder that holds the settings file, "." when the path names none.
std::string SettingsFolder() {
    const std::string& path = settingsStore.path();
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The first save of a game without the file: the file as the release
// describes it, with its comments, and the values in force. A key the
// document holds from an earlier start keeps its value; the rest of the
// document (keys and sections read then) follows the layout.
bool CreateSettingsFile() {
    IniSection& section = settingsDocument.at(kSettingsSection);
    section.set(kUseCameraKey, useCamera ? "1" : "0");
    section.set(kDrawLightKey, drawLight ? "1" : "0");
    if (!section.has(kMenuKeyKey)) {
        section.set(kMenuKeyKey, std::to_string(menuKey));
    }
    return settingsStore.create(settingsDocument, kDefaultSettingsText);
}

}  // namespace

bool parseSettingInteger(const std::string& text, std::int32_t& value) {
    constexpr std::int64_t kLimit = 2147483648LL;  // one past INT32_MAX, the size of INT32_MIN
    std::size_t position = 0;
    while (position < text.size() && IsSpace(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    std::int64_t magnitude = 0;
    bool sawDigit = false;
    for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
        sawDigit = true;
        magnitude = magnitude * 10 + (text[position] - '0');
        if (magnitude > kLimit) {
            return false;  // stops growing long before it could overflow
        }
    }
    if (!sawDigit || magnitude > (negative ? kLimit : kLimit - 1)) {
        return false;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

void ResetSettings() {
    useCamera = false;
    drawLight = false;
    menuKey = kDefaultMenuKey;
    settingsDocument.clear();
}

bool settingsFileExists() {
    std::FILE* file = files::Open(settingsStore.path(), "r");
    if (file == nullptr) {
        return false;
    }
    files::Close(file);
    return true;
}

void loadSettings() {
    if (!settingsFileExists()) {
        // No file is the fresh install: the defaults, and the first save
        // makes the file. One that is there but cannot be opened is the
        // player's, and is worth a word.
        if (files::Exists(settingsStore.path())) {
            ShowNotification(kUnreadableAtLoadMessage);
        }
        return;
    }
    settingsStore.read(settingsDocument);
    const IniSection section = settingsDocument.get(kSettingsSection);
    LoadToggle(section, kUseCameraKey, useCamera);
    LoadToggle(section, kDrawLightKey, drawLight);
    std::int32_t key = 0;
    if (parseSettingInteger(section.get(kMenuKeyKey), key) && key >= kLowestMenuKey &&
        key <= kHighestMenuKey) {
        menuKey = key;
    }
}

void saveSettings() {
    if (!settingsFileExists()) {
        if (files::Exists(settingsStore.path())) {
            // There but not readable: never written over.
            ShowNotification(kSaveFailedMessage);
        } else if (!files::Exists(SettingsFolder())) {
            ShowNotification(kMissingAtSaveMessage);
        } else {
            ShowNotification(CreateSettingsFile() ? kSavedMessage : kSaveFailedMessage);
        }
        return;
    }
    IniSection& section = settingsDocument.at(kSettingsSection);
    SaveToggle(section, kUseCameraKey, useCamera);
    SaveToggle(section, kDrawLightKey, drawLight);
    ShowNotification(settingsStore.write(settingsDocument) ? kSavedMessage : kSaveFailedMessage);
}
