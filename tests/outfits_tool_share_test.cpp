// garbolt-outfits export and import: an outfit passed from one player's file
// to another's keeps its name, items and states, and a file is changed only
// when the import can really be done.
#include <sys/stat.h>

#include <regex>
#include <utility>

#include "outfits_tool_fixture.h"

namespace {

using namespace outfits_tool_testing;

class OutfitsToolShare : public OutfitsToolTest {
  protected:
    // Fifteen outfits, one on every custom row.
    std::vector<StoredOutfit> FullStore() {
        std::vector<StoredOutfit> outfits;
        for (std::int32_t row = 6; row <= 20; ++row) {
            outfits.push_back(MakeOutfit("Row " + std::to_string(row), row, row));
        }
        return outfits;
    }
    // What the program says when it refuses these arguments (its status 1).
    std::string Refusal(const std::vector<std::string>& arguments) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, 1) << run.out;
        return run.err;
    }
};

void ExpectSameOutfit(const ReadOutfit& got, const StoredOutfit& expected) {
    EXPECT_EQ(got.name, expected.name);
    EXPECT_EQ(got.items, expected.items);
    EXPECT_EQ(got.states, expected.states);
}

TEST_F(OutfitsToolShare, ExportWritesOneOutfitAsThePluginWouldStoreIt) {
    // The name as it stands in the file, escaped.
    const StoredOutfit shared = MakeOutfit("Gambler's &lt;Best&gt; &amp; \"Hat\"", 9, 4);
    WriteStore({MakeOutfit("Other", 6, 1), shared});
    const std::string before = Store();
    const ToolRun run = RunTool({"export", "10", "gambler.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Exported row 10, \"Gambler's <Best> & \"Hat\"\" (11 items), to gambler.xml.\n"
              "Another player adds it with: garbolt-outfits import gambler.xml [ROW]\n");
    EXPECT_EQ(Read("gambler.xml"), StoreXml({shared}));
    EXPECT_EQ(Store(), before);
    EXPECT_TRUE(Backups().empty());  // nothing changed, so nothing backed up
}

TEST_F(OutfitsToolShare, ExportThenImportGivesTheSameItemsAndStates) {
    const StoredOutfit shared = MakeOutfit("Trail Coat", 12, 3);
    WriteStore({MakeOutfit("Mine", 6, 1), shared});
    ASSERT_EQ(RunTool({"export", "13", "coat.xml"}).status, 0);

    // The other player's file: rows 6 and 7 taken, so the first free one is row 9 (Slot 8).
    Write("friend.xml", StoreXml({MakeOutfit("A", 7, 5), MakeOutfit("B", 6, 6)}));
    const ToolRun run = RunTool({"--file", "friend.xml", "import", "coat.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<ReadOutfit> outfits = OutfitsIn(Read("friend.xml"));
    ASSERT_EQ(outfits.size(), 3u);
    ExpectSameOutfit(outfits[2], shared);
    EXPECT_EQ(outfits[2].slot, "8");
    ExpectSameOutfit(outfits[0], MakeOutfit("A", 7, 5));
    ExpectSameOutfit(outfits[1], MakeOutfit("B", 6, 6));

    // And into a row of the player's choosing.
    ASSERT_EQ(RunTool({"import", "coat.xml", "21"}).status, 0);
    const std::vector<ReadOutfit> mine = OutfitsIn(Store());
    ASSERT_EQ(mine.size(), 3u);
    ExpectSameOutfit(mine[2], shared);
    EXPECT_EQ(mine[2].slot, "20");

    // An outfit with no items exports, so it imports too.
    Write("bare-store.xml",
          "<Garbolt><Outfit><Name>Bare</Name><Slot>9</Slot><Components/><Wearables/></Outfit>"
          "</Garbolt>");
    ASSERT_EQ(RunTool({"--file", "bare-store.xml", "export", "10", "bare.xml"}).status, 0);
    const std::string bare =
        "<?xml "
        "version=\"1.0\"?>\n<Garbolt>\n\t<Outfit>\n\t\t<Name>Bare</Name>\n\t\t<Slot>9</Slot>\n"
        "\t\t<Components />\n\t\t<Wearables />\n\t</Outfit>\n</Garbolt>\n";
    EXPECT_EQ(Read("bare.xml"), bare);
    const ToolRun imported = RunTool({"--file", "friend.xml", "import", "bare.xml", "10"});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out.substr(0, imported.out.find('\n')),
              "Imported \"Bare\" (0 items) into row 10.");
    EXPECT_EQ(imported.out.substr(imported.out.rfind("Note:")),
              "Note: the outfit holds 0 Components and 0 Wearables entries rather than 39; the "
              "game wears what is there.\n");
    const std::vector<ReadOutfit> friends = OutfitsIn(Read("friend.xml"));
    ASSERT_EQ(friends.size(), 4u);
    EXPECT_EQ(friends[3].name, "Bare");
    EXPECT_EQ(friends[3].slot, "9");
    EXPECT_TRUE(friends[3].items.empty() && friends[3].states.empty());
}

TEST_F(OutfitsToolShare, ImportBacksUpTheOldFileAndSaysWhatToDoNext) {
    WriteStore({MakeOutfit("Mine", 6, 1)});
    const std::string before = Store();
    Write("coat.xml", StoreXml({MakeOutfit("Coat", 15, 2)}));
    const ToolRun run = RunTool({"import", "coat.xml", "8"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> backups = Backups();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_TRUE(
        std::regex_match(backups[0], std::regex("SavedOutfits-backup-[0-9]{8}-[0-9]{6}\\.xml")))
        << backups[0];
    EXPECT_EQ(Read("Garbolt/" + backups[0]), before);
    EXPECT_EQ(run.out,
              "Imported \"Coat\" (11 items) into row 8.\nThe old file is backed up as "
              "./Garbolt/" +
                  backups[0] +
                  ".\nA running game picks the change up at its next equip, save or delete "
                  "of a custom outfit.\n");
    // The new outfit after the old one; no temporary file left behind.
    EXPECT_EQ(Store(), StoreXml({MakeOutfit("Mine", 6, 1), MakeOutfit("Coat", 7, 2)}));
    EXPECT_EQ(FolderFiles(), (std::vector<std::string>{backups[0], "SavedOutfits.xml"}));
}

TEST_F(OutfitsToolShare, ATakenRowIsRefusedUnlessReplaced) {
    WriteStore({MakeOutfit("First", 6, 1), MakeOutfit("Kept", 9, 2), MakeOutfit("Last", 11, 3)});
    const std::string before = Store();
    Write("coat.xml", StoreXml({MakeOutfit("Coat", 15, 4)}));

    EXPECT_EQ(Refusal({"import", "coat.xml", "10"}),
              "Row 10 already holds \"Kept\", so nothing was imported. Leave out the row to use "
              "the first free one, or add --replace to write over it.\n");
    EXPECT_EQ(Store(), before);
    EXPECT_TRUE(Backups().empty());

    const ToolRun replaced = RunTool({"import", "coat.xml", "10", "--replace"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(
        replaced.out.rfind("Imported \"Coat\" (11 items) into row 10, in place of \"Kept\".\n", 0),
        0u)
        << replaced.out;
    // In the old outfit's place, on its row; the others untouched.
    EXPECT_EQ(Store(), StoreXml({MakeOutfit("First", 6, 1), MakeOutfit("Coat", 9, 4),
                                 MakeOutfit("Last", 11, 3)}));
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(Read("Garbolt/" + Backups()[0]), before);
}

// An import that cannot be done says why and leaves the outfit file as it was.
TEST_F(OutfitsToolShare, ImportIsRefusedWhereTheOutfitCouldNotAppear) {
    const struct {
        std::vector<StoredOutfit> store;
        std::string why;
    } cases[] = {
        {FullStore(),
         "All 15 custom rows of ./Garbolt/SavedOutfits.xml are taken, so nothing was imported. "
         "Delete an outfit in the game (export it first to keep it), or name a row and add "
         "--replace to write over its outfit.\n"},
        // Appended after the outfit that stops loading, it would never appear.
        {{MakeOutfit("Mine", 6, 1), MakeOutfit("Lost", 40, 2)},
         "The plug-in stops loading ./Garbolt/SavedOutfits.xml at outfit 2 \"Lost\" (line 89), so "
         "an imported outfit would not appear in the game. Nothing was imported. Run "
         "\"garbolt-outfits mend\" first, then import again.\n"},
    };
    Write("coat.xml", StoreXml({MakeOutfit("Coat", 15, 4)}));
    for (const auto& [store, why] : cases) {
        WriteStore(store);
        const std::string before = Store();
        EXPECT_EQ(Refusal({"import", "coat.xml"}), why);
        EXPECT_EQ(Store(), before);
        EXPECT_TRUE(Backups().empty());
    }
}

TEST_F(OutfitsToolShare, AFileThatIsNoExportedOutfitIsRefused) {
    WriteStore({MakeOutfit("Mine", 6, 1)});
    const std::string before = Store();
    std::vector<StoredOutfit> twoOutfits = {MakeOutfit("A", 6, 1), MakeOutfit("B", 7, 2)};
    std::string noWearables = StoreXml({MakeOutfit("C", 6, 1)});
    noWearables.erase(noWearables.find("\t\t<Wearables>"),
                      noWearables.find("\t</Outfit>") - noWearables.find("\t\t<Wearables>"));
    const std::pair<std::string, std::string> cases[] = {
        {"[Garbolt]\nbUseCamera=0\n",
         "it is not well-formed XML (other.xml:3:1: error: No document element found)"},
        {"<?xml version=\"1.0\"?>\n<Wardrobe><Outfit/></Wardrobe>\n",
         "it has no \"Garbolt\" root element"},
        {"<Garbolt />", "it holds 0 outfits, an exported outfit exactly one"},
        {StoreXml(twoOutfits),
         "it holds 2 outfits, an exported outfit exactly one (to take one of them, run "
         "\"garbolt-outfits --file other.xml export ROW NEWFILE\" and import NEWFILE)"},
        {noWearables, "its outfit has no Wearables"},
    };
    for (const auto& [bytes, why] : cases) {
        Write("other.xml", bytes);
        EXPECT_EQ(Refusal({"import", "other.xml"}),
                  "other.xml is not an exported outfit: " + why +
                      ". Nothing was imported. An exported outfit is what "
                      "\"garbolt-outfits export ROW FILE\" writes; ask for the file "
                      "again.\n");
    }
    // A name the game's keyboard could not have typed would show cut.
    Write("other.xml", StoreXml({MakeOutfit(std::string(31, 'n'), 6, 1)}));
    EXPECT_EQ(Refusal({"import", "other.xml"}),
              "other.xml: the Name is 31 characters (31 bytes) long; the game shows at most 30 "
              "characters and 120 bytes, as many as its keyboard takes. Nothing was imported. "
              "Shorten the Name in other.xml, then import it again.\n");
    Write("other.xml", StoreXml({MakeOutfit("Co&#1;at", 6, 1)}));
    EXPECT_EQ(Refusal({"import", "other.xml"}),
              "other.xml: the Name holds a control character (a tab or line break, for one) or "
              "U+FFFE/U+FFFF, which the game drops from a name typed at its keyboard. Nothing was "
              "imported. Remove it from the Name in other.xml, then import it again.\n");
    EXPECT_EQ(Refusal({"import", "nowhere.xml"}),
              "nowhere.xml does not exist. Check the name and folder of the file and run the "
              "command again.\n");
    EXPECT_EQ(Store(), before);
    EXPECT_TRUE(Backups().empty());
}

TEST_F(OutfitsToolShare, ExportRefusesAnEmptyRowAndKeepsAnExistingFile) {
    WriteStore({MakeOutfit("Mine", 6, 1)});
    EXPECT_EQ(Refusal({"export", "8", "out.xml"}),
              "Row 8 holds no outfit in ./Garbolt/SavedOutfits.xml. Run \"garbolt-outfits list\" "
              "to see the rows that do.\n");
    EXPECT_FALSE(Exists("out.xml"));

    Write("out.xml", "keep me");
    EXPECT_EQ(Refusal({"export", "7", "out.xml"}),
              "out.xml already exists, so nothing was written. Name a new file, or add --replace "
              "to write over it.\n");
    EXPECT_EQ(Read("out.xml"), "keep me");
    EXPECT_EQ(RunTool({"export", "7", "out.xml", "--replace"}).status, 0);
    EXPECT_EQ(Read("out.xml"), StoreXml({MakeOutfit("Mine", 6, 1)}));

    // Only a regular file is ever written over: a FIFO or a folder is refused and stays.
    ASSERT_EQ(mkfifo(PathOf("pipe").c_str(), 0666), 0);
    std::filesystem::create_directory(PathOf("folder"));
    for (const auto& [target, kind] :
         {std::pair<std::string, std::string>{"pipe", "a FIFO (named pipe)"},
          {"folder", "a folder"}}) {
        EXPECT_EQ(Refusal({"export", "7", target, "--replace"}),
                  target + " is " + kind +
                      ", not a regular file, so garbolt-outfits does not write over "
                      "it. Name a regular file.\n");
    }
    // Nor is one read as the outfit file: reading a FIFO would wait for ever.
    EXPECT_EQ(Refusal({"--file", "pipe", "mend"}),
              "pipe is a FIFO (named pipe), not a regular file, so it holds no outfits.\n"
              "Name the outfit file itself with --file PATH.\n"
              "Mend only moves outfits between rows; it does not repair broken XML.\n");
    EXPECT_TRUE(std::filesystem::is_fifo(PathOf("pipe")));
    EXPECT_TRUE(std::filesystem::is_empty(PathOf("folder")));

    EXPECT_EQ(Refusal({"export", "7", "Garbolt/SavedOutfits.xml", "--replace"}),
              "Garbolt/SavedOutfits.xml is the outfit file itself; name a new file for the "
              "export.\n");
}

}  // namespace
