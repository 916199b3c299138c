// garbolt-outfits mend and backup, read-only files and folders, and the
// plug-in itself reading what the tool wrote.
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <sstream>

#include "cli.h"

#include "outfits_tool_fixture.h"
#include "wardrobe_fixture.h"

namespace {

using namespace outfits_tool_testing;

std::vector<StoredOutfit> BrokenRows() {
    std::vector<StoredOutfit> outfits = {
        MakeOutfit("Kept", 6, 1), MakeOutfit("Far", 25, 2),    MakeOutfit("Eight", 8, 3),
        MakeOutfit("Twin", 6, 4), MakeOutfit("No Slot", 0, 5), MakeOutfit("Negative", -1, 6),
    };
    outfits[4].withSlot = false;
    return outfits;
}

TEST_F(OutfitsToolTest, MendMovesOutfitsToFreeRowsAndKeepsEveryOne) {
    const std::vector<StoredOutfit> stored = BrokenRows();
    WriteStore(stored);
    const std::string before = Store();
    const ToolRun run = RunTool({"mend"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Read("Garbolt/" + backups[0]), before);
    // Free rows, lowest first: 7, 9, 10, 11 (Slots 7, 9, 10, 11 are free; 6 and 8 are kept).
    EXPECT_EQ(run.out,
              "Moved outfit 2 \"Far\" (line 89) from Slot \"25\" to row 8 (Slot 7).\n"
              "Moved outfit 4 \"Twin\" (line 261) from row 7 (Slot 6), which outfit 1 keeps, to "
              "row 10 (Slot 9).\n"
              "Moved outfit 5 \"No Slot\" (line 347) from no Slot to row 11 (Slot 10).\n"
              "Moved outfit 6 \"Negative\" (line 432) from Slot \"-1\" to row 12 (Slot 11).\n"
              "Mended ./Garbolt/SavedOutfits.xml: 4 outfits moved, none removed. The old file is "
              "backed up as ./Garbolt/" +
                  backups[0] +
                  ".\nA running game picks the change up at its next equip, save or delete of a "
                  "custom outfit.\n");

    // Every outfit still there, in its place in the file, with its items and states;
    // only the Slots of the moved ones differ. A missing Slot goes after the Name.
    std::vector<StoredOutfit> expected = stored;
    expected[1].slot = "7";
    expected[3].slot = "9";
    expected[4].withSlot = true;
    expected[4].slot = "10";
    expected[5].slot = "11";
    EXPECT_EQ(Store(), StoreXml(expected));

    const ToolRun check = RunTool({"check"});
    EXPECT_EQ(check.status, 0) << check.out;

    // A second mend finds nothing to do and changes nothing.
    const std::string mended = Store();
    const ToolRun again = RunTool({"mend"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out,
              "Nothing to mend: every outfit of ./Garbolt/SavedOutfits.xml has a row of its own "
              "from 7 to 21. The file was not changed.\n");
    EXPECT_EQ(Store(), mended);
    EXPECT_EQ(Backups().size(), 1u);
}

TEST_F(OutfitsToolTest, MendWithoutEnoughFreeRowsChangesNothing) {
    std::vector<StoredOutfit> outfits;
    for (std::int32_t row = 6; row <= 19; ++row) {
        outfits.push_back(MakeOutfit("Row " + std::to_string(row), row, row));
    }
    outfits.push_back(MakeOutfit("Far", 30, 1));
    outfits.push_back(MakeOutfit("Twin", 7, 2));
    WriteStore(outfits);
    const std::string before = Store();
    const ToolRun run = RunTool({"mend"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "2 outfits of ./Garbolt/SavedOutfits.xml need a free row, but only 1 of the 15 "
              "custom rows is free, so nothing was changed. Export an outfit you can spare "
              "(garbolt-outfits export ROW FILE), delete it in the game, then run mend again.\n");
    EXPECT_EQ(Store(), before);
    EXPECT_TRUE(Backups().empty());
}

TEST_F(OutfitsToolTest, MendLeavesBrokenXmlAlone) {
    const std::string broken = "<Garbolt>\n\t<Outfit>\n\t\t<Slot>25</Slt>\n";
    Write("Garbolt/SavedOutfits.xml", broken);
    const ToolRun run = RunTool({"mend"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "./Garbolt/SavedOutfits.xml:3:13: error: Start-end tags mismatch\n"
              "./Garbolt/SavedOutfits.xml is not well-formed XML, so the game cannot load it "
              "either. Run \"garbolt-outfits check\" to see where, fix it there or put a backup in "
              "its place, then run the command again.\n"
              "Mend only moves outfits between rows; it does not repair broken XML.\n");
    EXPECT_EQ(Store(), broken);
    EXPECT_TRUE(Backups().empty());
}

TEST_F(OutfitsToolTest, BackupCopiesTheFileByteForByteUnderANewNameEachTime) {
    // A broken file is backed up too: that is when a copy matters most.
    const std::string bytes = "<Garbolt>\r\n\t<Outfit><Name>\xC3\xA9</Name>\n";
    Write("Garbolt/SavedOutfits.xml", bytes);
    const ToolRun first = RunTool({"backup"});
    const ToolRun second = RunTool({"backup"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(second.status, 0) << second.err;
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 2u);
    for (const std::string& name : backups) {
        EXPECT_TRUE(std::regex_match(
            name, std::regex("SavedOutfits-backup-[0-9]{8}-[0-9]{6}(-[0-9]+)?\\.xml")))
            << name;
        EXPECT_EQ(Read("Garbolt/" + name), bytes);
    }
    EXPECT_EQ(Store(), bytes);
    const std::string named = first.out.substr(first.out.find(" as ") + 4);
    EXPECT_EQ(first.out, "Backed up ./Garbolt/SavedOutfits.xml as " + named);
    EXPECT_NE(named.find("\nTo go back to it later, copy it over ./Garbolt/SavedOutfits.xml.\n"),
              std::string::npos);

    const ToolRun other = RunTool({"backup", "--file", "mine.xml"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err,
              "mine.xml does not exist.\nThe game creates it when you save your first outfit. Or "
              "restore one of your backups, or name another file with --file PATH.\n");
}

TEST_F(OutfitsToolTest, AReadOnlyFileIsNeverChanged) {
    WriteStore(BrokenRows());
    Write("coat.xml", StoreXml({MakeOutfit("Coat", 15, 4)}));
    const std::string before = Store();
    // Owned by root and not writable for others: nobody may read but not write it.
    ASSERT_EQ(chmod(PathOf("Garbolt/SavedOutfits.xml").c_str(), 0644), 0);
    const std::string readOnly =
        "./Garbolt/SavedOutfits.xml is read-only, so nothing was changed.\n"
        "Make it writable (on Windows: right-click the file, Properties, clear \"Read-only\"; "
        "on Linux: chmod u+w ./Garbolt/SavedOutfits.xml) and run the command again.\n";
    const ToolRun mend = RunToolAsNobody({"mend"});
    EXPECT_EQ(mend.status, 1);
    EXPECT_EQ(mend.err, readOnly);
    EXPECT_EQ(mend.out, "");
    EXPECT_EQ(Store(), before);

    // The same for an import into a store that takes one (the file keeps its mode).
    WriteStore({MakeOutfit("Mine", 6, 1)});
    const std::string small = Store();
    const ToolRun import = RunToolAsNobody({"import", "coat.xml"});
    EXPECT_EQ(import.status, 1);
    EXPECT_EQ(import.err, readOnly);
    EXPECT_EQ(Store(), small);
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"SavedOutfits.xml"});
    // Reading it is fine.
    EXPECT_EQ(RunToolAsNobody({"check"}).status, 0);
}

TEST_F(OutfitsToolTest, AFolderThatTakesNoBackupStopsTheChange) {
    WriteStore(BrokenRows());
    const std::string before = Store();
    // The file may be written, but nothing new may be made beside it.
    ASSERT_EQ(chmod(PathOf("Garbolt/SavedOutfits.xml").c_str(), 0666), 0);
    ASSERT_EQ(chmod(PathOf("Garbolt").c_str(), 0755), 0);
    const ToolRun run = RunToolAsNobody({"mend"});
    EXPECT_EQ(run.status, 1);
    const std::regex refused(
        "Could not write the backup \\./Garbolt/SavedOutfits-backup-[0-9]{8}-[0-9]{6}\\.xml, so "
        "nothing was changed\\.\nCheck that you may write in the folder \\./Garbolt and that the "
        "disk has space, then run the command again\\.\n");
    EXPECT_TRUE(std::regex_match(run.err, refused)) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Store(), before);
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"SavedOutfits.xml"});
}

TEST_F(OutfitsToolTest, AFullDiskLosesNothing) {
    WriteStore(BrokenRows());
    Write("coat.xml", StoreXml({MakeOutfit("Coat", 15, 4)}));
    ASSERT_EQ(RunTool({"mend"}).status, 0);
    const std::string mended = Store();
    for (const std::string& backup : Backups()) {
        std::filesystem::remove(PathOf("Garbolt/" + backup));
    }
    // Room for the backup of the file as it is, but not for the file with one more outfit.
    const ToolRun run = RunToolWithFileLimit({"import", "coat.xml"}, mended.size() + 100);
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Read("Garbolt/" + backups[0]), mended);
    EXPECT_EQ(run.err,
              "Could not write ./Garbolt/SavedOutfits.xml; it keeps its old contents.\n"
              "Check that you may write in the folder ./Garbolt and that the disk has space, then "
              "run the command again.\nThe backup ./Garbolt/" +
                  backups[0] + " holds the file as it was.\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Store(), mended);
    // No temporary file is left behind.
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{backups[0], "SavedOutfits.xml"}));

    // Without room for even the backup, nothing is written at all.
    std::filesystem::remove(PathOf("Garbolt/" + backups[0]));
    const ToolRun full = RunToolWithFileLimit({"import", "coat.xml"}, 100);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err.rfind("Could not write the backup ./Garbolt/SavedOutfits-backup-", 0), 0u)
        << full.err;
    EXPECT_EQ(Store(), mended);
    EXPECT_EQ(FolderFiles(), std::vector<std::string>{"SavedOutfits.xml"});

    // A rename to a longer name: the backup fits, the renamed file does not.
    const ToolRun rename =
        RunToolWithFileLimit({"rename", "7", "A much longer name than Kept"}, mended.size() + 8);
    EXPECT_EQ(rename.status, 1);
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(rename.err.rfind("Could not write ./Garbolt/SavedOutfits.xml; it keeps its old "
                               "contents.\n",
                               0),
              0u)
        << rename.err;
    EXPECT_EQ(Read("Garbolt/" + Backups()[0]), mended);
    EXPECT_EQ(Store(), mended);
}

// Rename and move change one Name or the Slots of one or two outfits, and
// nothing else (a byte-order mark, the DOCTYPE, processing instructions and
// comments stay), after a backup of the file as it was.
TEST_F(OutfitsToolTest, RenameAndMoveChangeOnlyTheirOutfitsAfterABackup) {
    std::vector<StoredOutfit> expected = {MakeOutfit("Kept", 6, 1), MakeOutfit("Eight", 8, 2),
                                          MakeOutfit("Nine", 9, 3)};
    const auto byHand = [](const std::string& xml) {
        const std::size_t root = xml.find("<Garbolt>");
        return "\xEF\xBB\xBF" + xml.substr(0, root) +
               "<!DOCTYPE Garbolt>\n<?editor tabs?>\n<!-- mine -->\n" + xml.substr(root) +
               "<!-- the end -->\n";
    };
    Write("Garbolt/SavedOutfits.xml", byHand(StoreXml(expected)));
    // Thirty characters, sixty bytes: as many as the game's keyboard takes.
    std::string accents;
    for (int i = 0; i < 30; ++i) {
        accents += "\xC3\xA9";
    }
    const std::string hint =
        "A running game picks the change up at its next equip, save or delete of a custom "
        "outfit.\n";
    auto step = [&](const std::vector<std::string>& arguments, const std::string& says) {
        const std::string before = Store();
        const std::vector<std::string> backupsBefore = Backups();
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::string> backups = Backups();
        ASSERT_EQ(backups.size(), backupsBefore.size() + 1);
        std::string backup;
        for (const std::string& name : backups) {
            if (std::find(backupsBefore.begin(), backupsBefore.end(), name) ==
                backupsBefore.end()) {
                backup = name;
            }
        }
        EXPECT_EQ(Read("Garbolt/" + backup), before);
        EXPECT_EQ(run.out,
                  says + "The old file is backed up as ./Garbolt/" + backup + ".\n" + hint);
        EXPECT_EQ(Store(), byHand(StoreXml(expected)));
    };

    expected[0].name = accents;
    step({"rename", "7", accents}, "Renamed row 7 from \"Kept\" to \"" + accents + "\".\n");
    expected[0].slot = "11";
    step({"move", "7", "12"}, "Moved \"" + accents + "\" from row 7 to row 12.\n");
    expected[0].slot = "8";
    expected[1].slot = "11";
    step({"move", "12", "9"},
         "Swapped rows 12 and 9: \"" + accents + "\" is now on row 9, \"Eight\" on row 12.\n");
    expected[2].name = "abc";
    step({"rename", "10", "abc"}, "Renamed row 10 from \"Nine\" to \"abc\".\n");

    // The same name again changes nothing.
    const ToolRun same = RunTool({"rename", "10", "abc"});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "Row 10 is already named \"abc\". The file was not changed.\n");
    EXPECT_EQ(Backups().size(), 4u);
    EXPECT_EQ(RunTool({"check"}).status, 0);
}

TEST_F(OutfitsToolTest, RenameAndMoveRefuseWhatTheGameWouldNotTake) {
    std::vector<StoredOutfit> outfits = {MakeOutfit("Kept", 6, 1), MakeOutfit("Far", 25, 2)};
    WriteStore(outfits);
    const std::string before = Store();
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
    };
    const Case cases[] = {
        {{"rename", "7", "ab"},
         "The new name \"ab\" is 2 bytes long; the game saves names of at least 3 bytes. Nothing "
         "was changed.\n"},
        {{"rename", "7", std::string(31, 'x')},
         "The new name is 31 characters (31 bytes) long; the game shows at most 30 characters "
         "and 120 bytes, as many as its keyboard takes. Nothing was changed. Choose a shorter "
         "name.\n"},
        // Written as "&#1;", it would make the file unreadable to other XML readers.
        {{"rename", "7", "Sun\001day"},
         "The new name holds a control character (a tab or line break, for one) or "
         "U+FFFE/U+FFFF, which the game drops from a name typed at its keyboard. Nothing was "
         "changed.\n"},
        {{"rename", "8", "Sunday"},
         "Row 8 holds no outfit in ./Garbolt/SavedOutfits.xml, so nothing was renamed. Run "
         "\"garbolt-outfits list\" to see the rows that do.\n"},
        {{"move", "9", "10"},
         "Row 9 holds no outfit in ./Garbolt/SavedOutfits.xml, so nothing was moved. Run "
         "\"garbolt-outfits list\" to see the rows that do.\n"},
        // The game stops loading at "Far": rows change only once the file is mended.
        {{"move", "7", "10"},
         "Not every outfit of ./Garbolt/SavedOutfits.xml has a row of its own in the game "
         "(outfit 2 \"Far\", line 89, does not), so nothing was changed. Run \"garbolt-outfits "
         "mend\" first, then move again.\n"},
        {{"rename", "7", "Sunday"},
         "Not every outfit of ./Garbolt/SavedOutfits.xml has a row of its own in the game "
         "(outfit 2 \"Far\", line 89, does not), so nothing was changed. Run \"garbolt-outfits "
         "mend\" first, then rename again.\n"},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, 1) << c.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Store(), before);
    EXPECT_TRUE(Backups().empty());

    // The file stays in one encoding: no name that is not UTF-8 goes in, and a
    // file in another encoding is not written at all.
    const ToolRun latin = RunTool({"rename", "7", "Caf\xE9"});
    EXPECT_EQ(latin.err,
              "The new name is not UTF-8 text, which the outfit file holds throughout. "
              "Nothing was changed.\n");
    const std::string ansi =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<Garbolt>\n\t<Outfit>\n\t\t<Name>"
        "Caf\xE9</Name>\n\t\t<Slot>6</Slot>\n\t</Outfit>\n</Garbolt>\n";
    Write("Garbolt/SavedOutfits.xml", ansi);
    const ToolRun encoded = RunTool({"rename", "7", "Sunday"});
    EXPECT_EQ(encoded.status, 1);
    EXPECT_EQ(encoded.err,
              "./Garbolt/SavedOutfits.xml is not saved as UTF-8 (it declares another encoding, or "
              "holds bytes that are not UTF-8), so nothing was changed: a name written into it "
              "would mix two encodings in one file. Open it in a text editor, save it as UTF-8 "
              "(with encoding=\"UTF-8\" or no encoding in its first line), then run the command "
              "again.\n");
    EXPECT_EQ(Store(), ansi);
    EXPECT_TRUE(Backups().empty());
}

// Double-clicked in Explorer, the program checks the file in the window it
// got and keeps that window open until Enter.
TEST_F(OutfitsToolTest, StartedWithoutACommandItChecksAndWaitsForEnter) {
    WriteStore({MakeOutfit("Kept", 6, 1)});
    const std::string path = PathOf("Garbolt/SavedOutfits.xml");
    std::istringstream in("\nnot read\n");
    std::ostringstream out;
    EXPECT_EQ(garbolt_outfits::RunDoubleClicked(path, in, out), 0);
    EXPECT_EQ(out.str(), "garbolt-outfits: started without a command, so it checks " + path +
                             " (\"garbolt-outfits --help\" in a console shows the other "
                             "commands).\n\nOK: the plug-in will load all 1 outfit of " +
                             path + ".\n\nPress Enter to close this window.\n");
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "not read");

    // A file the game cannot load: the reason shows in the same window, and
    // the window waits too (here for the end of the input).
    Write("Garbolt/SavedOutfits.xml", "<Garbolt>\n<Outfit>\n");
    std::istringstream none;
    std::ostringstream broken;
    EXPECT_EQ(garbolt_outfits::RunDoubleClicked(path, none, broken), 1);
    EXPECT_NE(broken.str().find(path + ":2:9: error: Start-end tags mismatch\n"), std::string::npos)
        << broken.str();
    EXPECT_NE(broken.str().find("\n\nPress Enter to close this window.\n"), std::string::npos);
}

// The plug-in itself reading the files the tool wrote.
class OutfitsToolInGame : public wardrobe_testing::WardrobeFixture {
  protected:
    ToolFolder tool_;

    // The put-on and state calls of equipping a row, with the handle left out.
    std::vector<std::string> EquipCalls(std::int32_t row) {
        OnSavedOutfitsRow(row);
        const std::size_t mark = wardrobe_testing::TraceMark();
        EquipCustomOutfit(row + 1);
        std::vector<std::string> calls;
        for (const std::string& call : wardrobe_testing::TraceFrom(mark)) {
            if (call.rfind("PED::_APPLY_SHOP_ITEM_TO_PED", 0) == 0 ||
                call.rfind("PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE", 0) == 0) {
                calls.push_back(call);
            }
        }
        return calls;
    }
};

TEST_F(OutfitsToolInGame, AMendedFileShowsEveryOutfitOnItsNewRow) {
    tool_.WriteStore(BrokenRows());
    ASSERT_EQ(tool_.RunTool({"mend"}).status, 0);
    StartUp(tool_.Store());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Label(6), "Kept");
    EXPECT_EQ(Label(7), "Far");
    EXPECT_EQ(Label(8), "Eight");
    EXPECT_EQ(Label(9), "Twin");
    EXPECT_EQ(Label(10), "No Slot");
    EXPECT_EQ(Label(11), "Negative");
    EXPECT_EQ(savedSlots, (std::vector<std::int32_t>{6, 7, 8, 9, 10, 11}));
}

TEST_F(OutfitsToolInGame, AnImportedOutfitIsWornExactlyAsTheSharedOne) {
    // The sharing player wears row 12; the receiving player imports it onto row 15.
    tool_.WriteStore({MakeOutfit("Mine", 6, 1), MakeOutfit("Trail Coat", 12, 3)});
    ASSERT_EQ(tool_.RunTool({"export", "13", "coat.xml"}).status, 0);
    StartUp(tool_.Store());
    const std::vector<std::string> shared = EquipCalls(12);
    ASSERT_FALSE(shared.empty());

    tool_.WriteStore({MakeOutfit("Theirs", 6, 9)});
    ASSERT_EQ(tool_.RunTool({"import", "coat.xml", "16"}).status, 0);
    ResetPluginState();
    const std::size_t earlier = Messages().size();
    StartUp(tool_.Store());
    EXPECT_EQ(Messages().size(), earlier);  // no load failure, no slot out of range
    EXPECT_EQ(Label(15), "Trail Coat");
    EXPECT_EQ(EquipCalls(15), shared);
    EXPECT_EQ(LastMessage(), "Equipped: Trail Coat");
}

}  // namespace
