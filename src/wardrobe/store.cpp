#include "wardrobe/store.h"

#include <algorithm>
#include <cstdio>
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
#include "wardrobe/outfit_messages.h"
#include "wardrobe/outfit_scan.h"
#include "wardrobe/outfits.h"
#include "wardrobe/xml_reserve.h"

std::vector<std::int32_t> savedSlots;

namespace {

using outfit_file::kOutfitEntries;
using outfit_file::kOutfitFilePath;
using namespace game_natives;
using namespace outfit_globals;
using outfit_file::OutfitScan;
using outfit_file::ScannedOutfit;
using outfit_file::ScanOutfits;
using outfit_file::ScanReach;
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

// A save and a delete each have their own words for success and failure; a
// failure may add the reason after a colon.
struct Change {
    const char* done;
    const char* failed;
};
constexpr Change kSave = {"Successfully saved outfit", "Failed to save outfit"};
constexpr Change kDelete = {"Successfully deleted outfit", "Failed to delete outfit"};

// Reasons that both give.
constexpr const char* kHeldFile = "Garbolt/SavedOutfits.xml is in use by another program";
constexpr const char* kNotUtf8 = "Garbolt/SavedOutfits.xml is not saved as UTF-8";

constexpr const char* kNoCustomOutfit = "[Custom]: There is no saved outfit in this slot";
constexpr const char* kBadSlot = "Cannot save outfit: bad slot index";
constexpr const char* kDeleteNotFound = "Failed to delete outfit, slot not found";

// Shows a failure in red, with its reason when given. It neither allocates
// nor throws, so a save that ran out of memory can still say so; every
// message of the store fits the buffer.
void ShowFailure(const char* text, const char* reason = nullptr) {
    char message[256];
    std::snprintf(message, sizeof message, "~COLOR_RED~%s%s%s~s~", text,
                  reason != nullptr ? ": " : "", reason != nullptr ? reason : "");
    ShowNotification(message);
}

// A write that failed: named as such when another program holds the file.
void ShowWriteFailure(const Change& change) {
    ShowFailure(change.failed, files::LastReplaceMetHeldFile() ? kHeldFile : nullptr);
}

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
            ShowFailure(outfit_messages::kNotPlainFile);
            return false;
        case files::ReadStatus::TooLarge:
            ShowFailure(outfit_messages::kTooLarge);
            return false;
        case files::ReadStatus::Unreadable:
            ShowFailure(outfit_messages::kUnreadable);
            return false;
        case files::ReadStatus::Read:
            break;
    }
    if (result.parse.status == pugi::status_out_of_memory) {
        ShowFailure(outfit_messages::kUnreadable);
        return false;
    }
    if (!result.parse) {
        ShowFailure(outfit_messages::kNotXml);
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

// Makes every custom row and savedSlots show what the file holds: the
// outfits the start places, in document order, each on its row in turn.
void FollowFile(const OutfitScan& scan) {
    savedSlots.clear();
    for (std::int32_t row = kFirstCustomRow; IsCustomRow(row); ++row) {
        RelabelRow(row, DefaultCustomRowLabel(row));
    }
    for (const ScannedOutfit& outfit : scan.outfits) {
        if (outfit.Loaded() && SavedOutfitsRow(outfit.rowIndex) != nullptr) {
            savedSlots.push_back(outfit.rowIndex);
            RelabelRow(outfit.rowIndex, ShownNameOf(outfit.node));
        }
    }
}

bool IsListed(std::int32_t rowIndex) {
    return std::find(savedSlots.begin(), savedSlots.end(), rowIndex) != savedSlots.end();
}

// Of the outfits the page places on the row, the last one shown as `label`:
// with two on a row, the later one's name is the one the row shows.
const ScannedOutfit* OutfitShownAs(const OutfitScan& scan, std::int32_t rowIndex,
                                   const std::string& label) {
    const ScannedOutfit* shown = nullptr;
    for (const ScannedOutfit& outfit : scan.outfits) {
        if (outfit.Loaded() && outfit.rowIndex == rowIndex && ShownNameOf(outfit.node) == label) {
            shown = &outfit;
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
void ReportingFailure(const Change& change, Work work) {
    try {
        work();
    } catch (const std::exception&) {
        ShowFailure(change.failed);
    }
}

void SaveInto(const std::string& typedName, std::int32_t rowIndex) {
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    const OutfitScan scan = ScanOutfits(file.document, ScanReach::FirstRoot);
    FollowFile(scan);
    pugi::xml_node root = scan.root;
    if (file.missing) {
        if (!files::Exists(kOutfitFolder)) {
            ShowFailure(kSave.failed, "Unable to find the Garbolt folder");
            return;
        }
        root = file.document.append_child(outfit_file::kRootElement);
    } else if (!root) {
        // Not our file's shape: it is left exactly as the player has it.
        ShowFailure(kSave.failed);
        return;
    } else if (scan.LoadedOnRow(rowIndex) != nullptr) {
        // The row looked free, but the file holds an outfit there now (put
        // there outside the game): that outfit is the player's, not ours to replace.
        ShowFailure(kSave.failed, "this slot is already taken");
        return;
    } else if (!file.utf8) {
        ShowFailure(kSave.failed, kNotUtf8);
        return;
    }
    // When loading stops early, the new outfit goes before the outfit it
    // stops at, where the next start finds it.
    const ScannedOutfit* stop = scan.Stop();
    outfit_file::InsertOutfit(root, stop != nullptr ? stop->node : pugi::xml_node(), typedName,
                              rowIndex, WornEntries());
    if (!WriteStore(file)) {
        ShowWriteFailure(kSave);
        return;
    }
    ShowNotification(kSave.done);
    FollowFile(ScanOutfits(file.document, ScanReach::FirstRoot));
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
    const OutfitScan scan = ScanOutfits(file.document, ScanReach::FirstRoot);
    FollowFile(scan);
    const ScannedOutfit* outfit = shownTaken ? OutfitShownAs(scan, rowIndex, shownName) : nullptr;
    if (outfit == nullptr) {
        const bool taken = scan.LoadedOnRow(rowIndex) != nullptr;
        ShowFailure(taken ? kDelete.failed : kDeleteNotFound,
                    taken ? "the slot holds another outfit now" : nullptr);
        return;
    }
    if (!file.utf8) {
        ShowFailure(kDelete.failed, kNotUtf8);
        return;
    }
    outfit_file::RemoveSubtree(outfit->node);
    if (!WriteStore(file)) {
        // The document is no longer the file: the page keeps what was read.
        ShowWriteFailure(kDelete);
        return;
    }
    ShowNotification(kDelete.done);
    FollowFile(ScanOutfits(file.document, ScanReach::FirstRoot));
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
    const OutfitScan scan = ScanOutfits(file.document, ScanReach::FirstRoot);
    FollowFile(scan);
    if (const ScannedOutfit* stop = scan.Stop()) {
        ShowNotification(outfit_messages::SlotOutOfRange(stop->rowIndex).c_str());
    }
}

void EquipCustomOutfit(std::int32_t slotNumber) {
    StoreFile file;
    if (!ReadStore(file)) {
        return;
    }
    const OutfitScan scan = ScanOutfits(file.document, ScanReach::FirstRoot);
    FollowFile(scan);
    const ScannedOutfit* outfit = scan.FirstOnRow(RowIndexOfSlot(slotNumber));
    if (outfit == nullptr) {
        ShowNotification(kNoCustomOutfit);
        return;
    }
    // Each item costs the frame its own calls: an outfit beyond the cap is
    // worn not at all rather than in part.
    if (outfit->OverItemCap()) {
        ShowFailure(outfit_messages::kTooManyItems);
        return;
    }
    const pugi::xml_node found = outfit->node;
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
        ShowFailure(kBadSlot);
        return;
    }
    ReportingFailure(kSave, [name, slotNumber] {
        std::string typedName;
        outfit_file::CopyCutName(outfit_file::MendedUtf8(name != nullptr ? name : "").c_str(),
                                 typedName);
        SaveInto(typedName, slotNumber - 1);
    });
}

void DeleteCustomOutfit(std::int32_t slotNumber) {
    ReportingFailure(kDelete, [slotNumber] { DeleteFrom(RowIndexOfSlot(slotNumber)); });
}
