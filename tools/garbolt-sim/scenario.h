// The scenario language of garbolt-sim: one command per line, '#' starts a
// comment, quoted texts with \" \\ \n \t and \xHH escapes. Parsing checks
// every command completely before anything runs, so a scenario that does not
// parse never touches the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace garbolt_sim {

enum class CommandKind {
    Frames,   // number = frame count
    Key,      // keys = virtual-key codes (number = the first)
    KeyDown,  // keys = virtual-key codes (number = the first)
    KeyUp,    // keys = virtual-key codes (number = the first)
    Press,    // controls = control names (text = the first)
    Input,    // flag = gamepad
    Type,     // text = the name typed
    TypeCancel,
    TypeNull,
    Window,          // number = width, or -1 for no window
    Model,           // text = "arthur" or "john"
    CharacterCheck,  // flag = on
    Wear,            // items
    GameOutfit,      // number = slot 1..5, items (flag = empty)
    Restart,
    PromptCompletion,  // flag = one-frame (else latched)
    Shot,              // text = PNG path
    Dump,
    ExpectNotification,  // text
    ExpectOpen,
    ExpectClosed,
    ExpectPage,          // number
    ExpectRow,           // number
    ExpectLabel,         // number = row, text
    ExpectFileContains,  // path, text
    ExpectNoUnknownNatives,
    ExpectNoMisuse,
    // Files beside the game and what the screen shows, in detail (the
    // Windows checks play these; scenario_checks.inc parses them).
    Write,           // path, text
    Hold,            // path, number = milliseconds
    ExpectFileIs,    // path, text
    ExpectFiles,     // path = folder, names
    ExpectPrompt,    // text, flag = shown
    ExpectSound,     // text
    ExpectTextSize,  // number = size, flag = every text (else some)
    ExpectFailures,  // number
};

// One piece of clothing: the item's hash and the state it is worn in.
struct ClothingItem {
    std::uint32_t item = 0;
    std::uint32_t state = 0;
};

struct Command {
    CommandKind kind = CommandKind::Frames;
    int line = 0;
    std::string source;  // the line as written, without its comment
    std::int64_t number = 0;
    std::string text;
    std::string path;
    bool flag = false;
    std::vector<ClothingItem> items;
    // Several keys or controls that act on one frame. Empty in a command made
    // by hand with only `number` or `text`: that one key or control.
    std::vector<std::uint32_t> keys;
    std::vector<std::string> controls;
    std::vector<std::string> names;  // expect files
};

// The keys of a key, keydown or keyup command, and the controls of a press.
std::vector<std::uint32_t> KeysOf(const Command& command);
std::vector<std::string> ControlsOf(const Command& command);

struct ParseResult {
    bool ok = true;
    std::vector<Command> commands;
    int errorLine = 0;
    std::string error;
};

// The controls that `press` knows, in the order the menu reads them.
const std::vector<std::string>& ControlNames();

// Parses a whole scenario; on the first error, ok is false with its line.
ParseResult ParseScenario(const std::string& source);

// Key names: F1 to F12, SHIFT, or a decimal virtual-key code (0 to 65535).
bool ParseKeyName(const std::string& name, std::uint32_t* code);

// A quoted text as the scenario would write it (for messages and the transcript).
std::string Quote(const std::string& text);

}  // namespace garbolt_sim
