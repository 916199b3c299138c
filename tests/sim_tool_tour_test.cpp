// The built-in tour as a new user plays it: it passes, shows the wardrobe's
// three success messages, and gives the same transcript and JSON every run;
// names in bytes that are not UTF-8 through the same pages.
#include <gtest/gtest.h>

#include "support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using testing_support::Slurp;

class SimTour : public testing_support::ScratchFolderTest {
  protected:
    int Play(const std::string& name, const std::string& args = "") {
        return testing_support::RunShellIn(dir_, "'" GARBOLT_SIM_PROGRAM "' " + args + " --json " +
                                                     name + ".jsonl > " + name + ".txt 2> " + name +
                                                     ".err");
    }
};

TEST_F(SimTour, PassesAndShowsTheWardrobesMessages) {
    ASSERT_EQ(Play("first"), 0) << Slurp(dir_ / "first.err") << Slurp(dir_ / "first.txt");
    const std::string transcript = Slurp(dir_ / "first.txt");
    for (const char* message :
         {"notification \"Successfully saved outfit\"",
          "notification \"Successfully deleted outfit\"",
          "notification \"Successfully saved settings\"", "menu opened: WARDROBE / Change Clothes",
          "page WARDROBE / Preset Outfits (page 2)", "page WARDROBE / Settings (page 3)",
          "naming keyboard open: STABLE_RENAME_MOUNT_PROMPT", "camera on", "light on",
          "file Garbolt/SavedOutfits.xml written", "file Garbolt/Garbolt.ini written",
          // The prompts' texts as the game reads them while it shows them.
          "prompt \"Select\" on", "prompt \"Back\" on", "prompt \"Save Outfit\" on",
          "prompt \"Delete Outfit\" on"}) {
        EXPECT_NE(transcript.find(message), std::string::npos) << message;
    }
    EXPECT_EQ(transcript.find("unknown native"), std::string::npos);
    EXPECT_EQ(transcript.find("FAILED"), std::string::npos);

    // Every JSON line is one event with its frame and type, frame first.
    std::istringstream lines(Slurp(dir_ / "first.jsonl"));
    std::size_t count = 0;
    std::vector<std::string> types;
    for (std::string line; std::getline(lines, line); ++count) {
        ASSERT_EQ(line.rfind("{\"frame\":", 0), 0u) << line;
        const std::size_t type = line.find(",\"type\":\"");
        ASSERT_NE(type, std::string::npos) << line;
        const std::string name = line.substr(type + 9, line.find('"', type + 9) - type - 9);
        if (std::find(types.begin(), types.end(), name) == types.end()) {
            types.push_back(name);
        }
    }
    EXPECT_GT(count, 1000u);
    std::sort(types.begin(), types.end());
    EXPECT_EQ(types,
              (std::vector<std::string>{"camera", "file", "keyboard", "light", "notification",
                                        "prompt", "sound", "sprite", "text"}));
}

// The tour's transcript, byte for byte, against the one committed: a change
// of behaviour or of the tool's wording shows as a diff. When a change is
// meant, `cmake --build --preset dev --target tour-transcript` writes the file
// anew; review its diff before committing it.
TEST_F(SimTour, TranscriptMatchesTheGoldenFile) {
    const fs::path source = fs::path(GARBOLT_SOURCE_DIR);
    ASSERT_EQ(Play("golden", "'" + (source / "tools/garbolt-sim/tour.scenario").string() + "'"), 0)
        << Slurp(dir_ / "golden.err");
    const std::string played = Slurp(dir_ / "golden.txt");
    const std::string golden = Slurp(source / "tests/data/sim-tool/tour-transcript.txt");
    if (played != golden) {
        std::istringstream a(played), b(golden);
        std::string left, right;
        int line = 1;
        while (std::getline(a, left) && std::getline(b, right) && left == right) {
            ++line;
        }
        ADD_FAILURE() << "the tour's transcript differs from tests/data/sim-tool/"
                         "tour-transcript.txt first at line "
                      << line << ":\n  played: " << left << "\n  golden: " << right
                      << "\nIf the change is meant: cmake --build --preset dev --target "
                         "tour-transcript";
    }
}

TEST_F(SimTour, TranscriptAndJsonAreTheSameEveryRun) {
    ASSERT_EQ(Play("one", "--trace"), 0) << Slurp(dir_ / "one.err");
    ASSERT_EQ(Play("two", "--trace"), 0) << Slurp(dir_ / "two.err");
    const std::string first = Slurp(dir_ / "one.txt");
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, Slurp(dir_ / "two.txt"));
    const std::string json = Slurp(dir_ / "one.jsonl");
    EXPECT_EQ(json, Slurp(dir_ / "two.jsonl"));
    // Nothing that differs from run to run: no addresses, no temporary folder.
    EXPECT_EQ(json.find("0x7f"), std::string::npos);
    EXPECT_EQ(json.find("garbolt-sim-"), std::string::npos);
    EXPECT_NE(json.find("\"type\":\"native\""), std::string::npos);
}

// Where the game's behaviour is unknown the tour is played under both
// readings of a prompt's completion: the player sees and hears the same, byte
// for byte, in the transcript and in every JSON event (which, without --trace,
// are only what is shown and heard, and the files).
TEST_F(SimTour, BothPromptReadingsShowAndSoundTheSame) {
    ASSERT_EQ(Play("latched", "--prompt-completion latched"), 0) << Slurp(dir_ / "latched.txt");
    ASSERT_EQ(Play("oneframe", "--prompt-completion one-frame"), 0) << Slurp(dir_ / "oneframe.txt");
    const std::string transcript = Slurp(dir_ / "latched.txt");
    EXPECT_NE(transcript.find("notification \"Successfully saved outfit\""), std::string::npos);
    EXPECT_EQ(transcript, Slurp(dir_ / "oneframe.txt"));
    EXPECT_EQ(Slurp(dir_ / "latched.jsonl"), Slurp(dir_ / "oneframe.jsonl"));
}

TEST_F(SimTour, ShotsShowEveryScreen) {
    ASSERT_EQ(Play("shots", "--shots pictures"), 0) << Slurp(dir_ / "shots.err");
    std::size_t pictures = 0;
    for (const auto& entry : fs::directory_iterator(dir_ / "pictures")) {
        const std::string png = Slurp(entry.path());
        ASSERT_GT(png.size(), 1000u);
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        ++pictures;
    }
    // One per page and row the tour visits, not one per frame.
    EXPECT_GT(pictures, 20u);
    EXPECT_LT(pictures, 200u);
}

// A name in any bytes, as an old file saved in Latin-1 holds it, on the
// saved-outfits page: the transcript writes it as a scenario would (so the
// expectations, which compare bytes, can be copied from it), the JSON stays
// valid with the bytes in hex beside, the picture draws a replacement glyph
// per stray byte, and the file keeps its bytes.
TEST_F(SimTour, NamesInAnyBytesAreReportedWhole) {
    struct Case {
        std::string name;     // the bytes in the file
        std::string written;  // as the transcript and a scenario write it
        std::string valid;    // as the JSON and the picture show it
        std::string hex;      // in the JSON beside it, when it is not UTF-8
    };
    const std::string replacement = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"Caf\xE9 cr\xE8me", "Caf\\xE9 cr\\xE8me", "Caf" + replacement + " cr" + replacement + "me",
         "436166e9206372e86d65"},
        {"Bad\xFF\xFE", "Bad\\xFF\\xFE", "Bad" + replacement + replacement, "426164fffe"},
        // A terminal control that is valid UTF-8: escaped for the terminal only.
        {"Csi\xC2\x9B"
         "2J",
         "Csi\\xC2\\x9B2J",
         "Csi\xC2\x9B"
         "2J",
         ""},
    };
    const std::string toRowSix =
        "window 480\nkey F9\npress select\npress down\npress down\npress down\npress down\n"
        "press down\nshot row6.png\n";
    auto play = [this, &toRowSix](const std::string& folder, const std::string& name,
                                  const std::string& more) {
        fs::create_directories(dir_ / folder / "Garbolt");
        std::ofstream(dir_ / folder / "Garbolt/Garbolt.ini", std::ios::binary) << "[Garbolt]\n";
        std::ofstream(dir_ / folder / "Garbolt/SavedOutfits.xml", std::ios::binary)
            << "<Garbolt><Outfit><Slot>6</Slot><Name>" << name
            << "</Name><Item><Hash>17</Hash><State>1</State></Item></Outfit></Garbolt>";
        return testing_support::RunWithInput(dir_ / folder, GARBOLT_SIM_PROGRAM,
                                             "--game-dir . --json events.jsonl -", toRowSix + more);
    };
    for (const Case& c : cases) {
        const auto result =
            play("game", c.name,
                 "expect label 6 \"" + c.written +
                     "\"\npress select\nexpect notification \"Equipped: " + c.written +
                     "\"\npress up\n");
        EXPECT_EQ(result.status, 0) << c.written << "\n" << result.err;
        for (const std::string& line : {"row 6 \"" + c.written + "\" (7 of 21)",
                                        "notification \"Equipped: " + c.written + "\""}) {
            EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
        }

        std::istringstream lines(result.json);
        int labels = 0, notifications = 0;
        for (std::string line; std::getline(lines, line);) {
            const nlohmann::json event = nlohmann::json::parse(line);  // throws on bad UTF-8
            if (event["type"] == "text" && event["text"] == c.valid) {
                EXPECT_EQ(event.value("textHex", ""), c.hex) << line;
                ++labels;
            } else if (event["type"] == "notification") {
                EXPECT_EQ(event["text"], "Equipped: " + c.valid);
                EXPECT_EQ(event.value("textHex", ""),
                          c.hex.empty() ? "" : "45717569707065643a20" + c.hex);
                ++notifications;
            }
        }
        EXPECT_GT(labels, 0) << c.written;
        EXPECT_EQ(notifications, 1) << c.written;

        EXPECT_EQ(Slurp(dir_ / "game/Garbolt/SavedOutfits.xml"),
                  "<Garbolt><Outfit><Slot>6</Slot><Name>" + c.name +
                      "</Name><Item><Hash>17</Hash><State>1</State></Item></Outfit></Garbolt>");
        if (!c.hex.empty()) {
            ASSERT_EQ(play("twin", c.valid, "").status, 0);
            EXPECT_EQ(Slurp(dir_ / "game/row6.png"), Slurp(dir_ / "twin/row6.png")) << c.written;
        }
    }
}

}  // namespace
