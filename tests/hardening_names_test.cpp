// A thousand generated outfit names through the whole plug-in: typed into
// the game's keyboard, saved, the game restarted, and each name loaded back
// onto its row byte for byte and shown as typed. The names hold XML-special
// characters, the game's own text codes, quotes, multi-byte text, exactly
// thirty characters, and control characters and bytes that are not UTF-8,
// which are dropped: the file stays XML 1.0 for every reader.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "menu/menu.h"
#include "sim/controls.h"
#include "sim/game_text.h"
#include "sim/naming_keyboard.h"
#include "support/seen_name.h"
#include "support/session.h"
#include "support/strict_xml.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/scene.h"
#include "wardrobe/store.h"

namespace {

constexpr std::uint32_t kSelectControl = 0x43DBF61F;
constexpr std::uint32_t kBackControl = 0x308588E6;
constexpr std::uint32_t kDownControl = 0x4403F97F;
constexpr std::uint32_t kSaveControl = 0x171910DC;
constexpr std::uint32_t kF9Key = 120;
using wardrobe_layout::kCustomRows;
using wardrobe_layout::kFirstCustomRow;
constexpr std::size_t kMostCharacters = 30;
constexpr std::size_t kMostBytes = 120;

constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";
constexpr const char* kEmptyStore = "<?xml version=\"1.0\"?>\n<Garbolt />\n";

// Characters as the keyboard counts them: a byte that is not a UTF-8
// continuation byte starts one.
std::size_t Characters(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

// Pieces the names are made of, each with what of it is kept: control
// characters and bytes that are no UTF-8 are dropped. No piece ends in a
// lead byte waiting for more, so the kept pieces never join into anything
// else. Each generated name mixes several kinds.
struct Piece {
    std::string typed;
    std::string kept;
};

const std::vector<Piece>& Pieces() {
    static const std::vector<Piece> pieces = [] {
        std::vector<Piece> all;
        for (const char* kept : {"<",
                                 ">",
                                 "&",
                                 "&amp;",
                                 "]]>",
                                 "<!--",
                                 "<Name>",
                                 "\"",
                                 "'",
                                 "`",
                                 "\"\"",
                                 "\\",
                                 "\xC3\xA9",
                                 "\xE2\x82\xAC",
                                 "\xE4\xB8\xAD",
                                 "\xF0\x9F\x91\x92",
                                 "\xD0\x96",
                                 " ",
                                 "  ",
                                 "a",
                                 "Z",
                                 "9",
                                 "Trail",
                                 "Coat",
                                 "~COLOR_RED~",
                                 "~n~",
                                 "</FONT></P>",
                                 "%s",
                                 "%n",
                                 "=",
                                 ";"}) {
            all.push_back({kept, kept});
        }
        for (const char* dropped :
             {"\t", "\n", "\r", "\r\n", "\x01", "\x08", "\x0B", "\x1F", "\x7F", "\xC2\x85", "\xFF",
              "\xFE", "\xC0\xAF", "\xED\xA0\x80"}) {
            all.push_back({dropped, ""});
        }
        return all;
    }();
    return pieces;
}

// A name as typed, and as the file keeps it: at least three bytes.
Piece MakeName(std::mt19937& random, int index) {
    Piece name;
    if (index % 10 == 0) {
        // Exactly thirty characters, some of them multi-byte.
        const std::string pool[] = {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x91\x92", "&", "\""};
        while (Characters(name.typed) < kMostCharacters) {
            name.typed += pool[random() % 6];
        }
        name.kept = name.typed;
        return name;
    }
    while (name.kept.size() < 3) {
        name = Piece();
        const std::size_t wanted = 3 + random() % 12;
        while (name.typed.size() < 3 || Characters(name.typed) < wanted) {
            const Piece& piece = Pieces()[random() % Pieces().size()];
            if (Characters(name.typed + piece.typed) > kMostCharacters ||
                (name.typed + piece.typed).size() > kMostBytes) {
                break;
            }
            name.typed += piece.typed;
            name.kept += piece.kept;
        }
    }
    return name;
}

class Names : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.folder().Write(kOutfitFile, kEmptyStore);
        session_.folder().Write("Garbolt/Garbolt.ini", "[Garbolt]\r\nbUseCamera=0");
        session_.Load();
        Frames(2);
    }

    void Frames(int count) { session_.game().RunFrames(count); }
    void Press(std::uint32_t control) {
        sim::Controls().Press(control);
        session_.game().ClearTrace();
        Frames(1);
    }
    std::string LastNotification() {
        const auto& shown = session_.game().Notifications();
        return shown.empty() ? std::string() : shown.back().text;
    }
    // The row counter of the last frame ("7 of 21" on row 6) as a 0-based row; -1 when
    // closed. The counter text reaches the game through the variable-string native.
    int CurrentRow() {
        int row = -1;
        for (const sim::TraceEvent& event : session_.game().Trace()) {
            for (const std::string& text : event.texts) {
                const std::size_t of = text.find(" of 21");
                std::size_t start = of;
                while (start != std::string::npos && start > 0 &&
                       std::isdigit(static_cast<unsigned char>(text[start - 1]))) {
                    --start;
                }
                if (of != std::string::npos && start < of) {
                    row = std::stoi(text.substr(start, of - start)) - 1;
                }
            }
        }
        return row;
    }
    void Frame() {
        session_.game().ClearTrace();
        Frames(1);
    }
    void Key(std::uint32_t key) {
        session_.game().KeyDown(key);
        Frame();
        session_.game().KeyUp(key);
        Frame();
    }
    // Opens the wardrobe (on page 0, as Close leaves it) and goes to row 6
    // of the saved-outfits page.
    void OpenOnFirstCustomRow() {
        Key(kF9Key);
        Press(kSelectControl);  // "Saved Outfits"
        for (int presses = 0; presses < 25 && CurrentRow() != kFirstCustomRow; ++presses) {
            Press(kDownControl);  // the heading on row 5 is skipped
        }
        ASSERT_EQ(CurrentRow(), kFirstCustomRow);
    }
    // Back to page 0 and shut, so the next opening starts there.
    void Close() {
        Press(kBackControl);
        Press(kBackControl);
        Frame();
        ASSERT_EQ(CurrentRow(), -1) << "the menu is still open";
    }

    testing_support::Session session_{false};
};

TEST_F(Names, AThousandNamesComeBackByteForByte) {
    std::mt19937 random(1000);
    std::vector<Piece> names;
    for (int i = 0; i < 1000; ++i) {
        names.push_back(MakeName(random, i));
    }
    for (std::size_t first = 0; first < names.size(); first += kCustomRows) {
        const std::size_t count = std::min<std::size_t>(kCustomRows, names.size() - first);
        ASSERT_NO_FATAL_FAILURE(OpenOnFirstCustomRow());
        for (std::size_t i = 0; i < count; ++i) {
            const std::string& name = names[first + i].typed;
            Press(kSaveControl);
            ASSERT_TRUE(sim::NamingKeyboard().IsOpen()) << "name " << first + i;
            sim::NamingKeyboard().Finish(name);
            Frames(1);
            ASSERT_EQ(LastNotification(), "Successfully saved outfit") << "name " << first + i;
            Press(kDownControl);
        }
        ASSERT_NO_FATAL_FAILURE(Close());

        // The file holds each name exactly, on its row.
        const std::string bytes = session_.folder().Read(kOutfitFile);
        ASSERT_EQ(testing_support::StrictXmlProblem(bytes), "");
        pugi::xml_document document;
        ASSERT_TRUE(document.load_buffer(bytes.data(), bytes.size(),
                                         pugi::parse_default | pugi::parse_ws_pcdata_single));
        std::size_t stored = 0;
        for (pugi::xml_node outfit = document.child("Garbolt").child("Outfit"); outfit;
             outfit = outfit.next_sibling("Outfit"), ++stored) {
            const int row = outfit.child("Slot").text().as_int();
            ASSERT_EQ(outfit.child("Name").text().get(),
                      names[first + static_cast<std::size_t>(row - kFirstCustomRow)].kept)
                << "row " << row;
        }
        ASSERT_EQ(stored, count);

        // After a restart each row carries its name again: equipping it says
        // so, in words that read as the name.
        session_.Restart();
        Frames(1);
        ASSERT_NO_FATAL_FAILURE(OpenOnFirstCustomRow());
        for (std::size_t i = 0; i < count; ++i) {
            Press(kSelectControl);
            ASSERT_EQ(sim::ReadGameText(LastNotification()).Plain(),
                      "Equipped: " + testing_support::SeenName(names[first + i].kept))
                << "name " << first + i;
            Press(kDownControl);
        }
        // Delete them again, from the last row up, for the next batch.
        ASSERT_NO_FATAL_FAILURE(Close());
        ASSERT_NO_FATAL_FAILURE(OpenOnFirstCustomRow());
        for (std::size_t i = 0; i < count; ++i) {
            Press(kSaveControl);  // "Delete Outfit" on a taken row
            ASSERT_EQ(LastNotification(), "Successfully deleted outfit") << "name " << first + i;
            Press(kDownControl);
        }
        ASSERT_NO_FATAL_FAILURE(Close());
        ASSERT_EQ(session_.folder().Read(kOutfitFile), kEmptyStore);
    }
}

// The lowest slot number has no row before it; asking for it must not
// overflow (the undefined-behaviour sanitizer stops the asan build on it).
TEST(StoreEdges, LowestSlotNumberNamesNoRow) {
    testing_support::Session session(false);
    session.game().AdoptScriptContext();  // the test calls the store as the script would
    const std::string file =
        "<Garbolt><Outfit><Name>Edge</Name><Slot>2147483647</Slot></Outfit></Garbolt>";
    session.folder().Write(kOutfitFile, file);
    savedSlots.clear();
    ResetWardrobeState();
    DeleteCustomOutfit(INT_MIN);
    EquipCustomOutfit(INT_MIN);
    EXPECT_EQ(session.NotificationTexts(),
              (std::vector<std::string>{"~COLOR_RED~Failed to delete outfit, slot not found~s~",
                                        "[Custom]: There is no saved outfit in this slot"}));
    EXPECT_EQ(session.folder().Read(kOutfitFile), file);
}

}  // namespace

// A name from a file is shown cut where the game's keyboard would have
// stopped: 30 characters or 120 bytes, never inside a character.
TEST(StoreEdges, LongNamesAreShownCutAtACharacterBoundary) {
    const auto times = [](const std::string& piece, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += piece;
        }
        return text;
    };
    const std::string twoByte = "\xC3\xA9", fourByte = "\xF0\x9F\x91\x92";
    const std::pair<std::string, std::string> cases[] = {
        {times("a", 30), times("a", 30)},
        {times("a", 31), times("a", 30)},
        {times(twoByte, 31), times(twoByte, 30)},
        {times(fourByte, 30), times(fourByte, 30)},  // 120 bytes: the byte cap exactly
        {times(fourByte, 31), times(fourByte, 30)},
        {times("\xFF", 121), times("\xFF", 30)},  // not UTF-8: 30 bytes are 30 characters
        {"a" + times("\x80", 130), "a" + times("\x80", 119)},  // one character past the cap
        {times("\xF0", 1) + times("\x80", 130), "\xF0" + times("\x80", 119)},
    };
    for (const auto& [name, shown] : cases) {
        std::string cut;
        outfit_file::CopyCutName(name.c_str(), cut);
        EXPECT_EQ(cut, shown) << name.size() << " bytes";
    }
}
