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

// The commands of scenario_checks.inc: files beside the game, and the screen
// in detail. True when `name` is one of them (an expectation when `expect`).
bool ParseCheckCommand(const std::vector<Token>& t, const std::string& name, bool expect,
                       Command& c);

Command ParseCommand(const std::vector<Token>& t) {
    Command c;
    const std::string name = Lower(Word(t[0], "a command"));
    if (name == "frames") {
        ExpectCount(t, 2, "frames N");
        c.kind = CommandKind::Frames;
        c.number = Number(t[1], 0, 1000000, "frames");
    } else if (name == "key" || name == "keydown" || name == "keyup") {
        if (t.size() < 2) {
            throw LineError{"missing arguments: " + name +
                            " NAME ... (F1-F12, SHIFT or a decimal code)"};
        }
        c.kind = name == "key" ? CommandKind::Key
                               : (name == "keydown" ? CommandKind::KeyDown : CommandKind::KeyUp);
        for (std::size_t i = 1; i < t.size(); ++i) {
            std::uint32_t code = 0;
            if (t[i].quoted || !ParseKeyName(t[i].text, &code)) {
                throw LineError{"unknown key '" + t[i].text +
                                "' (F1-F12, SHIFT or a decimal code 0-65535)"};
            }
            c.keys.push_back(code);
        }
        c.number = c.keys.front();
    } else if (name == "press") {
        if (t.size() < 2) {
            throw LineError{"missing arguments: press CONTROL ..."};
        }
        c.kind = CommandKind::Press;
        for (std::size_t i = 1; i < t.size(); ++i) {
            const std::string control = Lower(Word(t[i], "press CONTROL ..."));
            bool known = false;
            std::string list;
            for (const std::string& listed : ControlNames()) {
                known = known || listed == control;
                list += (list.empty() ? "" : " ") + listed;
            }
            if (!known) {
                throw LineError{"unknown control '" + t[i].text + "' (one of " + list + ")"};
            }
            c.controls.push_back(control);
        }
        c.text = c.controls.front();
    } else if (name == "input") {
        ExpectCount(t, 2, "input keyboard|gamepad");
        c.kind = CommandKind::Input;
        const std::string source = Lower(Word(t[1], "input keyboard|gamepad"));
        if (source != "keyboard" && source != "gamepad") {
            throw LineError{"unknown input '" + t[1].text + "' (keyboard or gamepad)"};
        }
        c.flag = source == "gamepad";
    } else if (name == "type") {
        ExpectCount(t, 2, "type \"TEXT\"");
        c.kind = CommandKind::Type;
        c.text = Text(t[1], "type \"TEXT\"");
    } else if (name == "type-cancel" || name == "type-null") {
        ExpectCount(t, 1, name.c_str());
        c.kind = name == "type-cancel" ? CommandKind::TypeCancel : CommandKind::TypeNull;
    } else if (name == "window") {
        ExpectCount(t, 2, "window WIDTH|none");
        c.kind = CommandKind::Window;
        if (!t[1].quoted && Lower(t[1].text) == "none") {
            c.number = -1;
        } else {
            c.number = Number(t[1], 1, 16384, "the window width");
        }
    } else if (name == "model") {
        ExpectCount(t, 2, "model arthur|john");
        c.kind = CommandKind::Model;
        c.text = Lower(Word(t[1], "model arthur|john"));
        if (c.text != "arthur" && c.text != "john") {
            throw LineError{"unknown model '" + t[1].text + "' (arthur or john)"};
        }
    } else if (name == "character-check") {
        ExpectCount(t, 2, "character-check on|off");
        c.kind = CommandKind::CharacterCheck;
        const std::string state = Lower(Word(t[1], "character-check on|off"));
        if (state != "on" && state != "off") {
            throw LineError{"expected on or off, got '" + t[1].text + "'"};
        }
        c.flag = state == "on";
    } else if (name == "wear") {
        c.kind = CommandKind::Wear;
        c.items = Items(t, 1);
    } else if (name == "game-outfit") {
        if (t.size() < 3) {
            throw LineError{
                "missing arguments: game-outfit N ITEM:STATE ... | game-outfit N empty"};
        }
        c.kind = CommandKind::GameOutfit;
        c.number = Number(t[1], 1, 5, "the game outfit");
        if (t.size() == 3 && !t[2].quoted && Lower(t[2].text) == "empty") {
            c.flag = true;
        } else {
            c.items = Items(t, 2);
        }
    } else if (name == "restart") {
        ExpectCount(t, 1, "restart");
        c.kind = CommandKind::Restart;
    } else if (name == "prompt-completion") {
        ExpectCount(t, 2, "prompt-completion one-frame|latched");
        c.kind = CommandKind::PromptCompletion;
        const std::string reading = Lower(Word(t[1], "prompt-completion one-frame|latched"));
        if (reading != "one-frame" && reading != "latched") {
            throw LineError{"expected one-frame or latched, got '" + t[1].text + "'"};
        }
        c.flag = reading == "one-frame";
    } else if (name == "shot") {
        ExpectCount(t, 2, "shot FILE.png");
        c.kind = CommandKind::Shot;
        c.path = t[1].text;
        if (c.path.empty()) {
            throw LineError{"empty file name: shot FILE.png"};
        }
    } else if (name == "dump") {
        ExpectCount(t, 1, "dump");
        c.kind = CommandKind::Dump;
    } else if (name == "expect") {
        if (t.size() < 2) {
            throw LineError{"missing arguments: expect WHAT ..."};
        }
        const std::string what = Lower(Word(t[1], "expect WHAT"));
        if (what == "notification") {
            ExpectCount(t, 3, "expect notification \"TEXT\"");
            c.kind = CommandKind::ExpectNotification;
            c.text = Text(t[2], "expect notification \"TEXT\"");
        } else if (what == "open" || what == "closed") {
            ExpectCount(t, 2, what.c_str());
            c.kind = what == "open" ? CommandKind::ExpectOpen : CommandKind::ExpectClosed;
        } else if (what == "page" || what == "row") {
            ExpectCount(t, 3, what == "page" ? "expect page N" : "expect row N");
            c.kind = what == "page" ? CommandKind::ExpectPage : CommandKind::ExpectRow;
            c.number = Number(t[2], 0, 1000000, what.c_str());
        } else if (what == "label") {
            ExpectCount(t, 4, "expect label ROW \"TEXT\"");
            c.kind = CommandKind::ExpectLabel;
            c.number = Number(t[2], 0, 1000000, "the row");
            c.text = Text(t[3], "expect label ROW \"TEXT\"");
        } else if (what == "file") {
            const std::string verb = t.size() == 5 && !t[3].quoted ? Lower(t[3].text) : "";
            if (verb != "contains" && verb != "is") {
                throw LineError{"expected: expect file PATH contains|is \"TEXT\""};
            }
            c.kind = verb == "is" ? CommandKind::ExpectFileIs : CommandKind::ExpectFileContains;
            c.path = t[2].text;
            if (!InsideFolder(c.path)) {
                throw LineError{"expect file reads only inside the game folder: '" + c.path +
                                "' is absolute or has '..'"};
            }
            c.text = Text(t[4], "expect file PATH contains|is \"TEXT\"");
        } else if (what == "no-unknown-natives") {
            ExpectCount(t, 2, "expect no-unknown-natives");
            c.kind = CommandKind::ExpectNoUnknownNatives;
        } else if (what == "no-misuse") {
            ExpectCount(t, 2, "expect no-misuse");
            c.kind = CommandKind::ExpectNoMisuse;
        } else if (ParseCheckCommand(t, what, true, c)) {
        } else {
            throw LineError{
                "unknown expectation '" + t[1].text +
                "' (notification, open, closed, page, row, label, file, "
                "no-unknown-natives, no-misuse, files, prompt, sound, text-size, failures)"};
        }
    } else if (!ParseCheckCommand(t, name, false, c)) {
        throw LineError{"unknown command '" + t[0].text + "'"};
    }
    return c;
}

#include "scenario_checks.inc"

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
