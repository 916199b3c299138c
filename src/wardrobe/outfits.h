// Dressing the player's character: the game's preset outfits, the game's own
// five saved outfits, and the clothing helpers every outfit change uses.
#pragma once

#include <cstdint>
#include <string>

#include "host/natives.h"

// Dresses the character in one of the game's preset outfits, then puts nine
// items of the worn outfit back on (hat, gun belt and the like survive).
void EquipPreset(std::uint32_t outfitHash);
// Dresses the character in the game's saved outfit 1 to 5.
void EquipGameOutfit(std::int32_t slotNumber);
// Tells the player which outfit went on: "Equipped: " and the row's label,
// shown as the label reads whatever it holds.
void ShowEquipped(const std::string& label);

// Copies the nine kept items of the worn outfit (game outfit record 0).
void SnapshotWornItems();
// Puts the nine kept items back on, in two groups.
void RestoreWornItems();

// Puts one clothing item on the character, at once or with the next refresh.
void PutOnItem(std::int32_t character, std::uint32_t item, bool immediate);
// Gives a worn item its stored state (how it is worn).
void SetItemState(std::int32_t character, std::uint32_t item, std::uint32_t state);
// Calls a native with (a, b, c, 1, e, f) and returns its first result slot.
template <typename NativeOfSix>
std::uint64_t CallNativeSix(NativeOfSix native, std::int32_t a, std::int32_t b, std::int32_t c,
                            std::int32_t e, std::int32_t f) {
    return CallNative<std::uint64_t>(native, a, b, c, 1, e, f);
}

// The character's handle, asked anew for every call that takes it.
std::int32_t PlayerCharacter();
// The game's name hash of a text (the low 32 bits of the name-hash native).
std::uint32_t GameNameHash(const char* text);
