#include "wardrobe/store.h"

#include <algorithm>
#include <exception>
#include <limits>

#include <pugixml.hpp>

#include "host/files.h"
#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/notification.h"
#include "menu/menu.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/outfit_globals.h"
#include "wardrobe/outfits.h"
#include "wardrobe/xml_reserve.h"

std::vector<std::int32_t> savedSlots;

namespace {

using outfit_file::FindOutfit;
using outfit_file::FirstOutfit;
using outfit_file::kOutfitEntries;
using outfit_file::kOutfitFilePath;
using outfit_file::NextOutfit;
using namespace game_natives;
using namespace outfit_globals;
using outfit_file::RootOf;
using outfit_file::RowIndexOf;
using outfit_file::ShownNameOf;

// The lowest slot number has no row before it: subtracting would overflow.
constexpr std::int32_t kNoRowSlot = std::numeric_limits<std::int32_t>::min();

std::int32_t RowIndexOfSlot(std::int32_t slotNumber) {
    return slotNumber > kNoRowSlot ? slotNumber - 1 : kNoRowSlot;
}

// The custom outfit is worn as slot 0, under this label.
constexpr const char* kCustomOutfitLabel = "CLOTHING_CUSTOM_ONE_OUTFIT";

using wardrobe_layout::IsCustomRow;
using wardrobe_layout::IsCustomSlot;
using wardrobe_layout::kFirstCustomRow;
using wardrobe_layout::kSavedOutfitsPage;

constexpr const char* kLoadFailedMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";
constexpr const char* kNotPlainFileMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. It is not a plain file.~s~";
constexpr const char* kUnreadableMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file cannot be read.~s~";
constexpr const char* kTooLargeMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file is too large.~s~";
constexpr const char* kTooManyItemsMessage =
    "~COLOR_RED~Failed to equip outfit: it holds too many items~s~";
constexpr const char* kHeldFileMessage =
    "~COLOR_RED~Failed to save outfit: Garbolt/SavedOutfits.xml is in use by another program~s~";
constexpr const char* kDeleteHeldFileMessage =
    "~COLOR_RED~Failed to delete outfit: Garbolt/SavedOutfits.xml is in use by another "
    "program~s~";
constexpr const char* kNoCustomOutfitMessage = "[Custom]: There is no saved outfit in this slot";
constexpr const char* kBadSlotMessage = "~COLOR_RED~Cannot save outfit: bad slot index~s~";
constexpr const char* kSavedMessage = "Successfully saved outfit";
constexpr const char* kSaveFailedMessage = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kNoFolderMessage =
    "~COLOR_RED~Failed to save outfit: Unable to find the Garbolt folder~s~";
constexpr const char* kSlotTakenMessage =
    "~COLOR_RED~Failed to save outfit: this slot is already taken~s~";
constexpr const char* kSaveNotUtf8Message =
    "~COLOR_RED~Failed to save outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~";
constexpr const char* kDeleteNotFoundMessage =
    "~COLOR_RED~Failed to delete outfit, slot not found~s~";
constexpr const char* kDeleteChangedMessage =
    "~COLOR_RED~Failed to delete outfit: the slot holds another outfit now~s~";
constexpr const char* kDeleteNotUtf8Message =
    "~COLOR_RED~Failed to delete outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~";
constexpr const char* kDeleteFailedMessage = "~COLOR_RED~Failed to delete outfit~s~";
constexpr const char* kDeletedMessage = "Successfully deleted outfit";

// The folder a first save creates the file in; it is never created itself.
constexpr const char* kOutfitFolder = "./Garbolt";

// The file as an operation found it, parsed inside the reserve's buffer,
// which the next operation reads the file into again.
struct StoreFile {
    xml_reserve::Scope reserve;  // first: it outlives the document
    pugi::xml_document document;
    bool missing = false;  // no file yet: an empty store, which a save creates
    bool byteOrderMark = false;
    bool utf8 = true;  // may be written back with a change
    bool shallow = true;  // as loaded: a save or delete keeps it so
};

// Reads the file for an operation; false, with the reason told, when it
// cannot act on it. A missing file is the empty store and no failure.
bool ReadStore(StoreFile& file) {
    const outfit_file::InPlaceLoad result = outfit_file::LoadOutfitFileInPlace(
        kOutfitFilePath, file.document, file.reserve.FileBytes());
    switch (result.read) {
        case files::ReadStatus::Missing:
            file.missing = true;
            return true;
        case files::ReadStatus::NotPlainFile:
            ShowNotification(kNotPlainFileMessage);
            return false;
        case files::ReadStatus::TooLarge:
            ShowNotification(kTooLargeMessage);
            return false;
        case files::ReadStatus::Unreadable:
            ShowNotification(kUnreadableMessage);
            return false;
        case files::ReadStatus::Read:
            break;
    }
    if (result.parse.status == pugi::status_out_of_memory) {
        ShowNotification(kUnreadableMessage);
        return false;
    }
    if (!result.parse) {
        ShowNotification(kLoadFailedMessage);
        return false;
    }
    file.byteOrderMark = result.byteOrderMark;
    file.utf8 = result.utf8Bytes && outfit_file::DeclaresUtf8(file.document);
    file.shallow = result.shallow;
    return true;
}

bool WriteStore(const StoreFile& file) {
    return outfit_file::SaveOutfitFile(kOutfitFilePath, file.document, file.byteOrderMark,
                                       file.shallow);
}

void RelabelRow(std::int32_t rowIndex, const std::string& label) {
    Option* option = SavedOutfitsRow(rowIndex);
    if (option != nullptr && option->label != label) {
        option->SetText(label);
    }
}

// Makes every custom row and savedSlots show what the file holds, placing
// the outfits as the start does: in document order, up to the first one
// without a row. Returns that one (empty when every outfit has a row).
pugi::xml_node FollowFile(pugi::xml_node root) {
    savedSlots.clear();
    for (std::int32_t row = kFirstCustomRow; IsCustomRow(row); ++row) {
        RelabelRow(row, DefaultCustomRowLabel(row));
    }
    for (pugi::xml_node outfit = FirstOutfit(root); outfit; outfit = NextOutfit(outfit)) {
        const std::int32_t rowIndex = RowIndexOf(outfit);
        if (!IsCustomRow(rowIndex)) {
            return outfit;
        }
        if (SavedOutfitsRow(rowIndex) != nullptr) {
            savedSlots.push_back(rowIndex);
            RelabelRow(rowIndex, ShownNameOf(outfit));
        }
    }
    return pugi::xml_node();
}

bool IsListed(std::int32_t rowIndex) {
    return std::find(savedSlots.begin(), savedSlots.end(), rowIndex) != savedSlots.end();
}

// Of the outfits the page places on the row, the last one shown as `label`:
// with two on a row, the later one's name is the one the row shows.
pugi::xml_node OutfitShownAs(pugi::xml_node root, std::int32_t rowIndex, const std::string& label) {
    pugi::xml_node shown;
    for (pugi::xml_node outfit = FirstOutfit(root); outfit; outfit = NextOutfit(outfit)) {
        const std::int32_t row = RowIndexOf(outfit);
        if (!IsCustomRow(row)) {
            break;
        }
        if (row == rowIndex && ShownNameOf(outfit) == label) {
            shown = outfit;
        }
    }
    return shown;
}

// The 39 entries of the worn outfit, item and state of each in turn.
outfit_file::OutfitEntries WornEntries() {
    outfit_file::OutfitEntries entries;
    for (int k = 0; k < kOutfitEntries; ++k) {
        entries.items.push_back(
            static_cast<std::uint32_t>(ReadGlobal(ItemGlobal(0, k))));
        entries.states.push_back(
            static_cast<std::uint32_t>(ReadGlobal(StateGlobal(0, k))));
    }
    return entries;
}

// A save or delete that runs out of memory midway has written nothing, and
// says so rather than ending without a word.
template <typename Work>
void ReportingFailure(const char* failureMessage, Work work) {
    try {
        work();
    } catch (const std::exception&) {
        ShowNotification(failureMessage);
    }
}

void SaveInto(const std::string& typedName, std::int32_t rowIndex) {
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    pugi::xml_node root = RootOf(file.document);
    FollowFile(root);
    if (file.missing) {
        if (!files::Exists(kOutfitFolder)) {
            ShowNotification(kNoFolderMessage);
            return;
        }
        root = file.document.append_child(outfit_file::kRootElement);
    } else if (!root) {
        // Not our file's shape: it is left exactly as the player has it.
        ShowNotification(kSaveFailedMessage);
        return;
    } else if (outfit_file::FindLoadedOutfit(root, rowIndex)) {
        // The row looked free, but the file holds an outfit there now (put
        // there outside the game): that outfit is the player's, not ours to replace.
        ShowNotification(kSlotTakenMessage);
        return;
    } else if (!file.utf8) {
        ShowNotification(kSaveNotUtf8Message);
        return;
    }
    // When loading stops early, the new outfit goes before the outfit it
    // stops at, where the next start finds it.
    outfit_file::InsertOutfit(root, outfit_file::LoadingStop(root), typedName, rowIndex,
                              WornEntries());
    if (!WriteStore(file)) {
        ShowNotification(files::LastReplaceMetHeldFile() ? kHeldFileMessage : kSaveFailedMessage);
        return;
    }
    ShowNotification(kSavedMessage);
    FollowFile(root);
}

void DeleteFrom(std::int32_t rowIndex) {
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    // What the player saw, before the page follows the file.
    const Option* row = SavedOutfitsRow(rowIndex);
    const bool shownTaken = row != nullptr && IsListed(rowIndex);
    const std::string shownName = shownTaken ? row->label : std::string();
    pugi::xml_node root = RootOf(file.document);
    FollowFile(root);
    pugi::xml_node outfit =
        shownTaken ? OutfitShownAs(root, rowIndex, shownName) : pugi::xml_node();
    if (!outfit) {
        const bool taken = IsCustomRow(rowIndex) && outfit_file::FindLoadedOutfit(root, rowIndex);
        ShowNotification(taken ? kDeleteChangedMessage : kDeleteNotFoundMessage);
        return;
    }
    if (!file.utf8) {
        ShowNotification(kDeleteNotUtf8Message);
        return;
    }
    outfit_file::RemoveSubtree(outfit);
    if (!WriteStore(file)) {
        // The document is no longer the file: the page keeps what was read.
        ShowNotification(files::LastReplaceMetHeldFile() ? kDeleteHeldFileMessage
                                                         : kDeleteFailedMessage);
        return;
    }
    ShowNotification(kDeletedMessage);
    FollowFile(root);
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
// labels, so the list of taken rows starts again too. A missing file is the
// empty store; a file that cannot be read leaves the store unknown: every
// row as built, and each later save or delete reads the file before it acts.
void LoadCustomOutfitNames() {
    savedSlots.clear();
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    const pugi::xml_node stop = FollowFile(RootOf(file.document));
    if (stop) {
        ShowNotification(
            ("[Wardrobe]: Slot index " + std::to_string(RowIndexOf(stop)) + " out of range")
                .c_str());
    }
}

void EquipCustomOutfit(std::int32_t slotNumber) {
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    const pugi::xml_node root = RootOf(file.document);
    FollowFile(root);
    const std::int32_t rowIndex = RowIndexOfSlot(slotNumber);
    pugi::xml_node found;
    if (IsCustomRow(rowIndex)) {
        found = FindOutfit(root, rowIndex);
    }
    if (!found) {
        ShowNotification(kNoCustomOutfitMessage);
        return;
    }
    // Each item costs the frame its own calls: an outfit beyond the cap is
    // worn not at all rather than in part.
    if (outfit_file::HasTooManyItems(found)) {
        ShowNotification(kTooManyItemsMessage);
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
    WriteGlobal(kSlotFlagsBaseGlobal, ReadGlobal(kSlotFlagsBaseGlobal) | kSlotWornFlag);
    WriteGlobal(kWornSlotCopyGlobal, 0);
    WriteGlobal(kWornSlotThirdGlobal, 0);
    CallNative(kOutfitSettleNative, PlayerCharacter(), 0);
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 0, 1, 1, 0);
    const Option* option = activeMenu ? activeMenu->SelectedOption() : nullptr;
    ShowEquipped(option ? option->label : std::string());
}

// Every save and delete acts on the file as it is now, not on the page's
// memory of it: a row the file holds is never written over, and a delete
// removes only the outfit whose name the row shows. Either way the page then
// shows what the file holds, and the row is marked taken only once the file
// is on disk. The file stays UTF-8: a typed name that is not is mended.
void SaveCustomOutfit(const char* name, std::int32_t slotNumber) {
    if (!IsCustomSlot(slotNumber)) {
        ShowNotification(kBadSlotMessage);
        return;
    }
    ReportingFailure(kSaveFailedMessage, [name, slotNumber] {
        std::string typedName;
        outfit_file::CopyCutName(outfit_file::MendedUtf8(name != nullptr ? name : "").c_str(),
                                 typedName);
        SaveInto(typedName, slotNumber - 1);
    });
}

void DeleteCustomOutfit(std::int32_t slotNumber) {
    ReportingFailure(kDeleteFailedMessage,
                     [slotNumber] { DeleteFrom(RowIndexOfSlot(slotNumber)); });
}
