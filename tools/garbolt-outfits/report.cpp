#include "report.h"

#include <algorithm>
#include <utility>

#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

namespace {

constexpr std::int64_t kFirstUnsignedOnly = std::int64_t{1} << 31;  // 0x80000000
constexpr std::int64_t kPastUnsigned = std::int64_t{1} << 32;
// A number this long is shown cut, so that a hostile file cannot make one
// message as large as itself.
constexpr std::size_t kLongestShownNumber = 32;

std::string ShownNumber(const char* text) {
    std::string shown = text;
    const char* blanks = " \t\r\n";
    shown.erase(0, std::min(shown.size(), shown.find_first_not_of(blanks)));
    shown.erase(shown.find_last_not_of(blanks) + 1);
    if (shown.size() > kLongestShownNumber) {
        shown.resize(kLongestShownNumber);
        shown += "...";
    }
    return shown;
}

// Goes through one list's Hash elements: their count, how many are items
// (not 0), and those the plug-in cannot read as written.
std::size_t ReadList(pugi::xml_node list, const LocationMap& locations, std::size_t& nonZero,
                     std::vector<OutOfRangeHash>& outOfRange) {
    std::size_t count = 0;
    for (pugi::xml_node hash = list.child(outfit_file::kHashElement); hash;
         hash = hash.next_sibling(outfit_file::kHashElement)) {
        ++count;
        const pugi::xml_text text = hash.text();
        const std::int32_t asRead = text.as_int();
        nonZero += asRead != 0 ? 1 : 0;
        // as_llong reads the same way with 64 bits, so it tells a saturated value.
        const long long written = text.as_llong();
        if (written == asRead) {
            continue;
        }
        OutOfRangeHash odd;
        odd.node = hash;
        odd.location = locations.At(hash);
        odd.text = ShownNumber(text.get());
        odd.asRead = asRead;
        odd.hasSignedForm = written >= kFirstUnsignedOnly && written < kPastUnsigned;
        if (odd.hasSignedForm) {
            odd.signedForm = static_cast<std::int32_t>(written - kPastUnsigned);
        }
        outOfRange.push_back(odd);
    }
    return count;
}

}  // namespace

std::size_t CharactersIn(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

bool StoreReport::AllUsable() const {
    return hasRoot && std::all_of(outfits.begin(), outfits.end(),
                                  [](const OutfitReport& outfit) { return outfit.Usable(); });
}

std::vector<std::int32_t> StoreReport::FreeRows() const {
    std::vector<std::int32_t> free;
    for (std::int32_t row = outfit_file::kFirstCustomRow; row <= outfit_file::kLastCustomRow;
         ++row) {
        if (OutfitOnRow(row) == nullptr) {
            free.push_back(row);
        }
    }
    return free;
}

const OutfitReport* StoreReport::OutfitOnRow(std::int32_t rowIndex) const {
    for (const OutfitReport& outfit : outfits) {
        if (outfit.rowIndex == rowIndex) {
            return &outfit;
        }
    }
    return nullptr;
}

StoreReport AnalyseStore(const pugi::xml_document& document, const std::string& bytes) {
    StoreReport report;
    const outfit_file::OutfitScan scan = outfit_file::ScanOutfits(document, outfit_file::ScanReach::WholeDocument);
    report.hasRoot = static_cast<bool>(scan.root);
    const LocationMap locations(bytes);
    for (const outfit_file::ScannedOutfit& scanned : scan.outfits) {
        const pugi::xml_node node = scanned.node;
        if (scanned.status == outfit_file::OutfitStatus::OutsideFirstRoot) {
            report.unseen.push_back({locations.At(node), outfit_file::NameOf(node)});
            continue;
        }
        OutfitReport outfit;
        outfit.node = node;
        outfit.number = scanned.number;
        outfit.status = scanned.status;
        outfit.duplicateOf = scanned.duplicateOf;
        outfit.overItemCap = scanned.OverItemCap();
        outfit.location = locations.At(node);
        outfit.hasName = static_cast<bool>(node.child(outfit_file::kNameElement));
        outfit.name = outfit_file::NameOf(node);
        outfit.shownName = outfit_file::ShownNameOf(node);
        const pugi::xml_node slot = node.child(outfit_file::kSlotElement);
        outfit.slotText = slot.text().get();
        outfit.hasSlot = slot && !outfit.slotText.empty();
        outfit.slotLocation = slot ? locations.At(slot) : outfit.location;
        outfit.rowIndex = scanned.rowIndex;
        outfit.inRange = outfit_file::IsCustomRow(outfit.rowIndex);
        outfit.componentCount = ReadList(node.child(outfit_file::kComponentsElement), locations,
                                         outfit.items, outfit.outOfRangeHashes);
        std::size_t nonZeroStates = 0;
        outfit.wearableCount = ReadList(node.child(outfit_file::kWearablesElement), locations,
                                        nonZeroStates, outfit.outOfRangeHashes);
        report.outfits.push_back(std::move(outfit));
    }
    return report;
}

}  // namespace garbolt_outfits
