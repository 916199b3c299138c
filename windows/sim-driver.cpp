// Plays the real Garbolt.asi in the simulated game on Windows (under Wine in
// CI): the simulated ScriptHookRDR2.dll loads it with LoadLibrary as the
// hook's loader does, the driver runs a few hundred frames with the menu key
// pressed and released through the registered keyboard handler, and checks
// what the game saw. The plug-in is then unloaded and loaded again, as the
// game does when scripts are reloaded, with the settings file naming another
// menu key, and played once more. Exits 0 when every check holds, 1 with a
// list of what failed.
//
//   garbolt-sim-driver [--frames N] [--plugin PATH] [--trace]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/plugin.h"
#include "sim/prompts.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kF9 = 120;
constexpr std::uint32_t kF10 = 121;
constexpr std::uint32_t kSelectControl = 0x43DBF61F;
constexpr std::uint32_t kBackControl = 0x308588E6;
constexpr std::uint32_t kUpControl = 0x911CB09E;
constexpr std::uint32_t kDownControl = 0x4403F97F;
constexpr std::uint32_t kSaveOutfitControl = 0x171910DC;
constexpr std::uint64_t kMenuStateNative = 0x1B3DA717B9AFF828;
constexpr std::uint64_t kSoundPlayNative = 0x67C540AA08E4A6F5;
constexpr const char* kFailurePrefix = "~COLOR_RED~";
constexpr const char* kSettingsSaveFailed = "~COLOR_RED~Failed to save settings~s~";
constexpr const char* kOutfitSaveFailed = "~COLOR_RED~Failed to save outfit~s~";
// A moment's hold that the save waits out, and one far longer than it waits.
constexpr std::uint32_t kShortHoldMs = 200;
constexpr std::uint32_t kLongHoldMs = 5000;

struct Options {
    int frames = 300;
    std::string plugin;
    bool trace = false;
};

class Checks {
  public:
    void Expect(bool holds, const std::string& what) {
        if (!holds) {
            failures_.push_back(what);
            std::printf("  FAILED: %s\n", what.c_str());
        }
    }
    bool Passed() const { return failures_.empty(); }
    const std::vector<std::string>& Failures() const { return failures_; }

  private:
    std::vector<std::string> failures_;
};

// The game's working folder with the plug-in's own folder and files in it,
// as a player's installation has them; removed again at the end.
class GameFolder {
  public:
    GameFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() / ("garbolt-driver-" + std::to_string(random()));
        fs::create_directories(path_ / "Garbolt");
        WriteSettings(kF9);
        Write("Garbolt/SavedOutfits.xml", "<?xml version=\"1.0\"?>\n<Garbolt />\n");
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
    ~GameFolder() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(path_, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    void WriteSettings(std::uint32_t menuKey) {
        Write("Garbolt/Garbolt.ini",
              "[Garbolt]\nbUseCamera=0\nbDrawLight=0\niMenuKey=" + std::to_string(menuKey) + "\n");
    }

    std::string Read(const std::string& relative) const {
        std::ifstream in(path_ / relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // True while Garbolt/ holds the two files and nothing else, so no save
    // has left a temporary file behind.
    bool HoldsOnlyThePluginFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_ / "Garbolt")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names == std::vector<std::string>{"Garbolt.ini", "SavedOutfits.xml"};
    }

  private:
    void Write(const std::string& relative, const std::string& bytes) {
        std::ofstream out(path_ / relative, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    fs::path path_;
    fs::path previous_;
};

// Another program (garbolt-file-holder.exe, beside this one) holds a file
// of the game folder open without letting it be replaced, for `milliseconds`
// from the moment the constructor returns; it is ended early when this
// object goes.
class HeldFile {
  public:
    HeldFile(const std::string& relative, std::uint32_t milliseconds) {
        const std::string event = "garbolt-driver-held-" + std::to_string(GetCurrentProcessId());
        ready_ = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
        std::string command = "\"" + HolderPath() + "\" \"" + relative + "\" " +
                              std::to_string(milliseconds) + " " + event;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (ready_ != nullptr && CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                                nullptr, nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            const HANDLE either[] = {ready_, process_};
            held_ = WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
        }
    }
    ~HeldFile() {
        if (process_ != nullptr) {
            TerminateProcess(process_, 0);
            WaitForSingleObject(process_, INFINITE);
            CloseHandle(process_);
        }
        if (ready_ != nullptr) {
            CloseHandle(ready_);
        }
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Held() const { return held_; }

  private:
    static std::string HolderPath() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        return (fs::path(self).parent_path() / "garbolt-file-holder.exe").string();
    }
    HANDLE ready_ = nullptr;
    HANDLE process_ = nullptr;
    bool held_ = false;
};

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

// Line ends and control bytes made visible.
std::string Escaped(const std::string& bytes) {
    std::string shown;
    for (unsigned char c : bytes) {
        if (c == '\n') {
            shown += "\\n\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

std::string Describe(const sim::TraceEvent& event) {
    if (event.kind == sim::TraceEvent::Kind::GlobalWrite) {
        return "frame " + std::to_string(event.frame) + " global " +
               std::to_string(event.globalIndex) + " " + std::to_string(event.before) + " -> " +
               std::to_string(event.after);
    }
    std::string line = "frame " + std::to_string(event.frame) + " " + Hex(event.hash) + " " +
                       (event.unknown ? std::string("(unknown)") : std::string(event.Name()));
    if (event.kind == sim::TraceEvent::Kind::Misuse) {
        return line + " misuse: " + event.problem;
    }
    for (const std::string& text : event.texts) {
        line += " \"" + text + "\"";
    }
    return line;
}

// The first native call at or after trace position `from` that matches.
template <typename Match>
std::size_t FindCall(const std::vector<sim::TraceEvent>& trace, std::size_t from, Match match) {
    for (std::size_t i = from; i < trace.size(); ++i) {
        if (trace[i].kind == sim::TraceEvent::Kind::Native && match(trace[i])) {
            return i;
        }
    }
    return trace.size();
}

bool IsMenuState(const sim::TraceEvent& event, std::uint64_t state) {
    return event.hash == kMenuStateNative && !event.args.empty() && event.args[0] == state;
}

bool IsSoundPlay(const sim::TraceEvent& event, const char* name) {
    return event.hash == kSoundPlayNative && !event.texts.empty() && event.texts[0] == name;
}

// A key message as the hook delivers it, then the frame that sees it.
void PressAndRelease(sim::Game& game, std::uint32_t key) {
    game.KeyDown(key);
    game.RunFrame();
    game.KeyUp(key);
    game.RunFrame();
}

// A game control fired on one frame, as the player's pad or mouse gives it.
void Fire(sim::Game& game, std::uint32_t control, int times = 1) {
    for (int i = 0; i < times; ++i) {
        sim::Controls().Press(control);
        game.RunFrame();
    }
}

bool Notified(sim::Game& game, const std::string& text) {
    for (const sim::Notification& note : game.Notifications()) {
        if (note.text == text) {
            return true;
        }
    }
    return false;
}

std::string LastNotification(sim::Game& game) {
    return game.Notifications().empty() ? std::string() : game.Notifications().back().text;
}

bool DrawsText(const std::string& text) {
    for (const sim::TextEntry* entry : sim::Drawing().Texts()) {
        if (entry->text == text) {
            return true;
        }
    }
    return false;
}

// From the main page: the settings page, the camera switched on, "Save
// Settings". The file is rewritten through the whole-file replacement, which
// on Windows has its own way of replacing an existing file; the bytes must be
// exactly the written ones, with no text-mode translation on the way.
void SaveSettingsThroughTheMenu(sim::Game& game, const GameFolder& folder, const std::string& name,
                                Checks& checks) {
    Fire(game, kDownControl, 2);  // "Settings"
    Fire(game, kSelectControl);   // page 3, "Use Wardrobe Camera"
    checks.Expect(DrawsText("Use Wardrobe Camera"), name + ": the settings page is shown");
    Fire(game, kSelectControl);   // switched on
    Fire(game, kDownControl, 2);  // "Save Settings"
    {
        // A scanner holds the file for a moment: the save waits it out.
        HeldFile held("Garbolt/Garbolt.ini", kShortHoldMs);
        checks.Expect(held.Held(), name + ": another program holds Garbolt.ini");
        Fire(game, kSelectControl);
    }
    checks.Expect(Notified(game, "Successfully saved settings"),
                  name + ": \"Save Settings\" reports success while Garbolt.ini is held briefly");
    // The INI writer ends its lines with CR LF on every system; the file's
    // own lines and their order stay.
    const std::string expected =
        "[Garbolt]\r\nbUseCamera=1\r\nbDrawLight=0\r\niMenuKey=" + std::to_string(kF9) + "\r\n";
    const std::string after = folder.Read("Garbolt/Garbolt.ini");
    checks.Expect(after == expected,
                  name + ": Garbolt.ini holds bUseCamera=1 and is otherwise unchanged");
    if (after != expected) {
        std::printf("  Garbolt.ini now holds:\n%s\n  expected:\n%s\n", Escaped(after).c_str(),
                    Escaped(expected).c_str());
    }
    checks.Expect(folder.HoldsOnlyThePluginFiles(),
                  name + ": no temporary file is left beside Garbolt.ini");

    // Held for longer than the save waits: it fails, and the file keeps
    // its bytes, which the light switched on would have changed.
    Fire(game, kUpControl);      // "Draw Light"
    Fire(game, kSelectControl);  // switched on
    Fire(game, kDownControl);    // "Save Settings"
    {
        HeldFile held("Garbolt/Garbolt.ini", kLongHoldMs);
        checks.Expect(held.Held(), name + ": another program holds Garbolt.ini for long");
        Fire(game, kSelectControl);
        checks.Expect(LastNotification(game) == kSettingsSaveFailed,
                      name + ": \"Save Settings\" fails while Garbolt.ini stays held");
        checks.Expect(folder.Read("Garbolt/Garbolt.ini") == expected,
                      name + ": the held Garbolt.ini keeps its bytes");
        checks.Expect(folder.HoldsOnlyThePluginFiles(),
                      name + ": the failed save leaves no temporary file");
    }
    Fire(game, kBackControl);  // back to the main page, on "Settings"
}

// From the main page on "Settings": the saved-outfits page, the first custom
// row, "Save Outfit", a typed name. The outfit file is written in binary: a
// text-mode write would turn every line end into CR LF on Windows.
void SaveOutfitThroughTheMenu(sim::Game& game, const GameFolder& folder, const std::string& name,
                              Checks& checks) {
    Fire(game, kUpControl, 2);    // "Saved Outfits"
    Fire(game, kSelectControl);   // page 1, row 0
    Fire(game, kDownControl, 5);  // row 6, past the heading
    game.RunFrame();              // the prompt comes on for the row
    const auto typeName = [&game, &checks, &name] {
        Fire(game, kSaveOutfitControl);
        game.RunFrame();
        checks.Expect(sim::NamingKeyboard().IsOpen(),
                      name + ": \"Save Outfit\" on the first custom row opens the keyboard");
        sim::NamingKeyboard().Finish("Driver Outfit");
        game.RunFrames(2);
    };
    const std::string before = folder.Read("Garbolt/SavedOutfits.xml");
    {
        // Held for longer than the save waits: it fails, the file keeps its
        // bytes and the row stays free for another try.
        HeldFile held("Garbolt/SavedOutfits.xml", kLongHoldMs);
        checks.Expect(held.Held(), name + ": another program holds SavedOutfits.xml for long");
        typeName();
        checks.Expect(LastNotification(game) == kOutfitSaveFailed,
                      name + ": saving the outfit fails while SavedOutfits.xml stays held");
        checks.Expect(folder.Read("Garbolt/SavedOutfits.xml") == before,
                      name + ": the held SavedOutfits.xml keeps its bytes");
        checks.Expect(folder.HoldsOnlyThePluginFiles(),
                      name + ": the failed save leaves no temporary file");
    }
    game.RunFrame();  // the prompt comes on again for the free row
    {
        HeldFile held("Garbolt/SavedOutfits.xml", kShortHoldMs);
        checks.Expect(held.Held(), name + ": another program holds SavedOutfits.xml");
        typeName();
    }
    checks.Expect(Notified(game, "Successfully saved outfit"),
                  name + ": saving the outfit reports success while the file is held briefly");
    checks.Expect(folder.HoldsOnlyThePluginFiles(),
                  name + ": no temporary file is left beside SavedOutfits.xml");
    const std::string xml = folder.Read("Garbolt/SavedOutfits.xml");
    checks.Expect(xml.find("<Name>Driver Outfit</Name>") != std::string::npos &&
                      xml.find("<Slot>6</Slot>") != std::string::npos,
                  name + ": SavedOutfits.xml holds the outfit under row 6");
    checks.Expect(xml.find('\r') == std::string::npos,
                  name + ": SavedOutfits.xml has plain line ends");
    game.RunFrame();
    checks.Expect(DrawsText("Driver Outfit"), name + ": the row shows the typed name");
}

// After a reload, the stored outfit's name is on its row again (the outfit
// file was read back on Windows); "Delete Outfit" on it rewrites the file
// without it and gives the row its default label back.
void ListAndDeleteStoredOutfit(sim::Game& game, const GameFolder& folder, const std::string& name,
                               Checks& checks) {
    Fire(game, kSelectControl);   // "Saved Outfits"
    Fire(game, kDownControl, 5);  // row 6
    game.RunFrame();              // the prompt comes on for the row
    checks.Expect(DrawsText("Driver Outfit"),
                  name + ": the stored outfit is listed under its name after the reload");
    checks.Expect(sim::Prompts().FindByText("Delete Outfit") != nullptr,
                  name + ": the stored outfit's row offers \"Delete Outfit\"");
    Fire(game, kSaveOutfitControl);
    game.RunFrame();
    checks.Expect(Notified(game, "Successfully deleted outfit"),
                  name + ": deleting the outfit reports success");
    const std::string xml = folder.Read("Garbolt/SavedOutfits.xml");
    checks.Expect(
        xml.find("Driver Outfit") == std::string::npos && xml.find("<Garbolt") != std::string::npos,
        name + ": SavedOutfits.xml keeps its root and no longer holds the outfit");
    checks.Expect(DrawsText("Saved Custom Outfit Six"),
                  name + ": the row shows its default label again");
    Fire(game, kBackControl);
}

// Presses and releases `key` and tells whether the menu opened (or, when
// `opening` is false, closed) on those frames, with its sound.
void ExpectMenuToggle(sim::Game& game, std::uint32_t key, bool opening, const std::string& what,
                      Checks& checks) {
    const std::size_t before = game.Trace().size();
    PressAndRelease(game, key);
    const std::vector<sim::TraceEvent>& trace = game.Trace();
    const std::uint64_t state = opening ? 0 : 1;
    const char* sound = opening ? "MENU_ENTER" : "MENU_CLOSE";
    const std::size_t toggled = FindCall(
        trace, before, [state](const sim::TraceEvent& e) { return IsMenuState(e, state); });
    checks.Expect(toggled < trace.size(),
                  what + " (menu-state native with " + std::to_string(state) + ")");
    checks.Expect(FindCall(trace, toggled,
                           [sound](const sim::TraceEvent& e) { return IsSoundPlay(e, sound); }) <
                      trace.size(),
                  what + " with the \"" + sound + "\" sound");
}

void ExpectNoMenuToggle(sim::Game& game, std::uint32_t key, const std::string& what,
                        Checks& checks) {
    const std::size_t before = game.Trace().size();
    PressAndRelease(game, key);
    const std::vector<sim::TraceEvent>& trace = game.Trace();
    checks.Expect(FindCall(trace, before,
                           [](const sim::TraceEvent& e) { return e.hash == kMenuStateNative; }) ==
                      trace.size(),
                  what);
}

void ExpectPromptsMade(const std::string& name, Checks& checks) {
    for (const char* text : {"Select", "Back", "Save Outfit"}) {
        const sim::PromptRecord* prompt = sim::Prompts().FindByText(text);
        checks.Expect(prompt != nullptr && prompt->finished,
                      name + ": start-up makes the \"" + std::string(text) + "\" prompt");
    }
}

void ExpectPromptsShown(bool shown, const std::string& what, Checks& checks) {
    for (const char* text : {"Select", "Back"}) {
        const sim::PromptRecord* prompt = sim::Prompts().FindByText(text);
        checks.Expect(
            prompt != nullptr && prompt->shown == shown,
            what + ": \"" + std::string(text) + "\" prompt " + (shown ? "shown" : "hidden"));
    }
}

// The sizes of the texts drawn on the last frame.
std::vector<std::int32_t> DrawnTextSizes() {
    std::vector<std::int32_t> sizes;
    for (const sim::TextEntry* text : sim::Drawing().Texts()) {
        sizes.push_back(text->size);
    }
    return sizes;
}

// The menu text scales with the width that Garbolt.asi measured through
// USER32: any text drawn takes width / 120 above 1920 pixels and width / 80
// below; without a window the reference sizes stay.
void ExpectTextScaledFor(std::optional<std::int32_t> width, const std::string& name,
                         Checks& checks) {
    const std::vector<std::int32_t> sizes = DrawnTextSizes();
    checks.Expect(!sizes.empty(), name + ": the open menu draws text");
    if (sizes.empty()) {
        return;
    }
    if (width) {
        const std::int32_t expected = *width > 1920 ? *width / 120 : *width / 80;
        bool all = true;
        for (std::int32_t size : sizes) {
            all = all && size == expected;
        }
        checks.Expect(all, name + ": a window " + std::to_string(*width) +
                               " pixels wide draws every text at size " + std::to_string(expected));
    } else {
        // The title (45) and the row counter (20) keep their own sizes.
        const auto has = [&sizes](std::int32_t size) {
            return std::find(sizes.begin(), sizes.end(), size) != sizes.end();
        };
        checks.Expect(has(45) && has(20),
                      name + ": without a game window the texts keep their reference sizes");
    }
}

// Reports what the game saw: unknown and misused natives, notifications, and with
// --trace every event.
void Report(sim::Game& game, const Options& options, const std::string& name,
            const std::vector<std::string>& expectedFailures, Checks& checks) {
    const std::vector<sim::TraceEvent> unknown = game.UnknownCalls();
    checks.Expect(unknown.empty(), name + ": no unknown native is called (" +
                                       std::to_string(unknown.size()) + " calls)");
    checks.Expect(game.MisuseCount() == 0, name + ": no native is misused (" +
                                               std::to_string(game.MisuseCount()) + " misuses)");
    for (const sim::TraceEvent& misuse : game.Misuses()) {
        std::printf("  misuse of %s %s: %s\n", Hex(misuse.hash).c_str(),
                    std::string(misuse.Name()).c_str(), misuse.problem.c_str());
    }
    std::map<std::uint64_t, int> unknownHashes;
    for (const sim::TraceEvent& event : unknown) {
        ++unknownHashes[event.hash];
    }
    for (const auto& [hash, count] : unknownHashes) {
        std::printf("  unknown native %s called %d times\n", Hex(hash).c_str(), count);
    }

    for (const sim::Notification& note : game.Notifications()) {
        std::printf("  notification on frame %llu: %s\n",
                    static_cast<unsigned long long>(note.frame), note.text.c_str());
        const bool expected = std::find(expectedFailures.begin(), expectedFailures.end(),
                                        note.text) != expectedFailures.end();
        checks.Expect(
            expected || note.text.rfind(kFailurePrefix, 0) != 0,
            name + ": no unexpected failure is reported to the player (" + note.text + ")");
    }

    std::map<std::string, int> calls;
    for (const sim::TraceEvent& event : game.Trace()) {
        if (options.trace) {
            std::printf("  %s\n", Describe(event).c_str());
        }
        if (event.kind == sim::TraceEvent::Kind::Native) {
            ++calls[event.unknown ? std::string("(unknown)") : std::string(event.Name())];
        }
    }
    std::printf("%s: %llu frames, %zu trace events\n", name.c_str(),
                static_cast<unsigned long long>(game.FrameNumber()), game.Trace().size());
    for (const auto& [native, count] : calls) {
        std::printf("  %6d  %s\n", count, native.c_str());
    }
}

// One load of the plug-in with a game window of `windowWidth` (or none):
// start-up, the menu opened and closed with `menuKey` (and, when another key
// is given, not opened by that one), a few hundred frames in all, unload.
void PlaySession(const Options& options, GameFolder& folder, const std::string& name,
                 std::uint32_t menuKey, std::uint32_t otherKey,
                 std::optional<std::int32_t> windowWidth, Checks& checks) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    game.SetWindow(windowWidth);
    std::printf("%s: loading %s\n", name.c_str(), options.plugin.c_str());
    auto plugin = std::make_unique<sim::Plugin>(options.plugin);
    checks.Expect(plugin->Loaded(), name + ": the plug-in loads (" + plugin->Error() + ")");
    if (!plugin->Loaded()) {
        return;
    }

    const int warmUp = 10;
    game.RunFrames(warmUp);
    checks.Expect(game.ScriptRunning(), name + ": the script routine runs after start-up");
    ExpectPromptsMade(name, checks);
    ExpectPromptsShown(false, name + ": menu closed", checks);

    int used = warmUp;
    if (otherKey != 0) {
        ExpectNoMenuToggle(game, otherKey, name + ": a key other than the menu key opens nothing",
                           checks);
        used += 2;
    }
    const std::string key = "key " + std::to_string(menuKey);
    ExpectMenuToggle(game, menuKey, true, name + ": releasing " + key + " opens the menu", checks);
    used += 2;
    game.RunFrame();
    ++used;
    ExpectPromptsShown(true, name + ": menu open", checks);
    ExpectTextScaledFor(windowWidth, name, checks);
    const std::uint64_t beforeFlows = game.FrameNumber();
    if (otherKey == 0) {
        SaveSettingsThroughTheMenu(game, folder, name, checks);
        SaveOutfitThroughTheMenu(game, folder, name, checks);
    } else {
        ListAndDeleteStoredOutfit(game, folder, name, checks);
    }
    used += static_cast<int>(game.FrameNumber() - beforeFlows);
    const int openFrames = options.frames - used - 2;
    game.RunFrames(openFrames > 0 ? openFrames : 1);
    checks.Expect(game.ScriptRunning(), name + ": the script routine runs with the menu open");
    ExpectMenuToggle(game, menuKey, false, name + ": releasing " + key + " again closes the menu",
                     checks);
    ExpectPromptsShown(false, name + ": menu closed again", checks);

    // Only the saves made while a file was held for long may fail.
    const std::vector<std::string> heldFailures = {kSettingsSaveFailed, kOutfitSaveFailed};
    Report(game, options, name, otherKey == 0 ? heldFailures : std::vector<std::string>{}, checks);

    // Unloading stops the script routine first: its scriptWait ends it, and
    // the routine's frames in Garbolt.asi unwind back into the hook.
    plugin.reset();
    checks.Expect(!game.ScriptRunning(), name + ": unloading ends the script routine");
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            options.frames = std::atoi(argv[++i]);
            if (options.frames < 20) {
                std::fprintf(stderr, "--frames: at least 20\n");
                return false;
            }
        } else if (arg == "--plugin" && i + 1 < argc) {
            options.plugin = fs::absolute(argv[++i]).string();
        } else if (arg == "--trace") {
            options.trace = true;
        } else {
            std::fprintf(stderr, "usage: %s [--frames N] [--plugin PATH] [--trace]\n", argv[0]);
            return false;
        }
    }
    if (options.plugin.empty()) {
        options.plugin = sim::DefaultPluginPath();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        return 2;
    }
    Checks checks;
    {
        GameFolder folder;
        PlaySession(options, folder, "first load", kF9, 0, 2560, checks);
        // A reload reads the settings again: the file now names F10.
        folder.WriteSettings(kF10);
        PlaySession(options, folder, "after reload", kF10, kF9, std::nullopt, checks);
    }
    if (!checks.Passed()) {
        std::printf("garbolt-sim-driver: %zu checks failed\n", checks.Failures().size());
        return 1;
    }
    std::printf("garbolt-sim-driver: all checks passed\n");
    return 0;
}
