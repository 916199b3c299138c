#include "wardrobe/pages.h"

#include "menu/menu.h"
#include "settings/settings.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfits.h"
#include "wardrobe/presets.h"
#include "wardrobe/store.h"

namespace {

constexpr const char* kMenuTitle = "WARDROBE";
constexpr const char* kCreditText = "Garbolt wardrobe - change clothes anywhere";

using namespace wardrobe_layout;

constexpr const char* kGameOutfitDescription = "Equip this vanilla custom saved outfit";
constexpr const char* kCustomOutfitDescription = "Equip this custom saved outfit";

constexpr const char* kGameOutfitLabels[] = {
    "Saved Custom Outfit One", "Saved Custom Outfit Two", "Saved Custom Outfit Three",
    "Saved Custom Outfit Four", "Saved Custom Outfit Five"};

}  // namespace

void BuildMainPage(Submenu* page) {
    page->AddSubmenuOption("Saved Outfits", kCreditText, kSavedOutfitsPage);
    page->AddSubmenuOption("Preset Outfits", kCreditText, kPresetsPage);
    page->AddSubmenuOption("Settings", kCreditText, kSettingsPage);
}

void BuildSavedOutfitsPage(Submenu* page) {
    for (std::int32_t slot = SlotOfRow(0); slot <= SlotOfRow(kGameOutfitRows - 1); ++slot) {
        page->AddOption(kGameOutfitLabels[slot - 1], kGameOutfitDescription,
                        [slot] { EquipGameOutfit(slot); });
    }
    page->AddHeading("Garbolt Outfits");
    for (std::int32_t row = kFirstCustomRow; row <= kLastCustomRow; ++row) {
        const std::int32_t slot = SlotOfRow(row);
        page->AddOption(DefaultCustomRowLabel(row), kCustomOutfitDescription,
                        [slot] { EquipCustomOutfit(slot); });
    }
}

void BuildPresetsPage(Submenu* page) {
    for (const wardrobe_presets::Preset& preset : wardrobe_presets::kPresets) {
        const char* gameName = preset.gameName;
        const std::uint32_t hash = preset.hash;
        page->AddOption(preset.label, preset.description, [gameName, hash] {
            EquipPreset(gameName != nullptr ? GameNameHash(gameName) : hash);
        });
    }
}

void BuildSettingsPage(Submenu* page) {
    for (const Setting& setting : kSettings) {
        if (OnSettingsPage(setting)) {
            page->AddBoolOption(setting.label, setting.description, setting.toggle);
        }
    }
    page->AddOption("Save Settings", "Save Current Settings", saveSettings);
}

void InitializeMenu() {
    Menu::AddSubmenu(kMenuTitle, "Change Clothes", kMainPage, 8, BuildMainPage);
    Menu::AddSubmenu(kMenuTitle, "Saved Custom Outfits", kSavedOutfitsPage, 12,
                     BuildSavedOutfitsPage);
    Menu::AddSubmenu(kMenuTitle, "Preset Outfits", kPresetsPage, 12, BuildPresetsPage);
    Menu::AddSubmenu(kMenuTitle, "Settings", kSettingsPage, 12, BuildSettingsPage);
}
