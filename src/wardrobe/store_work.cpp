#include "wardrobe/store_work.h"

#include <cstdio>
#include <exception>

#include <pugixml.hpp>

#include "host/files.h"
#include "wardrobe/outfit_messages.h"
#include "wardrobe/outfit_scan.h"
#include "wardrobe/xml_reserve.h"

namespace store_work {

namespace {

using outfit_file::kOutfitFilePath;
using outfit_file::OutfitScan;
using outfit_file::ScannedOutfit;
using outfit_file::ScanOutfits;
using outfit_file::ScanReach;
using outfit_file::ShownNameOf;

// A save and a delete each have their own words for success and failure; a
// failure may add the reason after a colon.
struct Change {
    const char* done;
    const char* failed;
};
constexpr Change kSave = {"Successfully saved outfit", "Failed to save outfit"};
constexpr Change kDelete = {"Successfully deleted outfit", "Failed to delete outfit"};

// Reasons that both give.
constexpr const char* kHeldFile = "Garbolt/SavedOutfits.xml is in use by another program";
constexpr const char* kNotUtf8 = "Garbolt/SavedOutfits.xml is not saved as UTF-8";

constexpr const char* kNoCustomOutfit = "[Custom]: There is no saved outfit in this slot";
constexpr const char* kDeleteNotFound = "Failed to delete outfit, slot not found";

// The folder a first save creates the file in; it is never created itself.
constexpr const char* kOutfitFolder = "./Garbolt";

void Say(Outcome& outcome, const char* text) {
    std::snprintf(outcome.message, sizeof outcome.message, "%s", text);
}

// A failure in red, with its reason when given. It neither allocates nor
// throws; every message of the store fits the buffer.
void SayFailure(Outcome& outcome, const char* text, const char* reason = nullptr) {
    std::snprintf(outcome.message, sizeof outcome.message, "~COLOR_RED~%s%s%s~s~", text,
                  reason != nullptr ? ": " : "", reason != nullptr ? reason : "");
}

// A write that failed: named as such when another program holds the file.
void SayWriteFailure(Outcome& outcome, const Change& change) {
    SayFailure(outcome, change.failed, files::LastReplaceMetHeldFile() ? kHeldFile : nullptr);
}

// The file as an operation found it, parsed inside the reserve's buffer,
// which the next operation reads the file into again.
struct StoreFile {
    xml_reserve::Scope reserve;  // first: it outlives the document
    pugi::xml_document document;
    bool missing = false;  // no file yet: an empty store, which a save creates
    bool byteOrderMark = false;
    bool utf8 = true;     // may be written back with a change
    bool shallow = true;  // as loaded: a save or delete keeps it so
};

// Reads the file for an operation; false, with the reason told, when it
// cannot act on it. A missing file is the empty store and no failure.
bool ReadStore(StoreFile& file, Outcome& outcome) {
    const outfit_file::InPlaceLoad result = outfit_file::LoadOutfitFileInPlace(
        kOutfitFilePath, file.document, file.reserve.FileBytes());
    switch (result.read) {
        case files::ReadStatus::Missing:
            file.missing = true;
            return true;
        case files::ReadStatus::NotPlainFile:
            SayFailure(outcome, outfit_messages::kNotPlainFile);
            return false;
        case files::ReadStatus::TooLarge:
            SayFailure(outcome, outfit_messages::kTooLarge);
            return false;
        case files::ReadStatus::Unreadable:
            SayFailure(outcome, outfit_messages::kUnreadable);
            return false;
        case files::ReadStatus::Read:
            break;
    }
    if (result.parse.status == pugi::status_out_of_memory) {
        SayFailure(outcome, outfit_messages::kUnreadable);
        return false;
    }
    if (!result.parse) {
        SayFailure(outcome, outfit_messages::kNotXml);
        return false;
    }
    file.byteOrderMark = result.byteOrderMark;
    file.utf8 = result.utf8Bytes && outfit_file::DeclaresUtf8(file.document);
    file.shallow = result.shallow;
    return true;
}

bool WriteStore(const StoreFile& file) {
    return outfit_file::SaveOutfitFile(kOutfitFilePath, file.document, file.byteOrderMark,
                                       file.shallow);
}

// The outfits the start places, in document order, each on its row in turn.
Placement PlacementOf(const OutfitScan& scan) {
    Placement placed;
    for (const ScannedOutfit& outfit : scan.outfits) {
        if (outfit.Loaded()) {
            placed.push_back({outfit.rowIndex, ShownNameOf(outfit.node)});
        }
    }
    return placed;
}

// After a change is on disk, the page follows the file as written. Running
// out of memory here leaves the page as it was read, which the next
// operation mends: the change itself is done, and said so.
void FollowWritten(const pugi::xml_document& document, Outcome& outcome) noexcept {
    try {
        outcome.placedAfter = PlacementOf(ScanOutfits(document, ScanReach::FirstRoot));
    } catch (const std::exception&) {
        outcome.placedAfter.reset();
    }
}

// Of the outfits the page places on the row, the last one shown as `label`:
// with two on a row, the later one's name is the one the row shows.
const ScannedOutfit* OutfitShownAs(const OutfitScan& scan, std::int32_t rowIndex,
                                   const std::string& label) {
    const ScannedOutfit* shown = nullptr;
    for (const ScannedOutfit& outfit : scan.outfits) {
        if (outfit.Loaded() && outfit.rowIndex == rowIndex && ShownNameOf(outfit.node) == label) {
            shown = &outfit;
        }
    }
    return shown;
}

void Load(const OutfitScan& scan, Outcome& outcome) {
    if (const ScannedOutfit* stop = scan.Stop()) {
        Say(outcome, outfit_messages::SlotOutOfRange(stop->rowIndex).c_str());
    }
}

void Equip(const Request& request, const OutfitScan& scan, Outcome& outcome) {
    const ScannedOutfit* outfit = scan.FirstOnRow(request.rowIndex);
    if (outfit == nullptr) {
        Say(outcome, kNoCustomOutfit);
        return;
    }
    // Each item costs the frame its own calls: an outfit beyond the cap is
    // worn not at all rather than in part.
    if (outfit->OverItemCap()) {
        SayFailure(outcome, outfit_messages::kTooManyItems);
        return;
    }
    WornOutfit wear;
    wear.items = outfit_file::ReadHashes(outfit->node.child(outfit_file::kComponentsElement));
    wear.states = outfit_file::ReadHashes(outfit->node.child(outfit_file::kWearablesElement));
    outcome.wear = std::move(wear);
}

void Save(const Request& request, StoreFile& file, const OutfitScan& scan, Outcome& outcome) {
    pugi::xml_node root = scan.root;
    if (file.missing) {
        if (!files::Exists(kOutfitFolder)) {
            SayFailure(outcome, kSave.failed, "Unable to find the Garbolt folder");
            return;
        }
        root = file.document.append_child(outfit_file::kRootElement);
    } else if (!root) {
        // Not our file's shape: it is left exactly as the player has it.
        SayFailure(outcome, kSave.failed);
        return;
    } else if (scan.LoadedOnRow(request.rowIndex) != nullptr) {
        // The row looked free, but the file holds an outfit there now (put
        // there outside the game): that outfit is the player's, not ours to replace.
        SayFailure(outcome, kSave.failed, "this slot is already taken");
        return;
    } else if (!file.utf8) {
        SayFailure(outcome, kSave.failed, kNotUtf8);
        return;
    }
    // When loading stops early, the new outfit goes before the outfit it
    // stops at, where the next start finds it.
    const ScannedOutfit* stop = scan.Stop();
    outfit_file::InsertOutfit(root, stop != nullptr ? stop->node : pugi::xml_node(),
                              request.typedName, request.rowIndex, request.worn);
    if (!WriteStore(file)) {
        SayWriteFailure(outcome, kSave);
        return;
    }
    Say(outcome, kSave.done);
    FollowWritten(file.document, outcome);
}

void Delete(const Request& request, StoreFile& file, const OutfitScan& scan, Outcome& outcome) {
    const ScannedOutfit* outfit =
        request.shownTaken ? OutfitShownAs(scan, request.rowIndex, request.shownName) : nullptr;
    if (outfit == nullptr) {
        const bool taken = scan.LoadedOnRow(request.rowIndex) != nullptr;
        SayFailure(outcome, taken ? kDelete.failed : kDeleteNotFound,
                   taken ? "the slot holds another outfit now" : nullptr);
        return;
    }
    if (!file.utf8) {
        SayFailure(outcome, kDelete.failed, kNotUtf8);
        return;
    }
    outfit_file::RemoveSubtree(outfit->node);
    if (!WriteStore(file)) {
        // The document is no longer the file: the page keeps what was read.
        SayWriteFailure(outcome, kDelete);
        return;
    }
    Say(outcome, kDelete.done);
    FollowWritten(file.document, outcome);
}

}  // namespace

const char* FailureMessage(Operation operation) {
    return operation == Operation::Delete ? "~COLOR_RED~Failed to delete outfit~s~"
                                          : "~COLOR_RED~Failed to save outfit~s~";
}

Outcome Run(const Request& request) noexcept {
    Outcome outcome;
    try {
        // Every operation reads the file as it is now; the page follows it
        // as read, whatever the operation then does.
        StoreFile file;
        if (!ReadStore(file, outcome)) {
            return outcome;
        }
        const OutfitScan scan = ScanOutfits(file.document, ScanReach::FirstRoot);
        outcome.placedBefore = PlacementOf(scan);
        switch (request.operation) {
            case Operation::Load:
                Load(scan, outcome);
                break;
            case Operation::Equip:
                Equip(request, scan, outcome);
                break;
            case Operation::Save:
                Save(request, file, scan, outcome);
                break;
            case Operation::Delete:
                Delete(request, file, scan, outcome);
                break;
        }
    } catch (...) {
        // Out of memory midway: nothing was written. A save or delete says
        // so rather than ending without a word; a start or an equip shows
        // what it had found before.
        if (request.operation == Operation::Save || request.operation == Operation::Delete) {
            Say(outcome, FailureMessage(request.operation));
        }
    }
    return outcome;
}

}  // namespace store_work
