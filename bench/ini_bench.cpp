// Start-up load and "Save Settings" against the size of Garbolt.ini, from
// about 1 KB to the size cap in doublings, for three shapes of file: a
// section of many short keys, one key line made of "\=" escapes, and blank
// lines. All grow linearly; bench/run prints the time and its ratio per
// doubling.
#include <benchmark/benchmark.h>

#include <string>

#include "settings/ini.h"
#include "settings/settings.h"
#include "sim/play/default_files.h"
#include "sim/play/game_folder.h"

namespace {

constexpr long kLargestFile = static_cast<long>(kMaxIniFileBytes) - 64;  // under the cap
constexpr int kDoublings = 6;                                            // down to 1 KiB

enum Shape { kManyKeys, kEscapedLine, kBlankLines };

// A settings file of about `size` bytes: the plug-in's section, then either
// a second section of keys k0=v, k1=v ... or one key spelled with escapes.
std::string SettingsFile(Shape shape, long size) {
    std::string file = "[Garbolt]\r\nbUseCamera = 0\r\nbDrawLight = 0\r\niMenuKey = 120\r\n";
    if (shape == kManyKeys) {
        file += "[Other]\r\n";
        for (long i = 0; static_cast<long>(file.size()) < size; ++i) {
            file += "k" + std::to_string(i) + "=v\r\n";
        }
    } else if (shape == kEscapedLine) {
        while (static_cast<long>(file.size()) < size) {
            file += "\\=";
        }
        file += " = 1\r\n";
    } else {
        while (static_cast<long>(file.size()) < size) {
            file += "\r\n";
        }
    }
    return file;
}

// A bare game folder as the working directory, removed at exit.
const play::GameFolder& Folder() {
    static const play::GameFolder folder =
        play::GameFolder::EnterFresh("garbolt-bench-ini", play::GameFolder::Files::Bare);
    return folder;
}

void Prepare(benchmark::State& state) {
    const std::string file = SettingsFile(static_cast<Shape>(state.range(0)), state.range(1));
    Folder().Write(play::kSettingsPath, file);
    state.counters["file_bytes"] = static_cast<double>(file.size());
    ResetSettings();
}

void BM_SettingsLoad(benchmark::State& state) {
    Prepare(state);
    for (auto _ : state) {
        loadSettings();
    }
    benchmark::DoNotOptimize(menuKey);
}

// Each save flips the camera, so one line changes and the file keeps its size.
void BM_SettingsSave(benchmark::State& state) {
    Prepare(state);
    loadSettings();
    for (auto _ : state) {
        useCamera = !useCamera;
        saveSettings();
    }
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    for (const Shape shape : {kManyKeys, kEscapedLine, kBlankLines}) {
        for (int halvings = kDoublings; halvings >= 0; --halvings) {
            benchmark->Args({shape, kLargestFile >> halvings});
        }
    }
    benchmark->ArgNames({"shape", "bytes"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SettingsLoad)->Apply(Sizes);
BENCHMARK(BM_SettingsSave)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
