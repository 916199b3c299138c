#include "scenario.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

#include "safe_text.h"

namespace garbolt_sim {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Thrown only inside the parser and caught at its top: the line's error.
struct LineError {
    std::string message;
};

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Splits a line into words and quoted texts; stops at a '#' outside quotes.
std::vector<Token> Tokenize(const std::string& line, std::string* withoutComment) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    std::size_t end = line.size();
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') {
            end = i;
            break;
        }
        Token token;
        if (c == '"') {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) {
                        throw LineError{"unterminated string (a backslash ends the line)"};
                    }
                    const char e = line[i + 1];
                    if (e == '"' || e == '\\') {
                        token.text += e;
                        i += 2;
                    } else if (e == 'n') {
                        token.text += '\n';
                        i += 2;
                    } else if (e == 't') {
                        token.text += '\t';
                        i += 2;
                    } else if (e == 'x' && i + 3 < line.size() && HexDigit(line[i + 2]) >= 0 &&
                               HexDigit(line[i + 3]) >= 0) {
                        token.text +=
                            static_cast<char>(HexDigit(line[i + 2]) * 16 + HexDigit(line[i + 3]));
                        i += 4;
                    } else {
                        throw LineError{std::string("unknown escape \\") + e +
                                        " in a string (use \\\" \\\\ \\n \\t or \\xHH)"};
                    }
                    continue;
                }
                token.text += d;
                ++i;
            }
            if (!closed) {
                throw LineError{"unterminated string"};
            }
            if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                line[i] != '#') {
                throw LineError{"a string must be followed by a space"};
            }
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '#') {
                if (line[i] == '"') {
                    throw LineError{"a quote inside a word"};
                }
                token.text += line[i];
                ++i;
            }
        }
        tokens.push_back(std::move(token));
    }
    std::string kept = line.substr(0, end);
    while (!kept.empty() && (kept.back() == ' ' || kept.back() == '\t' || kept.back() == '\r')) {
        kept.pop_back();
    }
    std::size_t start = 0;
    while (start < kept.size() && (kept[start] == ' ' || kept[start] == '\t')) {
        ++start;
    }
    *withoutComment = kept.substr(start);
    return tokens;
}

// A whole decimal number (optionally negative) or 0x hex number within [low, high].
bool ParseInteger(const std::string& text, std::int64_t low, std::int64_t high,
                  std::int64_t* value) {
    if (text.empty()) {
        return false;
    }
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        i = 1;
    }
    int base = 10;
    if (text.size() > i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) {
        return false;
    }
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit =
            base == 16 ? HexDigit(text[i])
                       : (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : -1);
        if (digit < 0) {
            return false;
        }
        magnitude =
            magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > (std::uint64_t{1} << 40)) {
            return false;
        }
    }
    const std::int64_t result =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (result < low || result > high) {
        return false;
    }
    *value = result;
    return true;
}

std::int64_t Number(const Token& token, std::int64_t low, std::int64_t high, const char* what) {
    std::int64_t value = 0;
    if (token.quoted || !ParseInteger(token.text, low, high, &value)) {
        throw LineError{std::string("bad number '") + token.text + "' for " + what + " (" +
                        std::to_string(low) + " to " + std::to_string(high) + ")"};
    }
    return value;
}

// A 32-bit hash: decimal (signed or unsigned) or 0x hex.
std::uint32_t Hash(const std::string& text, const char* what) {
    std::int64_t value = 0;
    if (!ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::uint32_t>::max(), &value)) {
        throw LineError{std::string("bad hash '") + text + "' for " + what +
                        " (decimal or 0x hex, 32 bits)"};
    }
    return static_cast<std::uint32_t>(value);
}

void ExpectCount(const std::vector<Token>& tokens, std::size_t count, const char* usage) {
    if (tokens.size() != count) {
        throw LineError{std::string(tokens.size() < count ? "missing" : "too many") +
                        " arguments: " + usage};
    }
}

const std::string& Word(const Token& token, const char* usage) {
    if (token.quoted) {
        throw LineError{std::string("expected a word, not a quoted text: ") + usage};
    }
    return token.text;
}

const std::string& Text(const Token& token, const char* usage) {
    if (!token.quoted) {
        throw LineError{std::string("expected a quoted text: ") + usage};
    }
    return token.text;
}

std::vector<ClothingItem> Items(const std::vector<Token>& tokens, std::size_t from) {
    std::vector<ClothingItem> items;
    for (std::size_t i = from; i < tokens.size(); ++i) {
        const std::string& word = Word(tokens[i], "ITEM:STATE");
        const std::size_t colon = word.find(':');
        if (colon == std::string::npos) {
            throw LineError{"expected ITEM:STATE, got '" + word + "'"};
        }
        items.push_back(
            {Hash(word.substr(0, colon), "the item"), Hash(word.substr(colon + 1), "the state")});
    }
    if (items.size() > 39) {
        throw LineError{"an outfit holds at most 39 items, this line gives " +
                        std::to_string(items.size())};
    }
    return items;
}

// A relative path that stays in its folder: no root, no drive, no "..".
bool InsideFolder(const std::string& path) {
    if (path.empty() || path[0] == '/' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':')) {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
        if (path.compare(start, end - start, "..") == 0) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// One line being parsed: its words, the command (or the expectation after
// `expect`) in lower case, and the usage its messages show.
struct Args {
    const std::vector<Token>& t;
    const std::string& name;
    const char* usage;
};

using ParseFunction = void (*)(const Args& a, Command& c);

// A command of the language (or an expectation): the kind it makes and how
// its arguments are read. The function may refine the kind.
struct Syntax {
    const char* name;
    CommandKind kind;
    const char* usage;
    ParseFunction parse;
};

void AtLeast(const std::vector<Token>& tokens, std::size_t count, const std::string& usage) {
    if (tokens.size() < count) {
        throw LineError{"missing arguments: " + usage};
    }
}

// True for the first of two words, false for the second. An unknown word is
// refused as "unknown WHAT" when `unknown` names it, else as "expected A or B".
bool FirstOf(const Token& token, const char* usage, const std::string& first,
             const std::string& second, const char* unknown) {
    const std::string word = Lower(Word(token, usage));
    if (word != first && word != second) {
        throw LineError{unknown != nullptr
                            ? std::string("unknown ") + unknown + " '" + token.text + "' (" +
                                  first + " or " + second + ")"
                            : "expected " + first + " or " + second + ", got '" + token.text + "'"};
    }
    return word == first;
}

#include "scenario_checks.inc"

// --- Commands ---

void ParseNothing(const Args& a, Command&) {
    ExpectCount(a.t, 1, a.usage);
}

void ParseFrames(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.number = Number(a.t[1], 0, 1000000, "frames");
}

void ParseKeys(const Args& a, Command& c) {
    AtLeast(a.t, 2, a.usage);
    for (std::size_t i = 1; i < a.t.size(); ++i) {
        std::uint32_t code = 0;
        if (a.t[i].quoted || !ParseKeyName(a.t[i].text, &code)) {
            throw LineError{"unknown key '" + a.t[i].text +
                            "' (F1-F12, SHIFT or a decimal code 0-65535)"};
        }
        c.keys.push_back(code);
    }
    c.number = c.keys.front();
}

void ParsePress(const Args& a, Command& c) {
    AtLeast(a.t, 2, a.usage);
    for (std::size_t i = 1; i < a.t.size(); ++i) {
        const std::string control = Lower(Word(a.t[i], a.usage));
        bool known = false;
        std::string list;
        for (const std::string& listed : ControlNames()) {
            known = known || listed == control;
            list += (list.empty() ? "" : " ") + listed;
        }
        if (!known) {
            throw LineError{"unknown control '" + a.t[i].text + "' (one of " + list + ")"};
        }
        c.controls.push_back(control);
    }
    c.text = c.controls.front();
}

void ParseInput(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.flag = !FirstOf(a.t[1], a.usage, "keyboard", "gamepad", "input");
}

void ParseType(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.text = Text(a.t[1], a.usage);
}

void ParseWindow(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    if (!a.t[1].quoted && Lower(a.t[1].text) == "none") {
        c.number = -1;
    } else {
        c.number = Number(a.t[1], 1, 16384, "the window width");
    }
}

void ParseModel(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.text = FirstOf(a.t[1], a.usage, "arthur", "john", "model") ? "arthur" : "john";
}

void ParseCharacterCheck(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.flag = FirstOf(a.t[1], a.usage, "on", "off", nullptr);
}

void ParseWear(const Args& a, Command& c) {
    c.items = Items(a.t, 1);
}

void ParseGameOutfit(const Args& a, Command& c) {
    AtLeast(a.t, 3, a.usage);
    c.number = Number(a.t[1], 1, 5, "the game outfit");
    if (a.t.size() == 3 && !a.t[2].quoted && Lower(a.t[2].text) == "empty") {
        c.flag = true;
    } else {
        c.items = Items(a.t, 2);
    }
}

void ParsePromptCompletion(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.flag = FirstOf(a.t[1], a.usage, "one-frame", "latched", nullptr);
}

void ParseShot(const Args& a, Command& c) {
    ExpectCount(a.t, 2, a.usage);
    c.path = a.t[1].text;
    if (c.path.empty()) {
        throw LineError{std::string("empty file name: ") + a.usage};
    }
}

void ParseExpect(const Args& a, Command& c);

// --- Expectations ---

void ParseExpectNothing(const Args& a, Command&) {
    ExpectCount(a.t, 2, a.usage);
}

void ParseExpectText(const Args& a, Command& c) {
    ExpectCount(a.t, 3, a.usage);
    c.text = Text(a.t[2], a.usage);
}

void ParseExpectNumber(const Args& a, Command& c) {
    ExpectCount(a.t, 3, a.usage);
    c.number = Number(a.t[2], 0, 1000000, a.name.c_str());
}

void ParseExpectLabel(const Args& a, Command& c) {
    ExpectCount(a.t, 4, a.usage);
    c.number = Number(a.t[2], 0, 1000000, "the row");
    c.text = Text(a.t[3], a.usage);
}

void ParseExpectFile(const Args& a, Command& c) {
    const std::string verb = a.t.size() == 5 && !a.t[3].quoted ? Lower(a.t[3].text) : "";
    if (verb != "contains" && verb != "is") {
        throw LineError{std::string("expected: ") + a.usage};
    }
    c.kind = verb == "is" ? CommandKind::ExpectFileIs : CommandKind::ExpectFileContains;
    c.path = a.t[2].text;
    if (!InsideFolder(c.path)) {
        throw LineError{"expect file reads only inside the game folder: '" + c.path +
                        "' is absolute or has '..'"};
    }
    c.text = Text(a.t[4], a.usage);
}

const Syntax kCommands[] = {
    {"frames", CommandKind::Frames, "frames N", ParseFrames},
    {"key", CommandKind::Key, "key NAME ... (F1-F12, SHIFT or a decimal code)", ParseKeys},
    {"keydown", CommandKind::KeyDown, "keydown NAME ... (F1-F12, SHIFT or a decimal code)",
     ParseKeys},
    {"keyup", CommandKind::KeyUp, "keyup NAME ... (F1-F12, SHIFT or a decimal code)", ParseKeys},
    {"press", CommandKind::Press, "press CONTROL ...", ParsePress},
    {"input", CommandKind::Input, "input keyboard|gamepad", ParseInput},
    {"type", CommandKind::Type, "type \"TEXT\"", ParseType},
    {"type-cancel", CommandKind::TypeCancel, "type-cancel", ParseNothing},
    {"type-null", CommandKind::TypeNull, "type-null", ParseNothing},
    {"window", CommandKind::Window, "window WIDTH|none", ParseWindow},
    {"model", CommandKind::Model, "model arthur|john", ParseModel},
    {"character-check", CommandKind::CharacterCheck, "character-check on|off", ParseCharacterCheck},
    {"wear", CommandKind::Wear, "wear ITEM:STATE ...", ParseWear},
    {"game-outfit", CommandKind::GameOutfit, "game-outfit N ITEM:STATE ... | game-outfit N empty",
     ParseGameOutfit},
    {"restart", CommandKind::Restart, "restart", ParseNothing},
    {"prompt-completion", CommandKind::PromptCompletion, "prompt-completion one-frame|latched",
     ParsePromptCompletion},
    {"shot", CommandKind::Shot, "shot FILE.png", ParseShot},
    {"dump", CommandKind::Dump, "dump", ParseNothing},
    // The kind comes from the expectation's own row (kExpectations).
    {"expect", CommandKind::ExpectOpen, "expect WHAT ...", ParseExpect},
    {"write", CommandKind::Write, "write PATH \"TEXT\"", ParseWrite},
    {"hold", CommandKind::Hold, "hold PATH MILLISECONDS", ParseHold},
};

// The expectations, in the order the error for an unknown one lists them.
const Syntax kExpectations[] = {
    {"notification", CommandKind::ExpectNotification, "expect notification \"TEXT\"",
     ParseExpectText},
    {"open", CommandKind::ExpectOpen, "open", ParseExpectNothing},
    {"closed", CommandKind::ExpectClosed, "closed", ParseExpectNothing},
    {"page", CommandKind::ExpectPage, "expect page N", ParseExpectNumber},
    {"row", CommandKind::ExpectRow, "expect row N", ParseExpectNumber},
    {"label", CommandKind::ExpectLabel, "expect label ROW \"TEXT\"", ParseExpectLabel},
    {"file", CommandKind::ExpectFileContains, "expect file PATH contains|is \"TEXT\"",
     ParseExpectFile},
    {"no-unknown-natives", CommandKind::ExpectNoUnknownNatives, "expect no-unknown-natives",
     ParseExpectNothing},
    {"no-misuse", CommandKind::ExpectNoMisuse, "expect no-misuse", ParseExpectNothing},
    {"files", CommandKind::ExpectFiles, "expect files FOLDER NAME ...", ParseExpectFiles},
    {"prompt", CommandKind::ExpectPrompt, "expect prompt \"TEXT\" shown|hidden", ParseExpectPrompt},
    {"sound", CommandKind::ExpectSound, "expect sound \"NAME\"", ParseExpectText},
    {"text-size", CommandKind::ExpectTextSize, "expect text-size every|some N",
     ParseExpectTextSize},
    {"failures", CommandKind::ExpectFailures, "expect failures N", ParseExpectFailures},
};

template <std::size_t N>
const Syntax* Find(const Syntax (&table)[N], const std::string& name) {
    for (const Syntax& syntax : table) {
        if (name == syntax.name) {
            return &syntax;
        }
    }
    return nullptr;
}

void Parse(const Syntax& syntax, const std::vector<Token>& t, const std::string& name, Command& c) {
    c.kind = syntax.kind;
    syntax.parse(Args{t, name, syntax.usage}, c);
}

void ParseExpect(const Args& a, Command& c) {
    AtLeast(a.t, 2, a.usage);
    const std::string what = Lower(Word(a.t[1], "expect WHAT"));
    const Syntax* syntax = Find(kExpectations, what);
    if (syntax == nullptr) {
        std::string list;
        for (const Syntax& known : kExpectations) {
            list += (list.empty() ? "" : ", ") + std::string(known.name);
        }
        throw LineError{"unknown expectation '" + a.t[1].text + "' (" + list + ")"};
    }
    Parse(*syntax, a.t, what, c);
}

Command ParseCommand(const std::vector<Token>& t) {
    const std::string name = Lower(Word(t[0], "a command"));
    const Syntax* syntax = Find(kCommands, name);
    if (syntax == nullptr) {
        throw LineError{"unknown command '" + t[0].text + "'"};
    }
    Command c;
    Parse(*syntax, t, name, c);
    return c;
}

}  // namespace

const std::vector<std::string>& ControlNames() {
    static const std::vector<std::string> names = {"select", "back",  "up",   "down",
                                                   "left",   "right", "save", "open-chord"};
    return names;
}

std::vector<std::uint32_t> KeysOf(const Command& command) {
    return command.keys.empty()
               ? std::vector<std::uint32_t>{static_cast<std::uint32_t>(command.number)}
               : command.keys;
}

std::vector<std::string> ControlsOf(const Command& command) {
    return command.controls.empty() ? std::vector<std::string>{command.text} : command.controls;
}

bool ParseKeyName(const std::string& name, std::uint32_t* code) {
    const std::string lower = Lower(name);
    if (lower == "shift") {
        *code = 16;
        return true;
    }
    if (lower.size() >= 2 && lower[0] == 'f' &&
        std::isdigit(static_cast<unsigned char>(lower[1]))) {
        std::int64_t n = 0;
        if (lower.size() <= 3 && ParseInteger(lower.substr(1), 1, 12, &n) && lower[1] != '0') {
            *code = static_cast<std::uint32_t>(0x70 + n - 1);
            return true;
        }
        return false;
    }
    for (char c : lower) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    std::int64_t n = 0;
    if (!ParseInteger(lower, 0, 65535, &n)) {
        return false;
    }
    *code = static_cast<std::uint32_t>(n);
    return true;
}

std::string Quote(const std::string& text) {
    return "\"" + ScenarioEscaped(text) + "\"";
}

ParseResult ParseScenario(const std::string& source) {
    ParseResult result;
    int lineNumber = 0;
    // Editors on Windows like to start a file with a byte-order mark.
    std::size_t start = source.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (start <= source.size()) {
        std::size_t end = source.find('\n', start);
        if (end == std::string::npos) {
            end = source.size();
        }
        const std::string line = source.substr(start, end - start);
        ++lineNumber;
        try {
            std::string kept;
            const std::vector<Token> tokens = Tokenize(line, &kept);
            if (!tokens.empty()) {
                Command command = ParseCommand(tokens);
                command.line = lineNumber;
                command.source = kept;
                result.commands.push_back(std::move(command));
            }
        } catch (const LineError& error) {
            result.ok = false;
            result.errorLine = lineNumber;
            result.error = error.message;
            result.commands.clear();
            return result;
        }
        if (end == source.size()) {
            break;
        }
        start = end + 1;
    }
    return result;
}

}  // namespace garbolt_sim
