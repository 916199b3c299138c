// The cost of one menu frame, closed and open on the 21-row saved-outfits
// page, against its floor: the same native calls, with the arguments built
// beforehand, handed to the same hook. The ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "bridge.h"
#include "host/controls.h"
#include "host/platform.h"
#include "menu/menu.h"
#include "wardrobe/layout.h"
#include "wardrobe/pages.h"

namespace {

using wardrobe_layout::kSavedOutfitsPage;

// A menu as the start-up leaves it, with the wardrobe's pages.
Menu& PreparedMenu(bool open) {
    static bool built = false;
    if (!built) {
        InitializeMenu();
        built = true;
    }
    static Menu menu;
    if (menu.selectPrompt == 0) {
        menu.CreatePrompt(menu.selectPrompt, "Select", game_controls::kSelect);
        menu.CreatePrompt(menu.backPrompt, "Back", game_controls::kBack);
        menu.CreatePrompt(menu.savePrompt, "Save Outfit", game_controls::kSaveOutfit);
    }
    menu.currentSubmenu = &Menu::submenuRegistry.at(open ? kSavedOutfitsPage : 0);
    menu.currentOption = open ? 14 : 0;
    menu.isOpen = open;
    return menu;
}

// The calls one frame makes, recorded after a warm-up frame.
std::vector<bench_bridge::RecordedCall> RecordFrame(Menu& menu) {
    menu.Update();
    bench_bridge::StartRecording();
    menu.Update();
    return bench_bridge::StopRecording();
}

void UpdateFrame(benchmark::State& state, bool open) {
    Menu& menu = PreparedMenu(open);
    const auto calls = RecordFrame(menu);
    for (auto _ : state) {
        menu.Update();
        benchmark::ClobberMemory();
    }
    state.counters["natives"] = static_cast<double>(calls.size());
}

void FloorFrame(benchmark::State& state, bool open) {
    Menu& menu = PreparedMenu(open);
    const auto calls = RecordFrame(menu);
    const bench_bridge::PreparedCalls prepared(calls);
    for (auto _ : state) {
        bench_bridge::Replay(prepared);
        benchmark::ClobberMemory();
    }
    state.counters["natives"] = static_cast<double>(calls.size());
}

void BM_MenuFrameClosed(benchmark::State& state) {
    UpdateFrame(state, false);
}
void BM_FloorClosed(benchmark::State& state) {
    FloorFrame(state, false);
}
void BM_MenuFrameOpen21Rows(benchmark::State& state) {
    UpdateFrame(state, true);
}
void BM_FloorOpen21Rows(benchmark::State& state) {
    FloorFrame(state, true);
}

BENCHMARK(BM_MenuFrameClosed);
BENCHMARK(BM_FloorClosed);
BENCHMARK(BM_MenuFrameOpen21Rows);
BENCHMARK(BM_FloorOpen21Rows);

// Keeps each run's CPU time per iteration (steadier than wall time on a
// shared machine) so the ratios can be printed.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const char* label, const std::string& frame, const std::string& floor) {
        auto f = times_.find(frame);
        auto g = times_.find(floor);
        if (f == times_.end() || g == times_.end() || g->second <= 0.0) {
            return;
        }
        std::printf("%s: %.3fx the floor (%.1f ns against %.1f ns)\n", label, f->second / g->second,
                    f->second, g->second);
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("menu closed", "BM_MenuFrameClosed", "BM_FloorClosed");
    reporter.PrintRatio("menu open, 21-row page", "BM_MenuFrameOpen21Rows", "BM_FloorOpen21Rows");
    benchmark::Shutdown();
    return 0;
}
