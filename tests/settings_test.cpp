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
#include "settings/settings.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/scene.h"
#include "support/session.h"

using testing_support::GameFolder;

namespace {

const std::string kSettingsPath = "Garbolt/Garbolt.ini";
const std::string kMissingAtLoad = "Garbolt/Garbolt.ini does not exist. Using default settings.";
const std::string kMissingAtSave =
    "~COLOR_RED~Failed to save: Unable to find Garbolt/Garbolt.ini~s~";
const std::string kSaved = "Successfully saved settings";
const std::string kSaveFailed = "~COLOR_RED~Failed to save settings~s~";

std::string TestData(const std::string& name) {
    std::ifstream in(std::string(GARBOLT_TEST_DATA) + "/ini/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << name;
    return bytes.str();
}

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
        useCamera = false;
        drawLight = false;
        menuKey = 120;
        settingsDocument.clear();
        std::filesystem::create_directory(folder_.Path() + "/Garbolt");
    }
    void LoadFrom(const std::string& bytes) {
        folder_.Write(kSettingsPath, bytes);
        loadSettings();
    }
    GameFolder folder_;
};

TEST_F(SettingsFile, MissingFileAtLoadKeepsTheDefaultsWithOneMessage) {
    loadSettings();
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kMissingAtLoad});
    EXPECT_FALSE(useCamera);
    EXPECT_FALSE(drawLight);
    EXPECT_EQ(menuKey, 120);
    EXPECT_EQ(settingsDocument.size(), 0u);
    EXPECT_FALSE(settingsFileExists());
}

TEST_F(SettingsFile, MessageGoesThroughTheFourNotificationNatives) {
    loadSettings();
    std::vector<std::uint64_t> hashes;
    for (const sim::TraceEvent& event : sim::TheGame().Trace()) {
        if (event.kind == sim::TraceEvent::Kind::Native) {
            hashes.push_back(event.hash);
        }
    }
    EXPECT_EQ(hashes, (std::vector<std::uint64_t>{0xFA233F8FE190514C, 0xE9990552DEC71600,
                                                  0xA3108D6981A5CADB, 0xDFF0D417277B41F8}));
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
};

class SettingsLoadRule : public SettingsFile, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoadRule, TakesOrLeavesEachSetting) {
    LoadFrom(GetParam().file);
    EXPECT_EQ(useCamera, GetParam().camera) << GetParam().file;
    EXPECT_EQ(drawLight, GetParam().light) << GetParam().file;
    EXPECT_EQ(menuKey, GetParam().key) << GetParam().file;
    EXPECT_TRUE(NotificationTexts().empty());
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
                      LoadCase{"[Garbolt]\niMenuKey = 1", false, false, 1},
                      LoadCase{"[Garbolt]\niMenuKey = 254", false, false, 254},
                      LoadCase{"[Garbolt]\niMenuKey = 0", false, false, 120},
                      LoadCase{"[Garbolt]\niMenuKey = 255", false, false, 120},
                      LoadCase{"[Garbolt]\niMenuKey = -3", false, false, 120},
                      LoadCase{"[Garbolt]\niMenuKey = 0x4B", false, false, 120},
                      LoadCase{"[Garbolt]\niMenuKey = 75 ; F", false, false, 75},
                      LoadCase{"[Other]\nbUseCamera = 1\niMenuKey = 75", false, false, 120},
                      LoadCase{"bUseCamera = 1\n[Garbolt]", false, false, 120},
                      LoadCase{"", false, false, 120}));

// Values that are no 32-bit number leave the setting as it is, even when it
// was switched on before.
class SettingsUnconvertible : public SettingsFile,
                              public ::testing::WithParamInterface<std::string> {};

TEST_P(SettingsUnconvertible, LeavesEverySettingAsItIs) {
    useCamera = true;
    menuKey = 77;
    LoadFrom("[Garbolt]\nbUseCamera = " + GetParam() + "\nbDrawLight = " + GetParam() +
             "\niMenuKey = " + GetParam());
    EXPECT_TRUE(useCamera);
    EXPECT_FALSE(drawLight);
    EXPECT_EQ(menuKey, 77);
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsUnconvertible,
                         ::testing::Values("", "abc", "- 1", "+", "2147483648", "-2147483649",
                                           "99999999999999999999999", "4294967371"));

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

TEST_F(SettingsFile, FileCreatedEmptyAfterStartGetsTheLowerCaseSection) {
    loadSettings();
    folder_.Write(kSettingsPath, "");
    useCamera = true;
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), "[garbolt]\r\nbusecamera=1\r\nbdrawlight=0");
    EXPECT_EQ(NotificationTexts(), (std::vector<std::string>{kMissingAtLoad, kSaved}));
}

TEST_F(SettingsFile, MissingFileAtSaveCreatesNothing) {
    loadSettings();
    useCamera = true;
    saveSettings();
    saveSettings();
    EXPECT_EQ(NotificationTexts(),
              (std::vector<std::string>{kMissingAtLoad, kMissingAtSave, kMissingAtSave}));
    EXPECT_TRUE(folder_.List("Garbolt").empty());
    EXPECT_EQ(settingsDocument.size(), 0u);
    EXPECT_TRUE(useCamera);
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

// Fails the one-step replace, as a full disk or a locked file would.
class FailingRename : public files::FileSystem {
  public:
    bool Rename(const std::string&, const std::string&) override { return false; }
};

TEST_F(SettingsFile, FailedWriteKeepsTheFileAndSaysSo) {
    const std::string original = "[Garbolt]\r\nbUseCamera = 0\r\nbDrawLight = 0\r\n";
    LoadFrom(original);
    useCamera = true;
    {
        FailingRename failing;
        files::ScopedFileSystem scoped(failing);
        saveSettings();
    }
    EXPECT_EQ(folder_.Read(kSettingsPath), original);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Garbolt.ini"});
    EXPECT_EQ(NotificationTexts(), std::vector<std::string>{kSaveFailed});
    // The document already holds the new value, so the next save writes it.
    EXPECT_EQ(settingsDocument.get("garbolt").get("busecamera"), "1");
    saveSettings();
    EXPECT_EQ(folder_.Read(kSettingsPath), "[Garbolt]\r\nbUseCamera = 1\r\nbDrawLight = 0\r\n");
}

// Fails reading the file back at save time, but not the existence check.
class UnreadableForUpdate : public files::FileSystem {
  public:
    std::FILE* Open(const std::string& path, const char* mode) override {
        return std::string(mode) == "rb" ? nullptr : FileSystem::Open(path, mode);
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
TEST(SettingsAtStartUp, MissingFileIsReportedOnceAtStart) {
    testing_support::Session session(false);
    session.Load();
    session.game().RunFrames(3);
    const std::vector<std::string> texts = session.NotificationTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), kMissingAtLoad), 1) << texts.size();
}

TEST(SettingsAtStartUp, PresentFileIsReadSilently) {
    testing_support::Session session(false);
    session.folder().Write(kSettingsPath, "[Garbolt]\r\nbUseCamera = 1\r\n");
    session.Load();
    session.game().RunFrames(3);
    const std::vector<std::string> texts = session.NotificationTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), kMissingAtLoad), 0);
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

TEST(SettingsAtStartUp, MenuKeyOutsideTheTableKeepsF9) {
    testing_support::Session session(false);
    session.folder().Write(kSettingsPath, "[Garbolt]\r\niMenuKey = 255\r\n");
    session.Load();
    session.game().RunFrames(2);
    EXPECT_TRUE(MenuDrawnAfterPressing(session, 120));
}

}  // namespace
