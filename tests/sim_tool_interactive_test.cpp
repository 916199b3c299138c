// The interactive mode played through tmux, as a person at a terminal would,
// in a terminal of 80 x 24: open the wardrobe, walk to a free row, save an
// outfit under a typed name, restart the plug-in and find it again, quit,
// and find the terminal as it was.
#include <gtest/gtest.h>

#include "sim/play/default_files.h"
#include "support/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

using testing_support::Slurp;

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, n);
        }
        ::pclose(pipe);
    }
    return out;
}

class SimInteractive : public testing_support::ScratchFolderTest {
  protected:
    void SetUp() override {
        if (std::system("command -v tmux >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "tmux is not installed";
        }
        ScratchFolderTest::SetUp();
        socket_ = "garbolt-test-" + std::to_string(::getpid());
        fs::create_directories(dir_ / "game" / "Garbolt");
        std::ofstream(dir_ / "game/Garbolt/SavedOutfits.xml", std::ios::binary)
            << play::kEmptySavedOutfits;
        fs::copy_file(fs::path(GARBOLT_SOURCE_DIR) / "src/settings/default_settings.ini",
                      dir_ / "game/Garbolt/Garbolt.ini");
        const std::string program = "cd '" + dir_.string() + "' && stty -a > before.txt; '" +
                                    GARBOLT_SIM_PROGRAM +
                                    "' --interactive --game-dir game; echo $? > status.txt; "
                                    "stty -a > after.txt; sleep 30";
        Tmux("new-session -d -x 80 -y 24 \"" + program + "\"");
    }
    void TearDown() override {
        Tmux("kill-server");
        ScratchFolderTest::TearDown();
    }

    int Tmux(const std::string& args) {
        return std::system(("tmux -L " + socket_ + " " + args + " >/dev/null 2>&1").c_str());
    }
    void Keys(const std::string& keys) { Tmux("send-keys " + keys); }
    std::string Screen() { return Output("tmux -L " + socket_ + " capture-pane -p"); }

    // Waits until the screen shows the text; false after ten seconds.
    bool WaitFor(const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            if (Screen().find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    bool WaitForFile(const fs::path& path) {
        for (int i = 0; i < 200; ++i) {
            if (fs::exists(path) && fs::file_size(path) > 0) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string socket_;
};

TEST_F(SimInteractive, SavesAnOutfitUnderATypedName) {
    ASSERT_TRUE(WaitFor("(menu closed)")) << Screen();
    // Arthur in his everyday clothes, a swatch per item.
    EXPECT_TRUE(WaitFor("  wearing 24 items  head \xE2\x96\x88")) << Screen();
    Keys("F9");
    ASSERT_TRUE(WaitFor("WARDROBE -- Change Clothes (page 0)")) << Screen();
    EXPECT_TRUE(WaitFor("> Saved Outfits"));
    Keys("Enter");
    ASSERT_TRUE(WaitFor("Saved Custom Outfits (page 1)")) << Screen();
    for (int i = 0; i < 5; ++i) {
        Keys("Down");
        ASSERT_TRUE(WaitFor(std::to_string(i == 4 ? 7 : i + 2) + " of 21")) << Screen();
    }
    ASSERT_TRUE(WaitFor("> Saved Custom Outfit Six")) << Screen();
    EXPECT_TRUE(WaitFor("[Save Outfit]"));
    Keys("s");
    ASSERT_TRUE(WaitFor("STABLE_RENAME_MOUNT_PROMPT")) << Screen();
    EXPECT_TRUE(WaitFor("| Saved Custom Outfit Six_"));
    Keys("C-u");
    Keys("-l 'Tmux Coat'");
    ASSERT_TRUE(WaitFor("| Tmux Coat_")) << Screen();
    Keys("Enter");
    ASSERT_TRUE(WaitFor("Successfully saved outfit")) << Screen();
    EXPECT_TRUE(WaitFor("> Tmux Coat"));
    EXPECT_TRUE(WaitFor("[Delete Outfit]"));
    // The tallest page, the prompts and the notification fit under the
    // help, which lists every key.
    const std::string full = Screen();
    EXPECT_EQ(full.rfind("Garbolt (simulated game)  frame ", 0), 0u) << full;
    for (const char* key : {"F9 menu", "s save/delete", "o open chord", "g gamepad/keyboard",
                            "r restart", "key code", "q quit", "Ctrl-U clear", "Esc leave"}) {
        EXPECT_NE(full.find(key), std::string::npos) << key;
    }
    // A restart keeps the files: the new plug-in finds the outfit.
    Keys("r");
    ASSERT_TRUE(WaitFor("the plug-in was restarted")) << Screen();
    EXPECT_TRUE(WaitFor("(menu closed)"));
    Keys("F9");
    ASSERT_TRUE(WaitFor("> Saved Outfits")) << Screen();
    Keys("Enter");
    ASSERT_TRUE(WaitFor("  Tmux Coat")) << Screen();
    Keys("q");
    ASSERT_TRUE(WaitForFile(dir_ / "after.txt"));
    EXPECT_EQ(Slurp(dir_ / "status.txt"), "0\n");
    EXPECT_EQ(Slurp(dir_ / "after.txt"), Slurp(dir_ / "before.txt"));
    EXPECT_NE(Slurp(dir_ / "game/Garbolt/SavedOutfits.xml").find("<Name>Tmux Coat</Name>"),
              std::string::npos);
}

TEST_F(SimInteractive, CtrlCRestoresTheTerminal) {
    ASSERT_TRUE(WaitFor("(menu closed)")) << Screen();
    Keys("F9");
    ASSERT_TRUE(WaitFor("Change Clothes")) << Screen();
    Keys("Down");
    ASSERT_TRUE(WaitFor("> Preset Outfits")) << Screen();
    Keys("C-c");
    ASSERT_TRUE(WaitForFile(dir_ / "after.txt"));
    EXPECT_EQ(Slurp(dir_ / "status.txt"), "0\n");
    const std::string after = Slurp(dir_ / "after.txt");
    EXPECT_EQ(after, Slurp(dir_ / "before.txt"));
    EXPECT_NE(after.find(" icanon"), std::string::npos);
    EXPECT_NE(after.find(" echo "), std::string::npos);
}

}  // namespace
