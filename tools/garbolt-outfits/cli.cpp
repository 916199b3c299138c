#include "cli.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "commands.h"
#include "console.h"
#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

namespace {

constexpr const char* kGeneralHelp =
    "garbolt-outfits: check, list, back up, share and mend Garbolt's custom outfits.\n"
    "\n"
    "Usage: garbolt-outfits [--file PATH] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  check                     say whether the game will load every outfit, and what is "
    "wrong\n"
    "  list                      one line per stored outfit: row, name, number of items\n"
    "  export ROW FILE           write the outfit on ROW to FILE, to give to another player\n"
    "  import FILE [ROW]         add an exported outfit on ROW or on the first free row\n"
    "  backup                    write a time-stamped copy of the outfit file beside it\n"
    "  mend                      move outfits the game skips to free rows, and write\n"
    "                            unsigned hashes in the signed form the game reads\n"
    "  rename ROW NAME           give the outfit on ROW a new name\n"
    "  move ROW ROW              move an outfit to a free row, or swap two rows\n"
    "\n"
    "Options:\n"
    "  --file PATH   the outfit file; without it Garbolt/SavedOutfits.xml in the folder\n"
    "                the program is started in (the game folder), else in the Garbolt\n"
    "                folder the program sits in or sits beside\n"
    "  --help        this text; \"garbolt-outfits COMMAND --help\" explains one command\n"
    "  --version     the program's version\n"
    "\n"
    "ROW is the row as you count it on the Saved Outfits page: the custom outfits are on\n"
    "rows 7 to 21 (rows 1 to 5 hold the game's own outfits, row 6 is the heading).\n"
    "Commands that change the file back it up first and replace it in one step. Close the\n"
    "game first: it reads the names only when it starts.\n"
    "\n"
    "Started from Explorer without a command (double-clicked), it runs check and waits\n"
    "for Enter before its window closes.\n"
    "\n"
    "Exit status: 0 done (for check: the game will load every outfit), 1 the file has\n"
    "problems or the command could not be done, 2 wrong arguments.\n";

// One command as the command line gave it: its name, what follows it, the
// outfit file and --replace.
struct Call {
    const std::string& name;
    const std::vector<std::string>& rest;
    const std::string& path;
    bool replace;
    std::ostream& out;
    std::ostream& err;
};

int RunCheck(const Call& call);
int RunList(const Call& call);
int RunExport(const Call& call);
int RunImport(const Call& call);
int RunBackup(const Call& call);
int RunMend(const Call& call);
int RunRename(const Call& call);
int RunMove(const Call& call);

struct ToolCommand {
    const char* name;
    const char* help;
    int (*run)(const Call& call);
    bool takesReplace;  // --replace belongs to it
};

constexpr ToolCommand kCommands[] = {
    {"check",
     "Usage: garbolt-outfits [--file PATH] check\n"
     "\n"
     "Reads the outfit file exactly as the plug-in does and says whether the game will load\n"
     "every outfit. For a file that is not well-formed XML it gives the line and column where\n"
     "the parser stopped and what it found there. For each outfit it reports, with its line\n"
     "and column: a Slot outside 6 to 20 (the game stops loading there and skips the outfits\n"
     "after it), a missing Slot, two outfits on one row, and as warnings a missing Name,\n"
     "lists with other than 39 entries and Hash values outside -2147483648 to 2147483647\n"
     "(the plug-in reads 4294967295 as 2147483647; the same item is written -1).\n"
     "Exit status 0 only when the game will show and wear every outfit.\n",
     RunCheck, false},
    {"list",
     "Usage: garbolt-outfits [--file PATH] list\n"
     "\n"
     "One line per stored outfit, in the file's order: its row on the Saved Outfits page\n"
     "(7 to 21, or \"row ?\" for a Slot outside 6 to 20), its name as the row shows it, and\n"
     "how many items it puts on. Outfits the game does not show are marked.\n",
     RunList, false},
    {"export",
     "Usage: garbolt-outfits [--file PATH] export ROW FILE [--replace]\n"
     "\n"
     "Writes the outfit on ROW (7 to 21) to FILE, a small XML file with the same elements,\n"
     "that another player adds with \"garbolt-outfits import FILE\". An existing FILE is\n"
     "written over only with --replace, and only when it is a regular file. The outfit file\n"
     "is not changed.\n",
     RunExport, true},
    {"import",
     "Usage: garbolt-outfits [--file PATH] import FILE [ROW] [--replace]\n"
     "\n"
     "Adds the exported outfit in FILE on ROW (7 to 21), or on the first free row when ROW\n"
     "is left out. A row that holds an outfit is refused unless --replace is given, which\n"
     "writes over that outfit. FILE must be an exported outfit: one Outfit with Name,\n"
     "Components and Wearables inside a Garbolt element. Backs the outfit file up first.\n",
     RunImport, true},
    {"backup",
     "Usage: garbolt-outfits [--file PATH] backup\n"
     "\n"
     "Copies the outfit file, byte for byte, to a new file beside it named after the date\n"
     "and time, for example SavedOutfits-backup-20250131-184502.xml. Works on broken files\n"
     "too. To go back to a backup, copy it over SavedOutfits.xml.\n",
     RunBackup, false},
    {"mend",
     "Usage: garbolt-outfits [--file PATH] mend\n"
     "\n"
     "Backs the file up, then moves every outfit whose Slot is missing or outside 6 to 20,\n"
     "and every outfit that shares a row with an earlier one, to the free rows, lowest\n"
     "first, and reports each move. Hash values written unsigned (2147483648 to 4294967295,\n"
     "or 0x80000000 to 0xFFFFFFFF) are rewritten as the plug-in writes them, 4294967295 as\n"
     "-1. No outfit is ever removed: when there are not enough free rows it changes nothing\n"
     "and says so. Broken XML is not repaired: \"check\" shows where it is.\n",
     RunMend, false},
    {"rename",
     "Usage: garbolt-outfits [--file PATH] rename ROW NAME\n"
     "\n"
     "Gives the outfit on ROW (7 to 21) the name NAME (in quotes when it has spaces). The\n"
     "game's rules for a typed name apply: at least 3 bytes, at most 30 characters and 120\n"
     "bytes; any other name is refused. Refused while the game skips an outfit of the\n"
     "file (run \"mend\" first). Backs the outfit file up first.\n",
     RunRename, false},
    {"move",
     "Usage: garbolt-outfits [--file PATH] move ROW ROW\n"
     "\n"
     "Moves the outfit on the first ROW to the second (both 7 to 21). When the second row\n"
     "holds an outfit too, the two swap rows. Refused while the game skips an outfit of the\n"
     "file (run \"mend\" first). Backs the outfit file up first.\n",
     RunMove, false},
};

const ToolCommand* FindCommand(const std::string& name) {
    for (const ToolCommand& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

int BadUsage(const std::string& message, const std::string& command, std::ostream& err) {
    err << "garbolt-outfits: " << message << "\n";
    if (command.empty()) {
        err << "Run \"garbolt-outfits --help\" to see the commands.\n";
    } else {
        err << "Run \"garbolt-outfits " << command << " --help\" for how to use it.\n";
    }
    return kExitBadUsage;
}

// A custom row as the player counts it, 7 to 21, into its row index.
bool ParseRow(const std::string& text, std::int32_t& rowIndex, std::string& problem) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0' || text[0] == '+' || text[0] == ' ') {
        problem = "\"" + text + "\" is not a row number; custom outfits are on rows 7 to 21.";
        return false;
    }
    using namespace wardrobe_layout;
    if (number >= SlotOfRow(0) && number < SlotOfRow(kGameOutfitRows)) {
        problem = "row " + text +
                  " holds one of the game's own saved outfits; custom outfits are on rows 7 to 21.";
        return false;
    }
    if (number == SlotOfRow(kHeadingRow)) {
        problem = "row 6 is the heading of the custom outfits; they are on rows 7 to 21.";
        return false;
    }
    if (number < SlotOfRow(kFirstCustomRow) || number > SlotOfRow(kLastCustomRow)) {
        problem = "there is no row " + text + "; custom outfits are on rows 7 to 21.";
        return false;
    }
    rowIndex = static_cast<std::int32_t>(number) - 1;
    return true;
}

int TakesNoArguments(const Call& call) {
    return BadUsage(call.name + " takes no arguments, but got \"" + call.rest.front() + "\".",
                    call.name, call.err);
}

int RunCheck(const Call& call) {
    return call.rest.empty() ? CheckCommand(call.path, call.out, call.err) : TakesNoArguments(call);
}

int RunList(const Call& call) {
    return call.rest.empty() ? ListCommand(call.path, call.out, call.err) : TakesNoArguments(call);
}

int RunBackup(const Call& call) {
    return call.rest.empty() ? BackupCommand(call.path, call.out, call.err)
                             : TakesNoArguments(call);
}

int RunMend(const Call& call) {
    return call.rest.empty() ? MendCommand(call.path, call.out, call.err) : TakesNoArguments(call);
}

int RunExport(const Call& call) {
    if (call.rest.size() != 2) {
        return BadUsage(
            "export needs a ROW and a FILE to write, for example: "
            "garbolt-outfits export 7 my-outfit.xml",
            call.name, call.err);
    }
    std::int32_t rowIndex = -1;
    std::string problem;
    if (!ParseRow(call.rest[0], rowIndex, problem)) {
        return BadUsage(problem, call.name, call.err);
    }
    return ExportCommand(call.path, rowIndex, call.rest[1], call.replace, call.out, call.err);
}

int RunImport(const Call& call) {
    if (call.rest.empty() || call.rest.size() > 2) {
        return BadUsage(
            "import needs the exported FILE and at most a ROW, for example: "
            "garbolt-outfits import my-outfit.xml 9",
            call.name, call.err);
    }
    std::int32_t rowIndex = -1;
    std::string problem;
    if (call.rest.size() == 2 && !ParseRow(call.rest[1], rowIndex, problem)) {
        return BadUsage(problem, call.name, call.err);
    }
    if (call.replace && rowIndex < 0) {
        return BadUsage("--replace needs the ROW whose outfit it writes over.", call.name,
                        call.err);
    }
    return ImportCommand(call.path, call.rest[0], rowIndex, call.replace, call.out, call.err);
}

int RunRename(const Call& call) {
    if (call.rest.size() != 2) {
        return BadUsage(
            "rename needs a ROW and one NAME, for example: "
            "garbolt-outfits rename 7 \"Sunday Best\"",
            call.name, call.err);
    }
    std::int32_t rowIndex = -1;
    std::string problem;
    if (!ParseRow(call.rest[0], rowIndex, problem)) {
        return BadUsage(problem, call.name, call.err);
    }
    return RenameCommand(call.path, rowIndex, NameFromCommandLine(call.rest[1]), call.out,
                         call.err);
}

int RunMove(const Call& call) {
    if (call.rest.size() != 2) {
        return BadUsage(
            "move needs the ROW of an outfit and the ROW to move it to, for "
            "example: garbolt-outfits move 7 12",
            call.name, call.err);
    }
    std::int32_t fromRow = -1;
    std::int32_t toRow = -1;
    std::string problem;
    if (!ParseRow(call.rest[0], fromRow, problem) || !ParseRow(call.rest[1], toRow, problem)) {
        return BadUsage(problem, call.name, call.err);
    }
    if (fromRow == toRow) {
        return BadUsage("both rows are " + call.rest[0] + "; name the row to move the outfit to.",
                        call.name, call.err);
    }
    return MoveCommand(call.path, fromRow, toRow, call.out, call.err);
}

struct Options {
    std::string path;
    bool fileGiven = false;
    bool replace = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> words;  // the command and its arguments
};

// --file PATH or --file=PATH at arguments[i] (i moves past the path); a
// status when it is wrong.
std::optional<int> ReadFileOption(const std::vector<std::string>& arguments, std::size_t& i,
                                  Options& options, std::ostream& err) {
    const std::string& argument = arguments[i];
    std::string value;
    if (argument == "--file") {
        if (i + 1 >= arguments.size()) {
            return BadUsage("--file needs the path of the outfit file after it.", std::string(),
                            err);
        }
        value = arguments[++i];
    } else {
        value = argument.substr(std::strlen("--file="));
    }
    if (value.empty()) {
        return BadUsage("--file needs the path of the outfit file after it.", std::string(), err);
    }
    if (options.fileGiven) {
        return BadUsage("--file is given twice; name one outfit file.", std::string(), err);
    }
    options.path = value;
    options.fileGiven = true;
    return std::nullopt;
}

// The options, and the words in order; a status when an option is wrong.
std::optional<int> ReadOptions(const std::vector<std::string>& arguments, Options& options,
                               std::ostream& err) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--replace") {
            options.replace = true;
        } else if (argument == "--file" || argument.rfind("--file=", 0) == 0) {
            if (const std::optional<int> status = ReadFileOption(arguments, i, options, err)) {
                return status;
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            return BadUsage("unknown option " + argument + ".",
                            options.words.empty() ? std::string() : options.words.front(), err);
        } else {
            options.words.push_back(argument);
        }
    }
    return std::nullopt;
}

// "help" alone, or "help COMMAND".
int RunHelp(const std::vector<std::string>& rest, std::ostream& out, std::ostream& err) {
    if (rest.empty()) {
        out << kGeneralHelp;
        return kExitDone;
    }
    const ToolCommand* command = FindCommand(rest.front());
    if (command == nullptr) {
        return BadUsage("there is no command \"" + rest.front() + "\".", std::string(), err);
    }
    out << command->help;
    return kExitDone;
}

}  // namespace

int RunOutfitsTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                   const std::string& defaultPath) {
    Options options;
    options.path = defaultPath;
    if (const std::optional<int> status = ReadOptions(arguments, options, err)) {
        return *status;
    }
    if (options.version) {
        out << "garbolt-outfits " << GARBOLT_VERSION << "\n";
        return kExitDone;
    }
    if (options.words.empty()) {
        (options.help ? out : err) << kGeneralHelp;
        return options.help ? kExitDone : kExitBadUsage;
    }
    const std::string& name = options.words.front();
    const std::vector<std::string> rest(options.words.begin() + 1, options.words.end());
    if (name == "help") {
        return RunHelp(rest, out, err);
    }
    const ToolCommand* command = FindCommand(name);
    if (command == nullptr) {
        return BadUsage("there is no command \"" + name + "\".", std::string(), err);
    }
    if (options.help) {
        out << command->help;
        return kExitDone;
    }
    if (options.replace && !command->takesReplace) {
        return BadUsage("--replace belongs to import and export only.", name, err);
    }
    return command->run(Call{name, rest, options.path, options.replace, out, err});
}

}  // namespace garbolt_outfits

namespace garbolt_outfits {

int RunDoubleClicked(const std::string& path, std::istream& in, std::ostream& out) {
    out << "garbolt-outfits: started without a command, so it checks " << path
        << " (\"garbolt-outfits --help\" in a console shows the other commands).\n\n";
    // One stream for both, so that the window shows the lines in their order.
    const int status = CheckCommand(path, out, out);
    out << "\nPress Enter to close this window.\n";
    out.flush();
    std::string line;
    std::getline(in, line);
    return status;
}

}  // namespace garbolt_outfits
