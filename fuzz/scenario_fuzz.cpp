// Random input sequences against the whole plug-in in the simulated game:
// the menu key, the gamepad chord, every menu control, Shift, typing into the
// naming keyboard (or giving it up), idle frames and restarts. After every
// frame: the cursor is never on a heading, the current row lies within the
// page, the plug-in has called no native the game does not know and misused
// none, and the outfit file is well-formed and holds exactly the outfits the
// player saved and did not delete, each once, under the name typed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include <pugixml.hpp>

#include "fuzz_support.h"
#include "menu/menu.h"
#include "sim/controls.h"
#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/play/player.h"

namespace {

using fuzz_support::Broken;

using namespace play::controls;
constexpr std::size_t kNameCharacters = 30;
constexpr int kMostActions = 200;

constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";

// Row -> name, as the file must hold them.
using Outfits = std::map<int, std::string>;

Outfits FileOutfits(const std::string& bytes) {
    pugi::xml_document document;
    if (!document.load_buffer(bytes.data(), bytes.size(),
                              pugi::parse_default | pugi::parse_ws_pcdata_single)) {
        Broken("the outfit file is not well-formed:\n" + bytes);
    }
    Outfits outfits;
    const pugi::xml_node root = document.child("Garbolt");
    if (!root) {
        Broken("the outfit file lost its root element");
    }
    for (pugi::xml_node outfit = root.child("Outfit"); outfit;
         outfit = outfit.next_sibling("Outfit")) {
        const int row = outfit.child("Slot").text().as_int();
        if (!outfits.emplace(row, outfit.child("Name").text().get()).second) {
            Broken("the outfit file holds row " + std::to_string(row) + " twice");
        }
    }
    return outfits;
}

struct Player {
    Outfits saved;          // what the player saved and did not delete
    int rowBefore = -1;     // the current row at the end of the previous frame
    int namingRow = -1;     // the row the naming keyboard was opened for
    std::string typed;      // the last name the player confirmed
    int keyboardOpens = 0;  // openings seen
    std::size_t notificationsSeen = 0;
};

int CurrentRow() {
    return activeMenu && activeMenu->isOpen ? activeMenu->currentOption : -1;
}

bool OnSavedOutfitsPage() {
    return activeMenu && activeMenu->isOpen && activeMenu->currentSubmenuId == 1;
}

void CheckFrame(Player& player) {
    sim::Game& game = sim::TheGame();
    if (!game.UnknownCalls().empty()) {
        Broken("the plug-in called a native the game does not know");
    }
    if (!game.Misuses().empty()) {
        const sim::TraceEvent& misuse = game.Misuses().front();
        Broken("the plug-in misused " + std::string(misuse.Name()) + ": " + misuse.problem);
    }
    game.ClearTrace();

    if (activeMenu && activeMenu->isOpen && activeMenu->currentSubmenu != nullptr) {
        const auto& options = activeMenu->currentSubmenu->options;
        const int row = activeMenu->currentOption;
        if (!options.empty()) {
            if (row < 0 || row >= static_cast<int>(options.size())) {
                Broken("the current row " + std::to_string(row) + " lies outside the page");
            }
            if (options[static_cast<std::size_t>(row)].isHeading) {
                Broken("the cursor rests on a heading");
            }
        }
    }

    // A newly opened keyboard belongs to the row the player was on.
    const int opens = sim::NamingKeyboard().Opens();
    if (opens != player.keyboardOpens) {
        player.keyboardOpens = opens;
        player.namingRow = player.rowBefore;
    }

    const auto& shown = game.Notifications();
    for (; player.notificationsSeen < shown.size(); ++player.notificationsSeen) {
        const std::string& text = shown[player.notificationsSeen].text;
        if (text == "Successfully saved outfit") {
            if (player.namingRow < 6 || player.namingRow > 20) {
                Broken("an outfit was saved on a row the player did not name");
            }
            player.saved[player.namingRow] = player.typed;
        } else if (text == "Successfully deleted outfit") {
            if (player.saved.erase(player.rowBefore) != 1) {
                Broken("an outfit the player did not save was deleted");
            }
        }
    }
    if (FileOutfits(fuzz_support::ReadBytes(kOutfitFile)) != player.saved) {
        Broken("the outfit file does not hold exactly what the player saved");
    }
    player.rowBefore = OnSavedOutfitsPage() ? CurrentRow() : -1;
}

void Frame(Player& player) {
    sim::TheGame().RunFrame();
    CheckFrame(player);
}

std::string TypedName(FuzzedDataProvider& input) {
    std::string name = input.ConsumeRandomLengthString(kNameCharacters + 4);
    for (char& c : name) {
        c = static_cast<char>(0x20 + static_cast<unsigned char>(c) % 0x5F);  // printable ASCII
    }
    return name.substr(0, kNameCharacters);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz_support::ScratchFolder("scenario");
    sim::Game& game = sim::TheGame();
    game.Reset();
    fuzz_support::PrepareGameFolder(folder, fuzz_support::kEmptySavedOutfits,
                                    fuzz_support::kDefaultSettings);
    fuzz_support::StartPlugin();
    Player player;
    Frame(player);

    FuzzedDataProvider input(data, size);
    sim::ControlInput& controls = sim::Controls();
    bool shift = false;
    bool gamepad = false;
    for (int action = 0; action < kMostActions && input.remaining_bytes() > 0; ++action) {
        switch (input.ConsumeIntegralInRange(0, 16)) {
            case 0:
            case 1:
                controls.Press(kUp);
                break;
            case 2:
            case 3:
                controls.Press(kDown);
                break;
            case 4:
                controls.Press(kLeft);
                break;
            case 5:
                controls.Press(kRight);
                break;
            case 6:
                controls.Press(kSelect);
                break;
            case 7:
                controls.Press(kBack);
                break;
            case 8:
                controls.Press(kSave);
                break;
            case 9:
                game.KeyDown(kF9);
                Frame(player);
                game.KeyUp(kF9);
                break;
            case 10:
                shift = !shift;
                game.SendKeyboardMessage(kShift, !shift);
                break;
            case 11:
                if (sim::NamingKeyboard().IsOpen()) {
                    player.typed = TypedName(input);
                    sim::NamingKeyboard().Finish(player.typed);
                }
                break;
            case 12:
                sim::NamingKeyboard().Cancel();
                break;
            case 13:
                sim::NamingKeyboard().FinishNull();
                break;
            case 14:
                controls.Press(kChordFirst);
                controls.Press(kChordSecond);
                break;
            case 15:
                gamepad = !gamepad;
                controls.SetGamepad(gamepad);
                break;
            default:
                if (input.ConsumeIntegralInRange(0, 7) == 0) {
                    // A game restart: fresh plug-in state, the files kept.
                    fuzz_support::StopPlugin();
                    sim::NamingKeyboard().Cancel();
                    fuzz_support::StartPlugin();
                    player.namingRow = -1;
                    player.rowBefore = -1;
                    shift = false;
                }
                break;
        }
        Frame(player);
    }
    if (std::getenv("GARBOLT_FUZZ_VERBOSE") != nullptr) {
        // Replaying one input by hand: what the player saw.
        for (const sim::Notification& shown : game.Notifications()) {
            std::fprintf(stderr, "frame %llu: %s\n", static_cast<unsigned long long>(shown.frame),
                         shown.text.c_str());
        }
        std::fprintf(stderr, "%zu outfits saved\n", player.saved.size());
    }
    fuzz_support::StopPlugin();
    return 0;
}
