// The built-in tour as a new user plays it: it passes, shows the wardrobe's
// three success messages, and gives the same transcript and JSON every run.
#include <gtest/gtest.h>

#include "support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

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
          "file Garbolt/SavedOutfits.xml written", "file Garbolt/Garbolt.ini written"}) {
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

}  // namespace
