// Outfit files a player may be handed, through the plug-in's start-up (its
// script routine on the simulated game's script thread), its saves and
// garbolt-outfits check and list, all on a game script's 256 KB stack. Each
// gives its message or a plain load, writes stay linear in the file's size,
// and a file that loads keeps everything in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include "host/script.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "support/game_stack.h"
#include "support/hostile_files.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/store_worker.h"
#include "wardrobe_fixture.h"

namespace {

using testing_support::OnGameStack;
using testing_support::RunOutfitsToolOnGameStack;
using wardrobe_testing::kOutfitFile;

constexpr const char* kLoadFailed =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";
const std::string kTwoByteLetter = "\xC3\xA9";  // é
constexpr const char* kSaved = "Successfully saved outfit";
constexpr const char* kDeleted = "Successfully deleted outfit";
constexpr const char* kTooLarge =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file is too large.~s~";

std::string Times(const std::string& piece, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

std::size_t Outfits(const pugi::xml_document& document) {
    const auto outfits = outfit_file::RootOf(document).children(outfit_file::kOutfitElement);
    return static_cast<std::size_t>(std::distance(outfits.begin(), outfits.end()));
}

std::string FirstName(const pugi::xml_document& document) {
    return outfit_file::NameOf(outfit_file::RootOf(document).child(outfit_file::kOutfitElement));
}

struct HostileCase {
    const char* name;
    std::string (*bytes)();
    bool loads;                     // the plug-in loads it: no message, and saves work
    std::string rowSix;             // the label of row 6 after the start-up
    int checkStatus;                // garbolt-outfits check
    std::string checkSays;          // a line it prints
    std::string listSays;           // what list prints first (on standard error when it refuses)
    std::string saveSays = kSaved;  // saving on row 7, when the file loads
    std::string deleteSays = kDeleted;
    std::string failSays = kLoadFailed;  // every read's message, when the file does not load
    std::string equipSays = "";          // equipping row 6 after the start-up, when set
};

const HostileCase kCases[] = {
    {"NestedAHundredThousandDeep", [] { return hostile_files::DeeplyNested(100000); }, true, "Deep",
     0, "warning: outfit 1 \"Deep\" holds 0 Components and 0 Wearables entries",
     "row 7: \"Deep\", 0 items"},
    {"OutfitWithAHundredThousandChildren", [] { return hostile_files::ManyChildren(100000); }, true,
     "Wide", 0, "OK: the plug-in will load all 1 outfit", "row 7: \"Wide\", 0 items"},
    {"NameOfOneMegabyte", [] { return hostile_files::LongName(1 << 20, kTwoByteLetter); }, true,
     Times(kTwoByteLetter, 30), 0,
     "warning: outfit 1 \"" + Times(kTwoByteLetter, 30) +
         "\": the Name is 524288 characters (1048576 bytes) long; the game shows at most 30 "
         "characters and 120 bytes",
     "row 7: \"" + Times(kTwoByteLetter, 30) + "\", 0 items"},
    {"TwentyThousandOutfits", [] { return hostile_files::ManyOutfits(20000); }, true,
     "Outfit 19995", 1, "Only 15 of the 20000 outfits", "row 7: \"Outfit 0\", 0 items",
     "~COLOR_RED~Failed to save outfit: this slot is already taken~s~"},
    {"AttributesByTheThousand", [] { return hostile_files::ManyAttributes(5000); }, true,
     "Attributes", 0, "OK: the plug-in will load all 1 outfit", "row 7: \"Attributes\", 0 items"},
    {"NulBytes", [] { return hostile_files::NulBytes(65536); }, false, "Saved Custom Outfit Six", 1,
     "error: No document element found", "error: No document element found"},
    {"Utf16WithByteOrderMark",
     [] { return hostile_files::Utf16WithBom("W" + kTwoByteLetter + "de"); }, true,
     "W" + kTwoByteLetter + "de", 0,
     "./Garbolt/SavedOutfits.xml: warning: the file is not saved as UTF-8 (it declares another "
     "encoding, or holds bytes that are not UTF-8): the game wears its outfits but refuses to "
     "save or delete in it. Save it as UTF-8 in a text editor.\n",
     "row 7: \"W" + kTwoByteLetter + "de\", 0 items",
     "~COLOR_RED~Failed to save outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~",
     "~COLOR_RED~Failed to delete outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~"},
    {"Truncated", [] { return hostile_files::Truncated(70); }, false, "Saved Custom Outfit Six", 1,
     "error: Start-end tags mismatch", "error: Start-end tags mismatch"},
    // Outfits in a wrapper, inside another outfit and under a second root:
    // the game never sees them, a save keeps them, check fails and names them.
    {"OutfitsOutsideTheFirstRoot",
     [] {
         return std::string(
             "<Garbolt>\n<Outfit><Name>Seen</Name><Slot>6</Slot>"
             "<Outfit><Name>Inner</Name><Slot>7</Slot></Outfit></Outfit>\n"
             "<Box><Outfit><Name>Wrapped</Name><Slot>8</Slot></Outfit></Box>\n</Garbolt>\n"
             "<Garbolt><Outfit><Name>Second</Name><Slot>9</Slot></Outfit></Garbolt>\n");
     },
     true, "Seen", 1,
     "./Garbolt/SavedOutfits.xml:2:40: error: the Outfit \"Inner\" is not directly inside the "
     "first <Garbolt> element",
     "line 2: \"Inner\" (not in the game: outside the first <Garbolt> element)\n"
     "line 3: \"Wrapped\" (not in the game: outside the first <Garbolt> element)\n"
     "line 5: \"Second\" (not in the game: outside the first <Garbolt> element)"},
    // At the size cap the file loads, and a save that would take it past the
    // cap is refused; one byte more and it is not read at all.
    {"AtTheSizeCap", [] { return hostile_files::PaddedTo(outfit_file::kMaxOutfitFileBytes); }, true,
     "Padded", 0, "OK: the plug-in will load all 1 outfit", "row 7: \"Padded\", 0 items",
     "~COLOR_RED~Failed to save outfit~s~"},
    {"PastTheSizeCap", [] { return hostile_files::PaddedTo(outfit_file::kMaxOutfitFileBytes + 1); },
     false, "Saved Custom Outfit Six", 1,
     "\"Failed to load Garbolt/SavedOutfits.xml. The file is too large.\"",
     "KB, the most the game reads, so", "", "", kTooLarge},
    {"AtTheItemCap", [] { return hostile_files::ManyItems(outfit_file::kMaxOutfitItems); }, true,
     "Many", 0, "OK: the plug-in will load all 1 outfit", "row 7: \"Many\"", kSaved, kDeleted,
     kLoadFailed, "Equipped: Many"},
    {"PastTheItemCap", [] { return hostile_files::ManyItems(outfit_file::kMaxOutfitItems + 1); },
     true, "Many", 0, "equipping it puts on none of them", "row 7: \"Many\"", kSaved, kDeleted,
     kLoadFailed, "~COLOR_RED~Failed to equip outfit: it holds too many items~s~"},
};

// Every file is worked on within its frame here, on the game's small stack:
// what a hostile file costs the thread that reads it is the point.
class HostileFiles : public wardrobe_testing::WardrobeFixture,
                     public ::testing::WithParamInterface<HostileCase> {
  protected:
    void SetUp() override {
        WardrobeFixture::SetUp();
        store_worker::SetInFrameFileBytes(outfit_file::kMaxOutfitFileBytes);
    }
    void TearDown() override {
        game().StopScript();
        WardrobeFixture::TearDown();
    }
};

TEST_P(HostileFiles, GiveTheirMessageOrAPlainLoadAndNeverCrash) {
    const HostileCase& hostile = GetParam();
    const std::string original = hostile.bytes();
    folder().Write(kOutfitFile, original);
    folder().Write("Garbolt/Garbolt.ini", "[Garbolt]\r\niMenuKey=120\r\n");

    const testing_support::ProgramRun check = RunOutfitsToolOnGameStack({"check"});
    EXPECT_EQ(check.status, hostile.checkStatus) << check.out.substr(0, 500) << check.err;
    EXPECT_NE((check.out + check.err).find(hostile.checkSays), std::string::npos)
        << check.out.substr(0, 500);
    const testing_support::ProgramRun list = RunOutfitsToolOnGameStack({"list"});
    EXPECT_EQ(list.status, hostile.loads ? 0 : 1) << list.err;
    const std::string& listed = hostile.loads ? list.out : list.err;
    EXPECT_NE(listed.find(hostile.listSays), std::string::npos) << listed.substr(0, 500);
    EXPECT_EQ(folder().Read(kOutfitFile), original);

    // The start-up as the game runs it: the script routine on its own stack.
    game().HookScriptRegister(nullptr, ScriptMain);
    game().RunFrame();
    EXPECT_EQ(Messages(), hostile.loads ? std::vector<std::string>{}
                                        : std::vector<std::string>{hostile.failSays});
    EXPECT_EQ(Label(6), hostile.rowSix);
    if (!hostile.equipSays.empty()) {
        const std::size_t mark = wardrobe_testing::TraceMark();
        OnGameStack([&] {
            OnSavedOutfitsRow(6);
            EquipCustomOutfit(7);
        });
        EXPECT_EQ(LastMessage(), hostile.equipSays);
        // Worn whole or not at all: past the cap the game is not touched.
        EXPECT_EQ(wardrobe_testing::TraceFrom(mark).empty(),
                  hostile.equipSays.rfind("Equipped", 0) != 0);
    }

    // Saving on row 7 (unless it is taken) and deleting row 6 write the whole document back.
    game().ClearNotifications();
    std::string afterSave;
    OnGameStack([&] {
        OnSavedOutfitsRow(7);
        SaveCustomOutfit("Sunday", 8);
        afterSave = folder().Read(kOutfitFile);
        OnSavedOutfitsRow(6);
        DeleteCustomOutfit(7);
    });
    const std::string afterDelete = folder().Read(kOutfitFile);
    if (!hostile.loads) {
        EXPECT_EQ(Messages(), (std::vector<std::string>{hostile.failSays, hostile.failSays}));
        EXPECT_EQ(afterDelete, original);
        return;
    }
    EXPECT_EQ(Messages(), (std::vector<std::string>{hostile.saveSays, hostile.deleteSays}));
    if (hostile.deleteSays != kDeleted) {
        EXPECT_EQ(afterDelete, original);  // never rewritten in another encoding
        return;
    }
    // Written in time and space linear in the file (no indentation per level).
    EXPECT_LT(afterSave.size(), 2 * original.size() + 4096);
    pugi::xml_document before;
    pugi::xml_document saved;
    pugi::xml_document deleted;
    ASSERT_TRUE(before.load_buffer(original.data(), original.size()));
    ASSERT_TRUE(saved.load_buffer(afterSave.data(), afterSave.size()));
    ASSERT_TRUE(deleted.load_buffer(afterDelete.data(), afterDelete.size()));
    // What the save did not touch stays whole: the long name, the deep content.
    EXPECT_EQ(FirstName(saved), FirstName(before));
    EXPECT_GE(outfit_file::DeepestLevel(saved), outfit_file::DeepestLevel(before));
    EXPECT_EQ(Outfits(deleted), Outfits(saved) - 1);
}

// What is no plain file is never opened to wait on or read without end, and
// never replaced: a FIFO or a link to an endless device in place of either
// file, through the start-up, the saves and both tool commands that read.
// The settings file is read at its size cap and refused one byte past it.
TEST_F(HostileFiles, SpecialFilesAndOversizedSettingsAreNeitherReadNorReplaced) {
    constexpr const char* kNotPlain =
        "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. It is not a plain file.~s~";
    constexpr const char* kSettingsUnreadable =
        "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. Using default settings.~s~";
    const std::string outfits = folder().Path() + "/" + kOutfitFile;
    const std::string settings = folder().Path() + "/Garbolt/Garbolt.ini";
    folder().Write("Garbolt/Garbolt.ini", "");  // makes the folder
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "link to /dev/zero");
        for (const std::string& path : {outfits, settings}) {
            ::unlink(path.c_str());
            ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0666) : ::symlink("/dev/zero", path.c_str()),
                      0);
        }
        game().ClearNotifications();
        game().StopScript();
        game().HookScriptRegister(nullptr, ScriptMain);
        game().RunFrame();  // the start-up reads both
        OnGameStack([&] {
            OnSavedOutfitsRow(7);
            SaveCustomOutfit("Sunday", 8);
            saveSettings();
        });
        EXPECT_EQ(Messages(), (std::vector<std::string>{kSettingsUnreadable, kNotPlain, kNotPlain,
                                                        "~COLOR_RED~Failed to save settings~s~"}));
        const testing_support::ProgramRun check = RunOutfitsToolOnGameStack({"check"});
        EXPECT_EQ(check.status, 1);
        EXPECT_NE(check.err.find("not a regular file"), std::string::npos) << check.err;
        folder().Remove(kOutfitFile);
        const testing_support::ProgramRun import =
            RunOutfitsToolOnGameStack({"import", settings, "7"});
        EXPECT_EQ(import.status, 1);
        EXPECT_NE(import.err.find("not a regular file"), std::string::npos) << import.err;
        struct stat status {};
        ASSERT_EQ(::lstat(settings.c_str(), &status), 0);
        EXPECT_EQ(fifo ? S_ISFIFO(status.st_mode) : S_ISLNK(status.st_mode), true);
        EXPECT_FALSE(folder().Exists(kOutfitFile));
    }
    for (const std::uint64_t size : {kMaxIniFileBytes, kMaxIniFileBytes + 1}) {
        // Blank lines, then a comment to the exact size; the save finds both
        // settings as they are and changes no byte.
        const std::string head = "[Garbolt]\r\nbUseCamera=1\r\nbDrawLight=0\r\n";
        std::string file = head;
        while (file.size() + 2 < size - 64) {
            file += "\r\n";
        }
        file += ";" + std::string(size - file.size() - 1, 'x');
        ::unlink(settings.c_str());
        folder().Write("Garbolt/Garbolt.ini", file);
        game().ClearNotifications();
        ResetSettings();
        loadSettings();
        saveSettings();
        const bool read = size <= kMaxIniFileBytes;
        EXPECT_EQ(useCamera, read);
        EXPECT_EQ(Messages(),
                  read ? std::vector<std::string>{"Successfully saved settings"}
                       : (std::vector<std::string>{
                             "~COLOR_RED~Unable to read Garbolt/Garbolt.ini. The file is too "
                             "large. Using default settings.~s~",
                             "~COLOR_RED~Failed to save settings: Garbolt/Garbolt.ini is too "
                             "large~s~"}));
        EXPECT_EQ(folder().Read("Garbolt/Garbolt.ini"), file);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFiles, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
