// Section index: shared wording; check; list; export; import; backup; mend;
// rename; move.
#include "commands.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "access.h"
#include "host/files.h"
#include "report.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/outfit_messages.h"
#include "wardrobe/outfit_scan.h"
#include "wardrobe/typed_name.h"

namespace garbolt_outfits {

namespace {

// --- Shared wording ------------------------------------------------------------

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string Items(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " item" : " items");
}

std::string Outfits(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " outfit" : " outfits");
}

// ""Town clothes"", or "(no name)".
std::string NameOrNone(const OutfitReport& outfit) {
    return outfit.hasName ? Quoted(outfit.shownName) : std::string("(no name)");
}

// "outfit 3 "Town clothes"", or "outfit 3 (no name)".
std::string Describe(const OutfitReport& outfit) {
    return "outfit " + std::to_string(outfit.number) + " " +
           (outfit.hasName ? Quoted(outfit.shownName) : std::string("(no name)"));
}

std::string Where(const std::string& path, const Location& location) {
    return path + ":" + std::to_string(location.line) + ":" + std::to_string(location.column) +
           ": ";
}

// "Slot 25 is", or "Slot "seven" reads as 0," for text that is no plain number.
std::string SlotText(const OutfitReport& outfit) {
    if (outfit.slotText == std::to_string(outfit.rowIndex)) {
        return "Slot " + outfit.slotText + " is";
    }
    return "Slot " + Quoted(outfit.slotText) + " reads as " + std::to_string(outfit.rowIndex) + ",";
}

std::string RowText(std::int32_t rowIndex) {
    return "row " + std::to_string(RowNumberOf(rowIndex)) + " (Slot " + std::to_string(rowIndex) +
           ")";
}

// Reads the file and insists on a well-formed document with the Garbolt
// root; explains otherwise.
bool LoadStore(const std::string& path, LoadedFile& file, std::ostream& err) {
    if (!ReadOutfitFile(path, file, err)) {
        return false;
    }
    if (!file.parse) {
        err << ParseErrorText(file) << "\n"
            << path << " is not well-formed XML, so the game cannot load it either. Run "
            << "\"garbolt-outfits check\" to see where, fix it there or put a backup in its "
               "place, then run the command again.\n";
        return false;
    }
    if (!outfit_file::RootOf(file.document)) {
        err << path
            << " has no \"Garbolt\" root element, so it holds no outfits the game can "
               "use. Put the outfits inside <Garbolt> ... </Garbolt>, or put a backup in "
               "its place, then run the command again.\n";
        return false;
    }
    return true;
}

// Backs the file up, then replaces it with the document.
bool BackUpAndWrite(const LoadedFile& file, std::string& backup, std::ostream& err) {
    if (!CheckUtf8(file, err) || !WriteBackup(file.path, file.bytes, backup, err)) {
        return false;
    }
    if (!WriteOutfitDocument(file, err)) {
        err << "The backup " << backup << " holds the file as it was.\n";
        return false;
    }
    return true;
}

// The game reads the file anew at each of these, and its page then shows it.
constexpr const char* kPickUpHint =
    "A running game picks the change up at its next equip, save or delete of a custom "
    "outfit.\n";

// A name the game would never save: written as a character reference such
// as "&#1;", most XML readers reject the whole file.
constexpr const char* kUnstorableText =
    "holds a control character (a tab or line break, for one) or U+FFFE/U+FFFF, which the "
    "game drops from a name typed at its keyboard";

// "the Name is 41 characters (41 bytes) long; the game shows at most 30 characters and 120 bytes"
std::string NameBoundsText(const std::string& name, const char* subject = "the Name") {
    return std::string(subject) + " is " + std::to_string(CharactersIn(name)) + " characters (" +
           std::to_string(name.size()) + " bytes) long; the game shows at most " +
           std::to_string(outfit_file::kMaxNameCharacters) + " characters and " +
           std::to_string(outfit_file::kMaxNameBytes) + " bytes";
}

// --- check ---------------------------------------------------------------------

void ReportOutfitProblems(const std::string& path, const StoreReport& report,
                          const OutfitReport& outfit, std::size_t& errors, std::size_t& warnings,
                          std::ostream& out) {
    if (outfit.status == outfit_file::OutfitStatus::StopsLoading) {
        const std::size_t after = report.outfits.size() - static_cast<std::size_t>(outfit.number);
        out << Where(path, outfit.slotLocation) << "error: " << Describe(outfit) << ": ";
        if (!outfit.hasSlot) {
            out << "has no Slot, which the plug-in reads as 0";
        } else {
            out << SlotText(outfit) << " outside 6 to 20 (rows 7 to 21)";
        }
        out << ". The plug-in stops loading here (it shows "
            << Quoted(outfit_messages::SlotOutOfRange(outfit.rowIndex)) << "), so this outfit";
        if (after > 0) {
            out << " and the " << Outfits(after) << " after it do not appear in the game.\n";
        } else {
            out << " does not appear in the game.\n";
        }
        ++errors;
    } else if (!outfit.inRange) {
        out << Where(path, outfit.slotLocation) << "error: " << Describe(outfit) << ": "
            << (outfit.hasSlot ? SlotText(outfit) + " outside 6 to 20" : std::string("has no Slot"))
            << "; the game could not show it even if loading reached it.\n";
        ++errors;
    } else if (outfit.status == outfit_file::OutfitStatus::Hidden) {
        out << Where(path, outfit.location) << "error: " << Describe(outfit) << " on "
            << RowText(outfit.rowIndex) << " does not appear in the game: loading stopped at an "
            << "earlier outfit.\n";
        ++errors;
    }
    if (outfit.duplicateOf != 0) {
        const OutfitReport& first =
            report.outfits[static_cast<std::size_t>(outfit.duplicateOf - 1)];
        out << Where(path, outfit.slotLocation) << "error: " << Describe(outfit) << " is on "
            << RowText(outfit.rowIndex) << " like " << Describe(first) << " (line "
            << first.location.line << "): equipping the row always wears the first one, so "
            << "this one cannot be worn.\n";
        ++errors;
    }
    if (!outfit.hasName) {
        out << Where(path, outfit.location) << "warning: " << Describe(outfit)
            << " has no Name: its row shows an empty label. Add <Name>...</Name> to it, or "
               "save over the row in the game.\n";
        ++warnings;
    }
    if (outfit.NameCut()) {
        out << Where(path, outfit.location) << "warning: " << Describe(outfit) << ": "
            << NameBoundsText(outfit.name)
            << ", so its row shows only the part quoted here. The file keeps the whole name; "
               "shorten it, or save over the row in the game.\n";
        ++warnings;
    }
    if (outfit.overItemCap) {
        out << Where(path, outfit.location) << "warning: " << Describe(outfit) << " holds "
            << outfit.componentCount << " Components and " << outfit.wearableCount
            << " Wearables entries, more than the " << outfit_file::kMaxOutfitItems
            << " the game puts on in one go: equipping it puts on none of them. Save over the "
               "row in the game to store the outfit worn then.\n";
        ++warnings;
    } else if (outfit.componentCount != outfit_file::kOutfitEntries ||
               outfit.wearableCount != outfit_file::kOutfitEntries) {
        out << Where(path, outfit.location) << "warning: " << Describe(outfit) << " holds "
            << outfit.componentCount << " Components and " << outfit.wearableCount
            << " Wearables entries, not " << outfit_file::kOutfitEntries
            << " each: the game wears what is there, and states without an item are ignored. "
               "Saving over the row in the game writes all "
            << outfit_file::kOutfitEntries << " again.\n";
        ++warnings;
    }
    for (const OutOfRangeHash& hash : outfit.outOfRangeHashes) {
        out << Where(path, hash.location) << "warning: " << Describe(outfit) << ": Hash "
            << hash.text << " is read as " << hash.asRead << "; ";
        if (hash.hasSignedForm) {
            out << "write " << hash.signedForm
                << ", the same 32 bits in the signed form the plug-in writes (\"garbolt-outfits "
                   "mend\" rewrites it).\n";
        } else {
            out << "it is no 32-bit value, so the game wears another item than meant. Write the "
                   "item's hash as a number from -2147483648 to 2147483647.\n";
        }
        ++warnings;
    }
}

// --- import ------------------------------------------------------------------------

// An exported outfit: a Garbolt root holding exactly one Outfit with a Name,
// Components and Wearables, which export always writes.
pugi::xml_node ExportedOutfit(const LoadedFile& file, std::string& why) {
    const outfit_file::OutfitScan scan =
        outfit_file::ScanOutfits(file.document, outfit_file::ScanReach::FirstRoot);
    if (!scan.root) {
        why = "it has no \"Garbolt\" root element";
        return pugi::xml_node();
    }
    pugi::xml_node outfit;
    std::size_t count = 0;
    for (const outfit_file::ScannedOutfit& scanned : scan.outfits) {
        if (scanned.number == 1) {
            outfit = scanned.node;
        }
        count += scanned.number != 0 ? 1 : 0;
    }
    if (count != 1) {
        why = "it holds " + Outfits(count) + ", an exported outfit exactly one";
        if (count > 1) {
            why += " (to take one of them, run \"garbolt-outfits --file " + file.path +
                   " export ROW NEWFILE\" and import NEWFILE)";
        }
        return pugi::xml_node();
    }
    for (const char* part : {outfit_file::kNameElement, outfit_file::kComponentsElement,
                             outfit_file::kWearablesElement}) {
        if (!outfit.child(part)) {
            why = std::string("its outfit has no ") + part;
            return pugi::xml_node();
        }
    }
    // Lists without items are what export writes for an outfit that has none,
    // and the plug-in wears them (it puts nothing on), so they are no reason
    // to refuse.
    return outfit;
}

bool SamePlace(const std::string& first, const std::string& second) {
    std::error_code error;
    return std::filesystem::equivalent(first, second, error) && !error;
}

// --- mend ------------------------------------------------------------------------

void SetSlot(pugi::xml_node outfit, std::int32_t rowIndex) {
    pugi::xml_node slot = outfit.child(outfit_file::kSlotElement);
    if (!slot) {
        const pugi::xml_node name = outfit.child(outfit_file::kNameElement);
        slot = name ? outfit.insert_child_after(outfit_file::kSlotElement, name)
                    : outfit.prepend_child(outfit_file::kSlotElement);
    }
    slot.text().set(rowIndex);
}

// --- rename and move ----------------------------------------------------------------

void SetName(pugi::xml_node outfit, const std::string& name) {
    pugi::xml_node element = outfit.child(outfit_file::kNameElement);
    if (!element) {
        element = outfit.prepend_child(outfit_file::kNameElement);
    }
    element.text().set(name.c_str());
}

// On a file whose loading stops, or whose rows are shared, a rename or move
// could change other outfits than the ones the player sees: mend comes first.
bool RefuseUnlessEveryOutfitHasItsRow(const std::string& path, const StoreReport& report,
                                      const char* command, std::ostream& err) {
    for (const OutfitReport& outfit : report.outfits) {
        if (!outfit.Usable()) {
            err << "Not every outfit of " << path << " has a row of its own in the game ("
                << Describe(outfit) << ", line " << outfit.location.line
                << ", does not), so nothing was changed. Run \"garbolt-outfits mend\" first, "
                   "then "
                << command << " again.\n";
            return false;
        }
    }
    return true;
}

// Loads the file for a rename or move and finds the outfit on `rowIndex`;
// null, with the reason told, when the file cannot be read, the row is empty
// or not every outfit has its own row.
const OutfitReport* OutfitToChange(const std::string& path, std::int32_t rowIndex,
                                   const char* command, const char* changed, LoadedFile& file,
                                   StoreReport& report, std::ostream& err) {
    if (!LoadStore(path, file, err)) {
        return nullptr;
    }
    report = AnalyseStore(file.document, file.bytes);
    const OutfitReport* outfit = report.OutfitOnRow(rowIndex);
    if (outfit == nullptr) {
        err << "Row " << RowNumberOf(rowIndex) << " holds no outfit in " << path
            << ", so nothing was " << changed
            << ". Run \"garbolt-outfits list\" to see the rows that do.\n";
        return nullptr;
    }
    return RefuseUnlessEveryOutfitHasItsRow(path, report, command, err) ? outfit : nullptr;
}

}  // namespace

int CheckCommand(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadedFile file;
    if (!ReadOutfitFile(path, file, err)) {
        switch (file.status) {
            case files::ReadStatus::Missing:
                err << "The game starts without custom outfits then, and creates the file at "
                       "the first save.\n";
                break;
            case files::ReadStatus::NotPlainFile:
                err << "The game cannot read it either: it shows "
                    << Quoted(outfit_messages::kNotPlainFile) << " and no custom outfit appears.\n";
                break;
            case files::ReadStatus::TooLarge:
                err << "The game does not read it either: it shows "
                    << Quoted(outfit_messages::kTooLarge) << " and no custom outfit appears.\n";
                break;
            case files::ReadStatus::Read:
            case files::ReadStatus::Unreadable:
                err << "The game cannot read it either: it shows "
                    << Quoted(outfit_messages::kUnreadable) << " and no custom outfit appears.\n";
                break;
        }
        return kExitProblem;
    }
    if (!file.parse) {
        out << ParseErrorText(file) << "\n"
            << "The plug-in cannot load this file: it shows " << Quoted(outfit_messages::kNotXml)
            << " and none of its outfits appear. Fix the XML at that place (the parser stops at "
               "the first fault, so check again afterwards), or put a backup in its place.\n";
        return kExitProblem;
    }
    const StoreReport report = AnalyseStore(file.document, file.bytes);
    if (!report.hasRoot) {
        out << path
            << ": error: there is no \"Garbolt\" root element, so the plug-in finds no "
               "outfits and refuses to save any. Put the outfits inside <Garbolt> ... "
               "</Garbolt>.\n";
        return kExitProblem;
    }
    std::size_t errors = 0;
    std::size_t warnings = 0;
    if (!outfit_file::IsUtf8File(file.bytes, file.document)) {
        out << path
            << ": warning: the file is not saved as UTF-8 (it declares another encoding, or holds "
               "bytes that are not UTF-8): the game wears its outfits but refuses to save or "
               "delete in it. Save it as UTF-8 in a text editor.\n";
        ++warnings;
    }
    for (const OutfitReport& outfit : report.outfits) {
        ReportOutfitProblems(path, report, outfit, errors, warnings, out);
    }
    for (const UnseenOutfit& unseen : report.unseen) {
        out << Where(path, unseen.location) << "error: the Outfit "
            << (unseen.name.empty() ? std::string("without a name") : Quoted(unseen.name))
            << " is not directly inside the first <Garbolt> element, so the game never shows "
               "it. Move it there (between <Garbolt> and </Garbolt>, beside the other "
               "outfits).\n";
    }
    if (!report.unseen.empty()) {
        out << Outfits(report.unseen.size()) << " of " << path
            << " lie outside the first <Garbolt> element, where the game never looks.\n";
        return kExitProblem;
    }
    std::size_t usable = 0;
    for (const OutfitReport& outfit : report.outfits) {
        usable += outfit.Usable() ? 1 : 0;
    }
    if (report.outfits.empty()) {
        out << "OK: " << path << " holds no outfits yet; the plug-in will load it.\n";
        return kExitDone;
    }
    if (errors == 0) {
        out << "OK: the plug-in will load all " << Outfits(report.outfits.size()) << " of " << path;
        if (warnings > 0) {
            out << " (see the " << (warnings == 1 ? "warning" : "warnings") << " above)";
        }
        out << ".\n";
        return kExitDone;
    }
    out << "Only " << usable << " of the " << Outfits(report.outfits.size()) << " of " << path
        << " can be worn in the game. Run \"garbolt-outfits mend\" to move the others to free "
           "rows (it backs the file up first).\n";
    return kExitProblem;
}

int ListCommand(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadedFile file;
    if (!LoadStore(path, file, err)) {
        return kExitProblem;
    }
    const StoreReport report = AnalyseStore(file.document, file.bytes);
    for (const UnseenOutfit& unseen : report.unseen) {
        out << "line " << unseen.location.line << ": "
            << (unseen.name.empty() ? std::string("(no name)") : Quoted(unseen.name))
            << " (not in the game: outside the first <Garbolt> element)\n";
    }
    if (report.outfits.empty() && report.unseen.empty()) {
        out << "No outfits are stored in " << path
            << ". Save one in the game, or add one with \"garbolt-outfits import FILE\".\n";
        return kExitDone;
    }
    bool anyHidden = false;
    for (const OutfitReport& outfit : report.outfits) {
        // A Slot outside 6 to 20 names no row of the page, whatever its number.
        out << (!outfit.hasSlot  ? std::string("no row")
                : outfit.inRange ? "row " + std::to_string(RowNumberOf(outfit.rowIndex))
                                 : std::string("row ?"))
            << ": " << (outfit.hasName ? Quoted(outfit.shownName) : std::string("(no name)"))
            << ", " << Items(outfit.items);
        if (!outfit.inRange) {
            out << " (not in the game: "
                << (outfit.hasSlot ? SlotText(outfit) + " outside 6 to 20" : std::string("no Slot"))
                << ")";
        } else if (outfit.status == outfit_file::OutfitStatus::Hidden) {
            out << " (not in the game: loading stops at an earlier outfit)";
        } else if (outfit.duplicateOf != 0) {
            out << " (cannot be worn: outfit " << outfit.duplicateOf << " has the same row)";
        }
        out << "\n";
        anyHidden = anyHidden || !outfit.Usable();
    }
    if (anyHidden) {
        out << "Some outfits are not in the game: \"garbolt-outfits check\" says why, "
               "\"garbolt-outfits mend\" moves them to free rows.\n";
    }
    return kExitDone;
}

int ExportCommand(const std::string& path, std::int32_t rowIndex, const std::string& target,
                  bool replace, std::ostream& out, std::ostream& err) {
    LoadedFile file;
    if (!LoadStore(path, file, err)) {
        return kExitProblem;
    }
    const StoreReport report = AnalyseStore(file.document, file.bytes);
    const OutfitReport* outfit = report.OutfitOnRow(rowIndex);
    if (outfit == nullptr) {
        err << "Row " << RowNumberOf(rowIndex) << " holds no outfit in " << path
            << ". Run \"garbolt-outfits list\" to see the rows that do.\n";
        return kExitProblem;
    }
    if (SamePlace(path, target)) {
        err << target << " is the outfit file itself; name a new file for the export.\n";
        return kExitProblem;
    }
    if (files::Exists(target) && !replace) {
        err << target
            << " already exists, so nothing was written. Name a new file, or add "
               "--replace to write over it.\n";
        return kExitProblem;
    }
    if (!CheckReplaceable(target, err)) {
        return kExitProblem;
    }
    outfit_file::OutfitEntries entries;
    entries.items = outfit_file::ReadHashes(outfit->node.child(outfit_file::kComponentsElement));
    entries.states = outfit_file::ReadHashes(outfit->node.child(outfit_file::kWearablesElement));
    pugi::xml_document exported;
    outfit_file::AppendOutfit(exported.append_child(outfit_file::kRootElement), outfit->name,
                              rowIndex, entries);
    if (!files::ReplaceFile(target, outfit_file::SerializeOutfitDocument(exported))) {
        err << "Could not write " << target
            << ". Check that the folder exists, that you may write in it and that the disk has "
               "space, then run the command again.\n";
        return kExitProblem;
    }
    out << "Exported row " << RowNumberOf(rowIndex) << ", " << Quoted(outfit->shownName) << " ("
        << Items(outfit->items) << "), to " << target << ".\n"
        << "Another player adds it with: garbolt-outfits import " << target << " [ROW]\n";
    return kExitDone;
}

int ImportCommand(const std::string& path, const std::string& source, std::int32_t rowIndex,
                  bool replace, std::ostream& out, std::ostream& err) {
    LoadedFile incoming;
    if (!ReadOutfitFile(source, incoming, err, false)) {
        return kExitProblem;
    }
    std::string why;
    pugi::xml_node outfit;
    if (!incoming.parse) {
        why = "it is not well-formed XML (" + ParseErrorText(incoming) + ")";
    } else {
        outfit = ExportedOutfit(incoming, why);
    }
    if (!outfit) {
        err << source << " is not an exported outfit: " << why
            << ". Nothing was imported. An exported outfit is what \"garbolt-outfits export "
               "ROW FILE\" writes; ask for the file again.\n";
        return kExitProblem;
    }
    // The game's keyboard could not have typed such a name and the game would
    // show it cut, so it is refused rather than stored.
    const std::string name = outfit_file::NameOf(outfit);
    if (outfit_file::ShownNameOf(outfit).size() != name.size()) {
        err << source << ": " << NameBoundsText(name)
            << ", as many as its keyboard takes. Nothing was imported. Shorten the Name in "
            << source << ", then import it again.\n";
        return kExitProblem;
    }
    if (outfit_file::HasTooManyItems(outfit)) {
        err << source << ": the outfit holds more than " << outfit_file::kMaxOutfitItems
            << " Components and Wearables entries, which the game would not put on. Nothing "
               "was imported.\n";
        return kExitProblem;
    }
    if (outfit_file::MendedUtf8(name) != name) {
        err << source << ": the Name is not UTF-8 text, which the outfit file holds "
            << "throughout. Nothing was imported. Save " << source
            << " as UTF-8 in a text editor, then import it again.\n";
        return kExitProblem;
    }
    if (!IsStorableName(name)) {
        err << source << ": the Name " << kUnstorableText << ". Nothing was imported. Remove it "
            << "from the Name in " << source << ", then import it again.\n";
        return kExitProblem;
    }

    LoadedFile file;
    if (!LoadStore(path, file, err)) {
        return kExitProblem;
    }
    const StoreReport report = AnalyseStore(file.document, file.bytes);
    for (const OutfitReport& stored : report.outfits) {
        if (stored.status == outfit_file::OutfitStatus::StopsLoading) {
            err << "The plug-in stops loading " << path << " at " << Describe(stored) << " (line "
                << stored.location.line << "), so an imported outfit would not appear in the "
                << "game. Nothing was imported. Run \"garbolt-outfits mend\" first, then import "
                   "again.\n";
            return kExitProblem;
        }
    }
    const OutfitReport* taken = nullptr;
    if (rowIndex < 0) {
        const std::vector<std::int32_t> free = report.FreeRows();
        if (free.empty()) {
            err << "All 15 custom rows of " << path << " are taken, so nothing was imported. "
                << "Delete an outfit in the game (export it first to keep it), or name a row "
                   "and add --replace to write over its outfit.\n";
            return kExitProblem;
        }
        rowIndex = free.front();
    } else {
        taken = report.OutfitOnRow(rowIndex);
        if (taken != nullptr && !replace) {
            err << "Row " << RowNumberOf(rowIndex) << " already holds " << Quoted(taken->shownName)
                << ", so nothing was imported. Leave out the row to use the first free one, or "
                   "add --replace to write over it.\n";
            return kExitProblem;
        }
    }
    if (!CheckWritable(path, err)) {
        return kExitProblem;
    }

    outfit_file::OutfitEntries entries;
    entries.items = outfit_file::ReadHashes(outfit.child(outfit_file::kComponentsElement));
    entries.states = outfit_file::ReadHashes(outfit.child(outfit_file::kWearablesElement));
    if (taken != nullptr) {
        outfit_file::ReplaceOutfit(taken->node, name, entries);
    } else {
        outfit_file::AppendOutfit(outfit_file::RootOf(file.document), name, rowIndex, entries);
    }
    std::string backup;
    if (!BackUpAndWrite(file, backup, err)) {
        return kExitProblem;
    }
    std::size_t items = 0;
    for (std::uint32_t item : entries.items) {
        items += item != 0 ? 1 : 0;
    }
    out << "Imported " << Quoted(name) << " (" << Items(items) << ") into row "
        << RowNumberOf(rowIndex)
        << (taken != nullptr ? ", in place of " + Quoted(taken->shownName) : "") << ".\n"
        << "The old file is backed up as " << backup << ".\n"
        << kPickUpHint;
    if (entries.items.size() != static_cast<std::size_t>(outfit_file::kOutfitEntries) ||
        entries.states.size() != static_cast<std::size_t>(outfit_file::kOutfitEntries)) {
        out << "Note: the outfit holds " << entries.items.size() << " Components and "
            << entries.states.size() << " Wearables entries rather than "
            << outfit_file::kOutfitEntries << "; the game wears what is there.\n";
    }
    return kExitDone;
}

int BackupCommand(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadedFile file;
    if (!ReadOutfitFile(path, file, err)) {
        return kExitProblem;
    }
    std::string backup;
    if (!WriteBackup(path, file.bytes, backup, err)) {
        return kExitProblem;
    }
    out << "Backed up " << path << " as " << backup << ".\n"
        << "To go back to it later, copy it over " << path << ".\n";
    return kExitDone;
}

int MendCommand(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadedFile file;
    if (!LoadStore(path, file, err)) {
        err << "Mend only moves outfits between rows; it does not repair broken XML.\n";
        return kExitProblem;
    }
    const StoreReport report = AnalyseStore(file.document, file.bytes);
    // Where such an outfit belongs among the others is the player's call.
    for (const UnseenOutfit& unseen : report.unseen) {
        err << Where(path, unseen.location) << "the Outfit "
            << (unseen.name.empty() ? std::string("without a name") : Quoted(unseen.name))
            << " lies outside the first <Garbolt> element, where the game never looks.\n";
    }
    if (!report.unseen.empty()) {
        err << "Mend does not move outfits out of other elements, so nothing was changed. Move "
               "them inside the first <Garbolt> element by hand, then run mend again.\n";
        return kExitProblem;
    }
    std::vector<const OutfitReport*> moving;
    std::size_t rewrites = 0;
    for (const OutfitReport& outfit : report.outfits) {
        if (!outfit.inRange || outfit.duplicateOf != 0) {
            moving.push_back(&outfit);
        }
        for (const OutOfRangeHash& hash : outfit.outOfRangeHashes) {
            rewrites += hash.hasSignedForm ? 1 : 0;
        }
    }
    if (moving.empty() && rewrites == 0) {
        out << "Nothing to mend: every outfit of " << path
            << " has a row of its own from 7 to 21. The file was not changed.\n";
        return kExitDone;
    }
    const std::vector<std::int32_t> free = report.FreeRows();
    if (free.size() < moving.size()) {
        err << Outfits(moving.size()) << " of " << path << " need a free row, but only "
            << free.size() << " of the 15 custom rows " << (free.size() == 1 ? "is" : "are")
            << " free, so nothing was changed. Export an "
            << "outfit you can spare (garbolt-outfits export ROW FILE), delete it in the game, "
               "then run mend again.\n";
        return kExitProblem;
    }
    if (!CheckWritable(path, err)) {
        return kExitProblem;
    }
    // The moves are told only once they are on disk.
    std::string moves;
    for (std::size_t i = 0; i < moving.size(); ++i) {
        const OutfitReport& outfit = *moving[i];
        SetSlot(outfit.node, free[i]);
        moves += "Moved " + Describe(outfit) + " (line " + std::to_string(outfit.location.line) +
                 ") from ";
        if (!outfit.hasSlot) {
            moves += "no Slot";
        } else if (outfit.duplicateOf != 0) {
            moves += RowText(outfit.rowIndex) + ", which outfit " +
                     std::to_string(outfit.duplicateOf) + " keeps,";
        } else {
            moves += "Slot " + Quoted(outfit.slotText);
        }
        moves += " to " + RowText(free[i]) + ".\n";
    }
    // A hash written unsigned means the same 32 bits as its signed form, which
    // is what the plug-in reads; one beyond 32 bits has no such form and stays.
    for (const OutfitReport& outfit : report.outfits) {
        for (const OutOfRangeHash& hash : outfit.outOfRangeHashes) {
            if (hash.hasSignedForm) {
                hash.node.text().set(hash.signedForm);
                moves += "Rewrote Hash " + hash.text + " of " + Describe(outfit) + " (line " +
                         std::to_string(hash.location.line) + ") as " +
                         std::to_string(hash.signedForm) + ".\n";
            }
        }
    }
    std::string backup;
    if (!BackUpAndWrite(file, backup, err)) {
        return kExitProblem;
    }
    out << moves << "Mended " << path << ": ";
    if (!moving.empty() || rewrites == 0) {
        out << Outfits(moving.size()) << " moved, ";
    }
    if (rewrites > 0) {
        out << rewrites << (rewrites == 1 ? " Hash value" : " Hash values")
            << " rewritten in signed form, ";
    }
    out << "none removed. The old file is backed up as " << backup << ".\n" << kPickUpHint;
    return kExitDone;
}

int RenameCommand(const std::string& path, std::int32_t rowIndex, const std::string& name,
                  std::ostream& out, std::ostream& err) {
    // The same rules as the game's naming keyboard: what the game would not
    // save, or would show cut, is refused rather than stored.
    switch (outfit_file::CheckName(name)) {
        case outfit_file::NameFit::TooShort:
            err << "The new name " << Quoted(name) << " is " << name.size()
                << (name.size() == 1 ? " byte" : " bytes") << " long; the game saves names of at "
                << "least " << outfit_file::kMinNameBytes << " bytes. Nothing was changed.\n";
            return kExitProblem;
        case outfit_file::NameFit::TooLong:
            err << NameBoundsText(name, "The new name")
                << ", as many as its keyboard takes. Nothing was changed. Choose a shorter "
                   "name.\n";
            return kExitProblem;
        case outfit_file::NameFit::Fits:
            break;
    }
    if (outfit_file::MendedUtf8(name) != name) {
        err << "The new name is not UTF-8 text, which the outfit file holds throughout. Nothing "
               "was changed.\n";
        return kExitProblem;
    }
    if (!IsStorableName(name)) {
        err << "The new name " << kUnstorableText << ". Nothing was changed.\n";
        return kExitProblem;
    }
    LoadedFile file;
    StoreReport report;
    const OutfitReport* outfit =
        OutfitToChange(path, rowIndex, "rename", "renamed", file, report, err);
    if (outfit == nullptr) {
        return kExitProblem;
    }
    if (outfit->hasName && outfit->name == name) {
        out << "Row " << RowNumberOf(rowIndex) << " is already named " << Quoted(name)
            << ". The file was not changed.\n";
        return kExitDone;
    }
    if (!CheckWritable(path, err)) {
        return kExitProblem;
    }
    SetName(outfit->node, name);
    std::string backup;
    if (!BackUpAndWrite(file, backup, err)) {
        return kExitProblem;
    }
    out << "Renamed row " << RowNumberOf(rowIndex) << " from " << NameOrNone(*outfit) << " to "
        << Quoted(name) << ".\n"
        << "The old file is backed up as " << backup << ".\n"
        << kPickUpHint;
    return kExitDone;
}

int MoveCommand(const std::string& path, std::int32_t fromRow, std::int32_t toRow,
                std::ostream& out, std::ostream& err) {
    LoadedFile file;
    StoreReport report;
    const OutfitReport* moving = OutfitToChange(path, fromRow, "move", "moved", file, report, err);
    if (moving == nullptr) {
        return kExitProblem;
    }
    if (!CheckWritable(path, err)) {
        return kExitProblem;
    }
    const OutfitReport* other = report.OutfitOnRow(toRow);
    SetSlot(moving->node, toRow);
    std::string moves;
    if (other == nullptr) {
        moves = "Moved " + NameOrNone(*moving) + " from row " +
                std::to_string(RowNumberOf(fromRow)) + " to row " +
                std::to_string(RowNumberOf(toRow)) + ".\n";
    } else {
        SetSlot(other->node, fromRow);
        moves = "Swapped rows " + std::to_string(RowNumberOf(fromRow)) + " and " +
                std::to_string(RowNumberOf(toRow)) + ": " + NameOrNone(*moving) +
                " is now on row " + std::to_string(RowNumberOf(toRow)) + ", " + NameOrNone(*other) +
                " on row " + std::to_string(RowNumberOf(fromRow)) + ".\n";
    }
    std::string backup;
    if (!BackUpAndWrite(file, backup, err)) {
        return kExitProblem;
    }
    out << moves << "The old file is backed up as " << backup << ".\n" << kPickUpHint;
    return kExitDone;
}

}  // namespace garbolt_outfits
