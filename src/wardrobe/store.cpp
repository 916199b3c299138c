#include "wardrobe/store.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/notification.h"
#include "menu/menu.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/outfit_globals.h"
#include "wardrobe/outfits.h"
#include "wardrobe/store_work.h"
#include "wardrobe/store_worker.h"

std::vector<std::int32_t> savedSlots;

namespace {

using namespace game_natives;
using namespace outfit_globals;
using store_work::Operation;
using store_work::Outcome;
using store_work::Placement;
using store_work::Request;

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

constexpr const char* kBadSlot = "~COLOR_RED~Cannot save outfit: bad slot index~s~";

void RelabelRow(std::int32_t rowIndex, const std::string& label) {
    Option* option = SavedOutfitsRow(rowIndex);
    if (option != nullptr && option->label != label) {
        option->SetText(label);
    }
}

// Makes every custom row and savedSlots show what the file holds: the
// outfits the start places, in document order, each on its row in turn.
void FollowFile(const Placement& placed) {
    savedSlots.clear();
    for (std::int32_t row = kFirstCustomRow; IsCustomRow(row); ++row) {
        RelabelRow(row, DefaultCustomRowLabel(row));
    }
    for (const store_work::PlacedOutfit& outfit : placed) {
        if (SavedOutfitsRow(outfit.rowIndex) != nullptr) {
            savedSlots.push_back(outfit.rowIndex);
            RelabelRow(outfit.rowIndex, outfit.shownName);
        }
    }
}

bool IsListed(std::int32_t rowIndex) {
    return std::find(savedSlots.begin(), savedSlots.end(), rowIndex) != savedSlots.end();
}

// The 39 entries of the worn outfit, item and state of each in turn.
outfit_file::OutfitEntries WornEntries() {
    outfit_file::OutfitEntries entries;
    for (int k = 0; k < outfit_file::kOutfitEntries; ++k) {
        entries.items.push_back(static_cast<std::uint32_t>(ReadGlobal(ItemGlobal(0, k))));
        entries.states.push_back(static_cast<std::uint32_t>(ReadGlobal(StateGlobal(0, k))));
    }
    return entries;
}

void Wear(const store_work::WornOutfit& outfit) {
    CallNative(kClothingResetNative, PlayerCharacter());
    for (std::uint32_t item : outfit.items) {
        if (item != 0) {
            PutOnItem(PlayerCharacter(), item, false);
        }
    }
    for (std::size_t k = 0; k < outfit.states.size(); ++k) {
        if (outfit.states[k] != 0 && k < outfit.items.size()) {
            SetItemState(PlayerCharacter(), outfit.items[k], outfit.states[k]);
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

// What the player sees of an operation, once its file work is done.
void ShowOutcome(const Outcome& outcome) {
    if (outcome.placedBefore) {
        FollowFile(*outcome.placedBefore);
    }
    if (outcome.message[0] != '\0') {
        ShowNotification(outcome.message);
    }
    if (outcome.wear) {
        Wear(*outcome.wear);
    }
    if (outcome.placedAfter) {
        FollowFile(*outcome.placedAfter);
    }
}

// A save stores what is worn when its work starts, after every operation
// asked for before it has shown its outcome.
void TakeWornOutfit(Request& request) {
    if (request.operation == Operation::Save) {
        request.worn = WornEntries();
    }
}

void Submit(Request request) {
    store_worker::Submit(std::move(request), TakeWornOutfit, ShowOutcome);
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
    Request request;
    request.operation = Operation::Load;
    Submit(std::move(request));
}

void EquipCustomOutfit(std::int32_t slotNumber) {
    Request request;
    request.operation = Operation::Equip;
    request.rowIndex = RowIndexOfSlot(slotNumber);
    Submit(std::move(request));
}

// Every save and delete acts on the file as it is now, not on the page's
// memory of it: a row the file holds is never written over, and a delete
// removes only the outfit whose name the row shows. Either way the page then
// shows what the file holds, and the row is marked taken only once the file
// is on disk. The file stays UTF-8: a typed name that is not is mended.
void SaveCustomOutfit(const char* name, std::int32_t slotNumber) {
    if (!IsCustomSlot(slotNumber)) {
        ShowNotification(kBadSlot);
        return;
    }
    try {
        Request request;
        request.operation = Operation::Save;
        request.rowIndex = slotNumber - 1;
        outfit_file::CopyCutName(outfit_file::MendedUtf8(name != nullptr ? name : "").c_str(),
                                 request.typedName);
        Submit(std::move(request));
    } catch (const std::exception&) {
        ShowNotification(store_work::FailureMessage(Operation::Save));
    }
}

void DeleteCustomOutfit(std::int32_t slotNumber) {
    try {
        // What the player saw, which the delete holds the file to.
        Request request;
        request.operation = Operation::Delete;
        request.rowIndex = RowIndexOfSlot(slotNumber);
        const Option* row = SavedOutfitsRow(request.rowIndex);
        request.shownTaken = row != nullptr && IsListed(request.rowIndex);
        request.shownName = request.shownTaken ? row->label : std::string();
        Submit(std::move(request));
    } catch (const std::exception&) {
        ShowNotification(store_work::FailureMessage(Operation::Delete));
    }
}

void ShowFinishedStoreWork() {
    store_worker::ShowFinished();
}

void FinishStoreWork() {
    store_worker::FinishAll();
}

void ResetStore() {
    store_worker::Drop();
    savedSlots.clear();
}
