// Which outfits of the outfit file the game shows, and where: the loading
// rule, written once. The start-up, every equip, save and delete, and the
// garbolt-outfits tool all go by one scan of the document.
#pragma once

#include <cstdint>
#include <vector>

#include <pugixml.hpp>

#include "wardrobe/outfit_file.h"

namespace outfit_file {

// What the start makes of an Outfit element.
enum class OutfitStatus {
    // On its row: the row shows its name.
    Placed,
    // On the row of an earlier outfit: applied in turn, so the row shows
    // this one's name, but equipping the row wears the earlier one.
    Duplicate,
    // The first outfit without a custom row (its Slot missing or outside 6
    // to 20): the start stops here and says so.
    StopsLoading,
    // After the outfit that stops loading: never placed.
    Hidden,
    // Not a child of the first Garbolt root (under a second root, in a
    // wrapper, anywhere deeper): the game never looks at it.
    OutsideFirstRoot,
};

struct ScannedOutfit {
    pugi::xml_node node;
    int number = 0;             // 1-based among the first root's outfits; 0 outside it
    std::int32_t rowIndex = 0;  // RowIndexOf the outfit
    OutfitStatus status = OutfitStatus::Placed;
    // The number of the earlier outfit of the first root on the same custom
    // row, whether loading reaches this one or not (equipping the row always
    // wears the first); 0 when there is none.
    int duplicateOf = 0;

    // Holds more items than one equip puts on: equipping it puts on none.
    // Counted when asked, not in the scan: only an equip and the tool need it.
    bool OverItemCap() const { return HasTooManyItems(node); }

    // The start places it on its row.
    bool Loaded() const {
        return status == OutfitStatus::Placed || status == OutfitStatus::Duplicate;
    }
};

struct OutfitScan {
    pugi::xml_node root;                 // the first Garbolt element; empty when there is none
    std::vector<ScannedOutfit> outfits;  // every Outfit element, in document order

    // The outfit that stops loading; null when the start places them all.
    const ScannedOutfit* Stop() const;
    // The first outfit of the first root filed under this custom row, before
    // the stop or after it: the one that equipping the row wears.
    const ScannedOutfit* FirstOnRow(std::int32_t rowIndex) const;
    // The first outfit the start places on this row.
    const ScannedOutfit* LoadedOnRow(std::int32_t rowIndex) const;
};

// How far a scan looks. The game acts only on the first root's outfits, and
// walking every node of a large file would cost its frame several
// milliseconds; the tool looks everywhere, to name the outfits the game
// never sees.
enum class ScanReach {
    FirstRoot,      // the first root's children
    WholeDocument,  // every node, so outfits outside the first root are listed too
};

// Goes once through the first root's children or the whole document, in a
// loop (the file decides how deep it nests), and tells each Outfit element's
// status. The result points into the document, and holds good until the
// document changes.
OutfitScan ScanOutfits(const pugi::xml_document& document, ScanReach reach);

}  // namespace outfit_file
