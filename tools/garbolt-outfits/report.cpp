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

std::size_t CharactersIn(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char byte) { return !IsContinuationByte(byte); }));
}

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

namespace {

// Where an element starts (its '<'), as a byte offset; -1 when unknown.
std::ptrdiff_t StartOf(const std::string& bytes, pugi::xml_node element) {
    std::ptrdiff_t offset = element.offset_debug();
    if (offset < 0) {
        return -1;
    }
    // The parser records where the name starts; the element starts at its '<'.
    if (offset > 0 && static_cast<std::size_t>(offset) <= bytes.size() &&
        bytes[static_cast<std::size_t>(offset) - 1] == '<') {
        --offset;
    }
    return offset;
}

// Locations of elements met mostly in document order: each is counted on
// from the one before, so a file of many outfits is read once, not once per
// outfit.
class Locator {
  public:
    explicit Locator(const std::string& bytes) : bytes_(bytes) {}
    Location Of(pugi::xml_node element) {
        const std::ptrdiff_t offset = StartOf(bytes_, element);
        if (offset < 0) {
            return Location();
        }
        if (offset < offset_ || offset_ < 3) {
            // Backwards, or near the start where a byte order mark may sit.
            offset_ = offset;
            location_ = LocationOf(bytes_, offset);
            return location_;
        }
        for (std::size_t i = static_cast<std::size_t>(offset_);
             i < std::min(bytes_.size(), static_cast<std::size_t>(offset)); ++i) {
            if (bytes_[i] == '\n') {
                ++location_.line;
                location_.column = 1;
            } else if (!IsContinuationByte(bytes_[i]) && bytes_[i] != '\r') {
                ++location_.column;
            }
        }
        offset_ = offset;
        return location_;
    }

  private:
    const std::string& bytes_;
    std::ptrdiff_t offset_ = 0;
    Location location_;
};

}  // namespace

Location LocationOf(const std::string& bytes, pugi::xml_node element) {
    const std::ptrdiff_t offset = StartOf(bytes, element);
    return offset < 0 ? Location() : LocationOf(bytes, offset);
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
    Locator locator(bytes);
    std::map<std::int32_t, int> firstOnRow;
    bool stopped = false;
    int number = 0;
    for (pugi::xml_node node = outfit_file::FirstOutfit(root); node;
         node = outfit_file::NextOutfit(node)) {
        OutfitReport outfit;
        outfit.node = node;
        outfit.number = ++number;
        outfit.location = locator.Of(node);
        outfit.hasName = static_cast<bool>(node.child(outfit_file::kNameElement));
        outfit.name = outfit_file::NameOf(node);
        outfit.shownName = outfit_file::ShownNameOf(node);
        const pugi::xml_node slot = node.child(outfit_file::kSlotElement);
        outfit.slotText = slot.text().get();
        outfit.hasSlot = slot && !outfit.slotText.empty();
        outfit.slotLocation = slot ? locator.Of(slot) : outfit.location;
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
