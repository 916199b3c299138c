#include "look.h"

namespace garbolt_sim {

Rgba ItemColour(std::uint32_t item) {
    // A 32-bit mix (the finaliser of MurmurHash3) spreads nearby hashes apart.
    std::uint32_t h = item;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    // Channels kept away from black and white, so a band stands out from the
    // dark silhouette and from the dusk behind it.
    auto channel = [h](int shift) {
        return 48 + static_cast<int>((h >> shift) & 0xFF) * 184 / 255;
    };
    return Rgba{channel(0), channel(8), channel(16), 255};
}

CharacterLook LookOf(const sim::OutfitEntries& worn) {
    CharacterLook look;
    for (std::size_t k = 0; k < worn.size(); ++k) {
        if (worn[k].item == 0) {
            continue;
        }
        std::vector<Band>& part = k < kEntriesPerPart       ? look.head
                                  : k < 2 * kEntriesPerPart ? look.torso
                                                            : look.legs;
        part.push_back({worn[k].item, ItemColour(worn[k].item)});
    }
    return look;
}

std::string WearingLine(const CharacterLook& look) {
    const std::size_t count = look.ItemCount();
    if (count == 0) {
        return "wearing 0 items";
    }
    return "wearing " + std::to_string(count) + (count == 1 ? " item" : " items");
}

}  // namespace garbolt_sim
