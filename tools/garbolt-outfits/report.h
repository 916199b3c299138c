// What the plug-in makes of an outfit file: each outfit with its place in
// the file, whether the game shows it, and what is wrong with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "locations.h"
#include "wardrobe/outfit_scan.h"

namespace garbolt_outfits {

// A Hash whose number lies outside the signed 32-bit range that the plug-in
// reads: as_int saturates it, so the game gets another value than meant.
struct OutOfRangeHash {
    pugi::xml_node node;
    Location location;
    std::string text;             // the number as written, without surrounding blanks
    std::int32_t asRead = 0;      // what the plug-in reads (a saturated bound)
    bool hasSignedForm = false;   // an unsigned 32-bit value, 2^31 to 2^32 - 1
    std::int32_t signedForm = 0;  // the same 32 bits as the plug-in writes them
};

// Characters as the game counts them: bytes that are no UTF-8 continuation byte.
std::size_t CharactersIn(const std::string& text);

// One stored outfit as the plug-in reads it: what the scan tells of it, and
// the details the tool shows.
struct OutfitReport {
    pugi::xml_node node;
    int number = 0;  // 1-based position among the first root's outfits
    outfit_file::OutfitStatus status = outfit_file::OutfitStatus::Placed;
    int duplicateOf = 0;       // number of the earlier outfit on the same row, or 0
    bool overItemCap = false;  // equipping it puts on none of its items
    Location location;
    std::string name;
    std::string shownName;  // the name as the game shows it: cut to 30 characters, 120 bytes
    bool hasName = false;
    bool hasSlot = false;       // a Slot element with some text
    std::string slotText;       // as written
    Location slotLocation;      // the Slot element, or the outfit when there is none
    std::int32_t rowIndex = 0;  // as_int of the Slot text, as the plug-in reads it
    bool inRange = false;       // rowIndex is a custom row, 6 to 20
    std::size_t items = 0;      // non-empty entries (item hash not 0)
    std::size_t componentCount = 0;
    std::size_t wearableCount = 0;
    std::vector<OutOfRangeHash> outOfRangeHashes;  // Components first, then Wearables

    // The name is longer than the game shows.
    bool NameCut() const { return shownName.size() != name.size(); }
    // The game shows this outfit on its row and equipping the row wears it.
    bool Usable() const { return status == outfit_file::OutfitStatus::Placed; }
};

// An Outfit element the game never looks at: not a child of the first
// Garbolt root (under a second root, in a wrapper, anywhere deeper).
struct UnseenOutfit {
    Location location;
    std::string name;
};

struct StoreReport {
    bool hasRoot = false;
    std::vector<OutfitReport> outfits;
    std::vector<UnseenOutfit> unseen;

    // Every outfit is shown and can be worn.
    bool AllUsable() const;
    // Rows (0-based) that no outfit of the file claims, lowest first.
    std::vector<std::int32_t> FreeRows() const;
    // The first outfit filed under a row, whichever its place; null if none.
    const OutfitReport* OutfitOnRow(std::int32_t rowIndex) const;
};

// The document's outfits as the plug-in's scan finds them, in order.
StoreReport AnalyseStore(const pugi::xml_document& document, const std::string& bytes);

// The player's row number (1-based, 7 to 21 for custom rows) of a row index,
// wide enough for any index a file can hold.
inline std::int64_t RowNumberOf(std::int32_t rowIndex) {
    return static_cast<std::int64_t>(rowIndex) + 1;
}

}  // namespace garbolt_outfits
