#include "settings/settings.h"

#include <cstdio>
#include <string>

#include "host/files.h"
#include "host/notification.h"
#include "settings/default_settings.h"

#define GARBOLT_TOGGLE(variable, key, defaultValue, label, description) \
    bool variable = defaultValue;
#define GARBOLT_NUMBER(variable, key, defaultValue) std::int32_t variable = defaultValue;
#include "settings/setting_list.def"
#undef GARBOLT_TOGGLE
#undef GARBOLT_NUMBER

const IniStore settingsStore("./Garbolt/Garbolt.ini");
IniDocument settingsDocument;

namespace {

// The row of a number, which code of its own reads.
constexpr const Setting& RowOf(const std::int32_t* number) {
    for (const Setting& setting : kSettings) {
        if (setting.number == number) {
            return setting;
        }
    }
    return kSettings[0];
}
constexpr const Setting& kMenuKeySetting = RowOf(&menuKey);
static_assert(kMenuKeySetting.number == &menuKey, "the menu key has a row");

// Virtual-key codes that the keyboard table can hold.
constexpr std::int32_t kLowestMenuKey = 1;
constexpr std::int32_t kHighestMenuKey = 254;

// Codes in that range that cannot be the menu key, with the name the player
// is shown: keyboard messages never carry the mouse buttons, Ctrl-Break, the
// left and right modifier codes or the codes Windows leaves unassigned or
// reserved, so with one of these only the gamepad chord would open the menu;
// Shift is the menu's own fast-scroll key, and releasing it after a fast
// scroll would close the menu.
struct RefusedMenuKeys {
    std::int32_t first;
    std::int32_t last;
    const char* name;
};
constexpr const char* kNotAKey = "not a key";
constexpr RefusedMenuKeys kRefusedMenuKeys[] = {
    {0x01, 0x01, "left mouse button"},
    {0x02, 0x02, "right mouse button"},
    {0x03, 0x03, "Ctrl-Break"},
    {0x04, 0x04, "middle mouse button"},
    {0x05, 0x06, "side mouse button"},
    {0x07, 0x07, kNotAKey},
    {0x0A, 0x0B, kNotAKey},
    {0x0E, 0x0F, kNotAKey},
    {0x10, 0x10, "Shift"},
    {0x3A, 0x40, kNotAKey},
    {0x5E, 0x5E, kNotAKey},
    {0x88, 0x8F, kNotAKey},
    {0x97, 0x9F, kNotAKey},
    {0xA0, 0xA0, "left Shift"},
    {0xA1, 0xA1, "right Shift"},
    {0xA2, 0xA2, "left Ctrl"},
    {0xA3, 0xA3, "right Ctrl"},
    {0xA4, 0xA4, "left Alt"},
    {0xA5, 0xA5, "right Alt"},
    {0xB8, 0xB9, kNotAKey},
    {0xC1, 0xDA, kNotAKey},
    {0xE0, 0xE0, kNotAKey},
    {0xE8, 0xE8, kNotAKey},
};

constexpr char kUnreadableAtLoadMessage[] =
    "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. Using default settings.~s~";
constexpr char kTooLargeAtLoadMessage[] =
    "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. The file is too large. Using default "
    "settings.~s~";
constexpr char kTooLargeAtSaveMessage[] =
    "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini is too large~s~";
constexpr char kHeldFileMessage[] =
    "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini is in use by another program~s~";
constexpr char kMissingAtSaveMessage[] =
    "~COLOR_RED~Failed to save: Unable to find Garbolt/Garbolt.ini~s~";
constexpr char kSavedMessage[] = "Successfully saved settings";
constexpr char kSaveFailedMessage[] = "~COLOR_RED~Failed to save settings~s~";
constexpr char kWideTextMessage[] =
    "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini is UTF-16 or holds a NUL byte. "
    "Save it as ANSI or UTF-8.~s~";
constexpr char kMenuKeyRangeMessage[] =
    "~COLOR_RED~iMenuKey must be a key code from 1 to 254. Using F9.~s~";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// A number whose state is not the default's switches the toggle to it (a
// nonzero number turns on a toggle that is off by default); the default's
// own state, or text that is no number, leaves it as it is.
void LoadToggle(const IniSection& section, const Setting& setting) {
    const bool byDefault = setting.defaultValue != 0;
    std::int32_t value = 0;
    if (parseSettingInteger(section.get(setting.key), value) && (value != 0) != byDefault) {
        *setting.toggle = !byDefault;
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

// The name shown for a code that cannot be the menu key, or null for one that can.
const char* RefusedMenuKeyName(std::int32_t key) {
    for (const RefusedMenuKeys& refused : kRefusedMenuKeys) {
        if (key >= refused.first && key <= refused.last) {
            return refused.name;
        }
    }
    return nullptr;
}

// Takes the menu key from the file. A value that is there but cannot be the
// menu key says so and leaves F9, so a keyboard player always has a key; a
// missing key changes nothing.
void LoadMenuKey(const IniSection& section) {
    const std::string* value = section.find(kMenuKeySetting.key);
    if (value == nullptr) {
        return;
    }
    std::int32_t key = 0;
    if (!parseSettingInteger(*value, key) || key < kLowestMenuKey || key > kHighestMenuKey) {
        menuKey = kDefaultMenuKey;
        ShowNotification(kMenuKeyRangeMessage);
        return;
    }
    if (const char* name = RefusedMenuKeyName(key)) {
        menuKey = kDefaultMenuKey;
        const std::string message = "~COLOR_RED~iMenuKey = " + std::to_string(key) + " (" + name +
                                    ") cannot be the menu key. Using F9.~s~";
        ShowNotification(message.c_str());
        return;
    }
    menuKey = key;
}

// The folder that holds the settings file, "." when the path names none.
std::string SettingsFolder() {
    const std::string& path = settingsStore.path();
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// A setting's value in force as the file spells it.
std::string ValueInForce(const Setting& setting) {
    if (setting.toggle != nullptr) {
        return *setting.toggle ? "1" : "0";
    }
    return std::to_string(*setting.number);
}

// The first save of a game without the file: the file as the release
// describes it, with its comments, and the values in force. A setting that
// only the file sets keeps the value the document holds from an earlier
// start; the rest of the document (keys and sections read then) follows the
// layout.
bool CreateSettingsFile() {
    IniSection& section = settingsDocument.at(kSettingsSection);
    for (const Setting& setting : kSettings) {
        if (OnSettingsPage(setting) || !section.has(setting.key)) {
            section.set(setting.key, ValueInForce(setting));
        }
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
    for (const Setting& setting : kSettings) {
        if (setting.toggle != nullptr) {
            *setting.toggle = setting.defaultValue != 0;
        } else {
            *setting.number = setting.defaultValue;
        }
    }
    settingsDocument.clear();
}

bool settingsFileExists() {
    files::PathKind kind = files::PathKind::Missing;
    std::uint64_t size = 0;
    std::FILE* file = files::Active().OpenToRead(settingsStore.path(), kind, size);
    if (file == nullptr) {
        return false;
    }
    files::Close(file);
    return true;
}

namespace {

// Why an update of an existing settings file failed, in the player's words.
const char* SaveFailureMessage() {
    if (files::LastReplaceMetHeldFile()) {
        return kHeldFileMessage;
    }
    // A wide file would be ruined by a line-by-line rewrite, so no save ever
    // works on it: tell the player how to make it one that does.
    if (settingsStore.holdsWideText()) {
        return kWideTextMessage;
    }
    IniDocument unread;
    files::ReadStatus status = files::ReadStatus::Read;
    settingsStore.read(unread, &status);
    return status == files::ReadStatus::TooLarge ? kTooLargeAtSaveMessage : kSaveFailedMessage;
}

}  // namespace

void loadSettings() {
    files::ReadStatus status = files::ReadStatus::Read;
    settingsStore.read(settingsDocument, &status);
    switch (status) {
        case files::ReadStatus::Missing:
            // The fresh install: the defaults, and the first save makes the file.
            return;
        case files::ReadStatus::TooLarge:
            ShowNotification(kTooLargeAtLoadMessage);
            return;
        case files::ReadStatus::NotPlainFile:
        case files::ReadStatus::Unreadable:
            // The player's file, which is worth a word.
            ShowNotification(kUnreadableAtLoadMessage);
            return;
        case files::ReadStatus::Read:
            break;
    }
    const IniSection section = settingsDocument.get(kSettingsSection);
    for (const Setting& setting : kSettings) {
        if (setting.toggle != nullptr) {
            LoadToggle(section, setting);
        }
    }
    LoadMenuKey(section);
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
    for (const Setting& setting : kSettings) {
        if (OnSettingsPage(setting)) {
            SaveToggle(section, setting.key, *setting.toggle);
        }
    }
    ShowNotification(settingsStore.write(settingsDocument) ? kSavedMessage : SaveFailureMessage());
}
