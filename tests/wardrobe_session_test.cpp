// The whole plug-in as the game loads it, played like a player would: the
// wardrobe tour, and a long random run of saves, equips and deletes across
// restarts checked against a model of what the player did.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include <pugixml.hpp>

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/controls.h"
#include "sim/game_text.h"
#include "sim/naming_keyboard.h"
#include "sim/prompts.h"
#include "sim/scene.h"
#include "support/program_run.h"
#include "support/session.h"
#include "support/strict_xml.h"

namespace {

using namespace play::controls;
constexpr std::uint32_t kSaveControl = kSave;
constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";

struct StoredOutfit {
    std::string name;
    sim::OutfitEntries entries{};
};

// A player at the keyboard, who knows where the cursor is from the keys pressed.
class Player {
  public:
    explicit Player(testing_support::Session& session) : session_(session) {}

    void Frame() { session_.game().RunFrame(); }
    void Press(std::uint32_t control) {
        sim::Controls().Press(control);
        Frame();
    }
    void ToggleMenu() {
        session_.game().KeyUp(kF9);
        Frame();
        open_ = !open_;
    }
    // After a restart the menu is new: closed, on page 0, row 0.
    void Restarted() {
        open_ = false;
        page_ = 0;
        row_ = 0;
    }
    // Page 0's rows link to pages 1 to 3; back returns to the link's row.
    void OpenPage(std::int32_t page) {
        if (!open_) {
            ToggleMenu();
        }
        if (page_ == page) {
            return;
        }
        if (page_ != 0) {
            Press(kBack);
            row_ = page_ - 1;
            page_ = 0;
        }
        GoToRow(page - 1);
        Press(kSelect);
        page_ = page;
        row_ = 0;
    }
    void GoToRow(std::int32_t row) {
        while (row_ != row) {
            Press(kDown);
            row_ = row_ + 1 == 5 && page_ == 1 ? 6 : row_ + 1;
            if (row_ >= RowCount()) {
                row_ = 0;
            }
        }
    }
    void Select() { Press(kSelect); }
    std::int32_t RowCount() const { return page_ == 1 ? 21 : page_ == 2 ? 9 : 3; }
    std::string LastMessage() const {
        const auto& notes = session_.game().Notifications();
        return notes.empty() ? "" : notes.back().text;
    }
    // The text of the save prompt of the plug-in loaded now (the newest one).
    std::string SavePromptText() const {
        std::string text;
        for (const auto& [handle, prompt] : sim::Prompts().All()) {
            if (prompt.hasControl && prompt.control == kSaveControl) {
                text = prompt.text;
            }
        }
        return text;
    }

  private:
    testing_support::Session& session_;
    bool open_ = false;
    std::int32_t page_ = 0;
    std::int32_t row_ = 0;
};

// Page 0 rows link to pages 1 to 3; the player walks down to them and back up.
class WardrobeSession : public ::testing::Test {
  protected:
    void Start(const std::string& outfits) {
        session_ = std::make_unique<testing_support::Session>(false);
        session_->folder().Write(kOutfitFile, outfits);
        session_->folder().Write("Garbolt/Garbolt.ini",
                                 "[Garbolt]\r\nbUseCamera=0\r\nbDrawLight=0\r\niMenuKey=120");
        session_->Load();
        player_ = std::make_unique<Player>(*session_);
        player_->Frame();
    }
    testing_support::Session& session() { return *session_; }
    Player& player() { return *player_; }

    std::unique_ptr<testing_support::Session> session_;
    std::unique_ptr<Player> player_;
};

// The outfits a well-formed file holds, by row, or nullopt when it is not well-formed.
std::optional<std::map<std::int32_t, StoredOutfit>> ReadStore(const std::string& bytes,
                                                              std::string& problem) {
    problem = testing_support::StrictXmlProblem(bytes);
    pugi::xml_document document;
    if (!problem.empty() ||
        !document.load_buffer(bytes.data(), bytes.size(),
                              pugi::parse_default | pugi::parse_ws_pcdata_single)) {
        problem = "not well-formed: " + problem;
        return std::nullopt;
    }
    std::map<std::int32_t, StoredOutfit> outfits;
    for (pugi::xml_node outfit : document.child("Garbolt").children("Outfit")) {
        const std::int32_t row = outfit.child("Slot").text().as_int();
        if (outfits.count(row) != 0) {
            problem = "row " + std::to_string(row) + " stored twice";
            return std::nullopt;
        }
        StoredOutfit stored;
        stored.name = outfit.child("Name").text().get();
        int k = 0;
        for (pugi::xml_node hash : outfit.child("Components").children("Hash")) {
            if (k < sim::kOutfitEntries) {
                stored.entries[k].item = static_cast<std::uint32_t>(hash.text().as_int());
            }
            ++k;
        }
        int j = 0;
        for (pugi::xml_node hash : outfit.child("Wearables").children("Hash")) {
            if (j < sim::kOutfitEntries) {
                stored.entries[j].state = static_cast<std::uint32_t>(hash.text().as_int());
            }
            ++j;
        }
        if (k != sim::kOutfitEntries || j != sim::kOutfitEntries) {
            problem = "row " + std::to_string(row) + " has " + std::to_string(k) + "/" +
                      std::to_string(j) + " entries";
            return std::nullopt;
        }
        outfits[row] = stored;
    }
    return outfits;
}

TEST_F(WardrobeSession, TheTour) {
    Start("<?xml version=\"1.0\"?>\n<Garbolt />\n");
    for (int slot = 1; slot <= 5; ++slot) {
        sim::Wardrobe().FillGameOutfit(slot, {{static_cast<std::uint32_t>(0x500 + slot), 1}});
    }
    // Every preset as Arthur.
    player().OpenPage(2);
    for (std::int32_t row = 0; row < 9; ++row) {
        player().GoToRow(row);
        player().Select();
        EXPECT_EQ(player().LastMessage().rfind("Equipped: ", 0), 0u) << row;
    }
    EXPECT_EQ(player().LastMessage(), "Equipped: The Pursuer");
    // As John the presets refuse.
    sim::Character().SetModel(sim::CharacterModel::John);
    player().Select();
    EXPECT_EQ(player().LastMessage(), "Preset outfits currently only work for Arthur. Sorry!");
    sim::Character().SetModel(sim::CharacterModel::Arthur);

    // The five game outfits.
    player().OpenPage(1);
    const char* words[] = {"One", "Two", "Three", "Four", "Five"};
    for (std::int32_t row = 0; row < 5; ++row) {
        player().GoToRow(row);
        player().Select();
        EXPECT_EQ(player().LastMessage(),
                  std::string("Equipped: Saved Custom Outfit ") + words[row]);
        EXPECT_EQ(sim::Wardrobe().Worn()[0].item, static_cast<std::uint32_t>(0x501 + row));
    }

    // Fifteen named custom outfits.
    for (std::int32_t row = 6; row <= 20; ++row) {
        sim::Wardrobe().Wear({{static_cast<std::uint32_t>(0x700 + row), 2}});
        player().GoToRow(row);
        player().Press(kSaveControl);
        ASSERT_TRUE(sim::NamingKeyboard().IsOpen()) << row;
        sim::NamingKeyboard().Finish("Outfit " + std::to_string(row));
        player().Frame();
        EXPECT_EQ(player().LastMessage(), "Successfully saved outfit") << row;
    }

    // Restart: every row still carries its outfit and wears it.
    session().Restart();
    player().Restarted();
    player().Frame();
    player().OpenPage(1);
    for (std::int32_t row = 6; row <= 20; ++row) {
        player().GoToRow(row);
        player().Select();
        EXPECT_EQ(player().LastMessage(), "Equipped: Outfit " + std::to_string(row));
        EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{0x700u + row, 2}));
    }
    // Delete them all.
    for (std::int32_t row = 6; row <= 20; ++row) {
        player().GoToRow(row);
        player().Frame();
        player().Press(kSaveControl);
        EXPECT_EQ(player().LastMessage(), "Successfully deleted outfit") << row;
    }
    EXPECT_EQ(session().folder().Read(kOutfitFile), "<?xml version=\"1.0\"?>\n<Garbolt />\n");

    // Camera and light on, saved.
    player().OpenPage(3);
    player().Select();
    player().GoToRow(1);
    player().Select();
    player().GoToRow(2);
    player().Select();
    EXPECT_EQ(player().LastMessage(), "Successfully saved settings");
    EXPECT_EQ(session().folder().Read("Garbolt/Garbolt.ini"),
              "[Garbolt]\r\nbUseCamera=1\r\nbDrawLight=1\r\niMenuKey=120");
    EXPECT_FALSE(sim::Scene().LightsInFrame(session().game().FrameNumber()).empty());
    // The camera comes with the next opening.
    player().ToggleMenu();
    EXPECT_TRUE(sim::Scene().Cameras().empty());
    player().ToggleMenu();
    EXPECT_EQ(sim::Scene().Cameras().size(), 1u);
    EXPECT_TRUE(session().game().UnknownCalls().empty());
    // Every native that takes the player was given the player id, every one
    // that takes the character its handle.
    EXPECT_TRUE(sim::Character().WrongTargets().empty());
}

// 200 random saves, equips and deletes across 20 restarts; after every step
// the file is well-formed and holds exactly the outfits the player kept.
TEST_F(WardrobeSession, LongRandomRunKeepsExactlyWhatThePlayerSaved) {
    Start("<?xml version=\"1.0\"?>\n<Garbolt />\n");
    std::mt19937 random(20261208);
    std::map<std::int32_t, StoredOutfit> model;
    const std::vector<std::string> pieces = {
        "Coat", "&",   "<b>",          "\"q\"", "'",  "\xC3\xA9t\xC3\xA9",
        " ",    "Hat", "\xE2\x9C\x93", "Boots", "\t", "x"};
    std::uint32_t nextItem = 1;
    int saves = 0;
    int deletes = 0;
    int equips = 0;
    for (int step = 0; step < 200; ++step) {
        if (step > 0 && step % 10 == 0) {
            session().Restart();
            player().Restarted();
            player().Frame();
        }
        const std::int32_t row = 6 + static_cast<std::int32_t>(random() % 15);
        const int action = static_cast<int>(random() % 3);
        player().OpenPage(1);
        player().GoToRow(row);
        player().Frame();  // the prompt shows this row's text
        SCOPED_TRACE("step " + std::to_string(step) + " row " + std::to_string(row) + " action " +
                     std::to_string(action));
        EXPECT_EQ(player().SavePromptText(), model.count(row) ? "Delete Outfit" : "Save Outfit");
        if (action == 0) {
            // Dress the character in something new and save it (deleting first if taken).
            if (model.count(row) != 0) {
                player().Press(kSaveControl);
                ASSERT_EQ(player().LastMessage(), "Successfully deleted outfit");
                model.erase(row);
                ++deletes;
                player().Frame();
            }
            std::vector<sim::ClothingItem> worn(sim::kOutfitEntries);
            sim::OutfitEntries entries{};
            for (int k = 0; k < sim::kOutfitEntries; ++k) {
                if (random() % 3 != 0) {
                    entries[k] = {0x9E000000u + nextItem++, static_cast<std::uint32_t>(random())};
                    worn[k] = entries[k];
                }
            }
            sim::Wardrobe().Wear(worn);
            // The name as typed, and as kept: a tab is a control character.
            std::string name;
            std::string kept;
            while (kept.size() < 3) {
                const std::string& piece = pieces[random() % pieces.size()];
                name += piece;
                kept += piece == "\t" ? "" : piece;
            }
            player().Press(kSaveControl);
            ASSERT_TRUE(sim::NamingKeyboard().IsOpen());
            sim::NamingKeyboard().Finish(name);
            player().Frame();
            ASSERT_EQ(player().LastMessage(), "Successfully saved outfit");
            model[row] = StoredOutfit{kept, entries};
            ++saves;
        } else if (action == 1) {
            player().Select();
            if (model.count(row) != 0) {
                // What the player reads: the name, whatever markup it looks like.
                EXPECT_EQ(sim::ReadGameText(player().LastMessage()).Plain(),
                          "Equipped: " + model[row].name);
                EXPECT_EQ(sim::Wardrobe().Worn(), model[row].entries);
                ++equips;
            } else {
                EXPECT_EQ(player().LastMessage(),
                          "[Custom]: There is no saved outfit in this slot");
            }
        } else if (model.count(row) != 0) {
            player().Press(kSaveControl);
            EXPECT_EQ(player().LastMessage(), "Successfully deleted outfit");
            model.erase(row);
            ++deletes;
        }
        std::string problem;
        const auto stored = ReadStore(session().folder().Read(kOutfitFile), problem);
        ASSERT_TRUE(stored.has_value()) << problem;
        ASSERT_EQ(stored->size(), model.size());
        for (const auto& [storedRow, outfit] : *stored) {
            ASSERT_EQ(model.count(storedRow), 1u) << storedRow;
            EXPECT_EQ(outfit.name, model[storedRow].name);
            EXPECT_EQ(outfit.entries, model[storedRow].entries);
        }
    }
    EXPECT_GT(saves, 30);
    EXPECT_GT(deletes, 10);
    EXPECT_GT(equips, 10);
    EXPECT_TRUE(session().game().UnknownCalls().empty());
}

// Outside edits while the game runs (garbolt-outfits, an editor) show at the
// next save or delete, and nothing the player did not choose is written over:
// an import onto a row the page shows free, a rename, a second outfit on a row.
TEST_F(WardrobeSession, OutsideEditsShowAtTheNextSaveOrDeleteAndAreNeverWrittenOver) {
    const std::string mine =
        "\t<Outfit>\n\t\t<Name>Mine</Name>\n\t\t<Slot>10</Slot>\n\t\t<Components />\n"
        "\t\t<Wearables />\n\t</Outfit>\n";
    Start("<?xml version=\"1.0\"?>\n<Garbolt>\n" + mine + "</Garbolt>\n");
    const std::string folder = session().folder().Path();
    const auto tool = [&folder](const std::string& arguments) {
        return testing_support::RunWithInput(folder, GARBOLT_OUTFITS_PROGRAM, arguments, "").status;
    };
    session().folder().Write(
        "friend.xml",
        "<Garbolt><Outfit><Name>Friend</Name><Slot>6</Slot><Components><Hash>77</Hash>"
        "</Components><Wearables><Hash>1</Hash></Wearables></Outfit></Garbolt>");
    player().OpenPage(1);
    player().GoToRow(8);
    player().Frame();
    EXPECT_EQ(player().SavePromptText(), "Save Outfit");

    ASSERT_EQ(tool("import friend.xml 9"), 0);
    const std::string imported = session().folder().Read(kOutfitFile);
    player().Frame();
    EXPECT_EQ(player().SavePromptText(), "Save Outfit");  // no file is read between operations
    player().Press(kSaveControl);
    ASSERT_TRUE(sim::NamingKeyboard().IsOpen());
    sim::NamingKeyboard().Finish("Typed");
    player().Frame();
    EXPECT_EQ(player().LastMessage(),
              "~COLOR_RED~Failed to save outfit: this slot is already taken~s~");
    EXPECT_EQ(session().folder().Read(kOutfitFile), imported);
    player().Frame();
    EXPECT_EQ(player().SavePromptText(), "Delete Outfit");
    player().Select();
    EXPECT_EQ(player().LastMessage(), "Equipped: Friend");
    EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{77, 1}));

    ASSERT_EQ(tool("rename 9 Renamed"), 0);
    const std::string renamed = session().folder().Read(kOutfitFile);
    player().Press(kSaveControl);
    EXPECT_EQ(player().LastMessage(),
              "~COLOR_RED~Failed to delete outfit: the slot holds another outfit now~s~");
    EXPECT_EQ(session().folder().Read(kOutfitFile), renamed);
    player().Select();
    EXPECT_EQ(player().LastMessage(), "Equipped: Renamed");
    player().Press(kSaveControl);
    EXPECT_EQ(player().LastMessage(), "Successfully deleted outfit");

    // A second outfit put on row 10 behind Mine: the delete takes Mine, the
    // name the row shows, and the row then shows the other.
    const std::string twin =
        "\t<Outfit>\n\t\t<Name>Twin</Name>\n\t\t<Slot>10</Slot>\n\t\t<Components />\n"
        "\t\t<Wearables />\n\t</Outfit>\n";
    session().folder().Write(kOutfitFile,
                             "<?xml version=\"1.0\"?>\n<Garbolt>\n" + mine + twin + "</Garbolt>\n");
    player().GoToRow(10);
    player().Frame();
    player().Press(kSaveControl);
    EXPECT_EQ(player().LastMessage(), "Successfully deleted outfit");
    EXPECT_EQ(session().folder().Read(kOutfitFile),
              "<?xml version=\"1.0\"?>\n<Garbolt>\n" + twin + "</Garbolt>\n");
    player().Frame();
    EXPECT_EQ(player().SavePromptText(), "Delete Outfit");
    player().Select();
    EXPECT_EQ(player().LastMessage(), "Equipped: Twin");
}

}  // namespace
