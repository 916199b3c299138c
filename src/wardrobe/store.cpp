#include "wardrobe/store.h"

#include <algorithm>
#include <limits>

#include <pugixml.hpp>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/notification.h"
#include "menu/menu.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/outfits.h"

std::vector<std::int32_t> savedSlots;

namespace {

using outfit_file::FindOutfit;
using outfit_file::FirstOutfit;
using outfit_file::kOutfitEntries;
using outfit_file::kOutfitFilePath;
using outfit_file::NextOutfit;
using namespace game_natives;
using outfit_file::RootOf;
using outfit_file::RowIndexOf;
using outfit_file::ShownNameOf;

// The lowest slot number has no row before it: subtracting would overflow.
constexpr std::int32_t kNoRowSlot = std::numeric_limits<std::int32_t>::min();

std::int32_t RowIndexOfSlot(std::int32_t slotNumber) {
    return slotNumber > kNoRowSlot ? slotNumber - 1 : kNoRowSlot;
}

// Game outfit record 0 holds what the character wears: entry k's item at
// global 26826 + 3k and its state at 26827 + 3k.
constexpr std::int32_t kWornItemGlobal = 26826;
constexpr std::int32_t kWornStateGlobal = 26827;
constexpr std::int32_t kEntryStride = 3;

// The worn-outfit bookkeeping, as after a game outfit, with slot 0.
constexpr std::int32_t kWornLabelGlobal = 1948301;
constexpr std::int32_t kWornLabelCopyGlobal = 1948182;
constexpr std::int32_t kWornSlotGlobal = 7769;
constexpr std::int32_t kCustomSlotFlagsGlobal = 7198;
constexpr std::uint64_t kSlotWornFlag = 0x1000;
constexpr std::int32_t kWornSlotCopyGlobal = 27572;
constexpr std::int32_t kWornSlotThirdGlobal = 1905941;
constexpr const char* kCustomOutfitLabel = "CLOTHING_CUSTOM_ONE_OUTFIT";

using wardrobe_layout::IsCustomRow;
using wardrobe_layout::IsCustomSlot;
using wardrobe_layout::kFirstCustomRow;
using wardrobe_layout::kSavedOutfitsPage;

constexpr const char* kLoadFailedMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";
constexpr const char* kNoCustomOutfitMessage = "[Custom]: There is no saved outfit in this slot";
constexpr const char* kBadSlotMessage = "~COLOR_RED~Cannot save outfit: bad slot index~s~";
constexpr const char* kSavedMessage = "Successfully saved outfit";
constexpr const char* kSaveFailedMessage = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kDeleteNotFoundMessage =
    "~COLOR_RED~Failed to delete outfit, slot not found~s~";
constexpr const char* kDeleteFailedMessage = "~COLOR_RED~Failed to delete outfit~s~";
constexpr const char* kDeletedMessage = "Successfully deleted outfit";

bool LoadStore(pugi::xml_document& document) {
    if (!outfit_file::LoadOutfitFile(kOutfitFilePath, document).Loaded()) {
        ShowNotification(kLoadFailedMessage);
        return false;
    }
    return true;
}

bool WriteStore(const pugi::xml_document& document) {
    return outfit_file::SaveOutfitFile(kOutfitFilePath, document);
}

void RelabelRow(std::int32_t rowIndex, const std::string& label) {
    if (Option* option = SavedOutfitsRow(rowIndex)) {
        option->SetText(label);
    }
}

bool IsListed(std::int32_t rowIndex) {
    return std::find(savedSlots.begin(), savedSlots.end(), rowIndex) != savedSlots.end();
}

// The 39 entries of the worn outfit, item and state of each in turn.
outfit_file::OutfitEntries WornEntries() {
    outfit_file::OutfitEntries entries;
    for (int k = 0; k < kOutfitEntries; ++k) {
        entries.items.push_back(
            static_cast<std::uint32_t>(ReadGlobal(kWornItemGlobal + kEntryStride * k)));
        entries.states.push_back(
            static_cast<std::uint32_t>(ReadGlobal(kWornStateGlobal + kEntryStride * k)));
    }
    return entries;
}

}  // namespace

Option* SavedOutfitsRow(std::int32_t rowIndex) {
    auto page = Menu::submenuRegistry.find(kSavedOutfitsPage);
    if (page == Menu::submenuRegistry.end() || rowIndex < 0 ||
        rowIndex >= static_cast<std::int32_t>(page->second.options.size())) {
        return nullptr;
    }
    return &page->second.options[static_cast<std::size_t>(rowIndex)];
}

std::string DefaultCustomRowLabel(std::int32_t rowIndex) {
    static const char* const kWords[] = {"Six",     "Seven",     "Eight",    "Nine",     "Ten",
                                         "Eleven",  "Twelve",    "Thirteen", "Fourteen", "Fifteen",
                                         "Sixteen", "Seventeen", "Eighteen", "Nineteen", "Twenty"};
    const std::int32_t word = IsCustomRow(rowIndex) ? rowIndex - kFirstCustomRow : 0;
    return std::string("Saved Custom Outfit ") + kWords[word];
}

// A second start of the script routine rebuilds the pages with their default
// labels, so the list of taken rows starts again too.
void LoadCustomOutfitNames() {
    savedSlots.clear();
    pugi::xml_document document;
    if (!LoadStore(document)) {
        return;
    }
    pugi::xml_node root = RootOf(document);
    for (pugi::xml_node outfit = FirstOutfit(root); outfit; outfit = NextOutfit(outfit)) {
        const std::int32_t rowIndex = RowIndexOf(outfit);
        if (!IsCustomRow(rowIndex)) {
            ShowNotification(
                ("[Wardrobe]: Slot index " + std::to_string(rowIndex) + " out of range").c_str());
            return;
        }
        Option* option = SavedOutfitsRow(rowIndex);
        if (option == nullptr) {
            continue;
        }
        savedSlots.push_back(rowIndex);
        option->SetText(ShownNameOf(outfit));
    }
}

void EquipCustomOutfit(std::int32_t slotNumber) {
    pugi::xml_document document;
    if (!LoadStore(document)) {
        return;
    }
    const std::int32_t rowIndex = RowIndexOfSlot(slotNumber);
    pugi::xml_node found;
    if (IsCustomRow(rowIndex)) {
        found = FindOutfit(RootOf(document), rowIndex);
    }
    if (!found) {
        ShowNotification(kNoCustomOutfitMessage);
        return;
    }
    CallNative(kClothingResetNative, PlayerCharacter());
    const std::vector<std::uint32_t> items =
        outfit_file::ReadHashes(found.child(outfit_file::kComponentsElement));
    for (std::uint32_t item : items) {
        if (item != 0) {
            PutOnItem(PlayerCharacter(), item, false);
        }
    }
    const std::vector<std::uint32_t> states =
        outfit_file::ReadHashes(found.child(outfit_file::kWearablesElement));
    for (std::size_t k = 0; k < states.size(); ++k) {
        if (states[k] != 0 && k < items.size()) {
            SetItemState(PlayerCharacter(), items[k], states[k]);
        }
    }
    WriteGlobal(kWornLabelGlobal, GameNameHash(kCustomOutfitLabel));
    WriteGlobal(kWornLabelCopyGlobal, GameNameHash(kCustomOutfitLabel));
    WriteGlobal(kWornSlotGlobal, 0);
    WriteGlobal(kCustomSlotFlagsGlobal, ReadGlobal(kCustomSlotFlagsGlobal) | kSlotWornFlag);
    WriteGlobal(kWornSlotCopyGlobal, 0);
    WriteGlobal(kWornSlotThirdGlobal, 0);
    CallNative(kOutfitSettleNative, PlayerCharacter(), 0);
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 0, 1, 1, 0);
    const Option* option = activeMenu ? activeMenu->SelectedOption() : nullptr;
    ShowEquipped(option ? option->label : std::string());
}

// Saving into a row the file already holds replaces that outfit rather than
// adding to it, and the row is marked taken only once the file is on disk.
// When loading stopped early, a new outfit goes before the outfit it stopped
// at, where the next start finds it; an outfit hidden after that place on
// the same row is kept, not replaced.
void SaveCustomOutfit(const char* name, std::int32_t slotNumber) {
    if (!IsCustomSlot(slotNumber)) {
        ShowNotification(kBadSlotMessage);
        return;
    }
    pugi::xml_document document;
    if (!LoadStore(document)) {
        return;
    }
    pugi::xml_node root = RootOf(document);
    if (!root) {
        // Not our file's shape: it is left exactly as the player has it.
        ShowNotification(kSaveFailedMessage);
        return;
    }
    const std::int32_t rowIndex = slotNumber - 1;
    const std::string typedName = name != nullptr ? name : "";
    pugi::xml_node outfit = outfit_file::FindLoadedOutfit(root, rowIndex);
    if (outfit) {
        outfit_file::ReplaceOutfit(outfit, typedName, WornEntries());
    } else {
        outfit_file::InsertOutfit(root, outfit_file::LoadingStop(root), typedName, rowIndex,
                                  WornEntries());
    }
    if (!WriteStore(document)) {
        ShowNotification(kSaveFailedMessage);
        return;
    }
    if (!IsListed(rowIndex)) {
        savedSlots.push_back(rowIndex);
    }
    ShowNotification(kSavedMessage);
    RelabelRow(rowIndex, typedName);
}

void DeleteCustomOutfit(std::int32_t slotNumber) {
    pugi::xml_document document;
    if (!LoadStore(document)) {
        return;
    }
    const std::int32_t rowIndex = RowIndexOfSlot(slotNumber);
    pugi::xml_node root = RootOf(document);
    pugi::xml_node outfit = slotNumber > kNoRowSlot ? FindOutfit(root, rowIndex) : pugi::xml_node();
    if (!outfit) {
        ShowNotification(kDeleteNotFoundMessage);
        return;
    }
    outfit_file::RemoveSubtree(outfit);
    if (!WriteStore(document)) {
        ShowNotification(kDeleteFailedMessage);
        return;
    }
    ShowNotification(kDeletedMessage);
    auto listed = std::find(savedSlots.begin(), savedSlots.end(), rowIndex);
    if (listed != savedSlots.end()) {
        savedSlots.erase(listed);
    }
    // A second outfit filed under the same row keeps the row taken; the row
    // then shows that outfit's name rather than claiming to be free.
    pugi::xml_node remaining = FindOutfit(root, rowIndex);
    if (remaining && IsListed(rowIndex)) {
        RelabelRow(rowIndex, ShownNameOf(remaining));
    } else {
        RelabelRow(rowIndex, DefaultCustomRowLabel(rowIndex));
    }
}
