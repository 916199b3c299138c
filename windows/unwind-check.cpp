// Loads the unwind probe (unwind-probe.cpp) through the simulated hook three
// times in a row and checks that each unload ends its script routine with
// every clean-up of the probe's frames run, innermost first, and that the
// probe's own exceptions work inside it. Exits 0 when all holds.
//
//   garbolt-unwind-check [PROBE]   (default: garbolt-unwind-probe.asi beside it)
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/game.h"
#include "sim/plugin.h"

namespace {

constexpr std::uint64_t kProbeCaughtNative = 0x6761726270726F01;
constexpr std::uint64_t kProbeFrameNative = 0x6761726270726F02;
constexpr std::uint64_t kProbeCleanupNative = 0x6761726270726F03;
constexpr int kRounds = 3;
constexpr int kFrames = 5;

struct Seen {
    int caught = 0;
    int frames = 0;
    std::vector<std::int32_t> cleanups;
    bool cleanupTextsIntact = true;
};

std::string ProbeBesideProgram() {
    const std::string plugin = sim::DefaultPluginPath();
    return plugin.substr(0, plugin.find_last_of("\\/") + 1) + "garbolt-unwind-probe.asi";
}

void Listen(sim::Game& game, Seen& seen) {
    game.RegisterNative({kProbeCaughtNative, "PROBE::CAUGHT", "s", 0, sim::ResultKind::Void},
                        [&seen](sim::NativeCall&) { ++seen.caught; });
    game.RegisterNative({kProbeFrameNative, "PROBE::FRAME", "i", 0, sim::ResultKind::Void},
                        [&seen](sim::NativeCall&) { ++seen.frames; });
    game.RegisterNative({kProbeCleanupNative, "PROBE::CLEANUP", "is", 0, sim::ResultKind::Void},
                        [&seen](sim::NativeCall& call) {
                            const std::int32_t depth = call.Int(0);
                            seen.cleanups.push_back(depth);
                            const std::string expected(64, static_cast<char>('a' + depth));
                            seen.cleanupTextsIntact =
                                seen.cleanupTextsIntact && call.Text(1).value_or("") == expected;
                        });
}

}  // namespace

int main(int argc, char** argv) {
    const std::string probe = argc > 1 ? argv[1] : ProbeBesideProgram();
    sim::Game& game = sim::TheGame();
    int failures = 0;
    const auto expect = [&failures](bool holds, int round, const char* what) {
        if (!holds) {
            ++failures;
            std::printf("  FAILED: round %d: %s\n", round, what);
        }
    };

    for (int round = 1; round <= kRounds; ++round) {
        game.Reset();
        Seen seen;
        Listen(game, seen);
        {
            sim::Plugin plugin(probe);
            expect(plugin.Loaded(), round, "the probe loads");
            if (!plugin.Loaded()) {
                std::printf("  %s\n", plugin.Error().c_str());
                break;
            }
            game.RunFrames(kFrames);
            expect(game.ScriptRunning(), round, "the probe's routine runs");
            expect(seen.caught == 1, round, "an exception thrown inside the probe is caught there");
            expect(seen.frames == kFrames, round, "the routine runs once per frame");
            expect(seen.cleanups.empty(), round, "nothing is cleaned up while it runs");
        }
        expect(!game.ScriptRunning(), round, "unloading ends the routine");
        expect(seen.cleanups == std::vector<std::int32_t>{3, 2, 1}, round,
               "the unload runs the clean-up of every frame of the routine, innermost first");
        expect(seen.cleanupTextsIntact, round, "each clean-up still sees its own data");
        expect(game.UnknownCalls().empty(), round, "no unknown native is called");
        expect(game.MisuseCount() == 0, round, "no native is misused");
        std::printf("round %d: %d frames, clean-ups", round, seen.frames);
        for (std::int32_t depth : seen.cleanups) {
            std::printf(" %d", depth);
        }
        std::printf("\n");
    }

    if (failures != 0) {
        std::printf("garbolt-unwind-check: %d checks failed\n", failures);
        return 1;
    }
    std::printf("garbolt-unwind-check: the script routine unwinds cleanly on every unload\n");
    return 0;
}
