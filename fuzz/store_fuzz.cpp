// The custom outfit store on random file bytes: the plug-in's load, equip,
// save and delete, in a random order on random rows with random names. It
// never crashes, misuses no native and only ever shows its own messages; a
// file that was not well-formed is never overwritten; every file it writes is
// well-formed and within the size cap; a file past the cap is never read
// nor written; a reported save holds the typed name on its row, and a
// reported delete leaves one outfit fewer on that row.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <set>
#include <string>

#include <pugixml.hpp>

#include "fuzz_support.h"
#include "host/state.h"
#include "menu/menu.h"
#include "sim/game.h"
#include "structure_mutator.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/pages.h"
#include "wardrobe/store.h"

namespace {

using fuzz_support::Broken;

constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";
using wardrobe_layout::kSavedOutfitsPage;

const std::set<std::string>& FixedMessages() {
    static const std::set<std::string> messages = {
        "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~",
        "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file cannot be read.~s~",
        "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file is too large.~s~",
        "~COLOR_RED~Failed to equip outfit: it holds too many items~s~",
        "~COLOR_RED~Failed to save outfit: this slot is already taken~s~",
        "~COLOR_RED~Failed to save outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~",
        "~COLOR_RED~Failed to delete outfit: the slot holds another outfit now~s~",
        "~COLOR_RED~Failed to delete outfit: Garbolt/SavedOutfits.xml is not saved as UTF-8~s~",
        "[Custom]: There is no saved outfit in this slot",
        "~COLOR_RED~Cannot save outfit: bad slot index~s~",
        "Successfully saved outfit",
        "~COLOR_RED~Failed to save outfit~s~",
        "~COLOR_RED~Failed to delete outfit, slot not found~s~",
        "~COLOR_RED~Failed to delete outfit~s~",
        "Successfully deleted outfit",
    };
    return messages;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool Written(const std::string& text) {
    if (FixedMessages().count(text) != 0 || StartsWith(text, "Equipped: ")) {
        return true;
    }
    const std::string before = "[Wardrobe]: Slot index ", after = " out of range";
    if (!StartsWith(text, before) || text.size() <= before.size() + after.size() ||
        text.compare(text.size() - after.size(), after.size(), after) != 0) {
        return false;
    }
    const std::string number =
        text.substr(before.size(), text.size() - before.size() - after.size());
    return number.find_first_not_of("-0123456789") == std::string::npos;
}

// The outfits of a well-formed file under the store's reading rules.
struct Parsed {
    bool wellFormed = false;
    pugi::xml_document document;
};

void Parse(const std::string& bytes, Parsed& parsed) {
    parsed.wellFormed = parsed.document.load_buffer(
        bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
}

int OutfitsOnRow(const pugi::xml_document& document, std::int64_t row, std::string* firstName) {
    int count = 0;
    const pugi::xml_node root = document.child("Garbolt");
    for (pugi::xml_node outfit = root.child("Outfit"); outfit;
         outfit = outfit.next_sibling("Outfit")) {
        if (outfit.child("Slot").text().as_int() == row) {
            if (count == 0 && firstName != nullptr) {
                *firstName = outfit.child("Name").text().get();
            }
            ++count;
        }
    }
    return count;
}

std::string LastNotification() {
    const auto& shown = sim::TheGame().Notifications();
    return shown.empty() ? std::string() : shown.back().text;
}

void CheckMessages() {
    for (const sim::Notification& shown : sim::TheGame().Notifications()) {
        if (!Written(shown.text)) {
            Broken("a message the plug-in does not have: " + shown.text);
        }
    }
    if (!sim::TheGame().Misuses().empty()) {
        const sim::TraceEvent& misuse = sim::TheGame().Misuses().front();
        Broken("the store misused " + std::string(misuse.Name()) + ": " + misuse.problem);
    }
}

}  // namespace

namespace {

// Files up to 1 MB: large enough for deep nesting and long texts.
constexpr std::size_t kMaxFileBytes = 1 << 20;
constexpr const char* kTooLargeMessage =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. The file is too large.~s~";
constexpr const char* kBadSlotMessage = "~COLOR_RED~Cannot save outfit: bad slot index~s~";

// One input in eight has its file repeated past the size cap, which no
// input reaches by itself: the cap is several times the longest input.
std::string FileOf(FuzzedDataProvider& input) {
    std::string file = input.ConsumeRandomLengthString(kMaxFileBytes);
    if (input.ConsumeIntegralInRange(0, 7) != 0) {
        return file;
    }
    std::string chunk = file.empty() ? std::string("<!-- -->") : file;
    while (chunk.size() < (1u << 16)) {
        chunk += chunk;
    }
    while (file.size() <= outfit_file::kMaxOutfitFileBytes) {
        file += chunk;
    }
    return file;
}

// A file past the cap is never read: every operation says it is too large
// (a save on a slot with no row says that first) and it stays as it was.
void CheckUnread(const std::string& original) {
    if (fuzz_support::ReadBytes(kOutfitFile) != original) {
        Broken("a file past the size cap was written");
    }
    const std::string message = LastNotification();
    if (message != kTooLargeMessage && message != kBadSlotMessage) {
        Broken("a file past the size cap did not say it is too large: " + message);
    }
}

void FuzzOne(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz_support::ScratchFolder("store");
    static bool started = false;
    if (!started) {
        sim::TheGame().Reset();
        started = true;
    }
    FuzzedDataProvider input(data, size);
    const std::string original = FileOf(input);
    const bool pastTheCap = original.size() > outfit_file::kMaxOutfitFileBytes;
    fuzz_support::PrepareGameFolder(folder, original, fuzz_support::kDefaultSettings);

    sim::Game& game = sim::TheGame();
    game.ClearTrace();
    game.ClearNotifications();
    ResetPluginState();
    activeMenu = std::make_unique<Menu>();
    InitializeMenu();
    activeMenu->currentSubmenu = &Menu::submenuRegistry.at(kSavedOutfitsPage);
    activeMenu->currentSubmenuId = kSavedOutfitsPage;
    activeMenu->isOpen = true;

    Parsed before;
    Parse(original, before);

    LoadCustomOutfitNames();
    CheckMessages();
    if (pastTheCap) {
        CheckUnread(original);
    }
    std::string current = original;
    for (int step = 0; step < 16 && input.remaining_bytes() > 0; ++step) {
        const int operation = input.ConsumeIntegralInRange(0, 2);
        // Mostly the custom rows' slot numbers, sometimes any.
        const std::int32_t slot = input.ConsumeBool() ? input.ConsumeIntegralInRange(7, 21)
                                                      : input.ConsumeIntegral<std::int32_t>();
        activeMenu->currentOption = slot >= 1 && slot <= 21 ? slot - 1 : 6;
        const std::int64_t row = static_cast<std::int64_t>(slot) - 1;
        game.ClearNotifications();
        std::string name;
        switch (operation) {
            case 0:
                EquipCustomOutfit(slot);
                break;
            case 1:
                name = input.ConsumeRandomLengthString(40);
                name = name.c_str();  // the game hands the plug-in a C string
                SaveCustomOutfit(name.c_str(), slot);
                break;
            default:
                DeleteCustomOutfit(slot);
                break;
        }
        CheckMessages();
        if (pastTheCap) {
            CheckUnread(original);
            continue;
        }
        const std::string now = fuzz_support::ReadBytes(kOutfitFile);
        if (now != current && now.size() > outfit_file::kMaxOutfitFileBytes) {
            Broken("the store wrote a file past the size cap, which it would never read");
        }
        if (!before.wellFormed && now != original) {
            Broken("a file that was not well-formed was overwritten");
        }
        Parsed after;
        Parse(now, after);
        if (now != current && !after.wellFormed) {
            Broken("the store wrote a file that is not well-formed");
        }
        const std::string message = LastNotification();
        Parsed previous;
        Parse(current, previous);
        if (message == "Successfully saved outfit") {
            // Only a row the page can show gets the new outfit, in front of
            // any the start never reaches; nothing is replaced. The name is
            // kept as UTF-8, cut to what the game shows.
            const int held = OutfitsOnRow(previous.document, row, nullptr);
            std::string stored;
            std::string expected;
            outfit_file::CopyCutName(outfit_file::MendedUtf8(name).c_str(), expected);
            if (OutfitsOnRow(after.document, row, &stored) != held + 1 || stored != expected) {
                Broken("a reported save is not on its row with its name, or replaced one");
            }
        }
        if (message == "Successfully deleted outfit") {
            if (OutfitsOnRow(after.document, row, nullptr) !=
                OutfitsOnRow(previous.document, row, nullptr) - 1) {
                Broken("a reported delete did not remove exactly one outfit");
            }
        }
        current = now;
    }
}

}  // namespace

GARBOLT_FUZZ_ON_SCRIPT_STACK(FuzzOne)

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    return fuzz_support::MutateStructure(fuzz_support::Structure::Xml, data, size, maxSize, seed);
}
