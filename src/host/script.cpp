#include "host/script.h"

#include <memory>

#include "host/controls.h"
#include "host/window.h"
#include "menu/menu.h"
#include "settings/settings.h"
#include "wardrobe/pages.h"
#include "wardrobe/scene.h"
#include "wardrobe/store.h"

namespace {

// Nothing may escape into the game: a failure that slipped past the checks
// costs this frame's work, never the game.
template <typename Work>
void RunGuarded(Work work) noexcept {
    try {
        work();
    } catch (...) {
    }
}

// A fresh menu on every start of the routine; the old one's prompts are
// dropped without telling the game.
void CreateMenu() {
    activeMenu = std::make_unique<Menu>();
    activeMenu->CreatePrompt(activeMenu->selectPrompt, "Select", game_controls::kSelect);
    activeMenu->CreatePrompt(activeMenu->backPrompt, "Back", game_controls::kBack);
    activeMenu->CreatePrompt(activeMenu->savePrompt, "Save Outfit", game_controls::kSaveOutfit);
}

void ShowFirstPage() {
    if (!activeMenu) {
        return;
    }
    auto first = Menu::submenuRegistry.find(0);
    if (first != Menu::submenuRegistry.end()) {
        activeMenu->currentSubmenu = &first->second;
    }
}

void RunFrame() {
    if (activeMenu) {
        activeMenu->Update();
    }
    UpdateWardrobe();
}

}  // namespace

// Each step is guarded on its own: one that fails (a file that cannot be
// read, memory running out) costs its own work and never skips the next, so
// a settings file that cannot be read still leaves the outfits' names loaded.
void ScriptStartUp() {
    RunGuarded(CreateMenu);
    RunGuarded(InitializeMenu);
    RunGuarded(ShowFirstPage);
    RunGuarded(loadSettings);
    RunGuarded(LoadCustomOutfitNames);
    RunGuarded(MeasureGameWindow);
}

void ScriptFrame() {
    RunGuarded(ShowFinishedStoreWork);
    RunGuarded(RunFrame);
}

void ScriptUnload() {
    RunGuarded(ResetStore);
}

void ScriptMain() {
    ScriptStartUp();
    for (;;) {
        ScriptFrame();
        platform::scriptWait(0);
    }
}
