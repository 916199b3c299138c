// The settings file: what the load takes from it, the exact bytes and
// messages of a save, and what happens when the file is missing or cannot be
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/files.h"
#include "host/native_hashes.h"
#include "settings/settings.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/scene.h"
#include "support/failing_rename.h"
#include "support/session.h"

using testing_support::GameFolder;

namespace {

const std::string kSettingsPath = "Garbolt/Garbolt.ini";
const std::string kUnreadableAtLoad =
    "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. Using default settings.~s~";
const std::string kMissingAtSave =
    "~COLOR_RED~Failed to save: Unable to find Garbolt/Garbolt.ini~s~";
const std::string kSaved = "Successfully saved settings";
const std::string kSaveFailed = "~COLOR_RED~Failed to save settings~s~";
const std::string kWideText =
    "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini is UTF-16 or holds a NUL byte. "
    "Save it as ANSI or UTF-8.~s~";
const std::string kMenuKeyRange =
    "~COLOR_RED~iMenuKey must be a key code from 1 to 254. Using F9.~s~";

std::string TestData(const std::string& name) {
    std::ifstream in(std::string(GARBOLT_TEST_DATA) + "/ini/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << name;
    return bytes.str();
}

// The settings file that the first save writes, as the sources hold it.
std::string DefaultSettingsFile() {
    std::ifstream in(std::string(GARBOLT_TEST_DATA) + "/../../src/settings/default_settings.ini",
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Opens no file for reading, as when the player may not read it.
class NothingReadable : public files::FileSystem {
  public:
    std::FILE* OpenToRead(const std::string& path, files::PathKind& kind,
                          std::uint64_t& size) override {
        if (std::FILE* file = FileSystem::OpenToRead(path, kind, size)) {
            FileSystem::Close(file);
        }
        return nullptr;
    }
};

std::vector<std::string> NotificationTexts() {
    std::vector<std::string> texts;
    for (const sim::Notification& note : sim::TheGame().Notifications()) {
        texts.push_back(note.text);
    }
    return texts;
}

// The settings of the plug-in code linked into this test program, with the
// game folder as the working directory.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::TheGame().Reset();
        ResetSettings();
        std::filesystem::create_directory(folder_.Path() + "/Garbolt");
    }
    void LoadFrom(const std::string& bytes) {
        folder_.Write(kSettingsPath, bytes);
        loadSettings();
    }
    GameFolder folder_;
};

TEST_F(SettingsFile, MissingFileAtLoadKeepsTheDefaultsSilently) {
    loadSettings();
    EXPECT_TRUE(NotificationTexts().empty());
    EXPECT_FALSE(useCamera);
    EXPECT_FALSE(drawLight);
    EXPECT_EQ(menuKey, 120);
    EXPECT_EQ(settingsDocument.size(), 0u);
    EXPECT_FALSE(settingsFileExists());
    // A file that is there but cannot be read is the player's: it is
    // reported, and neither read nor written over by a save.
    const std::string theirs = "[Garbolt]\r\nbUseCamera = 1\r\n";
    folder_.Write(kSettingsPath, theirs);
    NothingReadable unreadable;
    files::ScopedFileSystem scoped(unreadable);
    loadSettings();
    drawLight = true;
    saveSettings();
    EXPECT_FALSE(useCamera);
    EXPECT_EQ(folder_.Read(kSettingsPath), theirs);
    EXPECT_EQ(NotificationTexts(), (std::vector<std::string>{kUnreadableAtLoad, kSaveFailed}));
}

TEST_F(SettingsFile, MessageGoesThroughTheFourNotificationNatives) {
    folder_.Remove("Garbolt");
    saveSettings();
    std::vector<std::uint64_t> hashes;
    for (const sim::TraceEvent& event : sim::TheGame().Trace()) {
        if (event.kind == sim::TraceEvent::Kind::Native) {
            hashes.push_back(event.hash);
        }
    }
    using namespace game_natives;
    EXPECT_EQ(hashes,
              (std::vector<std::uint64_t>{kNotificationTextNative, kNotificationCommitNative,
                                          kNotificationLayoutNative, kNotificationShowNative}));
}

TEST_F(SettingsFile, LoadShowsNoMessageAndKeepsTheDocument) {
    LoadFrom("[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 1\r\niMenuKey = 75 ; K\r\n");
    EXPECT_TRUE(NotificationTexts().empty());
    EXPECT_TRUE(settingsFileExists());
    EXPECT_TRUE(useCamera);
    EXPECT_TRUE(drawLight);
    EXPECT_EQ(menuKey, 75);
    EXPECT_EQ(settingsDocument.get("garbolt").get("imenukey"), "75 ; K");
}

struct LoadCase {
    std::string file;
    bool camera;
    bool light;
    std::int32_t key;
    std::string message = {};  // none when empty
};

class SettingsLoadRule : public SettingsFile, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoadRule, TakesOrLeavesEachSetting) {
    LoadFrom(GetParam().file);
    EXPECT_EQ(useCamera, GetParam().camera) << GetParam().file;
    EXPECT_EQ(drawLight, GetParam().light) << GetParam().file;
    EXPECT_EQ(menuKey, GetParam().key) << GetParam().file;
    EXPECT_EQ(NotificationTexts(), GetParam().message.empty()
                                       ? std::vector<std::string>()
                                       : std::vector<std::string>{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsLoadRule,
    ::testing::Values(LoadCase{"[Garbolt]\nbUseCamera = 5", true, false, 120},
                      LoadCase{"[Garbolt]\nbUseCamera = -1", true, false, 120},
                      LoadCase{"[Garbolt]\nbUseCamera = 0", false, false, 120},
                      LoadCase{"[Garbolt]\nbUseCamera = 1abc", true, false, 120},
                      LoadCase{"[Garbolt]\nbUseCamera = +7\nbDrawLight=2147483647", true, true,
                               120},
                      LoadCase{"[Garbolt]\nbDrawLight = 1\nbUseCamera = 0", false, true, 120},
                      LoadCase{"[GARBOLT]\nBUSECAMERA=1", true, false, 120},
                      LoadCase{"[ garbolt ]\n  bdrawlight  =  3  ", false, true, 120},
                      LoadCase{"[Garbolt]\niMenuKey = 254", false, false, 254},
                      LoadCase{"[Garbolt]\niMenuKey = 0", false, false, 120, kMenuKeyRange},
                      LoadCase{"[Garbolt]\niMenuKey = 255", false, false, 120, kMenuKeyRange},
                      LoadCase{"[Garbolt]\niMenuKey = -3", false, false, 120, kMenuKeyRange},
                      LoadCase{"[Garbolt]\niMenuKey = 0x4B", false, false, 120, kMenuKeyRange},
                      LoadCase{"[Garbolt]\niMenuKey = 75 ; F", false, false, 75},
                      LoadCase{"[Other]\nbUseCamera = 1\niMenuKey = 75", false, false, 120},
                      LoadCase{"bUseCamera = 1\n[Garbolt]", false, false, 120},
                      LoadCase{"", false, false, 120}));

// Values that are no 32-bit number leave a toggle as it is, even when it was
// switched on before; the menu key says so and is F9, whatever it was.
class SettingsUnconvertible : public SettingsFile,
                              public ::testing::WithParamInterface<std::string> {};

TEST_P(SettingsUnconvertible, LeavesTheTogglesAndMakesTheMenuKeyF9) {
    useCamera = true;
    menuKey = 77;
    LoadFrom("[Garbolt]\nbUseCamera = " + GetParam() + "\nbDrawLight = " + GetParam() +
             "\niMenuKey = " + GetParam());
    EXPECT_TRUE(useCamera);
    EXPECT_FALSE(drawLight);
    EXPECT_EQ(menuKey, 120);
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kMenuKeyRange});
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsUnconvertible,
                         ::testing::Values("", "abc", "- 1", "+", "2147483648", "-2147483649",
                                           "99999999999999999999999", "4294967371"));

// Each range of codes that cannot be the menu key at its bounds, and the
// codes that can beside each range: no keyboard message carries the mouse
// buttons, the left/right modifier codes or the unassigned and reserved
// codes, and Shift is the menu's fast-scroll key. A refused code is named and
// F9 is used.
TEST_F(SettingsFile, MenuKeysThatCannotOpenTheMenuAreRefusedByName) {
    std::vector<std::pair<std::int32_t, std::string>> refused = {{1, "left mouse button"},
                                                                 {2, "right mouse button"},
                                                                 {3, "Ctrl-Break"},
                                                                 {4, "middle mouse button"},
                                                                 {5, "side mouse button"},
                                                                 {6, "side mouse button"},
                                                                 {16, "Shift"},
                                                                 {160, "left Shift"},
                                                                 {161, "right Shift"},
                                                                 {162, "left Ctrl"},
                                                                 {163, "right Ctrl"},
                                                                 {164, "left Alt"},
                                                                 {165, "right Alt"}};
    for (const std::int32_t code :
         {7, 10, 11, 14, 15, 58, 64, 94, 136, 143, 151, 159, 184, 185, 193, 218, 224, 232}) {
        refused.emplace_back(code, "not a key");
    }
    for (const auto& [code, name] : refused) {
        sim::TheGame().Reset();
        menuKey = 77;
        LoadFrom("[Garbolt]\r\niMenuKey = " + std::to_string(code) + " ; mine\r\n");
        EXPECT_EQ(menuKey, 120) << code;
        EXPECT_EQ(NotificationTexts(),
                  std::vector<std::string>{"~COLOR_RED~iMenuKey = " + std::to_string(code) + " (" +
                                           name + ") cannot be the menu key. Using F9.~s~"});
    }
    for (const std::int32_t code : {8,   9,   12,  13,  17,  57,  65,  93,  95,  135, 144,
                                    150, 166, 183, 186, 192, 219, 223, 225, 231, 233}) {
        sim::TheGame().Reset();
        LoadFrom("[Garbolt]\r\niMenuKey = " + std::to_string(code) + "\r\n");
        EXPECT_EQ(menuKey, code);
        EXPECT_TRUE(NotificationTexts().empty()) << code;
    }
}

TEST(SettingInteger, ConvertsLikeStrtolWithin32Bits) {
    std::int32_t value = 0;
    EXPECT_TRUE(parseSettingInteger(" \t+42abc", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(parseSettingInteger("-2147483648", value));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_TRUE(parseSettingInteger("2147483647", value));
    EXPECT_EQ(value, INT32_MAX);
    EXPECT_TRUE(parseSettingInteger("0x4B", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(parseSettingInteger("007", value));
    EXPECT_EQ(value, 7);
    value = 5;
    EXPECT_FALSE(parseSettingInteger("2147483648", value));
    EXPECT_FALSE(parseSettingInteger("x1", value));
    EXPECT_EQ(value, 5);
}

TEST_F(SettingsFile, ZeroLeavesAToggleSwitchedOnSinceTheLastStart) {
    useCamera = true;
    drawLight = true;
    LoadFrom("[Garbolt]\r\nbUseCamera = 0\r\nbDrawLight = 0");
    EXPECT_TRUE(useCamera);
    EXPECT_TRUE(drawLight);
}

TEST_F(SettingsFile, SaveRewritesOnlyTheChangedLine) {
    const std::string original =
        "[Garbolt]\r\nbUseCamera = 0\r\nbDrawLight = 0\r\niMenuKey = 120\r\n";
    LoadFrom(original);
    useCamera = true;
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath),
              "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0\r\niMenuKey = 120\r\n");
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Garbolt.ini"});
}

// What a save writes into files in other shapes: notes after values,
// duplicate keys, other line ends, byte-order marks and wide text. An empty
// `after` means the file keeps its bytes.
struct SaveCase {
    std::string before;
    bool camera;  // the toggles when the player saves
    bool light;
    std::int32_t menuKey;  // what the load took from the file
    std::string after;
    std::string message;
};

class SettingsSaveBytes : public SettingsFile, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SettingsSaveBytes, WritesExactlyThis) {
    const SaveCase& expected = GetParam();
    LoadFrom(expected.before);
    EXPECT_EQ(menuKey, expected.menuKey);
    useCamera = expected.camera;
    drawLight = expected.light;
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath),
              expected.after.empty() ? expected.before : expected.after);
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{expected.message});
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Garbolt.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SettingsSaveBytes,
    ::testing::Values(
        // A note after a value stays while the setting keeps its state, and
        // goes with the old value when it changes.
        SaveCase{"[Garbolt]\r\nbUseCamera = 0 ; no camera\r\nbDrawLight = 0 ; light stays off",
                 true, false, 120,
                 "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0 ; light stays off", kSaved},
        SaveCase{"[Garbolt]\r\nbUseCamera = 01\r\nbDrawLight=1abc", true, true, 120,
                 "[Garbolt]\r\nbUseCamera = 01\r\nbDrawLight=1abc", kSaved},
        SaveCase{"[Garbolt]\r\nbUseCamera = 5\r\nbDrawLight=abc", true, false, 120,
                 "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight=0", kSaved},
        // Every copy of a key takes the saved value; the last one was read.
        SaveCase{"[Garbolt]\r\nbUseCamera = 1\r\nbUseCamera=0\r\nbDrawLight=0", true, false, 120,
                 "[Garbolt]\r\nbUseCamera = 1\r\nbUseCamera=1\r\nbDrawLight=0", kSaved},
        // Line feeds, and lone carriage returns (old Mac files), become CR LF.
        SaveCase{"[Garbolt]\nbUseCamera = 0\nbDrawLight = 0\niMenuKey = 75\n", true, false, 75,
                 "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0\r\niMenuKey = 75\r\n", kSaved},
        SaveCase{"[Garbolt]\rbUseCamera = 0\rbDrawLight = 0\riMenuKey = 75\r", true, false, 75,
                 "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0\r\niMenuKey = 75\r\n", kSaved},
        // A UTF-8 byte-order mark is read past and written back.
        SaveCase{"\xEF\xBB\xBF[Garbolt]\r\nbUseCamera = 0\r\niMenuKey = 75\r\n", true, false, 75,
                 "\xEF\xBB\xBF[Garbolt]\r\nbUseCamera = 1\r\niMenuKey = 75\r\nbdrawlight=0\r\n",
                 kSaved},
        SaveCase{"\xEF\xBB\xBF", true, false, 120,
                 "\xEF\xBB\xBF[garbolt]\r\nbusecamera=1\r\nbdrawlight=0", kSaved},
        // UTF-16 (with or without its mark), UTF-32 and NUL bytes: no save,
        // and the message says why and how to mend the file.
        SaveCase{std::string("\xFF\xFE[\0G\0]\0\r\0\n\0k\0=\0001\0", 18), true, false, 120, "",
                 kWideText},
        SaveCase{
            std::string("[\0G\0a\0r\0b\0o\0l\0t\0]\0\n\0i\0M\0e\0n\0u\0K\0e\0y\0=\0007\0005\0", 42),
            true, false, 75, "", kWideText},
        SaveCase{std::string("\xFE\xFF\0[\0G\0]", 8), false, false, 120, "", kWideText},
        SaveCase{std::string("\0\0\xFE\xFF\0\0\0[", 8), true, true, 120, "", kWideText},
        SaveCase{std::string("[Garbolt]\r\nbUseCamera = 0\0", 26), true, false, 120, "",
                 kWideText}));

TEST_F(SettingsFile, FileCreatedEmptyAfterStartGetsTheLowerCaseSection) {
    loadSettings();
    folder_.Write(kSettingsPath, "");
    useCamera = true;
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), "[garbolt]\r\nbusecamera=1\r\nbdrawlight=0");
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaved});
}

TEST_F(SettingsFile, FirstSaveWritesTheDefaultFileWithTheSettingsInForce) {
    loadSettings();
    useCamera = true;
    saveSettings();
    std::string expected = DefaultSettingsFile();
    const std::string off = "\r\nbUseCamera=0\r\n";
    ASSERT_NE(expected.find(off), std::string::npos);
    expected.replace(expected.find(off), off.size(), "\r\nbUseCamera=1\r\n");
    EXPECT_EQ(folder_.Read(kSettingsPath), expected);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Garbolt.ini"});
    // The default file spells out every setting at its default.
    IniDocument defaults;
    ASSERT_TRUE(IniStore(kSettingsPath).read(defaults));
    for (const Setting& setting : kSettings) {
        const std::int32_t inForce = setting.toggle == &useCamera ? 1 : setting.defaultValue;
        EXPECT_EQ(defaults.get(kSettingsSection).get(setting.key), std::to_string(inForce))
            << setting.key;
    }
    // From then on it is an ordinary file: the next save changes one line.
    drawLight = true;
    saveSettings();
    const std::string lightOff = "\r\nbDrawLight=0\r\n";
    expected.replace(expected.find(lightOff), lightOff.size(), "\r\nbDrawLight=1\r\n");
    EXPECT_EQ(folder_.Read(kSettingsPath), expected);
    EXPECT_EQ(NotificationTexts(), (std::vector<std::string>{kSaved, kSaved}));
}

TEST_F(SettingsFile, FileDeletedSinceStartComesBackWithWhatWasRead) {
    LoadFrom("[Garbolt]\r\niMenuKey = 75 ; K\r\n[Mine]\r\nx=1\r\n");
    folder_.Remove(kSettingsPath);
    saveSettings();
    std::string expected = DefaultSettingsFile();
    const std::string key = "\r\niMenuKey=120\r\n";
    ASSERT_NE(expected.find(key), std::string::npos);
    expected.replace(expected.find(key), key.size(), "\r\niMenuKey=75 ; K\r\n");
    expected += "\r\n[mine]\r\nx=1";
    EXPECT_EQ(folder_.Read(kSettingsPath), expected);
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaved});
}

TEST_F(SettingsFile, MissingFolderAtSaveCreatesNothing) {
    folder_.Remove("Garbolt");
    saveSettings();
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kMissingAtSave});
    EXPECT_FALSE(folder_.Exists("Garbolt"));
}

TEST_F(SettingsFile, UnchangedSaveDropsOnlyUnrecognisedLines) {
    LoadFrom("; mine\r\n[Garbolt]\r\nbUseCamera=0\r\n# note\r\n  bDrawLight = 0   \r\n\r\n");
    // The player's own file of the name the save once used for its
    // temporary file, read-only too, is neither written nor in the way.
    folder_.Write("Garbolt/Garbolt.ini.tmp", "the player's copy");
    std::filesystem::permissions(folder_.Path() + "/Garbolt/Garbolt.ini.tmp",
                                 std::filesystem::perms::owner_read);
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath),
              "; mine\r\n[Garbolt]\r\nbUseCamera=0\r\n  bDrawLight = 0   \r\n\r\n");
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaved});
    EXPECT_EQ(folder_.Read("Garbolt/Garbolt.ini.tmp"), "the player's copy");
    EXPECT_EQ(folder_.List("Garbolt"),
              (std::vector<std::string>{"Garbolt.ini", "Garbolt.ini.tmp"}));
}

TEST_F(SettingsFile, HandEditsSinceStartAreUndoneByTheSave) {
    // Since the start the player deleted bDrawLight, changed iMenuKey and
    // added a section and a stray line; the save brings back what the game
    // holds and drops what it does not.
    LoadFrom(TestData("settings_at_start.ini"));
    EXPECT_EQ(menuKey, 75);
    folder_.Write(kSettingsPath, TestData("settings_edited_by_hand.ini"));
    useCamera = true;
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), TestData("settings_after_save.ini"));
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaved});
}

TEST_F(SettingsFile, FailedWriteKeepsTheFileAndSaysSo) {
    const std::string original = "[Garbolt]\r\nbUseCamera = 0\r\nbDrawLight = 0\r\n";
    LoadFrom(original);
    useCamera = true;
    testing_support::FailingRename failing;
    for (const bool held : {false, true}) {
        failing.held = held;
        files::ScopedFileSystem scoped(failing);
        saveSettings();
    }
    EXPECT_EQ(folder_.Read(kSettingsPath), original);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Garbolt.ini"});
    EXPECT_EQ(NotificationTexts(),
              (std::vector<std::string>{kSaveFailed,
                                        "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini "
                                        "is in use by another program~s~"}));
    // The document already holds the new value, so the next save writes it.
    EXPECT_EQ(settingsDocument.get("garbolt").get("busecamera"), "1");
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0\r\n");
}

// Fails reading the file back at save time, but not the existence check,
// which opens it without reading.
class UnreadableForUpdate : public files::FileSystem {
  public:
    bool Read(std::FILE*, char*, std::size_t, std::size_t& got) override {
        got = 0;
        return false;
    }
};

TEST_F(SettingsFile, FileThatCannotBeReadBackIsNotTouched) {
    const std::string original = "[Garbolt]\r\nbUseCamera = 0\r\n";
    LoadFrom(original);
    useCamera = true;
    UnreadableForUpdate failing;
    files::ScopedFileSystem scoped(failing);
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), original);
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaveFailed});
}

// The plug-in as the game loads it: the settings are read during start-up.
TEST(SettingsAtStartUp, MissingOrPresentFileIsReadSilently) {
    for (const bool present : {false, true}) {
        testing_support::Session session(false);
        session.folder().Write("Garbolt/SavedOutfits.xml", "<Garbolt/>");
        if (present) {
            session.folder().Write(kSettingsPath, "[Garbolt]\r\nbUseCamera = 1\r\n");
        }
        session.Load();
        session.game().RunFrames(3);
        EXPECT_TRUE(session.NotificationTexts().empty()) << present;
    }
}

// Presses and releases a key, then lets two frames run.
bool MenuDrawnAfterPressing(testing_support::Session& session, std::uint32_t key) {
    session.game().KeyDown(key);
    session.game().KeyUp(key);
    session.game().RunFrames(2);
    return !sim::DrawList().empty();
}

TEST(SettingsAtStartUp, CameraSettingFromTheFileIsUsedWhenTheWardrobeOpens) {
    testing_support::Session session(false);
    session.folder().Write(kSettingsPath, "[Garbolt]\r\nbUseCamera = 1\r\n");
    session.Load();
    session.game().RunFrames(2);
    EXPECT_EQ(sim::Scene().CamerasCreated(), 0);
    ASSERT_TRUE(MenuDrawnAfterPressing(session, 120));
    EXPECT_EQ(sim::Scene().CamerasCreated(), 1);
}

TEST(SettingsAtStartUp, MenuKeyFromTheFileOpensTheMenu) {
    testing_support::Session session(false);
    session.folder().Write(kSettingsPath, "[Garbolt]\r\niMenuKey = 75 ; K\r\n");
    session.Load();
    session.game().RunFrames(2);
    EXPECT_FALSE(MenuDrawnAfterPressing(session, 120));
    EXPECT_TRUE(MenuDrawnAfterPressing(session, 75));
}

// Shift would close the menu after every fast scroll; 255 is outside the
// keyboard table. Either way F9 opens the menu and the player is told.
TEST(SettingsAtStartUp, MenuKeyThatCannotBeUsedLeavesF9) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {16, "~COLOR_RED~iMenuKey = 16 (Shift) cannot be the menu key. Using F9.~s~"},
        {255, kMenuKeyRange}};
    for (const auto& [code, message] : cases) {
        testing_support::Session session(false);
        session.folder().Write(kSettingsPath,
                               "[Garbolt]\r\niMenuKey = " + std::to_string(code) + "\r\n");
        session.Load();
        session.game().RunFrames(2);
        const std::vector<std::string> texts = session.NotificationTexts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), message), 1) << code;
        EXPECT_FALSE(MenuDrawnAfterPressing(session, static_cast<std::uint32_t>(code))) << code;
        EXPECT_TRUE(MenuDrawnAfterPressing(session, 120)) << code;
    }
}

}  // namespace
