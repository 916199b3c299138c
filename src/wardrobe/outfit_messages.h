// What the game says about the outfit file, in its own words. The plug-in
// shows these (a failure in red, "~COLOR_RED~...~s~"); garbolt-outfits quotes
// them to tell a player what the game will say about a file.
#pragma once

#include <cstdint>
#include <string>

namespace outfit_messages {

// Why an operation could not read the file; it then changes nothing.
constexpr const char* kNotXml = "Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.";
constexpr const char* kNotPlainFile =
    "Failed to load Garbolt/SavedOutfits.xml. It is not a plain file.";
constexpr const char* kUnreadable =
    "Failed to load Garbolt/SavedOutfits.xml. The file cannot be read.";
constexpr const char* kTooLarge = "Failed to load Garbolt/SavedOutfits.xml. The file is too large.";

// At start, for the outfit that stops loading, named by its row index.
inline std::string SlotOutOfRange(std::int32_t rowIndex) {
    return "[Wardrobe]: Slot index " + std::to_string(rowIndex) + " out of range";
}
// An equip of an outfit over the item cap, which puts on none of its items.
constexpr const char* kTooManyItems = "Failed to equip outfit: it holds too many items";

}  // namespace outfit_messages
