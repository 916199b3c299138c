// Plays the real Garbolt.asi in the simulated game on Windows (under Wine in
// CI): the simulated ScriptHookRDR2.dll loads it with LoadLibrary as the
// hook's loader does, the driver runs frames with a scripted F9 press and
// release, and checks what the game saw. The plug-in is then unloaded and
// loaded again, as the game does when scripts are reloaded, and played once
// more. Exits 0 when every check holds, 1 with a list of what failed.
//
//   garbolt-sim-driver [--frames N] [--plugin PATH] [--trace]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/game.h"
#include "sim/plugin.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kF9 = 120;
constexpr const char* kFailurePrefix = "~COLOR_RED~";

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
        Write("Garbolt/Garbolt.ini", "[Garbolt]\nbUseCamera=0\nbDrawLight=0\niMenuKey=120\n");
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

  private:
    void Write(const std::string& relative, const std::string& bytes) {
        std::ofstream out(path_ / relative, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    fs::path path_;
    fs::path previous_;
};

std::string Hex(std::uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

std::string Describe(const sim::TraceEvent& event) {
    if (event.kind == sim::TraceEvent::Kind::GlobalWrite) {
        return "frame " + std::to_string(event.frame) + " global " +
               std::to_string(event.globalIndex) + " " + std::to_string(event.before) + " -> " +
               std::to_string(event.after);
    }
    std::string line = "frame " + std::to_string(event.frame) + " " + Hex(event.hash) + " " +
                       (event.unknown ? "(unknown)" : event.role);
    for (const std::string& text : event.texts) {
        line += " \"" + text + "\"";
    }
    return line;
}

// A key message as the hook delivers it, then the frame that sees it.
void PressAndRelease(sim::Game& game, std::uint32_t key) {
    game.KeyDown(key);
    game.RunFrame();
    game.KeyUp(key);
    game.RunFrame();
}

// One load of the plug-in: start-up, a few hundred frames with the menu key
// pressed and released, unload.
void PlaySession(const Options& options, const std::string& name, Checks& checks) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    std::printf("%s: loading %s\n", name.c_str(), options.plugin.c_str());
    auto plugin = std::make_unique<sim::Plugin>(options.plugin);
    checks.Expect(plugin->Loaded(), name + ": the plug-in loads (" + plugin->Error() + ")");
    if (!plugin->Loaded()) {
        return;
    }

    const int warmUp = 10;
    game.RunFrames(warmUp);
    checks.Expect(game.ScriptRunning(), name + ": the script routine runs after start-up");

    // The menu key, pressed and released through the registered keyboard
    // handler, then the rest of the frames.
    PressAndRelease(game, kF9);
    game.RunFrames(options.frames - warmUp - 2);
    checks.Expect(game.ScriptRunning(), name + ": the script routine still runs after F9");

    const std::vector<sim::TraceEvent> unknown = game.UnknownCalls();
    checks.Expect(unknown.empty(), name + ": no unknown native is called (" +
                                       std::to_string(unknown.size()) + " calls)");
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
        checks.Expect(note.text.rfind(kFailurePrefix, 0) != 0,
                      name + ": no failure is reported to the player (" + note.text + ")");
    }

    std::map<std::string, int> roles;
    for (const sim::TraceEvent& event : game.Trace()) {
        if (options.trace) {
            std::printf("  %s\n", Describe(event).c_str());
        }
        if (event.kind == sim::TraceEvent::Kind::Native) {
            ++roles[event.unknown ? "(unknown)" : event.role];
        }
    }
    std::printf("%s: %llu frames, %zu trace events\n", name.c_str(),
                static_cast<unsigned long long>(game.FrameNumber()), game.Trace().size());
    for (const auto& [role, count] : roles) {
        std::printf("  %6d  %s\n", count, role.c_str());
    }

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
        PlaySession(options, "first load", checks);
        PlaySession(options, "after reload", checks);
    }
    if (!checks.Passed()) {
        std::printf("garbolt-sim-driver: %zu checks failed\n", checks.Failures().size());
        return 1;
    }
    std::printf("garbolt-sim-driver: all checks passed\n");
    return 0;
}
