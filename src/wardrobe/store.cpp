#include "wardrobe/store.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <pugixml.hpp>

#include "host/files.h"
#include "host/natives.h"
#include "host/notification.h"
#include "menu/menu.h"
#include "wardrobe/outfits.h"

std::vector<std::int32_t> savedSlots;

namespace {

constexpr const char* kOutfitFilePath = "./Garbolt/SavedOutfits.xml";

constexpr const char* kRootElement = "Garbolt";
constexpr const char* kOutfitElement = "Outfit";
constexpr const char* kNameElement = "Name";
constexpr const char* kSlotElement = "Slot";
constexpr const char* kComponentsElement = "Components";
constexpr const char* kWearablesElement = "Wearables";
constexpr const char* kHashElement = "Hash";

constexpr std::uint64_t kClothingResetNative = 0x0BFA1BD465CDFEFD;
constexpr std::uint64_t kOutfitSettleNative = 0xAAB86462966168CE;
constexpr std::uint64_t kAppearanceRefreshNative = 0xCC8CA3E88256E58F;

// Game outfit record 0 holds what the character wears: entry k's item at
// global 26826 + 3k and its state at 26827 + 3k.
constexpr std::int32_t kWornItemGlobal = 26826;
constexpr std::int32_t kWornStateGlobal = 26827;
constexpr std::int32_t kEntryStride = 3;
constexpr int kOutfitEntries = 39;

// The worn-outfit bookkeeping, as after a game outfit, with slot 0.
constexpr std::int32_t kWornLabelGlobal = 1948301;
constexpr std::int32_t kWornLabelCopyGlobal = 1948182;
constexpr std::int32_t kWornSlotGlobal = 7769;
constexpr std::int32_t kCustomSlotFlagsGlobal = 7198;
constexpr std::uint64_t kSlotWornFlag = 0x1000;
constexpr std::int32_t kWornSlotCopyGlobal = 27572;
constexpr std::int32_t kWornSlotThirdGlobal = 1905941;
constexpr const char* kCustomOutfitLabel = "CLOTHING_CUSTOM_ONE_OUTFIT";

constexpr std::int32_t kSavedOutfitsPage = 1;
constexpr std::int32_t kFirstCustomRow = 6;
constexpr std::int32_t kLastCustomRow = 20;

constexpr const char* kLoadFailedMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";
constexpr const char* kNoCustomOutfitMessage = "[Custom]: There is no saved outfit in this slot";
constexpr const char* kBadSlotMessage = "~COLOR_RED~Cannot save outfit: bad slot index~s~";
constexpr const char* kSavedMessage = "Successfully saved outfit";
constexpr const char* kSaveFailedMessage = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kDeleteNotFoundMessage =
    "~COLOR_RED~Failed to delete outfit, slot not found~s~";
constexpr const char* kDeleteFailedMessage = "~COLOR_RED~Failed to delete outfit~s~";
constexpr const char* kDeletedMessage = "Successfully deleted outfit";
constexpr const char* kEquippedPrefix = "Equipped: ";

// Whitespace-only names must survive, so single whitespace texts are kept;
// those outside a Name are dropped again after loading (see LoadOutfitFile).
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

bool IsCustomRow(std::int32_t row) {
    return row >= kFirstCustomRow && row <= kLastCustomRow;
}

// The lowest slot number has no row before it: subtracting would overflow.
constexpr std::int32_t kNoRowSlot = std::numeric_limits<std::int32_t>::min();

std::int32_t RowIndexOfSlot(std::int32_t slotNumber) {
    return slotNumber > kNoRowSlot ? slotNumber - 1 : kNoRowSlot;
}

std::int32_t RowIndexOf(pugi::xml_node outfit) {
    return outfit.child(kSlotElement).text().as_int();
}

bool IsWhitespace(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// A whitespace text beside elements would turn off the file's indentation
// when the document is saved, so only a Name keeps one.
void DropLayoutWhitespace(pugi::xml_node node) {
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_pcdata && std::strcmp(node.name(), kNameElement) != 0 &&
            IsWhitespace(child.value())) {
            node.remove_child(child);
        } else if (child.type() == pugi::node_element) {
            DropLayoutWhitespace(child);
        }
        child = next;
    }
}

bool LoadOutfitFile(pugi::xml_document& document) {
    std::string bytes;
    if (!files::ReadFile(kOutfitFilePath, bytes) ||
        !document.load_buffer(bytes.data(), bytes.size(), kParseOptions)) {
        ShowNotification(kLoadFailedMessage);
        return false;
    }
    DropLayoutWhitespace(document);
    return true;
}

// pugixml writes a carriage return in text as it stands and reads it back as
// a line feed; written as a character reference it comes back unchanged.
class EscapingStringWriter : public pugi::xml_writer {
  public:
    explicit EscapingStringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        for (size_t i = 0; i < size; ++i) {
            if (bytes[i] == '\r') {
                out_ += "&#13;";
            } else {
                out_ += bytes[i];
            }
        }
    }

  private:
    std::string& out_;
};

bool WriteOutfitFile(const pugi::xml_document& document) {
    std::string bytes;
    EscapingStringWriter writer(bytes);
    document.save(writer);
    return files::ReplaceFile(kOutfitFilePath, bytes);
}

pugi::xml_node FindOutfit(pugi::xml_node root, std::int32_t rowIndex) {
    for (pugi::xml_node outfit = root.child(kOutfitElement); outfit;
         outfit = outfit.next_sibling(kOutfitElement)) {
        if (RowIndexOf(outfit) == rowIndex) {
            return outfit;
        }
    }
    return pugi::xml_node();
}

// The custom row itself, whichever row the cursor is on now.
Option* CustomRowOption(std::int32_t rowIndex) {
    auto page = Menu::submenuRegistry.find(kSavedOutfitsPage);
    if (page == Menu::submenuRegistry.end() || rowIndex < 0 ||
        rowIndex >= static_cast<std::int32_t>(page->second.options.size())) {
        return nullptr;
    }
    return &page->second.options[static_cast<std::size_t>(rowIndex)];
}

void RelabelRow(std::int32_t rowIndex, const std::string& label) {
    if (Option* option = CustomRowOption(rowIndex)) {
        option->SetText(label);
    }
}

bool IsListed(std::int32_t rowIndex) {
    return std::find(savedSlots.begin(), savedSlots.end(), rowIndex) != savedSlots.end();
}

// The 39 entries of the worn outfit as "Hash" lists, signed decimal.
void FillWornItems(pugi::xml_node components, pugi::xml_node wearables) {
    for (int k = 0; k < kOutfitEntries; ++k) {
        const auto item =
            static_cast<std::uint32_t>(ReadGlobal(kWornItemGlobal + kEntryStride * k));
        const auto state =
            static_cast<std::uint32_t>(ReadGlobal(kWornStateGlobal + kEntryStride * k));
        components.append_child(kHashElement).text().set(static_cast<int>(item));
        wearables.append_child(kHashElement).text().set(static_cast<int>(state));
    }
}

void ClearChildren(pugi::xml_node node) {
    while (node.first_child()) {
        node.remove_child(node.first_child());
    }
}

pugi::xml_node ChildOrAppend(pugi::xml_node parent, const char* name) {
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.append_child(name);
}

}  // namespace

std::string DefaultCustomRowLabel(std::int32_t rowIndex) {
    static const char* const kWords[] = {"Six",     "Seven",     "Eight",    "Nine",     "Ten",
                                         "Eleven",  "Twelve",    "Thirteen", "Fourteen", "Fifteen",
                                         "Sixteen", "Seventeen", "Eighteen", "Nineteen", "Twenty"};
    const std::int32_t word = IsCustomRow(rowIndex) ? rowIndex - kFirstCustomRow : 0;
    return std::string("Saved Custom Outfit ") + kWords[word];
}

void LoadCustomOutfitNames() {
    pugi::xml_document document;
    if (!LoadOutfitFile(document)) {
        return;
    }
    pugi::xml_node root = document.child(kRootElement);
    for (pugi::xml_node outfit = root.child(kOutfitElement); outfit;
         outfit = outfit.next_sibling(kOutfitElement)) {
        const std::string name = outfit.child(kNameElement).text().get();
        const std::int32_t rowIndex = RowIndexOf(outfit);
        if (!IsCustomRow(rowIndex)) {
            ShowNotification(
                ("[Wardrobe]: Slot index " + std::to_string(rowIndex) + " out of range").c_str());
            return;
        }
        Option* option = CustomRowOption(rowIndex);
        if (option == nullptr) {
            continue;
        }
        savedSlots.push_back(rowIndex);
        option->SetText(name);
    }
}

void EquipCustomOutfit(std::int32_t slotNumber) {
    pugi::xml_document document;
    if (!LoadOutfitFile(document)) {
        return;
    }
    const std::int32_t rowIndex = RowIndexOfSlot(slotNumber);
    pugi::xml_node found;
    if (IsCustomRow(rowIndex)) {
        found = FindOutfit(document.child(kRootElement), rowIndex);
    }
    if (!found) {
        ShowNotification(kNoCustomOutfitMessage);
        return;
    }
    CallNative(kClothingResetNative, PlayerCharacter());
    std::vector<std::uint32_t> items;
    for (pugi::xml_node hash = found.child(kComponentsElement).child(kHashElement); hash;
         hash = hash.next_sibling(kHashElement)) {
        const auto item = static_cast<std::uint32_t>(hash.text().as_int());
        items.push_back(item);
        if (item != 0) {
            PutOnItem(PlayerCharacter(), item, false);
        }
    }
    std::size_t k = 0;
    for (pugi::xml_node hash = found.child(kWearablesElement).child(kHashElement); hash;
         hash = hash.next_sibling(kHashElement), ++k) {
        const auto state = static_cast<std::uint32_t>(hash.text().as_int());
        if (state != 0 && k < items.size()) {
            SetItemState(PlayerCharacter(), items[k], state);
        }
    }
    WriteGlobal(kWornLabelGlobal, GameNameHash(kCustomOutfitLabel));
    WriteGlobal(kWornLabelCopyGlobal, GameNameHash(kCustomOutfitLabel));
    WriteGlobal(kWornSlotGlobal, 0);
    WriteGlobal(kCustomSlotFlagsGlobal, ReadGlobal(kCustomSlotFlagsGlobal) | kSlotWornFlag);
    WriteGlobal(kWornSlotCopyGlobal, 0);
    WriteGlobal(kWornSlotThirdGlobal, 0);
    CallNative(kOutfitSettleNative, PlayerCharacter(), 0);
    CallNativeSix(kAppearanceRefreshNative, PlayerCharacter(), 0, 1, 1, 0);
    const Option* option = activeMenu ? activeMenu->SelectedOption() : nullptr;
    ShowNotification((kEquippedPrefix + (option ? option->label : std::string())).c_str());
}

// Saving into a row the file already holds replaces that outfit rather than
// adding to it, and the row is marked taken only once the file is on disk.
void SaveCustomOutfit(const char* name, std::int32_t slotNumber) {
    if (slotNumber < kFirstCustomRow + 1 || slotNumber > kLastCustomRow + 1) {
        ShowNotification(kBadSlotMessage);
        return;
    }
    pugi::xml_document document;
    if (!LoadOutfitFile(document)) {
        return;
    }
    pugi::xml_node root = document.child(kRootElement);
    if (!root) {
        // Not our file's shape: it is left exactly as the player has it.
        ShowNotification(kSaveFailedMessage);
        return;
    }
    const std::int32_t rowIndex = slotNumber - 1;
    const std::string typedName = name != nullptr ? name : "";
    pugi::xml_node outfit = FindOutfit(root, rowIndex);
    pugi::xml_node components;
    pugi::xml_node wearables;
    if (outfit) {
        ChildOrAppend(outfit, kNameElement).text().set(typedName.c_str());
        components = ChildOrAppend(outfit, kComponentsElement);
        wearables = ChildOrAppend(outfit, kWearablesElement);
        ClearChildren(components);
        ClearChildren(wearables);
    } else {
        outfit = root.append_child(kOutfitElement);
        outfit.append_child(kNameElement).text().set(typedName.c_str());
        outfit.append_child(kSlotElement).text().set(rowIndex);
        components = outfit.append_child(kComponentsElement);
        wearables = outfit.append_child(kWearablesElement);
    }
    FillWornItems(components, wearables);
    if (!WriteOutfitFile(document)) {
        ShowNotification(kSaveFailedMessage);
        return;
    }
    if (!IsListed(rowIndex)) {
        savedSlots.push_back(rowIndex);
    }
    ShowNotification(kSavedMessage);
    RelabelRow(rowIndex, typedName);
}

void DeleteCustomOutfit(std::int32_t slotNumber) {
    pugi::xml_document document;
    if (!LoadOutfitFile(document)) {
        return;
    }
    const std::int32_t rowIndex = RowIndexOfSlot(slotNumber);
    pugi::xml_node root = document.child(kRootElement);
    pugi::xml_node outfit = slotNumber > kNoRowSlot ? FindOutfit(root, rowIndex) : pugi::xml_node();
    if (!outfit) {
        ShowNotification(kDeleteNotFoundMessage);
        return;
    }
    root.remove_child(outfit);
    if (!WriteOutfitFile(document)) {
        ShowNotification(kDeleteFailedMessage);
        return;
    }
    ShowNotification(kDeletedMessage);
    auto listed = std::find(savedSlots.begin(), savedSlots.end(), rowIndex);
    if (listed != savedSlots.end()) {
        savedSlots.erase(listed);
    }
    // A second outfit filed under the same row keeps the row taken; the row
    // then shows that outfit's name rather than claiming to be free.
    pugi::xml_node remaining = FindOutfit(root, rowIndex);
    if (remaining && IsListed(rowIndex)) {
        RelabelRow(rowIndex, remaining.child(kNameElement).text().get());
    } else {
        RelabelRow(rowIndex, DefaultCustomRowLabel(rowIndex));
    }
}
