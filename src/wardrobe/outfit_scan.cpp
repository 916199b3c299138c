#include "wardrobe/outfit_scan.h"

#include <array>
#include <cstring>

#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"

namespace outfit_file {

namespace {

// The node after `node` in document order, entering its children first.
pugi::xml_node NextInDocument(pugi::xml_node node) {
    if (node.first_child()) {
        return node.first_child();
    }
    for (; node; node = node.parent()) {
        if (node.next_sibling()) {
            return node.next_sibling();
        }
    }
    return pugi::xml_node();
}

// The walk meets every node of the file, most of them list entries: their
// first letter settles it without a call to compare whole names.
bool IsOutfitElement(pugi::xml_node node) {
    const char* name = node.name();
    return name[0] == kOutfitElement[0] && std::strcmp(name, kOutfitElement) == 0 &&
           node.type() == pugi::node_element;
}

// Follows the start through the first root's outfits, one at a time.
class LoadingRule {
  public:
    void Place(ScannedOutfit& outfit) {
        outfit.number = ++count_;
        const bool custom = IsCustomRow(outfit.rowIndex);
        if (custom) {
            int& first = firstOnRow_[static_cast<std::size_t>(outfit.rowIndex - kFirstCustomRow)];
            outfit.duplicateOf = first;
            if (first == 0) {
                first = outfit.number;
            }
        }
        if (stopped_) {
            outfit.status = OutfitStatus::Hidden;
        } else if (!custom) {
            outfit.status = OutfitStatus::StopsLoading;
            stopped_ = true;
        } else {
            outfit.status =
                outfit.duplicateOf != 0 ? OutfitStatus::Duplicate : OutfitStatus::Placed;
        }
    }

  private:
    int count_ = 0;
    bool stopped_ = false;
    std::array<int, wardrobe_layout::kCustomRows> firstOnRow_{};
};

}  // namespace

OutfitScan ScanOutfits(const pugi::xml_document& document, ScanReach reach) {
    OutfitScan scan;
    scan.root = RootOf(document);
    LoadingRule rule;
    const bool whole = reach == ScanReach::WholeDocument;
    for (pugi::xml_node node = whole ? document.first_child() : scan.root.first_child(); node;
         node = whole ? NextInDocument(node) : node.next_sibling()) {
        if (!IsOutfitElement(node)) {
            continue;
        }
        ScannedOutfit outfit;
        outfit.node = node;
        outfit.rowIndex = RowIndexOf(node);
        if (scan.root && node.parent() == scan.root) {
            rule.Place(outfit);
        } else {
            outfit.status = OutfitStatus::OutsideFirstRoot;
        }
        scan.outfits.push_back(outfit);
    }
    return scan;
}

const ScannedOutfit* OutfitScan::Stop() const {
    for (const ScannedOutfit& outfit : outfits) {
        if (outfit.status == OutfitStatus::StopsLoading) {
            return &outfit;
        }
    }
    return nullptr;
}

const ScannedOutfit* OutfitScan::FirstOnRow(std::int32_t rowIndex) const {
    if (!IsCustomRow(rowIndex)) {
        return nullptr;
    }
    for (const ScannedOutfit& outfit : outfits) {
        if (outfit.number != 0 && outfit.rowIndex == rowIndex) {
            return &outfit;
        }
    }
    return nullptr;
}

const ScannedOutfit* OutfitScan::LoadedOnRow(std::int32_t rowIndex) const {
    for (const ScannedOutfit& outfit : outfits) {
        if (outfit.Loaded() && outfit.rowIndex == rowIndex) {
            return &outfit;
        }
    }
    return nullptr;
}

}  // namespace outfit_file
