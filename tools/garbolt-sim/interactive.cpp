#include "interactive.h"

#include <iostream>

#if defined(_WIN32)

namespace garbolt_sim {

int RunInteractive(const RunOptions&, const std::vector<Command>&) {
    std::cerr << "garbolt-sim: the interactive mode needs a POSIX terminal\n";
    return kExitBadScenario;
}

}  // namespace garbolt_sim

#else

#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <deque>
#include <sstream>
#include <string>

#include "game_side.h"
#include "safe_text.h"

namespace garbolt_sim {

namespace {

volatile std::sig_atomic_t quitRequested = 0;
struct termios savedTerminal;
bool terminalSaved = false;

const char kEnterScreen[] = "\x1b[?1049h\x1b[?25l";
const char kLeaveScreen[] = "\x1b[?25h\x1b[?1049l";

void WriteAll(const std::string& text, int to = STDOUT_FILENO) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(to, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void RestoreTerminal() {
    if (terminalSaved) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        WriteAll(kLeaveScreen);
        terminalSaved = false;
    }
}

extern "C" void OnQuitSignal(int) {
    quitRequested = 1;
}

// The terminal in raw mode for the life of the session, put back however it ends.
class RawTerminal {
  public:
    bool Enter() {
        if (!::isatty(STDIN_FILENO) || ::tcgetattr(STDIN_FILENO, &savedTerminal) != 0) {
            return false;
        }
        terminalSaved = true;
        struct termios raw = savedTerminal;
        raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | IXON | INLCR | IGNCR);
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
        raw.c_lflag |= ISIG;  // Ctrl-C still reaches the handler below
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGHUP, &action, nullptr);
        std::atexit(RestoreTerminal);
        WriteAll(kEnterScreen);
        return true;
    }
    ~RawTerminal() { RestoreTerminal(); }
};

// One thing the player did at the terminal.
struct Input {
    enum class Kind {
        None,
        Up,
        Down,
        Left,
        Right,
        ShiftUp,
        ShiftDown,
        Enter,
        Backspace,
        Escape,
        Function,
        Char,
        ClearLine,
        Quit
    };
    Kind kind = Kind::None;
    int number = 0;  // function key number, or the character
};

// Splits what the terminal sent into inputs (xterm and tmux sequences).
std::deque<Input> Decode(const std::string& bytes) {
    std::deque<Input> inputs;
    std::size_t i = 0;
    auto starts = [&](const char* sequence) {
        return bytes.compare(i, std::strlen(sequence), sequence) == 0;
    };
    static const struct {
        const char* sequence;
        int key;
    } kFunctionKeys[] = {{"\x1bOP", 1},   {"\x1bOQ", 2},    {"\x1bOR", 3},    {"\x1bOS", 4},
                         {"\x1b[11~", 1}, {"\x1b[12~", 2},  {"\x1b[13~", 3},  {"\x1b[14~", 4},
                         {"\x1b[15~", 5}, {"\x1b[17~", 6},  {"\x1b[18~", 7},  {"\x1b[19~", 8},
                         {"\x1b[20~", 9}, {"\x1b[21~", 10}, {"\x1b[23~", 11}, {"\x1b[24~", 12}};
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0x1b) {
            bool matched = false;
            for (const auto& f : kFunctionKeys) {
                if (starts(f.sequence)) {
                    inputs.push_back({Input::Kind::Function, f.key});
                    i += std::strlen(f.sequence);
                    matched = true;
                    break;
                }
            }
            if (matched) {
                continue;
            }
            static const struct {
                const char* sequence;
                Input::Kind kind;
            } kKeys[] = {{"\x1b[1;2A", Input::Kind::ShiftUp}, {"\x1b[1;2B", Input::Kind::ShiftDown},
                         {"\x1b[5~", Input::Kind::ShiftUp},   {"\x1b[6~", Input::Kind::ShiftDown},
                         {"\x1b[A", Input::Kind::Up},         {"\x1b[B", Input::Kind::Down},
                         {"\x1b[C", Input::Kind::Right},      {"\x1b[D", Input::Kind::Left},
                         {"\x1bOA", Input::Kind::Up},         {"\x1bOB", Input::Kind::Down},
                         {"\x1bOC", Input::Kind::Right},      {"\x1bOD", Input::Kind::Left}};
            for (const auto& k : kKeys) {
                if (starts(k.sequence)) {
                    inputs.push_back({k.kind, 0});
                    i += std::strlen(k.sequence);
                    matched = true;
                    break;
                }
            }
            if (matched) {
                continue;
            }
            if (i + 1 < bytes.size() && (bytes[i + 1] == '[' || bytes[i + 1] == 'O')) {
                // Some other sequence: skip it whole.
                std::size_t end = i + 2;
                while (end < bytes.size() && !(bytes[end] >= 0x40 && bytes[end] <= 0x7e)) {
                    ++end;
                }
                i = end + 1;
                continue;
            }
            inputs.push_back({Input::Kind::Escape, 0});
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            inputs.push_back({Input::Kind::Enter, 0});
        } else if (c == 0x7f || c == 0x08) {
            inputs.push_back({Input::Kind::Backspace, 0});
        } else if (c == 0x15) {
            inputs.push_back({Input::Kind::ClearLine, 0});
        } else if (c == 0x03 || c == 0x04) {
            inputs.push_back({Input::Kind::Quit, 0});
        } else if (c >= 0x20) {
            inputs.push_back({Input::Kind::Char, c});
        }
        ++i;
    }
    return inputs;
}

// The screen is at most 80 columns wide: longer lines are cut (a name or
// a notification can be long), so none wraps and pushes the top line away.
constexpr std::size_t kColumns = 79;

// Each line made safe for the terminal and cut to the screen's width, the
// line breaks kept.
std::string SafeLines(const std::string& text) {
    std::string safe;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = TerminalSafe(line);
        std::size_t columns = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            // A character starts at every byte that does not continue one.
            if ((static_cast<unsigned char>(line[i]) & 0xC0) != 0x80 && ++columns > kColumns) {
                line.resize(i);
                break;
            }
        }
        safe += line + "\n";
    }
    return safe;
}

// The character on one line, as the screenshots paint it: per part of the
// body a swatch in the colour of each item worn there (13 at most).
std::string CharacterPanel(const CharacterLook& look) {
    std::string panel = "  " + WearingLine(look) + " ";
    const struct {
        const char* name;
        const std::vector<Band>* bands;
    } parts[] = {{" head ", &look.head}, {" torso ", &look.torso}, {" legs ", &look.legs}};
    for (const auto& part : parts) {
        panel += part.name;
        for (const Band& band : *part.bands) {
            panel += "\x1b[38;2;" + std::to_string(band.colour.r) + ";" +
                     std::to_string(band.colour.g) + ";" + std::to_string(band.colour.b) +
                     "m\xE2\x96\x88\x1b[0m";
        }
        panel += part.bands->empty() ? "-" : "";
    }
    return panel + "\n";
}

// The keys, every one of them, in three lines of at most 80 columns: the
// whole screen fits an 80 x 24 terminal.
const char kHelp[] =
    "F1-F12 keys (F9 menu)  arrows move  Enter select  Backspace back  s save/delete\n"
    "Shift+Up/Down, PgUp/PgDn ten rows  o open chord  g gamepad/keyboard  r restart\n"
    "k or ` + digits + Enter: key code  q quit  naming: Ctrl-U clear, Esc leave\n";

// The latest notifications the screen keeps.
constexpr std::size_t kNotificationsKept = 3;

// A command as the terminal gives it, named as a scenario would write it
// (messages quote it).
Command Make(CommandKind kind, std::string source, std::int64_t number = 0, std::string text = {}) {
    Command command;
    command.kind = kind;
    command.number = number;
    command.text = std::move(text);
    command.source = std::move(source);
    return command;
}

Command KeyCommand(CommandKind kind, const char* word, std::uint32_t code) {
    return Make(kind, std::string(word) + " " + std::to_string(code), code);
}

class Session {
  public:
    // `errors` is where the runner writes why a command failed.
    Session(Runner& runner, std::ostringstream& errors) : runner_(runner), errors_(errors) {}

    // Acts on one input; false when the player quits.
    bool Handle(const Input& input) {
        if (input.kind == Input::Kind::Quit) {
            return false;
        }
        if (naming_) {
            return HandleNaming(input);
        }
        if (keyCode_) {
            return HandleKeyCode(input);
        }
        switch (input.kind) {
            case Input::Kind::Up:
                Press("up");
                break;
            case Input::Kind::Down:
                Press("down");
                break;
            case Input::Kind::Left:
                Press("left");
                break;
            case Input::Kind::Right:
                Press("right");
                break;
            case Input::Kind::ShiftUp:
            case Input::Kind::ShiftDown:
                Run(KeyCommand(CommandKind::KeyDown, "keydown", 16));
                Press(input.kind == Input::Kind::ShiftUp ? "up" : "down");
                Run(KeyCommand(CommandKind::KeyUp, "keyup", 16));
                break;
            case Input::Kind::Enter:
                Press("select");
                break;
            case Input::Kind::Backspace:
                Press("back");
                break;
            case Input::Kind::Function:
                Run(KeyCommand(CommandKind::Key, "key", 0x70 + input.number - 1));
                break;
            case Input::Kind::Char:
                if (input.number == 'q' || input.number == 'Q') {
                    return false;
                } else if (input.number == 's' || input.number == 'S') {
                    Press("save");
                } else if (input.number == 'o' || input.number == 'O') {
                    Press("open-chord");
                } else if (input.number == 'g' || input.number == 'G') {
                    gamepad_ = !gamepad_;
                    game_side::SetGamepad(gamepad_);
                } else if (input.number == 'r' || input.number == 'R') {
                    Run(Make(CommandKind::Restart, "restart"), "the plug-in was restarted");
                } else if (input.number == '`' || input.number == 'k' || input.number == 'K') {
                    keyCode_ = true;
                    code_.clear();
                }
                break;
            default:
                break;
        }
        return true;
    }

    // Keeps the text box in step with the game's keyboard.
    void Follow() {
        const sim::KeyboardView& keyboard = runner_.LastFrame().keyboard;
        if (keyboard.open && (!naming_ || keyboard.opens != opens_)) {
            naming_ = true;
            opens_ = keyboard.opens;
            name_ = keyboard.initialText;
        } else if (!keyboard.open) {
            naming_ = false;
        }
    }

    // The screen as the terminal gets it: what comes from the game made safe
    // line by line, the character in colour between.
    std::string Screen() const {
        std::ostringstream top, rest;
        ScreenParts(top, rest);
        return SafeLines(top.str()) + CharacterPanel(runner_.Look()) + SafeLines(rest.str());
    }

    void ScreenParts(std::ostringstream& out, std::ostringstream& rest) const {
        const MenuView& menu = runner_.Menu();
        const FrameRecord& frame = runner_.LastFrame();
        out << "Garbolt (simulated game)  frame " << frame.frame
            << "  input: " << (gamepad_ ? "gamepad" : "keyboard") << "  light "
            << (frame.light ? "on" : "off") << "  camera " << (frame.camera.On() ? "on" : "off")
            << "\n"
            << kHelp << RenderMenuText(menu);
        std::string prompts;
        for (const sim::ShownPrompt& prompt : frame.prompts) {
            if (prompt.On()) {
                prompts += "  [" + prompt.text + "]";
            }
        }
        out << "  prompts:" << (prompts.empty() ? "  none" : prompts) << "\n";
        // One line for what is being typed or what went wrong.
        if (naming_) {
            rest << "  " << frame.keyboard.title << " | " << name_ << "_\n";
        } else if (keyCode_) {
            rest << "  key code: " << code_ << "_  (Enter sends it, Esc cancels)\n";
        } else {
            rest << "  " << problem_ << "\n";
        }
        for (const std::string& text : notifications_) {
            rest << "  notification: " << text << "\n";
        }
    }

    void Remember(const FrameRecord& frame) {
        for (const std::string& text : frame.notifications) {
            notifications_.push_back(text);
            if (notifications_.size() > kNotificationsKept) {
                notifications_.pop_front();
            }
        }
    }

  private:
    void Press(const char* control) {
        Run(Make(CommandKind::Press, std::string("press ") + control, 0, control));
    }

    // Plays the command; the screen then says what became of it: `done`, or
    // why it failed.
    void Run(const Command& command, const std::string& done = std::string()) {
        errors_.str("");
        problem_ = done;
        if (!runner_.Execute(command)) {
            std::string why = errors_.str();
            while (!why.empty() && why.back() == '\n') {
                why.pop_back();
            }
            problem_ = why.substr(why.rfind('\n') + 1);
        }
    }

    bool HandleNaming(const Input& input) {
        switch (input.kind) {
            case Input::Kind::Enter:
                Run(Make(CommandKind::Type, "type " + Quote(name_), 0, name_));
                naming_ = false;
                break;
            case Input::Kind::Escape:
                Run(Make(CommandKind::TypeCancel, "type-cancel"));
                naming_ = false;
                break;
            case Input::Kind::Backspace:
                // One UTF-8 character back.
                while (!name_.empty() &&
                       (static_cast<unsigned char>(name_.back()) & 0xC0) == 0x80) {
                    name_.pop_back();
                }
                if (!name_.empty()) {
                    name_.pop_back();
                }
                break;
            case Input::Kind::ClearLine:
                name_.clear();
                break;
            case Input::Kind::Char:
                name_ += static_cast<char>(input.number);
                break;
            default:
                break;
        }
        return true;
    }

    bool HandleKeyCode(const Input& input) {
        if (input.kind == Input::Kind::Char && input.number >= '0' && input.number <= '9' &&
            code_.size() < 5) {
            code_ += static_cast<char>(input.number);
        } else if (input.kind == Input::Kind::Backspace && !code_.empty()) {
            code_.pop_back();
        } else if (input.kind == Input::Kind::Enter) {
            keyCode_ = false;
            std::uint32_t code = 0;
            if (ParseKeyName(code_, &code)) {
                Run(KeyCommand(CommandKind::Key, "key", code));
            } else {
                problem_ = "no key code: " + code_;
            }
        } else if (input.kind == Input::Kind::Escape) {
            keyCode_ = false;
        }
        return true;
    }

    Runner& runner_;
    std::ostringstream& errors_;
    bool gamepad_ = false;
    bool naming_ = false;
    int opens_ = 0;
    std::string name_;
    bool keyCode_ = false;
    std::string code_;
    std::string problem_;
    std::deque<std::string> notifications_;
};

}  // namespace

int RunInteractive(const RunOptions& options, const std::vector<Command>& prelude) {
    std::ostringstream transcript;
    std::ostringstream errors;
    Runner runner(options, transcript, errors);
    if (!runner.Start()) {
        std::cerr << errors.str();
        return kExitBadScenario;
    }
    runner.Run(prelude);
    RawTerminal terminal;
    if (!terminal.Enter()) {
        std::cerr << "garbolt-sim: the interactive mode needs a terminal\n";
        return kExitBadScenario;
    }
    // A plug-in that hangs ends the process from the watchdog's thread.
    runner.SetLastWords([](const std::string& message) {
        RestoreTerminal();
        WriteAll(message + "\n", STDERR_FILENO);
    });
    Session session(runner, errors);
    runner.SetFrameListener(
        [&session](const FrameRecord& frame, const MenuView&) { session.Remember(frame); });
    std::string shown;
    bool playing = true;
    while (playing && !quitRequested) {
        struct pollfd in = {STDIN_FILENO, POLLIN, 0};
        std::string bytes;
        if (::poll(&in, 1, 33) > 0) {
            char buffer[256];
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n > 0) {
                bytes.assign(buffer, static_cast<std::size_t>(n));
            }
        }
        std::deque<Input> inputs = Decode(bytes);
        if (inputs.empty()) {
            runner.Step();
        }
        for (const Input& input : inputs) {
            if (!session.Handle(input)) {
                playing = false;
                break;
            }
            session.Follow();
        }
        session.Follow();
        // Transcript and errors are not shown; they must not grow without end.
        transcript.str("");
        errors.str("");
        const std::string screen = session.Screen();
        if (screen != shown) {
            // No line break after the last line: on a screen of exactly that
            // many lines it would scroll the first one away.
            std::string frame = "\x1b[H";
            std::istringstream lines(screen);
            const char* lineBreak = "";
            for (std::string line; std::getline(lines, line); lineBreak = "\r\n") {
                frame += lineBreak + line + "\x1b[K";
            }
            frame += "\x1b[J";
            WriteAll(frame);
            shown = screen;
        }
    }
    RestoreTerminal();
    return kExitOk;
}

}  // namespace garbolt_sim

#endif
