// The character's clothing in the simulated game: the 39 worn entries that the
// clothing natives change and that game outfit record 0 mirrors in its globals,
// the preset outfits each model has (what the outfit-check native answers),
// and the five game saved-outfit records 1 to 5.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "sim/character.h"
#include "wardrobe/outfit_globals.h"

namespace sim {

class Game;

// An outfit's entries, and where the records lie among the game's globals,
// are written once, in the plug-in's outfit_globals.
using outfit_globals::kOutfitEntries;

// One entry of an outfit: an item hash (0 = empty) and its state.
struct ClothingItem {
    std::uint32_t item = 0;
    std::uint32_t state = 0;
    bool operator==(const ClothingItem& other) const {
        return item == other.item && state == other.state;
    }
};

using OutfitEntries = std::array<ClothingItem, kOutfitEntries>;

class ClothingState {
  public:
    // --- What the character wears (mirrored into record 0) ---------------------
    const OutfitEntries& Worn() const { return worn_; }
    // Dresses the character in these entries, in entry order; the rest are emptied.
    void Wear(const std::vector<ClothingItem>& entries);
    void WearAt(int entry, ClothingItem item);
    // The entry an item lands in when it is put on (learnt from every outfit
    // the game knows); -1 for an item the game has never seen.
    int EntryOf(std::uint32_t item) const;

    // --- Presets ------------------------------------------------------------------
    // The presets Arthur has from the start (John has none): the plug-in's.
    static std::vector<std::uint32_t> DefaultPresetHashes();
    void AddPreset(CharacterModel model, std::uint32_t outfitHash, const OutfitEntries& entries);
    bool HasPreset(std::uint32_t modelHash, std::uint32_t outfitHash) const;
    const OutfitEntries* Preset(CharacterModel model, std::uint32_t outfitHash) const;

    // --- Game saved outfits 1 to 5 (records 1 to 5 in the globals) -----------------
    void FillGameOutfit(int slot, const std::vector<ClothingItem>& entries);
    // Clears the saved-outfit flag and the entries; the other flag bits stay.
    void EmptyGameOutfit(int slot);

    // --- What the clothing natives did -------------------------------------------------
    int ResetCount() const { return resets_; }
    int RefreshCount() const { return refreshes_; }
    int SettleCount() const { return settles_; }
    // The arguments a to f of the last appearance refresh.
    std::array<std::int32_t, 6> LastRefresh() const { return lastRefresh_; }
    // The outfit last put on with the outfit-preset native (0 = none).
    std::uint32_t LastPreset() const { return lastPreset_; }

  private:
    friend void RegisterClothingNatives(Game& game);
    void Learn(int entry, std::uint32_t item);
    void Mirror() const;
    void PutOn(std::uint32_t item);
    void SetState(std::uint32_t item, std::uint32_t state);

    Game* game_ = nullptr;
    OutfitEntries worn_{};
    std::map<std::uint32_t, int> entryOfItem_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, OutfitEntries> presets_;
    int resets_ = 0;
    int refreshes_ = 0;
    int settles_ = 0;
    std::array<std::int32_t, 6> lastRefresh_{};
    std::uint32_t lastPreset_ = 0;
};

// The character's wardrobe of the simulated game; reset with the game.
ClothingState& Wardrobe();

void RegisterClothingNatives(Game& game);

}  // namespace sim
