// The custom outfit store: up to fifteen outfits of the player's own, kept in
// ./Garbolt/SavedOutfits.xml and shown on rows 6 to 20 of the saved-outfits
// page. Every operation reads the whole file anew; a change writes it whole,
// through a temporary file that replaces the old one in one step. The file
// work of a large file runs away from the game's thread (store_worker.h):
// the operation's outcome then shows at a later frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Option;

// Rows (0-based, 6 to 20) of the saved-outfits page that hold a stored outfit.
extern std::vector<std::int32_t> savedSlots;

// At start: names the custom rows after the stored outfits and fills savedSlots.
void LoadCustomOutfitNames();
// Puts on the outfit stored for slot number 7 to 21 (row + 1).
void EquipCustomOutfit(std::int32_t slotNumber);
// Stores what the character wears now under `name` for slot number 7 to 21.
void SaveCustomOutfit(const char* name, std::int32_t slotNumber);
// Removes the outfit stored for slot number 7 to 21.
void DeleteCustomOutfit(std::int32_t slotNumber);

// Called every frame: shows the outcome of file work that finished away
// from the game's thread.
void ShowFinishedStoreWork();
// Waits until every operation asked for is done and its outcome shown.
void FinishStoreWork();
// As at load: no work waiting or running, no row known to be taken.
void ResetStore();

// "Saved Custom Outfit " and the row's number word ("Six" to "Twenty").
std::string DefaultCustomRowLabel(std::int32_t rowIndex);

// Row `rowIndex` of the saved-outfits page itself, wherever the cursor is;
// null when the page has no such row.
Option* SavedOutfitsRow(std::int32_t rowIndex);
