#include "report.h"

#include <algorithm>
#include <map>

#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

namespace {

bool IsContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

Location LocationOf(const std::string& bytes, std::ptrdiff_t offset) {
    Location location;
    const std::size_t end =
        offset < 0 ? 0 : std::min(bytes.size(), static_cast<std::size_t>(offset));
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (bytes[i] == '\n') {
            ++location.line;
            lineStart = i + 1;
        }
    }
    // A byte order mark is no character of the first line.
    if (lineStart == 0 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        lineStart = std::min<std::size_t>(3, end);
    }
    for (std::size_t i = lineStart; i < end; ++i) {
        // A carriage return ends a line together with the line feed after it.
        if (!IsContinuationByte(bytes[i]) && bytes[i] != '\r') {
            ++location.column;
        }
    }
    return location;
}

Location LocationOf(const std::string& bytes, pugi::xml_node element) {
    std::ptrdiff_t offset = element.offset_debug();
    if (offset < 0) {
        return Location();
    }
    // The parser records where the name starts; the element starts at its '<'.
    if (offset > 0 && static_cast<std::size_t>(offset) <= bytes.size() &&
        bytes[static_cast<std::size_t>(offset) - 1] == '<') {
        --offset;
    }
    return LocationOf(bytes, offset);
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
    const pugi::xml_node root = outfit_file::RootOf(document);
    report.hasRoot = static_cast<bool>(root);
    std::map<std::int32_t, int> firstOnRow;
    bool stopped = false;
    int number = 0;
    for (pugi::xml_node node = outfit_file::FirstOutfit(root); node;
         node = outfit_file::NextOutfit(node)) {
        OutfitReport outfit;
        outfit.node = node;
        outfit.number = ++number;
        outfit.location = LocationOf(bytes, node);
        outfit.hasName = static_cast<bool>(node.child(outfit_file::kNameElement));
        outfit.name = outfit_file::NameOf(node);
        const pugi::xml_node slot = node.child(outfit_file::kSlotElement);
        outfit.slotText = slot.text().get();
        outfit.hasSlot = slot && !outfit.slotText.empty();
        outfit.slotLocation = slot ? LocationOf(bytes, slot) : outfit.location;
        outfit.rowIndex = outfit_file::RowIndexOf(node);
        outfit.inRange = outfit.hasSlot && outfit_file::IsCustomRow(outfit.rowIndex);
        outfit.ignored = stopped;
        if (!outfit.inRange && !stopped) {
            outfit.stopsLoading = true;
            stopped = true;
        }
        if (outfit.inRange) {
            auto first = firstOnRow.find(outfit.rowIndex);
            if (first == firstOnRow.end()) {
                firstOnRow.emplace(outfit.rowIndex, outfit.number);
            } else {
                outfit.duplicateOf = first->second;
            }
        }
        const std::vector<std::uint32_t> items =
            outfit_file::ReadHashes(node.child(outfit_file::kComponentsElement));
        outfit.componentCount = items.size();
        outfit.items = static_cast<std::size_t>(std::count_if(
            items.begin(), items.end(), [](std::uint32_t item) { return item != 0; }));
        outfit.wearableCount =
            outfit_file::ReadHashes(node.child(outfit_file::kWearablesElement)).size();
        report.outfits.push_back(outfit);
    }
    return report;
}

}  // namespace garbolt_outfits
