// Loads Garbolt.asi through the simulated hook with an outfit file too large
// to work on within a frame, and checks that the plug-in's store thread reads
// it while the frames run (its message shows at a later frame), and that
// unloading the plug-in while that thread works neither hangs nor crashes.
// Exits 0 when all holds.
//
//   garbolt-store-thread-check [PLUGIN]   (default: Garbolt.asi beside it)
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

#include "sim/game.h"
#include "sim/plugin.h"

namespace {

constexpr int kRounds = 4;
constexpr const char* kMessage = "[Wardrobe]: Slot index 30 out of range";

// 600,000 bytes of comment, then an outfit with no custom row: the start
// says so once it has read the file.
std::string LargeOutfitFile() {
    return "<?xml version=\"1.0\"?>\n<Garbolt>\n\t<!--" + std::string(600000, 'x') +
           "-->\n\t<Outfit>\n\t\t<Name>Far</Name>\n\t\t<Slot>30</Slot>\n\t</Outfit>\n</Garbolt>\n";
}

bool Said(const sim::Game& game) {
    for (const sim::Notification& note : game.Notifications()) {
        if (note.text == kMessage) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string pluginPath =
        std::filesystem::absolute(argc > 1 ? argv[1] : sim::DefaultPluginPath()).string();
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "garbolt-store-thread-check";
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder / "Garbolt");
    std::filesystem::current_path(folder);
    std::ofstream(folder / "Garbolt" / "SavedOutfits.xml", std::ios::binary) << LargeOutfitFile();

    sim::Game& game = sim::TheGame();
    int failures = 0;
    for (int round = 1; round <= kRounds; ++round) {
        game.Reset();
        const bool unloadMidWork = round % 2 == 0;
        bool said = false;
        {
            sim::Plugin plugin(pluginPath);
            if (!plugin.Loaded()) {
                std::printf("  %s\n", plugin.Error().c_str());
                return 1;
            }
            game.RunFrame();  // the start-up hands the file to the store's thread
            if (Said(game)) {
                ++failures;
                std::printf("  FAILED: round %d: the file was read within the start-up's frame\n",
                            round);
            }
            for (int frame = 0; !unloadMidWork && !said && frame < 10000; ++frame) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                game.RunFrame();
                said = Said(game);
            }
        }
        if (!unloadMidWork && !said) {
            ++failures;
            std::printf("  FAILED: round %d: the start never showed \"%s\"\n", round, kMessage);
        }
        if (game.MisuseCount() != 0) {
            ++failures;
            std::printf("  FAILED: round %d: a native was misused\n", round);
        }
        std::printf("round %d: %s\n", round,
                    unloadMidWork ? "unloaded while the store's thread read the file"
                                  : (said ? "the message showed at a later frame" : "no message"));
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder, error);
    if (failures != 0) {
        std::printf("garbolt-store-thread-check: %d checks failed\n", failures);
        return 1;
    }
    std::printf("garbolt-store-thread-check: large outfit files are read beside the frames\n");
    return 0;
}
