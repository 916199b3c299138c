// How the character looks in screenshots and on the interactive screen: each
// item worn is a band in a colour made from the item's hash, the bands in
// head, torso and legs order, so an equip changes the picture and every
// outfit looks like itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/clothing.h"

namespace garbolt_sim {

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct Band {
    std::uint32_t item = 0;
    Rgba colour;
    bool operator==(const Band& o) const { return item == o.item && colour == o.colour; }
};

struct CharacterLook {
    // The bands of each part of the body, top to bottom in entry order.
    std::vector<Band> head, torso, legs;

    std::size_t ItemCount() const { return head.size() + torso.size() + legs.size(); }
    bool operator==(const CharacterLook& o) const {
        return head == o.head && torso == o.torso && legs == o.legs;
    }
    bool operator!=(const CharacterLook& o) const { return !(*this == o); }
};

// The game's outfit record has no parts of the body, so its 39 entries are
// read in thirds: entries 0 to 12 dress the head, 13 to 25 the torso, 26 to
// 38 the legs. Empty entries (item 0) show no band.
constexpr std::size_t kEntriesPerPart = 13;
CharacterLook LookOf(const sim::OutfitEntries& worn);

// An opaque colour from an item hash: the same item always has the same
// colour, and items whose hashes differ by a bit get unlike colours.
Rgba ItemColour(std::uint32_t item);

// "wearing 12 items", "wearing 1 item", "wearing 0 items".
std::string WearingLine(const CharacterLook& look);

}  // namespace garbolt_sim
