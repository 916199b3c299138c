#include "sim/clothing.h"

#include <string>

#include "host/native_hashes.h"
#include "sim/game.h"
#include "wardrobe/presets.h"

namespace sim {

namespace {

using game_natives::kAppearanceRefreshNative;
using game_natives::kClothingResetNative;
using game_natives::kItemStateNative;
using game_natives::kOutfitCheckNative;
using game_natives::kOutfitPresetNative;
using game_natives::kOutfitSettleNative;
using game_natives::kPutOnItemNative;
using outfit_globals::FlagsGlobal;
using outfit_globals::ItemGlobal;
using outfit_globals::kSavedOutfitFlag;
using outfit_globals::StateGlobal;

// A made-up but stable outfit: entries 0 to 30 filled except every fourth,
// hashes from the name hash so they look like the game's and many have the top bit set.
OutfitEntries MadeUpOutfit(const std::string& name) {
    OutfitEntries entries{};
    for (int k = 0; k <= 30; ++k) {
        if (k % 4 == 3) {
            continue;
        }
        entries[k].item = NameHash(name + "_item_" + std::to_string(k));
        entries[k].state = NameHash(name + "_state_" + std::to_string(k));
    }
    return entries;
}

std::vector<ClothingItem> AsList(const OutfitEntries& entries) {
    return std::vector<ClothingItem>(entries.begin(), entries.end());
}

}  // namespace

void ClothingState::Learn(int entry, std::uint32_t item) {
    if (item != 0 && entry >= 0 && entry < kOutfitEntries) {
        entryOfItem_[item] = entry;
    }
}

int ClothingState::EntryOf(std::uint32_t item) const {
    auto found = entryOfItem_.find(item);
    return found == entryOfItem_.end() ? -1 : found->second;
}

// Record 0 always shows what the character wears, as the game keeps it.
void ClothingState::Mirror() const {
    if (game_ == nullptr) {
        return;
    }
    game_->SetGlobal(FlagsGlobal(0), game_->Global(FlagsGlobal(0)) | kSavedOutfitFlag);
    for (int k = 0; k < kOutfitEntries; ++k) {
        game_->SetGlobal(ItemGlobal(0, k), worn_[k].item);
        game_->SetGlobal(StateGlobal(0, k), worn_[k].state);
    }
}

void ClothingState::Wear(const std::vector<ClothingItem>& entries) {
    worn_ = OutfitEntries{};
    for (std::size_t k = 0; k < entries.size() && k < worn_.size(); ++k) {
        worn_[k] = entries[k];
        Learn(static_cast<int>(k), entries[k].item);
    }
    Mirror();
}

void ClothingState::WearAt(int entry, ClothingItem item) {
    if (entry < 0 || entry >= kOutfitEntries) {
        return;
    }
    worn_[entry] = item;
    Learn(entry, item.item);
    Mirror();
}

// An item goes where the game keeps items of its kind; one it has never seen
// takes the first free entry, and with none free it is not put on.
void ClothingState::PutOn(std::uint32_t item) {
    if (item == 0) {
        return;
    }
    for (const ClothingItem& worn : worn_) {
        if (worn.item == item) {
            return;
        }
    }
    int entry = EntryOf(item);
    if (entry < 0) {
        for (int k = 0; k < kOutfitEntries; ++k) {
            if (worn_[k].item == 0) {
                entry = k;
                break;
            }
        }
    }
    if (entry < 0) {
        return;
    }
    worn_[entry] = ClothingItem{item, 0};
    Learn(entry, item);
    Mirror();
}

void ClothingState::SetState(std::uint32_t item, std::uint32_t state) {
    for (ClothingItem& worn : worn_) {
        if (worn.item == item && item != 0) {
            worn.state = state;
            Mirror();
            return;
        }
    }
}

std::vector<std::uint32_t> ClothingState::DefaultPresetHashes() {
    std::vector<std::uint32_t> hashes;
    for (const wardrobe_presets::Preset& preset : wardrobe_presets::kPresets) {
        hashes.push_back(preset.gameName != nullptr ? NameHash(preset.gameName) : preset.hash);
    }
    return hashes;
}

void ClothingState::AddPreset(CharacterModel model, std::uint32_t outfitHash,
                              const OutfitEntries& entries) {
    presets_[{ModelHash(model), outfitHash}] = entries;
    for (int k = 0; k < kOutfitEntries; ++k) {
        Learn(k, entries[k].item);
    }
}

bool ClothingState::HasPreset(std::uint32_t modelHash, std::uint32_t outfitHash) const {
    return presets_.count({modelHash, outfitHash}) != 0;
}

const OutfitEntries* ClothingState::Preset(CharacterModel model, std::uint32_t outfitHash) const {
    auto found = presets_.find({ModelHash(model), outfitHash});
    return found == presets_.end() ? nullptr : &found->second;
}

void ClothingState::FillGameOutfit(int slot, const std::vector<ClothingItem>& entries) {
    if (slot < 1 || slot > 5 || game_ == nullptr) {
        return;
    }
    const std::int32_t flags = FlagsGlobal(slot);
    game_->SetGlobal(flags, game_->Global(flags) | kSavedOutfitFlag);
    for (int k = 0; k < kOutfitEntries; ++k) {
        const ClothingItem item =
            k < static_cast<int>(entries.size()) ? entries[k] : ClothingItem{};
        game_->SetGlobal(ItemGlobal(slot, k), item.item);
        game_->SetGlobal(StateGlobal(slot, k), item.state);
        Learn(k, item.item);
    }
}

void ClothingState::EmptyGameOutfit(int slot) {
    if (slot < 1 || slot > 5 || game_ == nullptr) {
        return;
    }
    const std::int32_t flags = FlagsGlobal(slot);
    game_->SetGlobal(flags, game_->Global(flags) & ~kSavedOutfitFlag);
    for (int k = 0; k < kOutfitEntries; ++k) {
        game_->SetGlobal(ItemGlobal(slot, k), 0);
        game_->SetGlobal(StateGlobal(slot, k), 0);
    }
}

ClothingState& Wardrobe() {
    static ClothingState state;
    return state;
}

// A fresh game: Arthur in his everyday clothes, his nine presets, game
// outfits 1 to 3 saved and 4 and 5 empty.
void RegisterClothingNatives(Game& game) {
    ClothingState& wardrobe = Wardrobe();
    wardrobe = ClothingState();
    wardrobe.game_ = &game;
    const std::vector<std::uint32_t> presets = ClothingState::DefaultPresetHashes();
    for (std::size_t p = 0; p < presets.size(); ++p) {
        wardrobe.AddPreset(CharacterModel::Arthur, presets[p],
                           MadeUpOutfit("preset_" + std::to_string(p)));
    }
    for (int slot = 1; slot <= 3; ++slot) {
        wardrobe.FillGameOutfit(slot, AsList(MadeUpOutfit("game_outfit_" + std::to_string(slot))));
    }
    wardrobe.Wear(AsList(MadeUpOutfit("everyday")));

    // Each native that takes the character acts only on it; a wrong one is recorded.
    auto isCharacter = [](NativeCall& call, std::uint64_t hash) {
        return Character().TakesCharacter(hash, call);
    };
    game.RegisterNative(kClothingResetNative, [isCharacter](NativeCall& call) {
        if (isCharacter(call, kClothingResetNative)) {
            ClothingState& w = Wardrobe();
            ++w.resets_;
            w.worn_ = OutfitEntries{};
            w.Mirror();
        }
    });
    game.RegisterNative(kOutfitCheckNative, [](NativeCall& call) {
        call.ReturnBool(Wardrobe().HasPreset(call.Uint(1), call.Uint(0)));
    });
    game.RegisterNative(kOutfitPresetNative, [isCharacter](NativeCall& call) {
        if (!isCharacter(call, kOutfitPresetNative)) {
            return;
        }
        ClothingState& w = Wardrobe();
        const OutfitEntries* preset = w.Preset(Character().Model(), call.Uint(1));
        if (preset != nullptr) {
            w.lastPreset_ = call.Uint(1);
            w.worn_ = *preset;
            w.Mirror();
        }
    });
    game.RegisterNative(kAppearanceRefreshNative, [isCharacter](NativeCall& call) {
        if (!isCharacter(call, kAppearanceRefreshNative)) {
            return;
        }
        ClothingState& w = Wardrobe();
        ++w.refreshes_;
        for (std::size_t i = 0; i < 6; ++i) {
            w.lastRefresh_[i] = call.Int(i);
        }
    });
    game.RegisterNative(kPutOnItemNative, [isCharacter](NativeCall& call) {
        if (isCharacter(call, kPutOnItemNative)) {
            Wardrobe().PutOn(call.Uint(1));
        }
    });
    game.RegisterNative(kItemStateNative, [isCharacter](NativeCall& call) {
        if (isCharacter(call, kItemStateNative)) {
            Wardrobe().SetState(call.Uint(1), call.Uint(2));
        }
    });
    game.RegisterNative(kOutfitSettleNative, [isCharacter](NativeCall& call) {
        if (isCharacter(call, kOutfitSettleNative)) {
            ++Wardrobe().settles_;
        }
    });
}

}  // namespace sim
