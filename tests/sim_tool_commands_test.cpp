// garbolt-sim's game-side commands, each played against the real plug-in:
// controls and input source, the naming keyboard's three endings, the model,
// the character check, the window, restart, and the menu expectations
// failing with what the screen showed.
#include <gtest/gtest.h>

#include "sim/play/default_files.h"
#include "sim_tool_fixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using sim_tool_testing::Result;
using testing_support::Slurp;

class SimCommands : public sim_tool_testing::SimToolTest {
  protected:
    // Every run records its events in events.jsonl.
    Result Run(const std::string& scenario, const std::string& args = "") {
        return SimToolTest::Run(scenario, args + " --json events.jsonl -");
    }
};

const char kToFirstCustomRow[] =
    "key F9\npress select\npress down\npress down\npress down\npress down\npress down\n"
    "expect row 6\n";

// The save prompt under both readings of its completion, switched mid-run.
TEST_F(SimCommands, NamingKeyboardEndings) {
    Result result = Run("prompt-completion one-frame\n" + std::string(kToFirstCustomRow) +
                        "press save\n"
                        "type-null\n"
                        "expect notification \"Outfit name was null\"\n"
                        "prompt-completion latched\n"
                        "press save\n"
                        "type \"ab\"\n"
                        "expect notification \"Outfit name was too short\"\n"
                        "press save\n"
                        "type-cancel\n"
                        "frames 1\n"
                        "expect label 6 \"Saved Custom Outfit Six\"\n"
                        "press save\n"
                        "type \"Back\\\\slash & <tag> \\\"q\\\"\"\n"
                        "expect notification \"Successfully saved outfit\"\n"
                        "frames 1\n"
                        "expect label 6 \"Back\\\\slash & <tag> \\\"q\\\"\"\n"
                        "expect file Garbolt/SavedOutfits.xml contains "
                        "\"Back\\\\slash &amp; &lt;tag&gt; \\\"q\\\"\"\n"
                        "expect no-unknown-natives\n");
    EXPECT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_NE(result.out.find("naming keyboard open: STABLE_RENAME_MOUNT_PROMPT, \"Saved Custom "
                              "Outfit Six\", up to 30"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("line 1: prompt-completion one-frame\n  prompt completions now last "
                              "one frame\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("prompt completions now last until the prompt's modes are restarted"),
              std::string::npos);

    // Typing with no keyboard open is a failed expectation, not a crash.
    result = Run("frames 1\ntype \"Nobody asked\"\ntype-null\ntype-cancel\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("-:2: type \"Nobody asked\": the naming keyboard is not open"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("-:3: type-null: the naming keyboard is not open"),
              std::string::npos);
    EXPECT_NE(result.err.find("-:4: type-cancel: the naming keyboard is not open"),
              std::string::npos);
}

TEST_F(SimCommands, MenuExpectationsReportWhatTheScreenShows) {
    const Result result =
        Run("key F9\n"
            "expect page 2\n"
            "expect row 1\n"
            "expect label 1 \"Settings\"\n"
            "expect closed\n"
            "press select\n"
            "expect label 15 \"Saved Custom Outfit Fifteen\"\n"
            "expect notification \"Equipped: nothing\"\n");
    EXPECT_EQ(result.status, 1);
    for (const char* message : {
             "-:2: expect page 2: the menu shows WARDROBE / Change Clothes (page 0)",
             "-:3: expect row 1: the current row is row 0 \"Saved Outfits\" (1 of 3)",
             "-:4: expect label 1 \"Settings\": row 1 reads \"Preset Outfits\"",
             "-:5: expect closed: the menu is open on WARDROBE / Change Clothes (page 0)",
             "-:7: expect label 15 \"Saved Custom Outfit Fifteen\": row 15 is not on screen (rows "
             "0 to 11 are shown)",
             "-:8: expect notification \"Equipped: nothing\": no notification on frame 3",
         }) {
        EXPECT_NE(result.err.find(message), std::string::npos) << message << "\n" << result.err;
    }
    EXPECT_NE(result.out.find("6 expectations failed"), std::string::npos) << result.out;
}

TEST_F(SimCommands, GamepadChordModelAndCharacterCheck) {
    const Result result =
        Run("input gamepad\n"
            "press open-chord\n"
            "expect open\n"
            "press down\n"
            "press select\n"
            "expect page 2\n"
            "model john\n"
            "press select\n"
            "expect notification \"Preset outfits currently only work for Arthur. Sorry!\"\n"
            "model arthur\n"
            "press select\n"
            "expect notification \"Equipped: The Gunslinger\"\n"
            "character-check on\n"
            "frames 1\n"
            "expect closed\n"
            "character-check off\n"
            "input keyboard\n"
            "key F9\n"
            "expect open\n"
            "expect page 2\n"
            "expect no-unknown-natives\n");
    EXPECT_EQ(result.status, 0) << result.err << result.out;
    // The gamepad suppresses more controls through the game's HUD global.
    EXPECT_NE(result.json.find("\"type\":\"sound\",\"name\":\"MENU_ENTER\""), std::string::npos);
}

TEST_F(SimCommands, WindowWidthScalesTheText) {
    Result result = Run("window 2560\nkey F9\nexpect open\n");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.json.find("\"size\":21,\"text\":\"WARDROBE\""), std::string::npos);
    EXPECT_EQ(result.json.find("\"size\":45"), std::string::npos);
    result = Run("window 1280\nkey F9\n");
    EXPECT_NE(result.json.find("\"size\":16,\"text\":\"WARDROBE\""), std::string::npos);
    result = Run("key F9\n");
    EXPECT_NE(result.json.find("\"size\":45,\"text\":\"WARDROBE\""), std::string::npos);
}

TEST_F(SimCommands, RestartKeepsTheFilesAndReloadsThePlugin) {
    fs::create_directories(dir_ / "game" / "Garbolt");
    std::ofstream(dir_ / "game/Garbolt/SavedOutfits.xml", std::ios::binary)
        << play::kEmptySavedOutfits;
    fs::copy_file(fs::path(GARBOLT_SOURCE_DIR) / "src/settings/default_settings.ini",
                  dir_ / "game/Garbolt/Garbolt.ini");
    const Result result = Run(std::string("wear 0x11:0x1 0x22:0x2\n") + kToFirstCustomRow +
                                  "press save\n"
                                  "type \"Kept\"\n"
                                  "key F9\n"
                                  "restart\n"
                                  "expect closed\n"
                                  "key F9\n"
                                  "expect page 0\n"
                                  "press select\n"
                                  "expect label 6 \"Kept\"\n",
                              "--game-dir game");
    EXPECT_EQ(result.status, 0) << result.err << result.out;
    EXPECT_NE(Slurp(dir_ / "game/Garbolt/SavedOutfits.xml").find("<Name>Kept</Name>"),
              std::string::npos);
    // The new plug-in made its prompts anew.
    EXPECT_NE(result.json.find("\"handle\":4,\"text\":\"Select\""), std::string::npos);
}

// The example in the scenario language's documentation is a scenario that passes.
TEST_F(SimCommands, DocumentedExamplePasses) {
    const std::string doc = Slurp(fs::path(GARBOLT_SOURCE_DIR) / "docs" / "scenarios.md");
    const std::size_t heading = doc.find("### Example");
    ASSERT_NE(heading, std::string::npos);
    const std::size_t start = doc.find("```\n", heading);
    const std::size_t end = doc.find("```", start + 4);
    ASSERT_NE(end, std::string::npos);
    const Result result = Run(doc.substr(start + 4, end - start - 4));
    EXPECT_EQ(result.status, 0) << result.err << result.out;
}

}  // namespace
