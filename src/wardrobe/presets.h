// The preset outfits, one row each, in the order of the presets page: the
// plug-in builds the page from this table, and the simulated game gives
// Arthur the same outfits.
#pragma once

#include <cstdint>

namespace wardrobe_presets {

struct Preset {
    const char* label;
    const char* description;
    // The outfit: by the game's name for it, whose hash is asked of the game
    // each time it is put on, or (with no name) by its hash.
    const char* gameName;
    std::uint32_t hash;
};

inline constexpr Preset kPresets[] = {
    {"The Gunslinger", "Equip this preset outfit", "META_OUTFIT_COOL_WEATHER", 0},
    {"The Summer Gunslinger", "Equip this preset outfit", "META_OUTFIT_HOT_WEATHER", 0},
    {"The Winter Gunslinger", "Equip this preset outfit", nullptr, 0xD07C121B},
    {"The Grizzlies Outlaw", "Equip this preset outfit", nullptr, 0xFD336722},
    {"Brawler's Outfit", "Equip this preset outfit", nullptr, 0xE912786E},
    {"The Ruffian", "Equip this preset outfit", nullptr, 0xDACBDBE1},
    {"The Rebel", "Equip this preset outfit", nullptr, 0xAD848153},
    {"The Innocent", "Equip this preset outfit", nullptr, 0x1209CA5C},
    {"The Pursuer", "Equip this preset outfit", nullptr, 0x07C7B5D8},
};

}  // namespace wardrobe_presets
