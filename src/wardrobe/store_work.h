// The file side of the custom outfit store: each operation reads
// ./Garbolt/SavedOutfits.xml whole, acts on it, writes it back whole when it
// changes it, and says what the game should show for it. It calls no native
// and touches no page, so it may run away from the game's thread; the store
// (store.h) asks for the work and shows its outcome.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wardrobe/outfit_file.h"

namespace store_work {

enum class Operation { Load, Equip, Save, Delete };

// What an operation is asked to do, with everything it needs from the game
// taken when the player asked.
struct Request {
    Operation operation = Operation::Load;
    std::int32_t rowIndex = 0;        // Equip, Save, Delete
    std::string typedName;            // Save: cut, and mended to UTF-8
    outfit_file::OutfitEntries worn;  // Save: the 39 entries worn then
    bool shownTaken = false;          // Delete: the row showed an outfit,
    std::string shownName;            // under this name
};

// An outfit the start places on a custom row, with the name its row shows.
struct PlacedOutfit {
    std::int32_t rowIndex = 0;
    std::string shownName;
};
// Every placed outfit of the file, in document order.
using Placement = std::vector<PlacedOutfit>;

// The items an equip puts on, and the state of each.
struct WornOutfit {
    std::vector<std::uint32_t> items;
    std::vector<std::uint32_t> states;
};

// What the game shows for a finished operation, in this order: the page
// follows the file as read, a message, the outfit put on, and the page
// follows the file as written.
struct Outcome {
    std::optional<Placement> placedBefore;
    // Empty for no message. A fixed buffer, so that work that ran out of
    // memory can still say so.
    char message[256] = {};
    std::optional<WornOutfit> wear;
    std::optional<Placement> placedAfter;
};

// The red message of a save or delete that could not be done at all.
const char* FailureMessage(Operation operation);

// Does the work. It never throws: work that ran out of memory midway has
// written nothing, and a save or delete then says it failed.
Outcome Run(const Request& request) noexcept;

}  // namespace store_work
