// The plug-in's saves in a child process, for the fault tests: run as the
// user nobody, under a small file size limit, or killed at a random moment.
//
//   garbolt_hardening_child [--fsize-limit BYTES] settings|outfits GAME_DIR COUNT
//
// In GAME_DIR (the game's folder) it loads what the plug-in loads at start,
// prints "ready", then saves COUNT times (0: until killed), each time the
// other of two versions: the settings with the camera switched on and off,
// or an outfit on row 6 saved and deleted again. Every message the player
// would see is printed on a line of its own.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "menu/menu.h"
#include "settings/settings.h"
#include "sim/game.h"
#include "support/child_options.h"
#include "wardrobe/layout.h"
#include "wardrobe/pages.h"
#include "wardrobe/store.h"

namespace {

constexpr int kBadRequest = 2;
using wardrobe_layout::kSavedOutfitsPage;
constexpr std::int32_t kFirstCustomSlot =
    wardrobe_layout::SlotOfRow(wardrobe_layout::kFirstCustomRow);

std::size_t printed = 0;

void PrintMessages() {
    const auto& shown = sim::TheGame().Notifications();
    for (; printed < shown.size(); ++printed) {
        std::printf("%s\n", shown[printed].text.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int count, char** arguments) {
    const int next = testing_support::TakeFileSizeLimit(count, arguments);
    if (next < 0) {
        return kBadRequest;
    }
    if (count != next + 3 || chdir(arguments[next + 1]) != 0) {
        return kBadRequest;
    }
    const std::string kind = arguments[next];
    const long saves = std::strtol(arguments[next + 2], nullptr, 10);

    sim::TheGame().Reset();
    activeMenu = std::make_unique<Menu>();
    InitializeMenu();
    activeMenu->currentSubmenu = &Menu::submenuRegistry.at(kSavedOutfitsPage);
    activeMenu->currentSubmenuId = kSavedOutfitsPage;
    activeMenu->currentOption = kFirstCustomSlot - 1;
    activeMenu->isOpen = true;
    loadSettings();
    LoadCustomOutfitNames();
    PrintMessages();
    std::printf("ready\n");
    std::fflush(stdout);

    for (long i = 0; saves == 0 || i < saves; ++i) {
        if (kind == "settings") {
            useCamera = !useCamera;
            saveSettings();
        } else if (kind == "outfits") {
            const bool stored = !savedSlots.empty();
            if (stored) {
                DeleteCustomOutfit(kFirstCustomSlot);
            } else {
                SaveCustomOutfit("Sunday \"Best\" & <Co>", kFirstCustomSlot);
            }
        } else {
            return kBadRequest;
        }
        PrintMessages();
        sim::TheGame().ClearTrace();
    }
    return 0;
}
