// A thousand generated outfit names through the whole plug-in: typed into
// the game's keyboard, saved, the game restarted, and each name loaded back
// onto its row byte for byte (bytes that are not UTF-8 as U+FFFD). The names
// hold XML-special characters, quotes, control characters, bytes that are not
// UTF-8, multi-byte text, and exactly thirty characters.
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
#include "sim/naming_keyboard.h"
#include "support/session.h"
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

// Pieces the names are made of; each generated name mixes several kinds.
const std::vector<std::string>& Pieces() {
    static const std::vector<std::string> pieces = {
        "<",
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
        "\t",
        "\n",
        "\r",
        "\r\n",
        "\x01",
        "\x08",
        "\x0B",
        "\x1F",
        "\x7F",
        "\x80",
        "\xBF",
        "\xC3",
        "\xE2\x82",
        "\xFF",
        "\xFE",
        "\xC0\xAF",
        "\xED\xA0\x80",
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
        "%s",
        "%n",
        "=",
        ";",
    };
    return pieces;
}

std::string MakeName(std::mt19937& random, int index) {
    std::string name;
    if (index % 10 == 0) {
        // Exactly thirty characters, some of them multi-byte.
        const std::string pool[] = {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x91\x92", "&", "\""};
        while (Characters(name) < kMostCharacters) {
            name += pool[random() % 6];
        }
        return name;
    }
    const std::size_t wanted = 3 + random() % 12;
    while (name.size() < 3 || Characters(name) < wanted) {
        const std::string& piece = Pieces()[random() % Pieces().size()];
        if (Characters(name + piece) > kMostCharacters || (name + piece).size() > kMostBytes) {
            break;
        }
        name += piece;
    }
    while (name.size() < 3) {
        name += "x";
    }
    // Nothing but white space with a line break reads back as a hand-indented
    // file's layout, an empty name; the game's keyboard cannot type it.
    if (name.find_first_not_of(" \t\r\n") == std::string::npos &&
        name.find_first_of("\r\n") != std::string::npos) {
        name[0] = 'x';
    }
    return name;
}

// The name as the file keeps it: bytes that are not UTF-8 become U+FFFD, so
// the file stays UTF-8, and the result is cut to the game's bounds again.
std::string Stored(const std::string& typed) {
    std::string stored;
    outfit_file::CopyCutName(outfit_file::MendedUtf8(typed).c_str(), stored);
    return stored;
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
    std::vector<std::string> names;
    std::vector<std::string> storedNames;
    for (int i = 0; i < 1000; ++i) {
        names.push_back(MakeName(random, i));
        storedNames.push_back(Stored(names.back()));
    }
    for (std::size_t first = 0; first < names.size(); first += kCustomRows) {
        const std::size_t count = std::min<std::size_t>(kCustomRows, names.size() - first);
        ASSERT_NO_FATAL_FAILURE(OpenOnFirstCustomRow());
        for (std::size_t i = 0; i < count; ++i) {
            const std::string& name = names[first + i];
            Press(kSaveControl);
            ASSERT_TRUE(sim::NamingKeyboard().IsOpen()) << "name " << first + i;
            sim::NamingKeyboard().Finish(name);
            Frames(1);
            ASSERT_EQ(LastNotification(), "Successfully saved outfit") << "name " << first + i;
            Press(kDownControl);
        }
        ASSERT_NO_FATAL_FAILURE(Close());

        // The file holds each name, as stored, on its row.
        const std::string bytes = session_.folder().Read(kOutfitFile);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_buffer(bytes.data(), bytes.size(),
                                         pugi::parse_default | pugi::parse_ws_pcdata_single));
        std::size_t stored = 0;
        for (pugi::xml_node outfit = document.child("Garbolt").child("Outfit"); outfit;
             outfit = outfit.next_sibling("Outfit"), ++stored) {
            const int row = outfit.child("Slot").text().as_int();
            ASSERT_EQ(outfit.child("Name").text().get(),
                      storedNames[first + static_cast<std::size_t>(row - kFirstCustomRow)])
                << "row " << row;
        }
        ASSERT_EQ(stored, count);

        // After a restart each row carries its name again: equipping it says so.
        session_.Restart();
        Frames(1);
        ASSERT_NO_FATAL_FAILURE(OpenOnFirstCustomRow());
        for (std::size_t i = 0; i < count; ++i) {
            Press(kSelectControl);
            ASSERT_EQ(LastNotification(), "Equipped: " + storedNames[first + i])
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
