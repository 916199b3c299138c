// Where things sit on the wardrobe's pages. The saved-outfits page holds the
// game's five outfits on rows 0 to 4, a heading on row 5 and the fifteen
// custom outfits on rows 6 to 20. A row's slot number, which the menu's
// callbacks take and the player sees as the row counter, is the row + 1;
// the outfit file and savedSlots hold the row itself.
#pragma once

#include <cstdint>

namespace wardrobe_layout {

// The wardrobe's pages, by the submenu id the menu knows each by.
enum Page : std::int32_t {
    kMainPage = 0,
    kSavedOutfitsPage = 1,
    kPresetsPage = 2,
    kSettingsPage = 3
};

// Rows of the saved-outfits page, 0-based.
constexpr std::int32_t kGameOutfitRows = 5;  // rows 0 to 4: the game's own saved outfits
constexpr std::int32_t kHeadingRow = 5;
constexpr std::int32_t kFirstCustomRow = 6;
constexpr std::int32_t kLastCustomRow = 20;
constexpr std::int32_t kCustomRows = kLastCustomRow - kFirstCustomRow + 1;

constexpr std::int32_t SlotOfRow(std::int32_t row) {
    return row + 1;
}
constexpr bool IsCustomRow(std::int32_t row) {
    return row >= kFirstCustomRow && row <= kLastCustomRow;
}
// Compared on the slot itself, so that no slot number from a file can
// overflow on its way to a row.
constexpr bool IsCustomSlot(std::int32_t slot) {
    return slot >= SlotOfRow(kFirstCustomRow) && slot <= SlotOfRow(kLastCustomRow);
}

}  // namespace wardrobe_layout
