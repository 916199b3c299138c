// The custom outfit store: file bytes, row labels, savedSlots and messages,
// including the ways a file or a write can go wrong.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <thread>

#include "host/files.h"
#include "host/script.h"
#include "menu/menu_layout.h"
#include "sim/observation.h"
#include "support/failing_rename.h"
#include "support/seen_name.h"
#include "support/strict_xml.h"
#include "wardrobe/store_worker.h"
#include "wardrobe_fixture.h"

namespace {

using namespace wardrobe_testing;

constexpr const char* kLoadFailed =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";
constexpr const char* kSaveFailed = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kSlotTaken =
    "~COLOR_RED~Failed to save outfit: this slot is already taken~s~";
constexpr const char* kSaved = "Successfully saved outfit";
constexpr const char* kDeleted = "Successfully deleted outfit";

class CustomOutfitStore : public WardrobeFixture {
  protected:
    std::string File() { return folder().Read(kOutfitFile); }
    std::vector<std::int32_t> Slots() { return savedSlots; }
};

TEST_F(CustomOutfitStore, RootOnlyFileChangesNothingAtStart) {
    StartUp(kRootOnly);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(savedSlots.empty());
    for (std::int32_t row = 6; row <= 20; ++row) {
        EXPECT_EQ(Label(row), DefaultCustomRowLabel(row));
    }
    OnSavedOutfitsRow(6);
    EquipCustomOutfit(7);
    EXPECT_EQ(LastMessage(), "[Custom]: There is no saved outfit in this slot");
    EXPECT_EQ(sim::Wardrobe().ResetCount(), 0);
}

TEST_F(CustomOutfitStore, SaveOnRowSixWritesTheWornOutfitAndSurvivesARestart) {
    StartUp(kRootOnly);
    sim::Wardrobe().Wear({{0xFFFFFFFFu, 0x80000000u}, {0, 5}, {17, 0}});
    OnSavedOutfitsRow(6);
    // The player's own file of the name the save once used for its
    // temporary file is neither written nor in the way.
    folder().Write("Garbolt/SavedOutfits.xml.tmp", "the player's copy");
    SaveCustomOutfit("Dusty Coat", 7);
    EXPECT_EQ(folder().Read("Garbolt/SavedOutfits.xml.tmp"), "the player's copy");
    EXPECT_EQ(folder().List("Garbolt"),
              (std::vector<std::string>{"SavedOutfits.xml", "SavedOutfits.xml.tmp"}));
    std::vector<int> items(39, 0);
    std::vector<int> states(39, 0);
    items[0] = -1;
    states[0] = -2147483648;
    states[1] = 5;
    items[2] = 17;
    EXPECT_EQ(File(), FileWith(OutfitXml("Dusty Coat", 6, items, states)));
    EXPECT_EQ(Label(6), "Dusty Coat");
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");

    // A new start reads the name back onto its row.
    const std::string bytes = File();
    ResetPluginState();
    StartUp(bytes);
    EXPECT_EQ(Label(6), "Dusty Coat");
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});
}

TEST_F(CustomOutfitStore, EquipPutsTheStoredItemsOnWithTheirStates) {
    // Item 0 with a state still gets its state call; states past the item list are ignored.
    StartUp(FileWith(OutfitXml("Two", 7, {-1, 0, 33}, {9, 4, 0, 8, 8})));
    OnSavedOutfitsRow(7);
    game().ClearTrace();
    const std::size_t mark = TraceMark();
    EquipCustomOutfit(8);
    const std::string me = std::to_string(sim::Character().Handle());
    const std::uint32_t label = sim::NameHash("CLOTHING_CUSTOM_ONE_OUTFIT");
    EXPECT_EQ(TraceFrom(mark),
              (std::vector<std::string>{
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_RESET_PED_COMPONENTS " + me,
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_APPLY_SHOP_ITEM_TO_PED " + me + ",4294967295,0,0,0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_APPLY_SHOP_ITEM_TO_PED " + me + ",33,0,0,0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE " + me + ",4294967295,9,0,0,1",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE " + me + ",0,4,0,0,1",
                  "MISC::GET_HASH_KEY 'CLOTHING_CUSTOM_ONE_OUTFIT'",
                  "global 1948301=" + std::to_string(label),
                  "MISC::GET_HASH_KEY 'CLOTHING_CUSTOM_ONE_OUTFIT'",
                  "global 1948182=" + std::to_string(label),
                  "global 7198=4096",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_SET_ACTIVE_META_PED_COMPONENTS_UPDATED " + me + ",0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_PED_VARIATION " + me + ",0,1,1,1,0",
              }));
    EXPECT_EQ(LastMessage(), "Equipped: Two");
    EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{0xFFFFFFFFu, 9}));
}

TEST_F(CustomOutfitStore, EquipWithNoItemsStillSettlesTheOutfit) {
    game().SetGlobal(7198, 0x21);
    StartUp("<Garbolt><Outfit><Slot>20</Slot><Name>Bare</Name><Components/></Outfit></Garbolt>");
    OnSavedOutfitsRow(20);
    EquipCustomOutfit(21);
    EXPECT_EQ(LastMessage(), "Equipped: Bare");
    EXPECT_EQ(game().Global(7198), 0x1021u);
    EXPECT_EQ(sim::Wardrobe().ResetCount(), 1);
    EXPECT_EQ(sim::Wardrobe().SettleCount(), 1);
    EXPECT_EQ(sim::Wardrobe().Worn(), sim::OutfitEntries{});
}

TEST_F(CustomOutfitStore, DeleteRestoresTheDefaultLabelAndRenumbersNothing) {
    StartUp(FileWith(OutfitXml("A", 6, {1}, {1}) + OutfitXml("B", 12, {2}, {2}) +
                     OutfitXml("C", 20, {3}, {3})));
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{6, 12, 20}));
    OnSavedOutfitsRow(6);
    DeleteCustomOutfit(7);
    EXPECT_EQ(LastMessage(), "Successfully deleted outfit");
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    EXPECT_EQ(File(), FileWith(OutfitXml("B", 12, {2}, {2}) + OutfitXml("C", 20, {3}, {3})));
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{12, 20}));
    EXPECT_EQ(Label(12), "B");
    OnSavedOutfitsRow(20);
    DeleteCustomOutfit(21);
    EXPECT_EQ(Label(20), "Saved Custom Outfit Twenty");
    EXPECT_EQ(Label(12), "B");
    EXPECT_EQ(File(), FileWith(OutfitXml("B", 12, {2}, {2})));
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{12}));

    DeleteCustomOutfit(21);
    EXPECT_EQ(LastMessage(), "~COLOR_RED~Failed to delete outfit, slot not found~s~");
    EXPECT_EQ(File(), FileWith(OutfitXml("B", 12, {2}, {2})));
}

TEST_F(CustomOutfitStore, ASecondStartListsEachRowOnce) {
    const std::string file = FileWith(OutfitXml("A", 6, {1}, {1}));
    StartUp(file);
    StartUp(file);  // the hook started the script routine again
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});
    OnSavedOutfitsRow(6);
    DeleteCustomOutfit(7);
    EXPECT_TRUE(savedSlots.empty());
}

TEST_F(CustomOutfitStore, MissingNameGivesAnEmptyLabel) {
    StartUp("<Garbolt><Outfit><Slot>9</Slot></Outfit></Garbolt>");
    EXPECT_EQ(Label(9), "");
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{9});
}

// A Name indented by hand holds the file's layout, not a name: only white
// space with a line break (which the game's keyboard never types) reads as
// no name; spaces alone are a name.
TEST_F(CustomOutfitStore, LayoutInANameGivesAnEmptyLabel) {
    StartUp(
        "<Garbolt>\n\t<Outfit>\n\t\t<Name>\n\t\t</Name>\n\t\t<Slot>9</Slot>\n\t</Outfit>\n"
        "\t<Outfit><Name>\r\n</Name><Slot>10</Slot></Outfit>\n"
        "\t<Outfit><Name>   </Name><Slot>11</Slot></Outfit>\n</Garbolt>\n");
    EXPECT_EQ(Label(9), "");
    EXPECT_EQ(Label(10), "");
    EXPECT_EQ(Label(11), "   ");
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{9, 10, 11}));
    OnSavedOutfitsRow(9);
    EquipCustomOutfit(10);
    EXPECT_EQ(LastMessage(), "Equipped: ");
}

TEST_F(CustomOutfitStore, DuplicateSlotIsListedTwiceAndEquipUsesTheFirst) {
    StartUp(FileWith(OutfitXml("First", 8, {11}, {0}) + OutfitXml("Second", 8, {22}, {0})));
    EXPECT_EQ(Label(8), "Second");  // applied in turn, the later name wins
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{8, 8}));
    OnSavedOutfitsRow(8);
    EquipCustomOutfit(9);
    EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 11u);

    // Deleting removes the one whose name the row shows; the row stays taken
    // and shows the outfit still there.
    DeleteCustomOutfit(9);
    EXPECT_EQ(LastMessage(), "Successfully deleted outfit");
    EXPECT_EQ(File(), FileWith(OutfitXml("First", 8, {11}, {0})));
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{8});
    EXPECT_EQ(Label(8), "First");
}

TEST_F(CustomOutfitStore, OutOfRangeSlotStopsTheLoad) {
    StartUp(FileWith(OutfitXml("One", 6, {}, {}) + OutfitXml("Two", 7, {}, {}) +
                     OutfitXml("Bad", 25, {}, {}) + OutfitXml("Later", 8, {}, {})));
    EXPECT_EQ(Messages(), std::vector<std::string>{"[Wardrobe]: Slot index 25 out of range"});
    EXPECT_EQ(Label(6), "One");
    EXPECT_EQ(Label(7), "Two");
    EXPECT_EQ(Label(8), "Saved Custom Outfit Eight");
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{6, 7}));
    // The rows follow the file again at an equip, without a second message.
    OnSavedOutfitsRow(6);
    EquipCustomOutfit(7);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"[Wardrobe]: Slot index 25 out of range",
                                                    "Equipped: One"}));
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{6, 7}));
    // An equip wears the file's first outfit on the row, loaded or not.
    OnSavedOutfitsRow(8);
    EquipCustomOutfit(9);
    EXPECT_EQ(LastMessage(), "Equipped: Saved Custom Outfit Eight");
}

TEST_F(CustomOutfitStore, MissingSlotReadsAsZero) {
    StartUp("<Garbolt><Outfit><Name>x</Name></Outfit><Outfit><Slot>6</Slot></Outfit></Garbolt>");
    EXPECT_EQ(Messages(), std::vector<std::string>{"[Wardrobe]: Slot index 0 out of range"});
    EXPECT_TRUE(savedSlots.empty());
}

TEST_F(CustomOutfitStore, IntegersAreReadTheWayTheGameWroteThem) {
    // -1 is 0xFFFFFFFF; hexadecimal and padded values are read too.
    StartUp(
        "<Garbolt><Outfit><Name>h</Name><Slot> 0x6</Slot><Components><Hash>-1</Hash>"
        "<Hash>0x10</Hash></Components><Wearables><Hash>-2147483648</Hash></Wearables>"
        "</Outfit></Garbolt>");
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});
    OnSavedOutfitsRow(6);
    EquipCustomOutfit(7);
    EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{0xFFFFFFFFu, 0x80000000u}));
    EXPECT_EQ(sim::Wardrobe().Worn()[1].item, 0x10u);
}

TEST_F(CustomOutfitStore, UnreadableFilesAreReportedAndLeftAlone) {
    for (const std::string& broken :
         {std::string("<Garbolt><Outfit>"), std::string(""), std::string("not xml at all <")}) {
        ResetPluginState();
        game().ClearNotifications();
        StartUp(broken);
        EXPECT_EQ(Messages(), std::vector<std::string>{kLoadFailed});
        OnSavedOutfitsRow(6);
        SaveCustomOutfit("Name", 7);
        DeleteCustomOutfit(7);
        EquipCustomOutfit(7);
        EXPECT_EQ(Messages(), std::vector<std::string>(4, kLoadFailed));
        EXPECT_EQ(File(), broken);
        EXPECT_TRUE(savedSlots.empty());
        EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    }
}

TEST_F(CustomOutfitStore, BadSlotNumberIsRefusedBeforeTheFileIsRead) {
    StartUp("broken");
    game().ClearNotifications();
    SaveCustomOutfit("Name", 6);
    SaveCustomOutfit("Name", 22);
    EXPECT_EQ(Messages(),
              std::vector<std::string>(2, "~COLOR_RED~Cannot save outfit: bad slot index~s~"));
}

// A failed save leaves the row free, its label and the old file as they
// were; a file another program holds through every try is named as such.
TEST_F(CustomOutfitStore, FailedWriteKeepsTheOldFileAndTheRowFree) {
    testing_support::FailingRename failing;
    const std::string before = FileWith(OutfitXml("Kept", 9, {5}, {6}));
    StartUp(before);
    OnSavedOutfitsRow(6);
    for (const bool held : {false, true}) {
        failing.held = held;
        files::ScopedFileSystem scope(failing);
        SaveCustomOutfit("Lost", 7);
        EXPECT_EQ(LastMessage(), held ? "~COLOR_RED~Failed to save outfit: "
                                        "Garbolt/SavedOutfits.xml is in use by another program~s~"
                                      : kSaveFailed);
        DeleteCustomOutfit(10);
        EXPECT_EQ(LastMessage(), held ? "~COLOR_RED~Failed to delete outfit: "
                                        "Garbolt/SavedOutfits.xml is in use by another program~s~"
                                      : "~COLOR_RED~Failed to delete outfit~s~");
    }
    EXPECT_EQ(File(), before);
    EXPECT_EQ(folder().List("Garbolt"), std::vector<std::string>{"SavedOutfits.xml"});
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{9});
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    EXPECT_EQ(Label(9), "Kept");
}

TEST_F(CustomOutfitStore, ForeignRootIsNeitherChangedNorReportedAsSaved) {
    const std::string foreign = "<?xml version=\"1.0\"?>\n<Wardrobe>\n\t<Outfit />\n</Wardrobe>\n";
    StartUp(foreign);
    EXPECT_TRUE(Messages().empty());
    OnSavedOutfitsRow(6);
    SaveCustomOutfit("Mine", 7);
    EXPECT_EQ(Messages(), std::vector<std::string>{kSaveFailed});
    EXPECT_EQ(File(), foreign);
    EXPECT_TRUE(savedSlots.empty());
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
}

// Loading stops at the bad outfit, so rows 7 and 13 look free although the
// file holds Hidden7 and Hidden13 after it. A save must neither destroy
// those nor land where the next start cannot see it.
TEST_F(CustomOutfitStore, SavingIntoAHiddenRowKeepsItsOutfitAndIsSeenAfterARestart) {
    struct BadOutfit {
        const char* slotElement;
        const char* message;
    };
    const BadOutfit cases[] = {
        {"", "[Wardrobe]: Slot index 0 out of range"},
        {"\t\t<Slot>0</Slot>\n", "[Wardrobe]: Slot index 0 out of range"},
        {"\t\t<Slot>2147483648</Slot>\n", "[Wardrobe]: Slot index 2147483647 out of range"},
    };
    std::vector<int> items(39, 0);
    std::vector<int> states(39, 0);
    items[0] = 40;
    states[0] = 41;
    for (const BadOutfit& bad : cases) {
        ResetPluginState();
        game().ClearNotifications();
        const std::string badOutfit = "\t<Outfit>\n\t\t<Name>Bad</Name>\n" +
                                      std::string(bad.slotElement) + HashList("Components", {}) +
                                      HashList("Wearables", {}) + "\t</Outfit>\n";
        const std::string hidden =
            OutfitXml("Hidden7", 7, {1, 2}, {3, 4}) + OutfitXml("Hidden13", 13, {8}, {8});
        StartUp(FileWith(OutfitXml("Seen", 9, {5}, {5}) + badOutfit + hidden));
        EXPECT_EQ(Messages(), std::vector<std::string>{bad.message});
        EXPECT_EQ(Slots(), std::vector<std::int32_t>{9});
        sim::Wardrobe().Wear({{40, 41}});
        OnSavedOutfitsRow(7);
        SaveCustomOutfit("New7", 8);
        OnSavedOutfitsRow(13);
        SaveCustomOutfit("New13", 14);
        EXPECT_EQ(LastMessage(), "Successfully saved outfit");
        // Row 7 is taken now: a second save there writes nothing.
        OnSavedOutfitsRow(7);
        SaveCustomOutfit("Newer7", 8);
        EXPECT_EQ(LastMessage(), "~COLOR_RED~Failed to save outfit: this slot is already taken~s~");
        EXPECT_EQ(File(),
                  FileWith(OutfitXml("Seen", 9, {5}, {5}) + OutfitXml("New7", 7, items, states) +
                           OutfitXml("New13", 13, items, states) + badOutfit + hidden));
        EXPECT_EQ(Slots(), (std::vector<std::int32_t>{9, 7, 13}));

        const std::string saved = File();
        ResetPluginState();
        game().ClearNotifications();
        StartUp(saved);
        EXPECT_EQ(Messages(), std::vector<std::string>{bad.message});
        EXPECT_EQ(Slots(), (std::vector<std::int32_t>{9, 7, 13}));
        EXPECT_EQ(Label(7), "New7");
        EXPECT_EQ(Label(13), "New13");
        sim::Wardrobe().Wear({});
        OnSavedOutfitsRow(7);
        EquipCustomOutfit(8);
        EXPECT_EQ(LastMessage(), "Equipped: New7");
        EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{40, 41}));
        // Deleting the new outfit leaves the hidden one in the file, still hidden.
        DeleteCustomOutfit(8);
        EXPECT_EQ(Label(7), "Saved Custom Outfit Seven");
        EXPECT_EQ(File(), FileWith(OutfitXml("Seen", 9, {5}, {5}) +
                                   OutfitXml("New13", 13, items, states) + badOutfit + hidden));
    }
}

TEST_F(CustomOutfitStore, OddNamesComeBackByteForByte) {
    const std::vector<std::string> names = {
        "<b>&amp;\"quoted\" 'single'</b>",
        "tab\there\nnew line",
        "carriage\rreturn\r\n",
        "   ",
        " padded ",
        "\x01\x02\x1F control",
        "\xC3\xA9t\xC3\xA9 \xE2\x9C\x93 \xF0\x9F\x90\x8E",
        "\xFF\xFE broken \xC3 utf-8",
        "]]> end of cdata",
    };
    // Bytes that are not UTF-8 are stored as U+FFFD, so the file stays UTF-8.
    std::vector<std::string> shown = names;
    shown[7] = "\xEF\xBF\xBD\xEF\xBF\xBD broken \xEF\xBF\xBD utf-8";
    StartUp(kRootOnly);
    for (std::size_t i = 0; i < names.size(); ++i) {
        SaveCustomOutfit(names[i].c_str(), 7 + static_cast<std::int32_t>(i));
        ASSERT_EQ(LastMessage(), "Successfully saved outfit") << i;
    }
    const std::string bytes = File();
    ResetPluginState();
    StartUp(bytes);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Label(6 + static_cast<std::int32_t>(i)), shown[i]) << i;
    }
    // Saving again changes nothing: the names are stable through a rewrite.
    SaveCustomOutfit("last", 21);
    ResetPluginState();
    StartUp(File());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(Label(6 + static_cast<std::int32_t>(i)), shown[i]) << i;
    }
}

TEST_F(CustomOutfitStore, HandIndentedEmptyListsKeepTheFileIndented) {
    StartUp("<Garbolt>\n  \n</Garbolt>");
    sim::Wardrobe().Wear({});
    SaveCustomOutfit("abc", 7);
    EXPECT_EQ(File(),
              FileWith(OutfitXml("abc", 6, std::vector<int>(39, 0), std::vector<int>(39, 0))));
}

using testing_support::SeenName;

// The label the last frame drew on page row `row`, read as the game reads it.
sim::SeenText LabelDrawnOnRow(int row) {
    const float y = menu_layout::RowTextY(row) / menu_layout::kScreenHeight;
    for (const sim::DrawEntry& entry : sim::Observe().draws) {
        if (entry.kind == sim::DrawEntry::Kind::Text && entry.text.alignment == "Left" &&
            entry.text.y == y) {
            return sim::ReadGameText(entry.text.markup);
        }
    }
    ADD_FAILURE() << "no label on row " << row;
    return {};
}

// One line of one run in the text's own colour: nothing in it was read as markup.
void ExpectOneRun(const sim::SeenText& seen, const std::string& text, const char* font) {
    ASSERT_EQ(seen.lines.size(), 1u) << seen.Plain();
    ASSERT_EQ(seen.lines[0].runs.size(), 1u) << seen.Plain();
    const sim::SeenRun& run = seen.lines[0].runs[0];
    EXPECT_EQ(run.text, text);
    EXPECT_EQ(run.colour, "");
    EXPECT_EQ(run.fontFace, font);
    EXPECT_FALSE(run.image);
}

TEST_F(CustomOutfitStore, NamesThatLookLikeMarkupShowAsTypedAfterASaveARestartAndAnEquip) {
    const std::vector<std::string> names = {"~COLOR_RED~Red~s~", "~n~Second line",
                                            "</FONT></P>Broken", "Fish & <Chips> &amp;"};
    const std::vector<std::string> stored = {"~COLOR_RED~Red~s~", "~n~Second line",
                                             "&lt;/FONT&gt;&lt;/P&gt;Broken",
                                             "Fish &amp; &lt;Chips&gt; &amp;amp;"};
    StartUp(kRootOnly);
    sim::Wardrobe().Wear({{7, 8}});
    OpenMenu();
    std::string outfits;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto row = static_cast<std::int32_t>(6 + i);
        OnSavedOutfitsRow(row);
        Frame();  // the prompt shows the row's text
        FrameWith(kSaveControl);
        ASSERT_TRUE(sim::NamingKeyboard().IsOpen());
        sim::NamingKeyboard().Finish(names[i]);
        Frame();
        ASSERT_EQ(LastMessage(), "Successfully saved outfit");
        outfits += OutfitXml(stored[i], row, WornItems(), WornStates());
    }
    EXPECT_EQ(File(), FileWith(outfits));

    ResetPluginState();
    StartUp(File());
    OpenMenu();
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const auto row = static_cast<std::int32_t>(6 + i);
        OnSavedOutfitsRow(row);
        FrameWith(kSelect);
        EXPECT_EQ(Label(row), names[i]);
        ExpectOneRun(LabelDrawnOnRow(row), SeenName(names[i]), "body");
        ExpectOneRun(sim::ReadGameText(LastMessage()), "Equipped: " + SeenName(names[i]), "");
    }
    // The keyboard shows its text as it is, and hands back what it shows.
    Row(1, 10).SetText(names[3]);
    OnSavedOutfitsRow(10);
    Frame();
    FrameWith(kSaveControl);
    EXPECT_EQ(sim::Observe().keyboard.initialText, names[3]);
    EXPECT_EQ(File(), FileWith(outfits));
}

// Control characters typed into a name never reach the file, nor do bytes
// that are no UTF-8 or the non-characters U+FFFE and U+FFFF: other XML
// readers reject a whole file for one of them. What is left must still be
// three bytes long.
TEST_F(CustomOutfitStore, TypedControlCharactersAreDroppedAndTheFileStaysXml) {
    const std::pair<std::string, std::string> typed[] = {
        {"\x01\x02\x1F\x7F\t\n\r", ""},
        {"x\x01\x02\x03y", ""},
        {"A\x01\x1F\x7F\tg\r\nh\xC2\x85\xC2\x9Fi\xEF\xBF\xBF\xEF\xBF\xBE\xFF\xC3(j\xED\xA0\x80k",
         "Aghi(jk"},
        // Kept whole: a no-break space, accents, a character beyond the BMP,
        // the replacement character.
        {"\xC2\xA0\xC3\xA9t\xC3\xA9 \xF0\x9F\x90\x8E\xEF\xBF\xBD",
         "\xC2\xA0\xC3\xA9t\xC3\xA9 \xF0\x9F\x90\x8E\xEF\xBF\xBD"},
    };
    StartUp(kRootOnly);
    OpenMenu();
    std::int32_t row = 6;
    for (const auto& [name, kept] : typed) {
        OnSavedOutfitsRow(row);
        Frame();
        FrameWith(kSaveControl);
        ASSERT_TRUE(sim::NamingKeyboard().IsOpen());
        sim::NamingKeyboard().Finish(name);
        Frame();
        if (kept.empty()) {
            EXPECT_EQ(LastMessage(), "Outfit name was too short");
            EXPECT_EQ(Label(row), DefaultCustomRowLabel(row));
            continue;
        }
        EXPECT_EQ(LastMessage(), "Successfully saved outfit");
        EXPECT_EQ(Label(row), kept);
        ++row;
    }
    EXPECT_EQ(testing_support::StrictXmlProblem(File()), "");
    EXPECT_NE(File().find("<Name>Aghi(jk</Name>"), std::string::npos) << File();
    EXPECT_EQ(Slots(), (std::vector<std::int32_t>{6, 7}));
}

// No file is the empty store: no message, and the first save makes the file
// (the root, then the outfit, in one step). Only a missing folder stops it.
// A folder in the file's place and a file that cannot be read are told apart.
TEST_F(CustomOutfitStore, MissingFileIsTheEmptyStoreThatTheFirstSaveMakes) {
    StartUp(kRootOnly);
    folder().Remove(kOutfitFile);
    LoadCustomOutfitNames();
    EXPECT_TRUE(Messages().empty());
    OnSavedOutfitsRow(6);
    EquipCustomOutfit(7);
    EXPECT_EQ(LastMessage(), "[Custom]: There is no saved outfit in this slot");
    sim::Wardrobe().Wear({{3, 4}});
    std::vector<int> items(39, 0);
    std::vector<int> states(39, 0);
    items[0] = 3;
    states[0] = 4;
    SaveCustomOutfit("First", 7);
    EXPECT_EQ(LastMessage(), kSaved);
    EXPECT_EQ(File(), FileWith(OutfitXml("First", 6, items, states)));
    EXPECT_EQ(folder().List("Garbolt"), std::vector<std::string>{"SavedOutfits.xml"});
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});

    folder().Remove("Garbolt");
    SaveCustomOutfit("Second", 8);
    EXPECT_EQ(LastMessage(),
              "~COLOR_RED~Failed to save outfit: Unable to find the Garbolt folder~s~");
    EXPECT_FALSE(folder().Exists("Garbolt"));
    EXPECT_TRUE(savedSlots.empty());  // the file just read held nothing
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");

    std::filesystem::create_directories(folder().Path() + "/" + kOutfitFile);
    game().ClearNotifications();
    LoadCustomOutfitNames();
    SaveCustomOutfit("Third", 8);
    EXPECT_EQ(Messages(), std::vector<std::string>(
                              2,
                              "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. It is not "
                              "a plain file.~s~"));

    class Unopenable : public files::FileSystem {
      public:
        std::FILE* OpenToRead(const std::string&, files::PathKind& kind, std::uint64_t&) override {
            kind = files::PathKind::PlainFile;
            return nullptr;
        }
    } unopenable;
    folder().Remove(kOutfitFile);
    folder().Write(kOutfitFile, kRootOnly);
    files::ScopedFileSystem scope(unopenable);
    EquipCustomOutfit(8);
    EXPECT_EQ(LastMessage(),
              "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file cannot be read.~s~");
}

// What a save or delete did not change stays: in the plug-in's own layout
// every byte, a byte-order mark included; in any other layout the comments,
// processing instructions, DOCTYPE and declaration.
TEST_F(CustomOutfitStore, SavesAndDeletesKeepWhatTheyDidNotChange) {
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<!DOCTYPE Garbolt>\n<?editor keep=\"me\"?>\n<!-- my outfits -->\n<Garbolt>\n"
        "\t<!-- for Sundays -->\n";
    const std::string kept = OutfitXml("Kept", 9, {5}, {6});
    const std::string tail = "\t<?sort by-name?>\n</Garbolt>\n<!-- the end -->\n";
    sim::Wardrobe().Wear({});
    const std::string added = OutfitXml("New", 6, std::vector<int>(39, 0), std::vector<int>(39, 0));
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        const std::string original = mark + head + kept + tail;
        StartUp(original);
        OnSavedOutfitsRow(6);
        SaveCustomOutfit("New", 7);
        EXPECT_EQ(File(), mark + head + kept + "\t<?sort by-name?>\n" + added +
                              "</Garbolt>\n<!-- the end -->\n");
        DeleteCustomOutfit(7);
        EXPECT_EQ(File(), original);
        EXPECT_EQ(Messages(), (std::vector<std::string>{kSaved, kDeleted}));
        game().ClearNotifications();
    }

    // Another layout is written in the plug-in's, with all of it still there.
    StartUp(
        "<?xml version='1.0'?>\r\n<!DOCTYPE Garbolt [\r\n  <!ELEMENT Garbolt ANY>\r\n]>\r\n"
        "<Garbolt>\r\n  <!-- kept -->\r\n  <?pi a\r\nb?>\r\n  <Outfit><Name>Old</Name>"
        "<Slot>8</Slot></Outfit>\r\n</Garbolt>");
    OnSavedOutfitsRow(8);
    DeleteCustomOutfit(9);
    EXPECT_EQ(LastMessage(), kDeleted);
    EXPECT_EQ(File(),
              "<?xml version=\"1.0\"?>\n<!DOCTYPE Garbolt [\n  <!ELEMENT Garbolt ANY>\n]>\n"
              "<Garbolt>\n\t<!-- kept -->\n\t<?pi a\nb?>\n</Garbolt>\n");
}

// A file in another encoding than UTF-8 is never written with a UTF-8 name in
// it, nor turned into UTF-8 under its old declaration: saves and deletes
// refuse, and its outfits can still be worn.
TEST_F(CustomOutfitStore, FilesNotInUtf8AreNeverRewritten) {
    const std::string outfit =
        "<Outfit><Name>Caf\xE9</Name><Slot>7</Slot><Components><Hash>9"
        "</Hash></Components></Outfit>";
    for (const std::string declaration :
         {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>",
          "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "<?xml version=\"1.0\"?>"}) {
        const std::string original = declaration + "<Garbolt>" + outfit + "</Garbolt>";
        ResetPluginState();
        game().ClearNotifications();
        StartUp(original);
        OnSavedOutfitsRow(7);
        EquipCustomOutfit(8);
        EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 9u);
        OnSavedOutfitsRow(6);
        SaveCustomOutfit("Caf\xC3\xA9", 7);
        OnSavedOutfitsRow(7);
        DeleteCustomOutfit(8);
        const std::vector<std::string> messages = Messages();
        ASSERT_EQ(messages.size(), 3u) << declaration;
        EXPECT_EQ(messages[0].rfind("Equipped: Caf", 0), 0u);
        EXPECT_EQ(messages[1],
                  "~COLOR_RED~Failed to save outfit: Garbolt/SavedOutfits.xml is "
                  "not saved as UTF-8~s~");
        EXPECT_EQ(messages[2],
                  "~COLOR_RED~Failed to delete outfit: Garbolt/SavedOutfits.xml is "
                  "not saved as UTF-8~s~");
        EXPECT_EQ(File(), original);
    }
}

// A start-up step that fails never skips the next: with the settings read
// throwing, the outfits' names still load. When the outfit file's own read
// fails too, the store is unknown, not empty: a save on a stored row reads
// the file first and refuses, and the row shows the outfit from then on.
TEST_F(CustomOutfitStore, AStartUpStepThatFailsNeverSkipsTheNext) {
    class ThrowingReads : public files::FileSystem {
      public:
        std::string failing;
        std::FILE* OpenToRead(const std::string& path, files::PathKind& kind,
                              std::uint64_t& size) override {
            if (path.find(failing) != std::string::npos) {
                throw std::bad_alloc();
            }
            return FileSystem::OpenToRead(path, kind, size);
        }
    } throwing;
    const std::string stored = FileWith(OutfitXml("Kept", 8, {5}, {6}));
    for (const char* failing : {"Garbolt.ini", "Garbolt/"}) {
        ResetPluginState();
        game().ClearNotifications();
        folder().Write(kOutfitFile, stored);
        folder().Write("Garbolt/Garbolt.ini", "[Garbolt]\r\nbUseCamera=1\r\n");
        {
            throwing.failing = failing;
            files::ScopedFileSystem scope(throwing);
            ScriptStartUp();
        }
        ASSERT_TRUE(activeMenu);
        EXPECT_FALSE(useCamera);
        const bool namesRead = std::string(failing) == "Garbolt.ini";
        EXPECT_EQ(Label(8), namesRead ? "Kept" : "Saved Custom Outfit Eight") << failing;
        EXPECT_EQ(Slots(), namesRead ? std::vector<std::int32_t>{8} : std::vector<std::int32_t>{});
        OnSavedOutfitsRow(8);
        SaveCustomOutfit("Lost", 9);
        EXPECT_EQ(LastMessage(), kSlotTaken);
        EXPECT_EQ(File(), stored);
        EXPECT_EQ(Label(8), "Kept");
        EXPECT_EQ(Slots(), std::vector<std::int32_t>{8});
    }
}

// A file too large to work on within a frame: each operation leaves the
// page and the file as they were until the thread has done its work; the
// frames then show the outcomes one at a time in the order asked, and the
// save stores what the equip asked before it put on.
TEST_F(CustomOutfitStore, LargeFileWorkShowsAtLaterFramesInTheOrderAsked) {
    const std::string padding =
        "\t<!--" + std::string(store_worker::kInFrameFileBytes, 'x') + "-->\n";
    const std::string big = FileWith(OutfitXml("Big", 6, {11, 12}, {0, 3}) + padding);
    sim::Wardrobe().Wear({{5, 0}});
    StartUp(big);
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    const auto framesUntil = [this](const std::function<bool()>& done) {
        for (int frame = 0; frame < 20000 && !done(); ++frame) {
            Frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    framesUntil([this] { return Label(6) == "Big"; });
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{6});

    OnSavedOutfitsRow(6);
    EquipCustomOutfit(7);
    SaveCustomOutfit("Second", 8);
    DeleteCustomOutfit(7);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(File(), big);
    framesUntil([this] { return Messages().size() >= 3; });
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Equipped: Big", kSaved, kDeleted}));
    EXPECT_EQ(WornItems()[0], 11);
    EXPECT_EQ(File(), FileWith(padding + OutfitXml("Second", 7, WornItems(), WornStates())));
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    EXPECT_EQ(Label(7), "Second");
    EXPECT_EQ(Slots(), std::vector<std::int32_t>{7});
}

}  // namespace
