// garbolt-outfits check and list: what the plug-in makes of a file, with the
// place of every problem, and the program's answers to missing files and
// wrong arguments.
#include <sys/stat.h>
#include <unistd.h>

#include "outfits_tool_fixture.h"
#include "report.h"

namespace {

using namespace outfits_tool_testing;

constexpr const char* kStore = "./Garbolt/SavedOutfits.xml";

// Lines of StoreXml: the declaration, <Garbolt>, then 86 lines per outfit
// (Outfit, Name, Slot, 41 for Components, 41 for Wearables, /Outfit).
int OutfitLine(int number) {
    return 3 + 86 * (number - 1);
}
std::string At(int line, int column) {
    return std::string(kStore) + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

std::vector<StoredOutfit> Outfits(std::initializer_list<std::pair<const char*, int>> rows) {
    std::vector<StoredOutfit> outfits;
    std::int32_t seed = 1;
    for (const auto& row : rows) {
        outfits.push_back(MakeOutfit(row.first, row.second, seed++));
    }
    return outfits;
}

TEST(OutfitsToolLocation, CountsLinesAndCharactersFromAByteOffset) {
    using garbolt_outfits::LocationOf;
    const std::string bytes = "ab\n\tC\xC3\xA9x\r\nlast";
    EXPECT_EQ(LocationOf(bytes, 0).line, 1);
    EXPECT_EQ(LocationOf(bytes, 0).column, 1);
    EXPECT_EQ(LocationOf(bytes, 2).column, 3);
    // After the two-byte character the column has moved by one.
    EXPECT_EQ(LocationOf(bytes, 7).line, 2);
    EXPECT_EQ(LocationOf(bytes, 7).column, 4);
    EXPECT_EQ(LocationOf(bytes, 10).line, 3);
    EXPECT_EQ(LocationOf(bytes, 10).column, 1);
    // Past the end: the end.
    EXPECT_EQ(LocationOf(bytes, 1000).column, 5);
    // A byte order mark takes no column.
    EXPECT_EQ(LocationOf("\xEF\xBB\xBF<G>", 4).column, 2);
}

TEST_F(OutfitsToolTest, CheckPassesAFileThePluginLoadsWhole) {
    WriteStore(Outfits({{"Sunday Best", 6}, {"Riding", 12}, {"Winter", 20}}));
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "OK: the plug-in will load all 3 outfits of ./Garbolt/SavedOutfits.xml.\n");
    EXPECT_EQ(run.err, "");

    Write("Garbolt/SavedOutfits.xml", "<?xml version=\"1.0\"?>\n<Garbolt />\n");
    const ToolRun empty = RunTool({"check"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out,
              "OK: ./Garbolt/SavedOutfits.xml holds no outfits yet; the plug-in will load it.\n");
}

// Each broken file, the place pugixml stopped and what it says there.
struct BrokenFile {
    const char* bytes;
    const char* where;
};

TEST_F(OutfitsToolTest, CheckGivesLineColumnAndDescriptionOfBrokenXml) {
    const BrokenFile cases[] = {
        // The column counts characters: the accented name is one wider, not two.
        {"<?xml version=\"1.0\"?>\n<Garbolt>\n\t<Outfit>\n\t\t<Name>Caf\xC3\xA9</Nme>\n",
         ":4:15: error: Start-end tags mismatch"},
        {"<Garbolt>\n  <Outfit <Name>\n</Garbolt>",
         ":2:11: error: Error parsing start element tag"},
        {"", ":1:1: error: No document element found"},
        {"\xEF\xBB\xBF<Garbolt>\r\n<Outfit><Name>x</Name></Outfit>\r\n</Garbolt>\r\n<",
         ":4:1: error: Could not determine tag type"},
        {"<Garbolt>\n\t<Outfit slot=6>\n", ":2:15: error: Error parsing element attribute"},
    };
    for (const BrokenFile& broken : cases) {
        Write("Garbolt/SavedOutfits.xml", broken.bytes);
        const ToolRun run = RunTool({"check"});
        EXPECT_EQ(run.status, 1) << broken.bytes;
        EXPECT_EQ(run.out,
                  std::string(kStore) + broken.where +
                      "\nThe plug-in cannot load this file: it shows \"Failed to load "
                      "Garbolt/SavedOutfits.xml. Check XML syntax.\" and none of its outfits "
                      "appear. Fix the XML at that place (the parser stops at the first fault, so "
                      "check again afterwards), or put a backup in its place.\n")
            << broken.bytes;
    }
}

TEST_F(OutfitsToolTest, CheckNamesTheSlotThatStopsLoadingAndTheOutfitsAfterIt) {
    WriteStore(Outfits({{"One", 6}, {"Two", 7}, {"Far", 25}, {"Four", 9}, {"Five", 10}}));
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              At(OutfitLine(3) + 2, 3) +
                  "error: outfit 3 \"Far\": Slot 25 is outside 6 to 20 (rows 7 to 21). The "
                  "plug-in stops loading here (it shows \"[Wardrobe]: Slot index 25 out of "
                  "range\"), so this outfit and the 2 outfits after it do not appear in the "
                  "game.\n" +
                  At(OutfitLine(4), 2) +
                  "error: outfit 4 \"Four\" on row 10 (Slot 9) does not appear in the game: "
                  "loading stopped at an earlier outfit.\n" +
                  At(OutfitLine(5), 2) +
                  "error: outfit 5 \"Five\" on row 11 (Slot 10) does not appear in the game: "
                  "loading stopped at an earlier outfit.\n"
                  "Only 2 of the 5 outfits of ./Garbolt/SavedOutfits.xml can be worn in the "
                  "game. Run \"garbolt-outfits mend\" to move the others to free rows (it backs "
                  "the file up first).\n");
}

TEST_F(OutfitsToolTest, CheckReportsMissingEmptyAndUnreadableSlots) {
    std::vector<StoredOutfit> outfits = Outfits({{"No Slot", 6}, {"Empty", 7}, {"Word", 8}});
    outfits[0].withSlot = false;
    outfits[1].slot = "";
    outfits[2].slot = "seven";
    WriteStore(outfits);
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 1);
    // Without a Slot line the later outfits start one line earlier.
    EXPECT_EQ(run.out,
              At(OutfitLine(1), 2) +
                  "error: outfit 1 \"No Slot\": has no Slot, which the plug-in reads as 0. The "
                  "plug-in stops loading here (it shows \"[Wardrobe]: Slot index 0 out of "
                  "range\"), so this outfit and the 2 outfits after it do not appear in the "
                  "game.\n" +
                  At(OutfitLine(2) + 1, 3) +
                  "error: outfit 2 \"Empty\": has no Slot; the game could not show it even if "
                  "loading reached it.\n" +
                  At(OutfitLine(3) + 1, 3) +
                  "error: outfit 3 \"Word\": Slot \"seven\" reads as 0, outside 6 to 20; the game "
                  "could not show it even if loading reached it.\n"
                  "Only 0 of the 3 outfits of ./Garbolt/SavedOutfits.xml can be worn in the "
                  "game. Run \"garbolt-outfits mend\" to move the others to free rows (it backs "
                  "the file up first).\n");
}

TEST_F(OutfitsToolTest, CheckReportsDuplicateRowsAtTheLaterOutfit) {
    WriteStore(Outfits({{"First", 9}, {"Other", 10}, {"Second", 9}}));
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              At(OutfitLine(3) + 2, 3) +
                  "error: outfit 3 \"Second\" is on row 10 (Slot 9) like outfit 1 \"First\" (line "
                  "3): equipping the row always wears the first one, so this one cannot be "
                  "worn.\n"
                  "Only 2 of the 3 outfits of ./Garbolt/SavedOutfits.xml can be worn in the "
                  "game. Run \"garbolt-outfits mend\" to move the others to free rows (it backs "
                  "the file up first).\n");
}

TEST_F(OutfitsToolTest, CheckWarnsOfAMissingNameAndShortListsButPasses) {
    std::vector<StoredOutfit> outfits = Outfits({{"Nameless", 6}, {"Short", 7}});
    outfits[0].withName = false;
    outfits[1].items.resize(12);
    outfits[1].states.resize(38);
    WriteStore(outfits);
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 0);
    // The nameless outfit is a line shorter.
    EXPECT_EQ(run.out,
              At(OutfitLine(1), 2) +
                  "warning: outfit 1 (no name) has no Name: its row shows an empty label. Add "
                  "<Name>...</Name> to it, or save over the row in the game.\n" +
                  At(OutfitLine(2) - 1, 2) +
                  "warning: outfit 2 \"Short\" holds 12 Components and 38 Wearables entries, "
                  "not 39 each: the game wears what is there, and states without an item are "
                  "ignored. Saving over the row in the game writes all 39 again.\n"
                  "OK: the plug-in will load all 2 outfits of ./Garbolt/SavedOutfits.xml (see "
                  "the warnings above).\n");
}

// Slots at and beyond the 32-bit bounds: each is reported as written and as
// the plug-in reads it, never turned into a row number.
TEST_F(OutfitsToolTest, SlotsAtTheIntegerBoundsAreReportedAsWritten) {
    struct OddSlot {
        const char* name;
        const char* slot;
        const char* reported;  // how check and list name it
    };
    const OddSlot odd[] = {
        {"Max", "2147483647", "Slot 2147483647 is"},
        {"Min", "-2147483648", "Slot -2147483648 is"},
        {"Hex", "0x7FFFFFFF", "Slot \"0x7FFFFFFF\" reads as 2147483647,"},
        {"Huge", "99999999999", "Slot \"99999999999\" reads as 2147483647,"},
    };
    std::vector<StoredOutfit> outfits = Outfits({{"One", 6}});
    std::string expectedCheck;
    std::string expectedList = "row 7: \"One\", 11 items\n";
    for (const OddSlot& slot : odd) {
        outfits.push_back(MakeOutfit(slot.name, 0, 2));
        outfits.back().slot = slot.slot;
        const int number = static_cast<int>(outfits.size());
        expectedCheck += At(OutfitLine(number) + 2, 3) + "error: outfit " + std::to_string(number) +
                         " \"" + slot.name + "\": " + slot.reported + " outside 6 to 20";
        expectedCheck +=
            number == 2 ? " (rows 7 to 21). The plug-in stops loading here (it shows "
                          "\"[Wardrobe]: Slot index 2147483647 out of range\"), so this outfit "
                          "and the 4 outfits after it do not appear in the game.\n"
                        : "; the game could not show it even if loading reached it.\n";
        expectedList += std::string("row ?: \"") + slot.name +
                        "\", 11 items (not in the game: " + slot.reported + " outside 6 to 20)\n";
    }
    outfits.push_back(MakeOutfit("After", 8, 3));
    WriteStore(outfits);

    const ToolRun check = RunTool({"check"});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, expectedCheck + At(OutfitLine(6), 2) +
                             "error: outfit 6 \"After\" on row 9 (Slot 8) does not appear in the "
                             "game: loading stopped at an earlier outfit.\n"
                             "Only 1 of the 6 outfits of ./Garbolt/SavedOutfits.xml can be worn in "
                             "the game. Run \"garbolt-outfits mend\" to move the others to free "
                             "rows (it backs the file up first).\n");
    const ToolRun list = RunTool({"list"});
    EXPECT_EQ(list.out, expectedList +
                            "row 9: \"After\", 11 items (not in the game: loading stops at an "
                            "earlier outfit)\n"
                            "Some outfits are not in the game: \"garbolt-outfits check\" says "
                            "why, \"garbolt-outfits mend\" moves them to free rows.\n");
    EXPECT_EQ(RunTool({"export", "9", "after.xml"}).status, 0);
    EXPECT_EQ(Read("after.xml"), StoreXml({MakeOutfit("After", 8, 3)}));

    const ToolRun mend = RunTool({"mend"});
    EXPECT_EQ(mend.status, 0) << mend.err;
    EXPECT_EQ(mend.out.substr(0, mend.out.find("Mended")),
              "Moved outfit 2 \"Max\" (line 89) from Slot \"2147483647\" to row 8 (Slot 7).\n"
              "Moved outfit 3 \"Min\" (line 175) from Slot \"-2147483648\" to row 10 (Slot 9).\n"
              "Moved outfit 4 \"Hex\" (line 261) from Slot \"0x7FFFFFFF\" to row 11 (Slot 10).\n"
              "Moved outfit 5 \"Huge\" (line 347) from Slot \"99999999999\" to row 12 (Slot "
              "11).\n");
    EXPECT_EQ(RunTool({"check"}).status, 0);
}

// Hashes written unsigned (or beyond 32 bits) saturate when the plug-in
// reads them, so the game would wear another item: check says where and
// what to write, mend writes the signed form of those that have one.
TEST_F(OutfitsToolTest, HashesOutsideTheSignedRangeAreReportedAndMended) {
    struct OddHash {
        bool wearables;
        int entry;
        const char* written;
        const char* shown;   // as check and mend quote it
        const char* asRead;  // the saturated value the plug-in reads
        const char* advice;  // what check says after "is read as N; "
        const char* mended;  // the signed form mend writes, or null when it has none
    };
    const char* noForm =
        "it is no 32-bit value, so the game wears another item than meant. Write the item's hash "
        "as a number from -2147483648 to 2147483647.";
    const OddHash cases[] = {
        {false, 2, "4294967295", "4294967295", "2147483647", "write -1", "-1"},
        {false, 3, "0xFFFFFFFF", "0xFFFFFFFF", "2147483647", "write -1", "-1"},
        {false, 5, " 2147483648 ", "2147483648", "2147483647", "write -2147483648", "-2147483648"},
        {false, 6, "99999999999", "99999999999", "2147483647", noForm, nullptr},
        {true, 2, "0x80000000", "0x80000000", "2147483647", "write -2147483648", "-2147483648"},
        {true, 3, "-2147483649", "-2147483649", "-2147483648", noForm, nullptr},
    };
    StoredOutfit outfit = MakeOutfit("Coat", 6, 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        (cases[i].wearables ? outfit.states : outfit.items)[cases[i].entry] =
            static_cast<std::int32_t>(700000 + i);  // a stand-in for the odd text
    }
    auto withTexts = [&](bool mended) {
        std::string xml = StoreXml({outfit});
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const std::string standIn = "<Hash>" + std::to_string(700000 + i) + "</Hash>";
            const char* text =
                mended && cases[i].mended != nullptr ? cases[i].mended : cases[i].written;
            xml.replace(xml.find(standIn), standIn.size(),
                        std::string("<Hash>") + text + "</Hash>");
        }
        return xml;
    };
    Write("Garbolt/SavedOutfits.xml", withTexts(false));
    std::string expectedCheck;
    std::string expectedRewrites;
    std::string expectedAfterMend;
    for (const OddHash& odd : cases) {
        // Components' entries start on line 7, Wearables' on line 48.
        const int line = (odd.wearables ? 48 : 7) + odd.entry;
        const std::string warning =
            At(line, 4) + "warning: outfit 1 \"Coat\": Hash " + odd.shown + " is read as " +
            odd.asRead + "; " + odd.advice +
            (odd.mended != nullptr
                 ? ", the same 32 bits in the signed form the plug-in writes (\"garbolt-outfits "
                   "mend\" rewrites it)."
                 : "") +
            "\n";
        expectedCheck += warning;
        if (odd.mended != nullptr) {
            expectedRewrites += std::string("Rewrote Hash ") + odd.shown +
                                " of outfit 1 \"Coat\" (line " + std::to_string(line) + ") as " +
                                odd.mended + ".\n";
        } else {
            expectedAfterMend += warning;
        }
    }
    const std::string ok =
        "OK: the plug-in will load all 1 outfit of ./Garbolt/SavedOutfits.xml (see the warnings "
        "above).\n";
    const ToolRun check = RunTool({"check"});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, expectedCheck + ok);

    const ToolRun mend = RunTool({"mend"});
    EXPECT_EQ(mend.status, 0) << mend.err;
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(mend.out, expectedRewrites +
                            "Mended ./Garbolt/SavedOutfits.xml: 4 Hash values rewritten in signed "
                            "form, none removed. The old file is backed up as ./Garbolt/" +
                            Backups()[0] +
                            ".\nA running game picks the change up at its next equip, save or "
                            "delete of a custom outfit.\n");
    EXPECT_EQ(Store(), withTexts(true));
    EXPECT_EQ(RunTool({"check"}).out, expectedAfterMend + ok);
}

TEST_F(OutfitsToolTest, CheckRefusesAFileWithoutTheGarboltRoot) {
    Write("Garbolt/SavedOutfits.xml", "<?xml version=\"1.0\"?>\n<Outfits><Outfit/></Outfits>\n");
    const ToolRun run = RunTool({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "./Garbolt/SavedOutfits.xml: error: there is no \"Garbolt\" root element, so the "
              "plug-in finds no outfits and refuses to save any. Put the outfits inside <Garbolt> "
              "... </Garbolt>.\n");
}

TEST_F(OutfitsToolTest, ListShowsRowNameAndItemCountAndMarksHiddenOutfits) {
    std::vector<StoredOutfit> outfits =
        Outfits({{"Sunday <Best> & \"Hat\"", 6}, {"Twin", 6}, {"Far", 30}, {"After", 14}});
    outfits[0].items.assign(39, 0);
    outfits[0].items[38] = 5;
    const std::string bytes = StoreXml(outfits);
    // The text as a player would type it into the file, escaped.
    std::string escaped = bytes;
    escaped.replace(escaped.find("Sunday <Best> & \"Hat\""), 21,
                    "Sunday &lt;Best&gt; &amp; &quot;Hat&quot;");
    Write("Garbolt/SavedOutfits.xml", escaped);
    const ToolRun run = RunTool({"list"});
    EXPECT_EQ(run.status, 0);
    // MakeOutfit wears every fourth entry and entry 1: 11 items.
    EXPECT_EQ(run.out,
              "row 7: \"Sunday <Best> & \"Hat\"\", 1 item\n"
              "row 7: \"Twin\", 11 items (cannot be worn: outfit 1 has the same row)\n"
              "row ?: \"Far\", 11 items (not in the game: Slot 30 is outside 6 to 20)\n"
              "row 15: \"After\", 11 items (not in the game: loading stops at an earlier "
              "outfit)\n"
              "Some outfits are not in the game: \"garbolt-outfits check\" says why, "
              "\"garbolt-outfits mend\" moves them to free rows.\n");
    EXPECT_EQ(Store(), escaped);  // listing changes nothing

    Write("Garbolt/SavedOutfits.xml", "<Garbolt/>");
    EXPECT_EQ(RunTool({"list"}).out,
              "No outfits are stored in ./Garbolt/SavedOutfits.xml. Save one in the game, or add "
              "one with \"garbolt-outfits import FILE\".\n");
}

TEST_F(OutfitsToolTest, MissingFolderFileOrAFolderInItsPlaceIsExplained) {
    const ToolRun noFile = RunTool({"check"});
    EXPECT_EQ(noFile.status, 1);
    EXPECT_EQ(noFile.out, "");
    EXPECT_EQ(noFile.err,
              "./Garbolt/SavedOutfits.xml does not exist.\n"
              "The game creates it when you save your first outfit. Or restore one of your "
              "backups, or name another file with --file PATH.\n"
              "The game starts without custom outfits then, and creates the file at the first "
              "save.\n");

    const ToolRun noFolder = RunTool({"list", "--file", "Elsewhere/SavedOutfits.xml"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err,
              "There is no folder Elsewhere, so there is no Elsewhere/SavedOutfits.xml.\n"
              "Run garbolt-outfits in the game folder (the one that holds Garbolt.asi and the "
              "Garbolt folder), or name the file with --file PATH.\n");

    std::filesystem::create_directory(PathOf("Garbolt/SavedOutfits.xml"));
    const ToolRun folder = RunTool({"mend"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_EQ(folder.err,
              "./Garbolt/SavedOutfits.xml is a folder, not a file.\n"
              "Name the outfit file itself with --file PATH.\n"
              "Mend only moves outfits between rows; it does not repair broken XML.\n");
}

TEST_F(OutfitsToolTest, AFileTheUserMayNotReadIsExplained) {
    WriteStore(Outfits({{"One", 6}}));
    ASSERT_EQ(chmod(PathOf("Garbolt/SavedOutfits.xml").c_str(), 0600), 0);
    const ToolRun run = RunToolAsNobody({"check"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "./Garbolt/SavedOutfits.xml cannot be read: Permission denied.\n"
              "Give your user permission to read the file (the game needs it too) and run the "
              "command again.\n"
              "The game cannot read it either: it shows \"Failed to load "
              "Garbolt/SavedOutfits.xml. The file cannot be read.\" and no custom outfit "
              "appears.\n");
}

TEST_F(OutfitsToolTest, WrongArgumentsAreRefusedWithWhatToDo) {
    struct Case {
        std::vector<std::string> arguments;
        const char* err;
    };
    const Case cases[] = {
        {{"lst"},
         "garbolt-outfits: there is no command \"lst\".\n"
         "Run \"garbolt-outfits --help\" to see the commands.\n"},
        {{"check", "extra"},
         "garbolt-outfits: check takes no arguments, but got \"extra\".\n"
         "Run \"garbolt-outfits check --help\" for how to use it.\n"},
        {{"export", "3", "out.xml"},
         "garbolt-outfits: row 3 holds one of the game's own saved outfits; custom outfits are "
         "on rows 7 to 21.\nRun \"garbolt-outfits export --help\" for how to use it.\n"},
        {{"export", "6", "out.xml"},
         "garbolt-outfits: row 6 is the heading of the custom outfits; they are on rows 7 to "
         "21.\nRun \"garbolt-outfits export --help\" for how to use it.\n"},
        {{"export", "22", "out.xml"},
         "garbolt-outfits: there is no row 22; custom outfits are on rows 7 to 21.\n"
         "Run \"garbolt-outfits export --help\" for how to use it.\n"},
        {{"import", "in.xml", "nine"},
         "garbolt-outfits: \"nine\" is not a row number; custom outfits are on rows 7 to 21.\n"
         "Run \"garbolt-outfits import --help\" for how to use it.\n"},
        {{"export", "7"},
         "garbolt-outfits: export needs a ROW and a FILE to write, for example: garbolt-outfits "
         "export 7 my-outfit.xml\nRun \"garbolt-outfits export --help\" for how to use it.\n"},
        {{"import"},
         "garbolt-outfits: import needs the exported FILE and at most a ROW, for example: "
         "garbolt-outfits import my-outfit.xml 9\n"
         "Run \"garbolt-outfits import --help\" for how to use it.\n"},
        {{"import", "in.xml", "--replace"},
         "garbolt-outfits: --replace needs the ROW whose outfit it writes over.\n"
         "Run \"garbolt-outfits import --help\" for how to use it.\n"},
        {{"mend", "--replace"},
         "garbolt-outfits: --replace belongs to import and export only.\n"
         "Run \"garbolt-outfits mend --help\" for how to use it.\n"},
        {{"check", "--file"},
         "garbolt-outfits: --file needs the path of the outfit file after it.\n"
         "Run \"garbolt-outfits --help\" to see the commands.\n"},
        {{"rename", "7"},
         "garbolt-outfits: rename needs a ROW and one NAME, for example: garbolt-outfits rename "
         "7 \"Sunday Best\"\nRun \"garbolt-outfits rename --help\" for how to use it.\n"},
        {{"move", "7", "5"},
         "garbolt-outfits: row 5 holds one of the game's own saved outfits; custom outfits are "
         "on rows 7 to 21.\nRun \"garbolt-outfits move --help\" for how to use it.\n"},
        {{"move", "9", "9"},
         "garbolt-outfits: both rows are 9; name the row to move the outfit to.\n"
         "Run \"garbolt-outfits move --help\" for how to use it.\n"},
        {{"list", "--fast"},
         "garbolt-outfits: unknown option --fast.\n"
         "Run \"garbolt-outfits list --help\" for how to use it.\n"},
    };
    WriteStore(Outfits({{"One", 6}}));
    const std::string before = Store();
    for (const Case& wrong : cases) {
        const ToolRun run = RunTool(wrong.arguments);
        EXPECT_EQ(run.status, 2) << wrong.err;
        EXPECT_EQ(run.err, wrong.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Store(), before);
    EXPECT_EQ(Backups().size(), 0u);

    const ToolRun nothing = RunTool({});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_EQ(nothing.err.rfind("garbolt-outfits: check, list, back up, share and mend", 0), 0u);
}

TEST_F(OutfitsToolTest, EveryCommandExplainsItselfWithHelp) {
    const ToolRun general = RunTool({"--help"});
    EXPECT_EQ(general.status, 0);
    for (const char* command :
         {"check", "list", "export", "import", "backup", "mend", "rename", "move"}) {
        EXPECT_NE(general.out.find(std::string("\n  ") + command + " "), std::string::npos)
            << command;
        const ToolRun help = RunTool({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: garbolt-outfits [--file PATH] ") + command, 0),
                  0u)
            << help.out;
        EXPECT_EQ(RunTool({"help", command}).out, help.out);
    }
    const ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "garbolt-outfits " GARBOLT_VERSION "\n");
    // Help never touches a file, even one that is missing.
    EXPECT_EQ(FolderFiles().size(), 0u);
}

// Without --file the program finds the outfit file from the game folder, from
// the Garbolt folder it sits in (where the release puts it; a double-click
// starts it there), and from the game folder it sits in when started elsewhere.
TEST_F(OutfitsToolTest, FindsTheOutfitFileWithoutBeingToldWhere) {
    WriteStore(Outfits({{"Found", 6}}));
    std::filesystem::create_directory(PathOf("elsewhere"));
    const std::string inGarbolt = PathOf("Garbolt/garbolt-outfits");
    const std::string inGame = PathOf("garbolt-outfits");
    std::filesystem::copy_file(GARBOLT_OUTFITS_PROGRAM, inGarbolt);
    std::filesystem::copy_file(GARBOLT_OUTFITS_PROGRAM, inGame);
    const std::pair<std::string, std::string> starts[] = {
        {inGarbolt, "Garbolt"}, {inGarbolt, "elsewhere"}, {inGame, "elsewhere"}};
    for (const auto& [program, folder] : starts) {
        const std::string out = PathOf(".out");
        EXPECT_EQ(testing_support::Spawn({program, "list"}, {PathOf(folder), out, "", 0}), 0);
        EXPECT_EQ(Read(".out").rfind("row 7: \"Found\"", 0), 0u)
            << program << " in " << folder << ": " << Read(".out");
    }
}

}  // namespace
