#include "wardrobe/outfits.h"

#include <string>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/notification.h"
#include "menu/menu.h"
#include "menu/plain_text.h"
#include "wardrobe/outfit_globals.h"

namespace {

using namespace game_natives;
using namespace outfit_globals;

constexpr const char* kPresetRefusedMessage =
    "Preset outfits currently only work for Arthur. Sorry!";
constexpr const char* kEmptyGameSlotMessage = "[Vanilla]: There is no saved outfit in this slot";
constexpr const char* kEquippedPrefix = "Equipped: ";

// The nine kept entries of record 0, in the order they go back on: group one
// (entries 1, 6, 7, 5), then group two (24 to 28).
constexpr int kGroupOneSize = 4;
constexpr int kKeptItemCount = 9;
constexpr int kKeptEntries[kKeptItemCount] = {1, 6, 7, 5, 24, 25, 26, 27, 28};

std::uint32_t keptItems[kKeptItemCount] = {};
std::uint32_t keptStates[kKeptItemCount] = {};

std::uint32_t Low32(std::uint64_t word) {
    return static_cast<std::uint32_t>(word);
}

std::string CurrentOptionLabel() {
    const Option* option = activeMenu ? activeMenu->SelectedOption() : nullptr;
    return option != nullptr ? option->label : std::string();
}

const char* GameOutfitLabel(std::int32_t slotNumber) {
    switch (slotNumber) {
        case 2:
            return "CLOTHING_SP_OUTFIT_SAVE_TWO";
        case 3:
            return "CLOTHING_SP_OUTFIT_SAVE_THREE";
        case 4:
            return "CLOTHING_SP_OUTFIT_SAVE_FOUR";
        case 5:
            return "CLOTHING_SP_OUTFIT_SAVE_FIVE";
        default:
            return "CLOTHING_SP_OUTFIT_SAVE_ONE";
    }
}

void RestoreGroup(int first, int end) {
    for (int i = first; i < end; ++i) {
        PutOnItem(PlayerCharacter(), keptItems[i], true);
    }
    for (int i = first; i < end; ++i) {
        SetItemState(PlayerCharacter(), keptItems[i], keptStates[i]);
    }
}

}  // namespace

std::int32_t PlayerCharacter() {
    return CallNative<std::int32_t>(kPlayerCharacterNative);
}

std::uint32_t GameNameHash(const char* text) {
    return CallNative<std::uint32_t>(kNameHashNative, text);
}

void PutOnItem(std::int32_t character, std::uint32_t item, bool immediate) {
    CallNative(kPutOnItemNative, character, item, immediate, 0, 0);
}

void SetItemState(std::int32_t character, std::uint32_t item, std::uint32_t state) {
    CallNative(kItemStateNative, character, item, state, 0, 0, 1);
}

void SnapshotWornItems() {
    for (int i = 0; i < kKeptItemCount; ++i) {
        keptItems[i] = Low32(ReadGlobal(ItemGlobal(0, kKeptEntries[i])));
        keptStates[i] = Low32(ReadGlobal(StateGlobal(0, kKeptEntries[i])));
    }
}

void RestoreWornItems() {
    RestoreGroup(0, kGroupOneSize);
    RestoreGroup(kGroupOneSize, kKeptItemCount);
}

void EquipPreset(std::uint32_t outfitHash) {
    const std::string label = CurrentOptionLabel();
    const auto model = CallNative<std::uint32_t>(kEntityModelNative, PlayerCharacter());
    if (!CallNative<bool>(kOutfitCheckNative, outfitHash, model)) {
        ShowNotification(kPresetRefusedMessage);
        return;
    }
    SnapshotWornItems();
    CallNative(kClothingResetNative, PlayerCharacter());
    CallNative(kOutfitPresetNative, PlayerCharacter(), outfitHash);
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 1, 1, 1, 1);
    RestoreWornItems();
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 0, 1, 1, 0);
    ShowEquipped(label);
}

void EquipGameOutfit(std::int32_t slotNumber) {
    const std::uint64_t flags = ReadGlobal(FlagsGlobal(slotNumber));
    if ((flags & kSavedOutfitFlag) == 0) {
        ShowNotification(kEmptyGameSlotMessage);
        return;
    }
    CallNative(kClothingResetNative, PlayerCharacter());
    for (int k = 0; k < kOutfitEntries; ++k) {
        const std::uint32_t item = Low32(ReadGlobal(ItemGlobal(slotNumber, k)));
        const std::uint32_t state = Low32(ReadGlobal(StateGlobal(slotNumber, k)));
        if (item != 0) {
            PutOnItem(PlayerCharacter(), item, false);
            SetItemState(PlayerCharacter(), item, state);
        }
    }
    const std::uint32_t labelHash = GameNameHash(GameOutfitLabel(slotNumber));
    WriteGlobal(kWornLabelGlobal, labelHash);
    WriteGlobal(kWornLabelCopyGlobal, labelHash);
    WriteGlobal(kWornSlotGlobal, static_cast<std::uint32_t>(slotNumber));
    const std::int32_t slotFlags = kSlotFlagsBaseGlobal + kSlotFlagsStride * slotNumber;
    WriteGlobal(slotFlags, ReadGlobal(slotFlags) | kSlotWornFlag);
    WriteGlobal(kWornSlotCopyGlobal, static_cast<std::uint32_t>(slotNumber));
    WriteGlobal(kWornSlotThirdGlobal, static_cast<std::uint32_t>(slotNumber));
    CallNative(kOutfitSettleNative, PlayerCharacter(), 0);
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 0, 1, 1, 0);
    ShowEquipped(CurrentOptionLabel());
}

void ShowEquipped(const std::string& label) {
    ShowNotification((kEquippedPrefix + PlainText(label)).c_str());
}
