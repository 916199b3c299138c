// The scenario runner.
//
// Sections: helpers for the JSON and the transcript; starting a run (game
// folder, plug-in); the commands; one frame and its report (JSON events,
// transcript lines, automatic screenshots).
#include "runner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "game_side.h"
#include "host/float_bits.h"
#include "json_text.h"
#include "safe_text.h"
#include "shot.h"
#include "sim/game.h"
#include "sim/plugin.h"
#include "sim/prompts.h"

namespace garbolt_sim {

namespace fs = std::filesystem;

namespace {

std::string Hex(std::uint64_t value) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%016llX", static_cast<unsigned long long>(value));
    return buffer;
}

std::string Fixed(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", static_cast<double>(value));
    return buffer;
}

std::string Point(const sim::Vec3& p) {
    return "(" + Fixed(p.x) + ", " + Fixed(p.y) + ", " + Fixed(p.z) + ")";
}

json RgbaJson(const sim::Colour& c) {
    return json::array({c.r, c.g, c.b, c.a});
}

json Vector(const sim::Vec3& p) {
    return json::array({p.x, p.y, p.z});
}

// Every JSON line starts with its frame and type.
json Event(const FrameRecord& frame, const char* type) {
    json line;
    line["frame"] = frame.frame;
    line["type"] = type;
    return line;
}

json TextJson(const FrameRecord& frame, const sim::TextEntry& text) {
    json line = Event(frame, "text");
    PutText(line, "raw", sim::DrawnMarkup(text));
    line["decoded"] = text.decoded;
    if (text.decoded) {
        line["rightMargin"] = RightMargin(text);
        PutText(line, "align", text.alignment);
        PutText(line, "font", text.fontFace);
        line["letterSpacing"] = text.letterSpacing;
        line["size"] = text.size;
    }
    PutText(line, "text", sim::ShownText(text));
    line["x"] = text.x;
    line["y"] = text.y;
    line["rgba"] = RgbaJson(text.colour);
    return line;
}

json SpriteJson(const FrameRecord& frame, const sim::SpriteEntry& sprite) {
    json line = Event(frame, "sprite");
    PutText(line, "dict", sprite.dictionary);
    PutText(line, "texture", sprite.texture);
    line["x"] = sprite.x;
    line["y"] = sprite.y;
    line["w"] = sprite.width;
    line["h"] = sprite.height;
    line["rgba"] = RgbaJson(sprite.colour);
    return line;
}

// A native's arguments as the native table reads them. Addresses differ from
// run to run, so a pointer shows only whether it is null.
json Arguments(const sim::TraceEvent& event) {
    json args = json::array();
    std::size_t text = 0;
    for (std::size_t i = 0; i < event.args.size(); ++i) {
        const std::uint64_t word = event.args[i];
        const char kind = event.native != nullptr ? event.native->KindAt(i) : 0;
        switch (kind) {
            case sim::arg_kind::kInt:
                args.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(word)));
                break;
            case sim::arg_kind::kBool:
                args.push_back(static_cast<std::uint32_t>(word) != 0);
                break;
            case sim::arg_kind::kFloat:
                args.push_back(float_bits::FromWord(word));
                break;
            case sim::arg_kind::kText:
            case sim::arg_kind::kTextOrNull:
                if (text < event.texts.size() && word != 0) {
                    args.push_back(TextValue(event.texts[text]));
                } else {
                    args.push_back(nullptr);
                }
                ++text;
                break;
            case sim::arg_kind::kPointer:
            case sim::arg_kind::kGameText:
                args.push_back(word != 0 ? json("pointer") : json(nullptr));
                break;
            default:  // a Hash, or an argument the table does not describe
                args.push_back(word);
                break;
        }
    }
    return args;
}

// "NAMESPACE::NAME (0x...)", or the hash alone for an unknown native.
std::string NativeText(const sim::TraceEvent& event) {
    return event.native != nullptr ? std::string(event.Name()) + " (" + Hex(event.hash) + ")"
                                   : Hex(event.hash);
}

std::string RowText(const MenuView& menu) {
    std::string text = "row " + std::to_string(menu.current);
    if (const MenuRow* row = menu.Row(menu.current)) {
        text += " " + Quote(row->label);
    }
    return text + " (" + std::to_string(menu.current + 1) + " of " + std::to_string(menu.count) +
           ")";
}

std::string PageText(const MenuView& menu) {
    std::string text = menu.title + " / " + menu.subtitle;
    if (menu.page >= 0) {
        text += " (page " + std::to_string(menu.page) + ")";
    }
    return text;
}

// The scenario names only paths inside the game folder; a link in there may
// still point elsewhere.
bool LeadsInside(const fs::path& path, const fs::path& folder) {
    std::error_code targetError, rootError;
    const fs::path target = fs::weakly_canonical(path, targetError);
    const fs::path root = fs::weakly_canonical(folder, rootError);
    if (targetError || rootError) {
        return false;
    }
    return std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first ==
           root.end();
}

}  // namespace

Runner::Runner(RunOptions options, std::ostream& transcript, std::ostream& errors)
    : options_(std::move(options)),
      transcript_(transcript),
      errors_(errors),
      where_(options_.scenarioName),
      watchdog_(options_.watchdog, [this](const std::string& what) { Hung(what); }) {}

Runner::~Runner() {
    hold_.reset();
    where_ = options_.scenarioName;
    UnloadPlugin();
    player_.reset();
    sim::TheGame().SetTraceObserver(nullptr);
    std::error_code ec;
    if (!startDir_.empty()) {
        fs::current_path(fs::u8path(startDir_), ec);
    }
}

std::string Runner::Resolve(const std::string& path) const {
    const fs::path p = fs::u8path(path);
    return p.is_absolute() ? p.u8string() : (fs::u8path(startDir_) / p).u8string();
}

bool Runner::Start() {
    std::error_code ec;
    startDir_ = fs::current_path(ec).u8string();
    if (!options_.jsonPath.empty()) {
        json_.open(fs::u8path(Resolve(options_.jsonPath)), std::ios::binary | std::ios::trunc);
        if (!json_) {
            errors_ << "garbolt-sim: cannot write " << options_.jsonPath << "\n";
            return false;
        }
    }
    if (!options_.shotsDir.empty()) {
        fs::create_directories(fs::u8path(Resolve(options_.shotsDir)), ec);
        if (!fs::is_directory(fs::u8path(Resolve(options_.shotsDir)), ec)) {
            errors_ << "garbolt-sim: cannot make the folder " << options_.shotsDir << "\n";
            return false;
        }
    }
    std::string error;
    folder_ =
        options_.gameDir.empty()
            ? play::GameFolder::Fresh("garbolt-sim", play::GameFolder::Files::Defaults, &error)
            : play::GameFolder::Existing(Resolve(options_.gameDir), &error);
    if (!folder_) {
        errors_ << "garbolt-sim: " << error << "\n";
        return false;
    }
    const std::string plugin =
        options_.pluginPath.empty() ? sim::DefaultPluginPath() : Resolve(options_.pluginPath);
    if (!folder_->Enter(&error)) {
        errors_ << "garbolt-sim: " << error << "\n";
        return false;
    }
    options_.pluginPath = plugin;
    sim::Game& game = sim::TheGame();
    game.Reset();
    if (options_.promptCompletion) {
        sim::Prompts().SetReading(*options_.promptCompletion);
    }
    watcher_.Attach(game, options_.trace);
    files_.emplace(folder_->Path());
    files_->Accept();
    player_ = std::make_unique<play::Player>(plugin);
    if (!LoadPlugin()) {
        errors_ << "garbolt-sim: " << player_->Error() << "\n";
        return false;
    }
    return true;
}

bool Runner::LoadPlugin() {
    const Watchdog::Scope timing(watchdog_, where_ + ": loading the plug-in");
    return player_->Load();
}

void Runner::UnloadPlugin() {
    if (player_) {
        const Watchdog::Scope timing(watchdog_, where_ + ": unloading the plug-in");
        player_->Unload();
    }
}

namespace {

// "10 s", "0.25 s".
std::string Seconds(std::chrono::milliseconds limit) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(limit.count()) / 1000.0);
    return text;
}

}  // namespace

// The plug-in holds the runner's thread, which touches nothing until the call
// returns: what it wrote so far goes out, the message after it.
void Runner::Hung(const std::string& what) {
    transcript_.flush();
    if (json_.is_open()) {
        json_.flush();
    }
    const std::string message = TerminalSafe(
        "garbolt-sim: " + what + " did not return within " + Seconds(options_.watchdog) +
        ": the plug-in hangs (--watchdog SECONDS sets the limit)");
    if (lastWords_) {
        lastWords_(message);
    }
    errors_ << message << "\n";
    errors_.flush();
    std::_Exit(kExitPluginHung);
}

int Runner::Run(const std::vector<Command>& commands) {
    for (const Command& command : commands) {
        Execute(command);
    }
    if (watcher_.UnknownCount() > 0) {
        Line("unknown natives called: " + std::to_string(watcher_.UnknownCount()) + " calls of " +
             std::to_string(unknownReported_.size()) + " natives");
    }
    // The game would not forgive a misuse, so a run with one fails whether
    // or not the scenario asked.
    const std::uint64_t misuses = watcher_.MisuseCount();
    if (misuses > 0) {
        Line("natives misused: " + std::to_string(misuses) +
             (misuses == 1 ? " misuse" : " misuses") + " of " +
             std::to_string(misuseReported_.size()) +
             (misuseReported_.size() == 1 ? " kind" : " kinds"));
    }
    if (failures_ > 0) {
        Line(std::to_string(failures_) + " expectation" + (failures_ == 1 ? "" : "s") + " failed");
        return kExitExpectationFailed;
    }
    return misuses > 0 ? kExitExpectationFailed : kExitOk;
}

// Every line goes out at once, so that a reader at the other end of a pipe
// sees each frame as it is played, up to one that never ends.
void Runner::Line(const std::string& text) {
    transcript_ << TerminalSafe(text) << "\n";
    transcript_.flush();
}

void Runner::Json(const std::string& line) {
    if (json_.is_open()) {
        json_ << line << "\n";
    }
}

bool Runner::Fail(const Command& command, const std::string& message) {
    ++failures_;
    const std::string text = options_.scenarioName + ":" + std::to_string(command.line) + ": " +
                             command.source + ": " + message;
    errors_ << TerminalSafe(text) << "\n";
    transcript_.flush();
    Line("  FAILED: " + message);
    return false;
}

// Runs the command's frame after a game-side change, or fails with the
// reason the change could not be made.
bool Runner::Act(const Command& command, const std::string& problem) {
    if (!problem.empty()) {
        return Fail(command, problem);
    }
    Step();
    return true;
}

// --- The commands ---

bool Runner::DoFrames(const Command& command) {
    for (std::int64_t i = 0; i < command.number; ++i) {
        Step();
    }
    return true;
}

// A key is pressed on one frame and released on the next; keydown and keyup
// do one half each.
bool Runner::DoKeys(const Command& command) {
    sim::Game& game = sim::TheGame();
    const std::vector<std::uint32_t> keys = KeysOf(command);
    if (command.kind != CommandKind::KeyUp) {
        for (std::uint32_t key : keys) {
            game.KeyDown(key);
        }
        Step();
    }
    if (command.kind != CommandKind::KeyDown) {
        for (std::uint32_t key : keys) {
            game.KeyUp(key);
        }
        Step();
    }
    return true;
}

bool Runner::DoWindow(const Command& command) {
    if (command.number < 0) {
        sim::TheGame().SetWindow(std::nullopt);
        window_.reset();
    } else {
        sim::TheGame().SetWindow(static_cast<std::int32_t>(command.number));
        window_ = static_cast<std::int32_t>(command.number);
    }
    Step();
    return true;
}

bool Runner::DoPromptCompletion(const Command& command) {
    sim::Prompts().SetReading(command.flag ? sim::PromptCompletion::OneFrame
                                           : sim::PromptCompletion::Latched);
    Line(std::string("  prompt completions now last ") +
         (command.flag ? "one frame" : "until the prompt's modes are restarted"));
    Step();
    return true;
}

bool Runner::DoRestart(const Command& command) {
    UnloadPlugin();  // its prompts go with it
    if (sim::TheGame().ScriptRunning()) {
        return Fail(command, "unloading the plug-in did not end its script routine");
    }
    promptsReported_.clear();
    if (!LoadPlugin()) {
        return Fail(command, player_->Error());
    }
    Step();
    return true;
}

bool Runner::DoShot(const Command& command) {
    std::string error;
    if (!Shot(Resolve(command.path), &error)) {
        return Fail(command, error);
    }
    Line("  shot " + command.path);
    return true;
}

bool Runner::DoDump(const Command&) {
    std::istringstream lines(RenderMenuText(menu_));
    for (std::string line; std::getline(lines, line);) {
        Line(line);
    }
    return true;
}

bool Runner::CheckNotification(const Command& command) {
    if (last_.notifications.empty()) {
        return Fail(command, "no notification on frame " + std::to_string(last_.frame));
    }
    if (last_.notifications.back() != command.text) {
        return Fail(command, "the last notification of frame " + std::to_string(last_.frame) +
                                 " was " + Quote(last_.notifications.back()));
    }
    return true;
}

bool Runner::CheckOpen(const Command& command) {
    return menu_.open ? true : Fail(command, "the menu is closed");
}

bool Runner::CheckClosed(const Command& command) {
    return !menu_.open ? true : Fail(command, "the menu is open on " + PageText(menu_));
}

bool Runner::CheckPage(const Command& command) {
    if (!menu_.open) {
        return Fail(command, "the menu is closed");
    }
    if (menu_.page != command.number) {
        return Fail(command, "the menu shows " + PageText(menu_));
    }
    return true;
}

bool Runner::CheckRow(const Command& command) {
    if (!menu_.open) {
        return Fail(command, "the menu is closed");
    }
    if (menu_.current != command.number) {
        return Fail(command, "the current row is " + RowText(menu_));
    }
    return true;
}

bool Runner::CheckLabel(const Command& command) {
    if (!menu_.open) {
        return Fail(command, "the menu is closed");
    }
    const MenuRow* row = menu_.Row(static_cast<int>(command.number));
    if (row == nullptr) {
        std::string shown = menu_.rows.empty()
                                ? std::string("no rows are shown")
                                : "rows " + std::to_string(menu_.rows.front().index) + " to " +
                                      std::to_string(menu_.rows.back().index) + " are shown";
        return Fail(command,
                    "row " + std::to_string(command.number) + " is not on screen (" + shown + ")");
    }
    if (row->label != command.text) {
        return Fail(command,
                    "row " + std::to_string(command.number) + " reads " + Quote(row->label));
    }
    return true;
}

bool Runner::CheckFileContains(const Command& command) {
    std::string bytes;
    const fs::path path = fs::u8path(folder_->Path()) / fs::u8path(command.path);
    if (!LeadsInside(path, fs::u8path(folder_->Path()))) {
        return Fail(command, command.path + " leads outside the game folder");
    }
    if (!play::ReadWholeFile(path.u8string(), &bytes)) {
        return Fail(command, "cannot read " + command.path);
    }
    if (bytes.find(command.text) == std::string::npos) {
        return Fail(command, command.path + " (" + std::to_string(bytes.size()) +
                                 " bytes) does not contain " + Quote(command.text));
    }
    return true;
}

bool Runner::CheckNoMisuse(const Command& command) {
    if (watcher_.MisuseCount() == 0) {
        return true;
    }
    std::string kinds;
    for (const std::string& text : misuseReported_) {
        kinds += (kinds.empty() ? "" : "; ") + text;
    }
    return Fail(command, std::to_string(watcher_.MisuseCount()) + " misuses of natives: " + kinds);
}

bool Runner::CheckNoUnknownNatives(const Command& command) {
    if (watcher_.UnknownCount() == 0) {
        return true;
    }
    std::string hashes;
    for (std::uint64_t hash : unknownReported_) {
        hashes += (hashes.empty() ? "" : ", ") + Hex(hash);
    }
    return Fail(command,
                std::to_string(watcher_.UnknownCount()) + " calls of unknown natives: " + hashes);
}

namespace {

// The player's side of a command: a change in the game, made before the
// command's frame; empty, or why the change could not be made.
using GameChange = std::string (*)(const Command& command);

std::string PressControls(const Command& command) {
    // Every control fires on the same frame, as a player pressing them together.
    std::string problem;
    for (const std::string& control : ControlsOf(command)) {
        if (problem.empty()) {
            problem = game_side::PressControl(control);
        }
    }
    return problem;
}
std::string SetInput(const Command& command) {
    return game_side::SetGamepad(command.flag);
}
std::string TypeName(const Command& command) {
    return game_side::KeyboardFinish(command.text);
}
std::string CancelTyping(const Command&) {
    return game_side::KeyboardCancel();
}
std::string TypeNull(const Command&) {
    return game_side::KeyboardFinishNull();
}
std::string SetModel(const Command& command) {
    return game_side::SetModel(command.text);
}
std::string SetCharacterCheck(const Command& command) {
    return game_side::SetCharacterCheck(command.flag);
}
std::string Wear(const Command& command) {
    return game_side::Wear(command.items);
}
std::string SetGameOutfit(const Command& command) {
    return game_side::SetGameOutfit(static_cast<int>(command.number), command.items, command.flag);
}

// Each kind of command: a game change followed by the command's frame, or a
// handler of the runner's own.
struct CommandRun {
    CommandKind kind;
    GameChange change;
    bool (Runner::*run)(const Command& command);
};

}  // namespace

bool Runner::Execute(const Command& command) {
    static const CommandRun kRuns[] = {
        {CommandKind::Frames, nullptr, &Runner::DoFrames},
        {CommandKind::Key, nullptr, &Runner::DoKeys},
        {CommandKind::KeyDown, nullptr, &Runner::DoKeys},
        {CommandKind::KeyUp, nullptr, &Runner::DoKeys},
        {CommandKind::Press, PressControls, nullptr},
        {CommandKind::Input, SetInput, nullptr},
        {CommandKind::Type, TypeName, nullptr},
        {CommandKind::TypeCancel, CancelTyping, nullptr},
        {CommandKind::TypeNull, TypeNull, nullptr},
        {CommandKind::Window, nullptr, &Runner::DoWindow},
        {CommandKind::Model, SetModel, nullptr},
        {CommandKind::CharacterCheck, SetCharacterCheck, nullptr},
        {CommandKind::Wear, Wear, nullptr},
        {CommandKind::GameOutfit, SetGameOutfit, nullptr},
        {CommandKind::PromptCompletion, nullptr, &Runner::DoPromptCompletion},
        {CommandKind::Restart, nullptr, &Runner::DoRestart},
        {CommandKind::Shot, nullptr, &Runner::DoShot},
        {CommandKind::Dump, nullptr, &Runner::DoDump},
        {CommandKind::ExpectNotification, nullptr, &Runner::CheckNotification},
        {CommandKind::ExpectOpen, nullptr, &Runner::CheckOpen},
        {CommandKind::ExpectClosed, nullptr, &Runner::CheckClosed},
        {CommandKind::ExpectPage, nullptr, &Runner::CheckPage},
        {CommandKind::ExpectRow, nullptr, &Runner::CheckRow},
        {CommandKind::ExpectLabel, nullptr, &Runner::CheckLabel},
        {CommandKind::ExpectFileContains, nullptr, &Runner::CheckFileContains},
        {CommandKind::ExpectNoUnknownNatives, nullptr, &Runner::CheckNoUnknownNatives},
        {CommandKind::ExpectNoMisuse, nullptr, &Runner::CheckNoMisuse},
        {CommandKind::Write, nullptr, &Runner::DoWrite},
        {CommandKind::Hold, nullptr, &Runner::DoHold},
        {CommandKind::ExpectFileIs, nullptr, &Runner::CheckFileIs},
        {CommandKind::ExpectFiles, nullptr, &Runner::CheckFiles},
        {CommandKind::ExpectPrompt, nullptr, &Runner::CheckPrompt},
        {CommandKind::ExpectSound, nullptr, &Runner::CheckSound},
        {CommandKind::ExpectTextSize, nullptr, &Runner::CheckTextSize},
        {CommandKind::ExpectFailures, nullptr, &Runner::CheckFailures},
    };
    Line("line " + std::to_string(command.line) + ": " + command.source);
    where_ = options_.scenarioName +
             (command.line > 0 ? ":" + std::to_string(command.line) : std::string()) + ": " +
             command.source;
    bool held = true;
    for (const CommandRun& entry : kRuns) {
        if (entry.kind == command.kind) {
            held = entry.change != nullptr ? Act(command, entry.change(command))
                                           : (this->*entry.run)(command);
            break;
        }
    }
    where_ = options_.scenarioName;
    return held;
}

void Runner::Step() {
    sim::Game& game = sim::TheGame();
    {
        const Watchdog::Scope timing(watchdog_,
                                     where_ + ": frame " + std::to_string(game.FrameNumber() + 1));
        game.RunFrame();
    }
    FrameRecord frame = watcher_.TakeFrame();
    // The tool keeps what it needs itself; the game's own records would grow
    // without end over a long run.
    game.ClearNotifications();
    game.ClearTrace();
    failuresShown_ += FailuresIn(frame.notifications);
    KeepNotificationsOnScreen(frame);
    ReportFrame(frame);
    last_ = std::move(frame);
}

namespace {

// How long the game's feed shows a notification, and how many at once.
constexpr std::uint32_t kNotificationShownMs = 3000;
constexpr std::size_t kNotificationsShownAtOnce = 3;

}  // namespace

void Runner::KeepNotificationsOnScreen(const FrameRecord& frame) {
    const std::uint32_t now = sim::TheGame().Tick();
    while (!notificationsOnScreen_.empty() &&
           now - notificationsOnScreen_.front().shownAt >= kNotificationShownMs) {
        notificationsOnScreen_.pop_front();
    }
    for (const std::string& text : frame.notifications) {
        notificationsOnScreen_.push_back({text, now});
    }
    while (notificationsOnScreen_.size() > kNotificationsShownAtOnce) {
        notificationsOnScreen_.pop_front();
    }
}

std::vector<std::string> Runner::NotificationsOnScreen() const {
    std::vector<std::string> texts;
    for (const ShownNotification& shown : notificationsOnScreen_) {
        texts.push_back(shown.text);
    }
    return texts;
}

// One reporter per kind of observation, in the order of the frame's JSON
// lines; each writes its JSON events and transcript lines and remembers what
// it reported.
void Runner::ReportFrame(const FrameRecord& frame) {
    using Reporter = void (Runner::*)(const FrameRecord&);
    static constexpr Reporter kReporters[] = {
        &Runner::ReportTrace,   &Runner::ReportUnknown,  &Runner::ReportMisuse,
        &Runner::ReportDraws,   &Runner::ReportSounds,   &Runner::ReportNotifications,
        &Runner::ReportMenu,    &Runner::ReportPrompts,  &Runner::ReportLight,
        &Runner::ReportCamera,  &Runner::ReportKeyboard, &Runner::ReportFiles,
        &Runner::ReportClothes, &Runner::ReportShot,
    };
    for (const Reporter report : kReporters) {
        (this->*report)(frame);
    }
    if (frameListener_) {
        frameListener_(frame, menu_);
    }
}

void Runner::Report(const FrameRecord& frame, const std::string& text) {
    Line("  frame " + std::to_string(frame.frame) + "  " + text);
}

void Runner::ReportTrace(const FrameRecord& frame) {
    for (const sim::TraceEvent& traced : frame.trace) {
        if (traced.kind == sim::TraceEvent::Kind::Misuse) {
            continue;  // ReportMisuse's, with or without the trace
        }
        if (traced.kind == sim::TraceEvent::Kind::Native) {
            json line = Event(frame, "native");
            line["hash"] = Hex(traced.hash);
            line["name"] = std::string(traced.Name());
            line["args"] = Arguments(traced);
            Json(line.dump());
        } else {
            json line = Event(frame, "global");
            line["index"] = traced.globalIndex;
            line["before"] = traced.before;
            line["after"] = traced.after;
            Json(line.dump());
        }
    }
}

void Runner::ReportUnknown(const FrameRecord& frame) {
    for (const sim::TraceEvent& unknown : frame.unknown) {
        json line = Event(frame, "unknown-native");
        line["hash"] = Hex(unknown.hash);
        line["args"] = Arguments(unknown);
        Json(line.dump());
        if (unknownReported_.insert(unknown.hash).second) {
            Report(frame, "unknown native " + Hex(unknown.hash) + " with " +
                              std::to_string(unknown.args.size()) + " arguments");
        }
    }
}

void Runner::ReportMisuse(const FrameRecord& frame) {
    for (const sim::TraceEvent& misuse : frame.misuse) {
        json line = Event(frame, "misuse");
        line["hash"] = Hex(misuse.hash);
        line["name"] = misuse.native != nullptr ? json(std::string(misuse.Name())) : json(nullptr);
        PutText(line, "problem", misuse.problem);
        line["args"] = Arguments(misuse);
        Json(line.dump());
        const std::string text = NativeText(misuse) + ": " + misuse.problem;
        if (misuseReported_.insert(text).second) {
            Report(frame, "misuse of " + text);
        }
    }
}

// The draw list goes to the JSON only: the transcript tells the menu's changes.
void Runner::ReportDraws(const FrameRecord& frame) {
    for (const sim::DrawEntry& draw : frame.draws) {
        Json((draw.kind == sim::DrawEntry::Kind::Text ? TextJson(frame, draw.text)
                                                      : SpriteJson(frame, draw.sprite))
                 .dump());
    }
}

void Runner::ReportSounds(const FrameRecord& frame) {
    for (const sim::HeardSound& sound : frame.sounds) {
        json line = Event(frame, "sound");
        PutText(line, "name", sound.name);
        PutText(line, "set", sound.set);
        Json(line.dump());
        Report(frame, "sound " + sound.name + " (" + sound.set + ")");
    }
}

void Runner::ReportNotifications(const FrameRecord& frame) {
    for (const std::string& text : frame.notifications) {
        json line = Event(frame, "notification");
        PutText(line, "text", text);
        Json(line.dump());
        Report(frame, "notification " + Quote(text));
    }
}

// The menu as the player sees it change.
void Runner::ReportMenu(const FrameRecord& frame) {
    const MenuView menu = ReadMenu(frame);
    if (menu.open && !menu_.open) {
        Report(frame, "menu opened: " + PageText(menu) + ", " + RowText(menu));
    } else if (!menu.open && menu_.open) {
        Report(frame, "menu closed");
    } else if (menu.open && (menu.subtitle != menu_.subtitle || menu.title != menu_.title)) {
        Report(frame, "page " + PageText(menu) + ", " + RowText(menu));
    } else if (menu.open) {
        if (menu.current != menu_.current) {
            Report(frame, RowText(menu));
        }
        for (const MenuRow& row : menu.rows) {
            if (const MenuRow* before = menu_.Row(row.index)) {
                ReportRowChange(frame, *before, row);
            }
        }
    }
    menu_ = menu;
}

void Runner::ReportRowChange(const FrameRecord& frame, const MenuRow& before, const MenuRow& row) {
    const std::string name = "row " + std::to_string(row.index);
    if (before.label != row.label) {
        Report(frame,
               name + " now reads " + Quote(row.label) + " (was " + Quote(before.label) + ")");
    }
    if (before.ticked != row.ticked) {
        Report(frame, name + " " + Quote(row.label) + (row.ticked ? " ticked" : " unticked"));
    }
    if (before.value != row.value && row.value) {
        Report(frame, name + " value " + Quote(*row.value));
    }
}

// A prompt's every change goes to the JSON; the transcript tells it coming on
// and going off, and a new text while it is on.
void Runner::ReportPrompts(const FrameRecord& frame) {
    for (const sim::ShownPrompt& prompt : frame.prompts) {
        const auto before = promptsReported_.find(prompt.handle);
        const bool known = before != promptsReported_.end();
        if (known && before->second == prompt) {
            continue;
        }
        json line = Event(frame, "prompt");
        line["handle"] = prompt.handle;
        PutText(line, "text", prompt.text);
        line["enabled"] = prompt.enabled;
        line["shown"] = prompt.shown;
        Json(line.dump());
        const bool wasOn = known && before->second.On();
        if (wasOn != prompt.On() || (prompt.On() && before->second.text != prompt.text)) {
            Report(frame, "prompt " + Quote(prompt.text) + (prompt.On() ? " on" : " off"));
        }
        promptsReported_[prompt.handle] = prompt;
    }
}

void Runner::ReportLight(const FrameRecord& frame) {
    if (frame.light) {
        json line = Event(frame, "light");
        line["position"] = Vector(*frame.light);
        Json(line.dump());
        if (!lightReported_) {
            Report(frame, "light on at " + Point(*frame.light));
        }
    } else if (lightReported_) {
        Report(frame, "light off");
    }
    lightReported_ = frame.light.has_value();
}

void Runner::ReportCamera(const FrameRecord& frame) {
    const sim::CameraView& camera = frame.camera;
    if (camera == cameraReported_) {
        return;
    }
    json line = Event(frame, "camera");
    line["exists"] = camera.exists;
    line["active"] = camera.active;
    line["rendering"] = camera.rendering;
    line["position"] = camera.position ? Vector(*camera.position) : json(nullptr);
    Json(line.dump());
    if (cameraReported_.On() != camera.On()) {
        Report(frame, (camera.On() ? "camera on" : "camera off") +
                          (camera.On() && camera.position ? " at " + Point(*camera.position)
                                                          : std::string()));
    }
    cameraReported_ = camera;
}

void Runner::ReportKeyboard(const FrameRecord& frame) {
    const sim::KeyboardView& keyboard = frame.keyboard;
    if (keyboard.opens == keyboardOpens_ && keyboard.open == keyboardOpen_) {
        return;
    }
    json line = Event(frame, "keyboard");
    line["open"] = keyboard.open;
    PutText(line, "title", keyboard.title);
    PutText(line, "text", keyboard.initialText);
    line["maxLength"] = keyboard.maxLength;
    Json(line.dump());
    if (keyboard.open) {
        Report(frame, "naming keyboard open: " + keyboard.title + ", " +
                          Quote(keyboard.initialText) + ", up to " +
                          std::to_string(keyboard.maxLength));
    } else {
        Report(frame, "naming keyboard closed");
    }
    keyboardOpens_ = keyboard.opens;
    keyboardOpen_ = keyboard.open;
}

// Files beside the game are no part of the game's observation: the folder is
// compared with what it held after the frame before.
void Runner::ReportFiles(const FrameRecord& frame) {
    for (const FolderWatch::Change& change : files_->Look()) {
        json line = Event(frame, "file");
        PutText(line, "path", change.name);
        if (change.removed) {
            line["removed"] = true;
            Json(line.dump());
            Report(frame, "file " + change.name + " removed");
        } else {
            line["bytes"] = change.bytes;
            Json(line.dump());
            Report(frame,
                   "file " + change.name + " written (" + std::to_string(change.bytes) + " bytes)");
        }
    }
}

// The clothes worn show only in pictures and on the interactive screen.
void Runner::ReportClothes(const FrameRecord& frame) {
    look_ = LookOf(frame.worn);
}

// One automatic picture per distinct screen, so a walk through the menu gives
// one per page and row, and a frame that only shows a notification, a prompt
// or the naming keyboard gets its own. The screen turning empty gets one too.
void Runner::ReportShot(const FrameRecord& frame) {
    if (options_.shotsDir.empty()) {
        return;
    }
    std::string key = std::to_string(menu_.open) + "|" + std::to_string(frame.light.has_value());
    for (const sim::DrawEntry& draw : frame.draws) {
        const bool text = draw.kind == sim::DrawEntry::Kind::Text;
        key += (text ? sim::DrawnMarkup(draw.text) : draw.sprite.texture) + "|" +
               Fixed((text ? draw.text.x : draw.sprite.x) * 1000) +
               Fixed((text ? draw.text.y : draw.sprite.y) * 1000);
    }
    // An equip changes the character, and so the screen.
    for (const std::vector<Band>* part : {&look_.head, &look_.torso, &look_.legs}) {
        for (const Band& band : *part) {
            key += "|" + std::to_string(band.item);
        }
        key += "/";
    }
    bool shown = !frame.draws.empty() || !notificationsOnScreen_.empty() || frame.keyboard.open;
    for (const ShownNotification& notification : notificationsOnScreen_) {
        key += "|n:" + notification.text;
    }
    for (const sim::ShownPrompt& prompt : frame.prompts) {
        if (prompt.shown) {
            shown = true;
            key += "|p:" + prompt.text + (prompt.enabled ? "+" : "-");
        }
    }
    if (frame.keyboard.open) {
        key += "|k:" + frame.keyboard.title + "|" + frame.keyboard.initialText;
    }
    if (key != lastShotKey_ && (shown || shownAtLastShot_)) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06llu.png",
                      static_cast<unsigned long long>(frame.frame));
        std::string error;
        last_ = frame;  // the picture is of this frame
        if (!Shot((fs::u8path(Resolve(options_.shotsDir)) / name).u8string(), &error)) {
            errors_ << "garbolt-sim: " << error << "\n";
        }
        shownAtLastShot_ = shown;
    }
    lastShotKey_ = key;
}

bool Runner::Shot(const std::string& path, std::string* error) const {
    const std::vector<std::string> notifications = NotificationsOnScreen();
    return RenderShot(Screen{last_, look_, notifications}, window_.value_or(1920), path, error);
}

}  // namespace garbolt_sim
