#include "wardrobe/pages.h"

#include "menu/menu.h"
#include "settings/settings.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfits.h"
#include "wardrobe/store.h"

namespace {

constexpr const char* kMenuTitle = "WARDROBE";
constexpr const char* kCreditText = "Garbolt wardrobe - change clothes anywhere";

using namespace wardrobe_layout;

constexpr const char* kGameOutfitDescription = "Equip this vanilla custom saved outfit";
constexpr const char* kCustomOutfitDescription = "Equip this custom saved outfit";
constexpr const char* kPresetDescription = "Equip this preset outfit";

constexpr const char* kGameOutfitLabels[] = {
    "Saved Custom Outfit One", "Saved Custom Outfit Two", "Saved Custom Outfit Three",
    "Saved Custom Outfit Four", "Saved Custom Outfit Five"};

// The two presets that are known by name; their hashes are asked of the game
// each time they are put on.
constexpr const char* kCoolWeatherOutfit = "META_OUTFIT_COOL_WEATHER";
constexpr const char* kHotWeatherOutfit = "META_OUTFIT_HOT_WEATHER";

struct FixedPreset {
    const char* label;
    std::uint32_t hash;
};
constexpr FixedPreset kFixedPresets[] = {{"The Winter Gunslinger", 0xD07C121B},
                                         {"The Grizzlies Outlaw", 0xFD336722},
                                         {"Brawler's Outfit", 0xE912786E},
                                         {"The Ruffian", 0xDACBDBE1},
                                         {"The Rebel", 0xAD848153},
                                         {"The Innocent", 0x1209CA5C},
                                         {"The Pursuer", 0x07C7B5D8}};

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
    page->AddOption("The Gunslinger", kPresetDescription,
                    [] { EquipPreset(GameNameHash(kCoolWeatherOutfit)); });
    page->AddOption("The Summer Gunslinger", kPresetDescription,
                    [] { EquipPreset(GameNameHash(kHotWeatherOutfit)); });
    for (const FixedPreset& preset : kFixedPresets) {
        const std::uint32_t hash = preset.hash;
        page->AddOption(preset.label, kPresetDescription, [hash] { EquipPreset(hash); });
    }
}

void BuildSettingsPage(Submenu* page) {
    page->AddBoolOption("Use Wardrobe Camera",
                        "Create a camera facing the player when using the wardrobe", &useCamera);
    page->AddBoolOption("Draw Light", "Draw a light in front of the player while in the wardrobe",
                        &drawLight);
    page->AddOption("Save Settings", "Save Current Settings", saveSettings);
}

void InitializeMenu() {
    Menu::AddSubmenu(kMenuTitle, "Change Clothes", kMainPage, 8, BuildMainPage);
    Menu::AddSubmenu(kMenuTitle, "Saved Custom Outfits", kSavedOutfitsPage, 12,
                     BuildSavedOutfitsPage);
    Menu::AddSubmenu(kMenuTitle, "Preset Outfits", kPresetsPage, 12, BuildPresetsPage);
    Menu::AddSubmenu(kMenuTitle, "Settings", kSettingsPage, 12, BuildSettingsPage);
}
