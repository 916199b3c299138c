// The plug-in's whole frame (menu and wardrobe) against its floor, the
// keyboard handler, and the outfit store's operations, with heap allocations
// counted. Results go to the console and, with --benchmark_out, to JSON;
// bench/run prints the ratios side by side.
//
// Sections: the frame and its floor; the keyboard handler; the outfit store.
#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bridge.h"
#include "host/controls.h"
#include "host/files.h"
#include "host/keyboard.h"
#include "host/platform.h"
#include "host/script.h"
#include "host/state.h"
#include "menu/menu.h"
#include "settings/default_settings.h"
#include "settings/settings.h"
#include "sim/play/counting_new.h"
#include "sim/play/default_files.h"
#include "sim/play/game_folder.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/pages.h"
#include "wardrobe/scene.h"
#include "wardrobe/store.h"
#include "wardrobe/store_worker.h"
#include "wardrobe/xml_reserve.h"

namespace {

// --- The frame and its floor -------------------------------------------------

using wardrobe_layout::kSavedOutfitsPage;

// The plug-in as the start-up leaves it, then open on the 21-row saved-outfits
// page with the wardrobe scene (camera and light on), or closed.
void PreparePlugin(bool open) {
    static bool built = false;
    if (!built) {
        activeMenu = std::make_unique<Menu>();
        activeMenu->CreatePrompt(activeMenu->selectPrompt, "Select", game_controls::kSelect);
        activeMenu->CreatePrompt(activeMenu->backPrompt, "Back", game_controls::kBack);
        activeMenu->CreatePrompt(activeMenu->savePrompt, "Save Outfit", game_controls::kSaveOutfit);
        InitializeMenu();
        built = true;
    }
    useCamera = open;
    drawLight = open;
    Menu& menu = *activeMenu;
    menu.isOpen = open;
    menu.currentSubmenuId = open ? kSavedOutfitsPage : 0;
    menu.currentSubmenu = &Menu::submenuRegistry.at(menu.currentSubmenuId);
    menu.currentOption = open ? 14 : 0;
    // Two frames: the first opens (or closes) the scene, the second is a steady one.
    for (int i = 0; i < 2; ++i) {
        menu.Update();
        UpdateWardrobe();
    }
}

void PluginFrame() {
    ShowFinishedStoreWork();
    activeMenu->Update();
    UpdateWardrobe();
}

std::vector<bench_bridge::RecordedCall> RecordFrame() {
    bench_bridge::StartRecording();
    PluginFrame();
    return bench_bridge::StopRecording();
}

void Frame(benchmark::State& state, bool open) {
    PreparePlugin(open);
    const std::size_t natives = RecordFrame().size();
    // Counted over frames of their own, outside the timed loop, so that the
    // benchmark library's own allocations are not taken for the plug-in's.
    constexpr int kCountedFrames = 10000;
    play::StartCountingAllocations();
    for (int i = 0; i < kCountedFrames; ++i) {
        PluginFrame();
    }
    const long made = play::StopCountingAllocations();
    for (auto _ : state) {
        PluginFrame();
        benchmark::ClobberMemory();
    }
    state.counters["natives"] = static_cast<double>(natives);
    state.counters["allocs_per_frame"] = static_cast<double>(made) / kCountedFrames;
}

void Floor(benchmark::State& state, bool open) {
    PreparePlugin(open);
    const bench_bridge::PreparedCalls prepared(RecordFrame());
    for (auto _ : state) {
        bench_bridge::Replay(prepared);
        benchmark::ClobberMemory();
    }
    state.counters["natives"] = static_cast<double>(prepared.calls.size());
}

void BM_FrameClosed(benchmark::State& state) {
    Frame(state, false);
}
void BM_FrameFloorClosed(benchmark::State& state) {
    Floor(state, false);
}
void BM_FrameOpenSavedOutfitsScene(benchmark::State& state) {
    Frame(state, true);
}
void BM_FrameFloorOpenSavedOutfitsScene(benchmark::State& state) {
    Floor(state, true);
}
BENCHMARK(BM_FrameClosed);
BENCHMARK(BM_FrameFloorClosed);
BENCHMARK(BM_FrameOpenSavedOutfitsScene);
BENCHMARK(BM_FrameFloorOpenSavedOutfitsScene);

// --- The keyboard handler ------------------------------------------------------

void BM_KeyboardMessage(benchmark::State& state) {
    constexpr std::uint32_t kMessages = 100000;
    play::StartCountingAllocations();
    for (std::uint32_t i = 0; i < kMessages; ++i) {
        OnKeyboardMessage(i % 300, 1, 0, 0, 0, static_cast<std::int32_t>(i & 1),
                          static_cast<std::int32_t>(i & 1));
    }
    const long made = play::StopCountingAllocations();
    std::uint32_t key = 0;
    for (auto _ : state) {
        OnKeyboardMessage(key, 1, 0, 0, 0, static_cast<std::int32_t>(key & 1),
                          static_cast<std::int32_t>(key & 1));
        key = (key + 37) % 300;  // codes past the table too
        benchmark::ClobberMemory();
    }
    state.counters["allocs_per_message"] = static_cast<double>(made) / kMessages;
}
BENCHMARK(BM_KeyboardMessage);

// --- The outfit store ----------------------------------------------------------

using wardrobe_layout::kCustomRows;
using wardrobe_layout::kFirstCustomRow;

std::string Outfit(int index, int row) {
    std::string outfit = "  <Outfit>\n    <Name>Outfit " + std::to_string(index) +
                         "</Name>\n    <Slot>" + std::to_string(row) +
                         "</Slot>\n    <Components>\n";
    for (int k = 0; k < 39; ++k) {
        outfit += "      <Hash>" + std::to_string(-1000000 * k - index) + "</Hash>\n";
    }
    outfit += "    </Components>\n    <Wearables>\n";
    for (int k = 0; k < 39; ++k) {
        outfit += "      <Hash>" + std::to_string(k * 7919) + "</Hash>\n";
    }
    return outfit + "    </Wearables>\n  </Outfit>\n";
}

// A store of `count` outfits on rows 6, 7, ... (wrapping after row 20, as a
// hand-edited file may).
std::string Store(int count) {
    std::string file = "<?xml version=\"1.0\"?>\n<Garbolt>\n";
    for (int i = 0; i < count; ++i) {
        file += Outfit(i, kFirstCustomRow + i % kCustomRows);
    }
    return file + "</Garbolt>\n";
}

// A bare game folder as the working directory, removed at exit.
const play::GameFolder& Folder() {
    static const play::GameFolder folder =
        play::GameFolder::EnterFresh("garbolt-bench", play::GameFolder::Files::Bare);
    return folder;
}

void PutStore(const std::string& bytes) {
    Folder().Write(play::kSavedOutfitsPath, bytes);
}

void StartStore() {
    PreparePlugin(true);
    savedSlots.clear();
    activeMenu->currentOption = kFirstCustomRow + kCustomRows - 1;  // row 20
}

void BM_StoreLoadAtStart15(benchmark::State& state) {
    StartStore();
    PutStore(Store(kCustomRows));
    for (auto _ : state) {
        savedSlots.clear();
        LoadCustomOutfitNames();
    }
}
BENCHMARK(BM_StoreLoadAtStart15)->Unit(benchmark::kMicrosecond);

void BM_StoreEquipFull(benchmark::State& state) {
    StartStore();
    PutStore(Store(kCustomRows));
    for (auto _ : state) {
        EquipCustomOutfit(kFirstCustomRow + kCustomRows);  // the last row's outfit
    }
}
BENCHMARK(BM_StoreEquipFull)->Unit(benchmark::kMicrosecond);

// The fifteenth outfit saved into a store of fourteen (the file is put back,
// untimed, before each save).
void BM_StoreSaveFifteenth(benchmark::State& state) {
    StartStore();
    const std::string fourteen = Store(kCustomRows - 1);
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(fourteen);
        savedSlots.clear();
        state.ResumeTiming();
        SaveCustomOutfit("Sunday Best", kFirstCustomRow + kCustomRows);
    }
}
BENCHMARK(BM_StoreSaveFifteenth)->Unit(benchmark::kMicrosecond);

void BM_StoreDeleteFromFull(benchmark::State& state) {
    StartStore();
    const std::string fifteen = Store(kCustomRows);
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(fifteen);
        savedSlots.assign({kFirstCustomRow + kCustomRows - 1});
        state.ResumeTiming();
        DeleteCustomOutfit(kFirstCustomRow + kCustomRows);
    }
}
BENCHMARK(BM_StoreDeleteFromFull)->Unit(benchmark::kMicrosecond);

// A hand-edited file of many outfits, read at start: time linear in its size
// (about 900 outfits of this layout fit under the size cap).
void BM_StoreLoadAtStartHandEdited(benchmark::State& state) {
    StartStore();
    PutStore(Store(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        savedSlots.clear();
        LoadCustomOutfitNames();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_StoreLoadAtStartHandEdited)
    ->Arg(20)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// --- Whole script-thread passes that touch the files ---------------------------
// Wall time includes syncing the file to the disk; CPU time is the script
// thread's own.

// The frame on which the player finishes typing a name on row 20 of a store of
// fourteen: the menu's Update and the wardrobe's, which saves the worn outfit.
void BM_FrameSavingOutfit(benchmark::State& state) {
    StartStore();
    const std::string fourteen = Store(kCustomRows - 1);
    static const char kTypedName[] = "Sunday Best";
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(fourteen);
        savedSlots.clear();
        wardrobe.naming = true;
        wardrobe.namingRow = kFirstCustomRow + kCustomRows - 1;
        bench_bridge::FinishKeyboard(kTypedName);
        state.ResumeTiming();
        ScriptFrame();
    }
    bench_bridge::FinishKeyboard(nullptr);
}
BENCHMARK(BM_FrameSavingOutfit)->Unit(benchmark::kMicrosecond);

// The script routine's start-up from a fresh load, with the settings file
// of a first save and a store of fifteen outfits.
void BM_StartUpWith15Outfits(benchmark::State& state) {
    PutStore(Store(kCustomRows));
    Folder().Write(play::kSettingsPath, kDefaultSettingsText);
    for (auto _ : state) {
        state.PauseTiming();
        ResetPluginState();
        state.ResumeTiming();
        ScriptStartUp();
    }
}
BENCHMARK(BM_StartUpWith15Outfits)->Unit(benchmark::kMicrosecond);

// --- The largest files ------------------------------------------------------------
// Two sizes: the largest file worked on within the frame that asks
// (store_worker::kInFrameFileBytes), whose whole work counts against the
// frame, and the largest read at all (the size cap), whose work runs on the
// store's thread. Each operation is timed with its outcome shown, as in the
// game: the CPU time is the script thread's alone (the asking frame and the
// showing frame together), the wall time how long until it is shown.

// The outfits on rows 6 to 19, as many as fit in `bytes`, after an outfit on
// row 20 of as many items as an equip puts on; room is left for one more
// outfit, so a save is not refused for the size the file would grow to.
std::string LargestStore(std::uint64_t bytes, bool withManyItems = true) {
    const std::string head = "<?xml version=\"1.0\"?>\n<Garbolt>\n";
    const std::string tail = "</Garbolt>\n";
    std::string many = "  <Outfit>\n    <Name>Many</Name>\n    <Slot>20</Slot>\n";
    for (const char* list : {"Components", "Wearables"}) {
        many += std::string("    <") + list + ">\n";
        for (std::size_t k = 0; k < outfit_file::kMaxOutfitItems / 2; ++k) {
            many += "      <Hash>" + std::to_string(-1000000 - static_cast<long>(k)) + "</Hash>\n";
        }
        many += std::string("    </") + list + ">\n";
    }
    std::string file = head + (withManyItems ? many + "  </Outfit>\n" : std::string());
    const std::size_t room = 2 * Outfit(0, kFirstCustomRow).size() + tail.size();
    for (int i = 0; file.size() + room < bytes; ++i) {
        file += Outfit(i, kFirstCustomRow + i % (kCustomRows - 1));
    }
    return file + tail;
}

// The start-up is the first read of a fresh process: no reserve is kept yet,
// so each is timed with the reserve given back and the C library's free
// memory returned to the system first.
void LargestStartUp(benchmark::State& state, std::uint64_t bytes) {
    StartStore();
    PutStore(LargestStore(bytes));
    for (auto _ : state) {
        state.PauseTiming();
        savedSlots.clear();
        xml_reserve::Release();
#ifdef __GLIBC__
        malloc_trim(0);
#endif
        state.ResumeTiming();
        LoadCustomOutfitNames();
        FinishStoreWork();
    }
}

void LargestEquip(benchmark::State& state, std::uint64_t bytes) {
    StartStore();
    PutStore(LargestStore(bytes));
    for (auto _ : state) {
        EquipCustomOutfit(kFirstCustomRow + kCustomRows);  // the outfit of many items
        FinishStoreWork();
    }
}

// The system's file system, counting the CPU time the flush of a replace
// (fsync) takes: the disk's work, outside the budget.
class TimedFlush : public files::FileSystem {
  public:
    bool Sync(std::FILE* file) override {
        const std::clock_t start = std::clock();
        const bool synced = FileSystem::Sync(file);
        flushSeconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        return synced;
    }
    double flushSeconds = 0;
};

// Deletes row 20's outfit of many items, or saves into row 20 left free, in
// the largest store, put back untimed before each (with the start-up's read,
// which the operation follows in the game).
template <typename Operation>
void LargestChange(benchmark::State& state, std::uint64_t bytes, bool withManyItems,
                   Operation operation) {
    StartStore();
    const std::string largest = LargestStore(bytes, withManyItems);
    TimedFlush flush;
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(largest);
        LoadCustomOutfitNames();
        FinishStoreWork();
        state.ResumeTiming();
        files::ScopedFileSystem scope(flush);
        operation();
        FinishStoreWork();
    }
    state.counters["flush_cpu_ms"] =
        benchmark::Counter(flush.flushSeconds * 1e3, benchmark::Counter::kAvgIterations);
}

void LargestDelete(benchmark::State& state, std::uint64_t bytes) {
    LargestChange(state, bytes, true, [] { DeleteCustomOutfit(kFirstCustomRow + kCustomRows); });
}

void LargestSave(benchmark::State& state, std::uint64_t bytes) {
    LargestChange(state, bytes, false,
                  [] { SaveCustomOutfit("Sunday Best", kFirstCustomRow + kCustomRows); });
}

constexpr std::uint64_t kInFrame = store_worker::kInFrameFileBytes;
constexpr std::uint64_t kCap = outfit_file::kMaxOutfitFileBytes;
BENCHMARK_CAPTURE(LargestStartUp, InFrame, kInFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestEquip, InFrame, kInFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestSave, InFrame, kInFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestDelete, InFrame, kInFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestStartUp, Cap, kCap)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestEquip, Cap, kCap)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestSave, Cap, kCap)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LargestDelete, Cap, kCap)->Unit(benchmark::kMillisecond);

// The costliest shape per byte within the frame: one outfit on row 20 whose
// lists hold nothing but empty elements, four bytes each, up to the limit.
// A delete reads, cleans up, removes and writes every node of it.
void TinyElementsDelete(benchmark::State& state) {
    StartStore();
    const std::string head =
        "<?xml version=\"1.0\"?>\n<Garbolt>\n<Outfit><Name>Tiny</Name><Slot>20</Slot><Components>";
    const std::string tail = "</Components></Outfit>\n</Garbolt>\n";
    std::string file = head;
    while (file.size() + 4 + tail.size() <= kInFrame) {
        file += "<a/>";
    }
    file += tail;
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(file);
        LoadCustomOutfitNames();
        FinishStoreWork();
        state.ResumeTiming();
        DeleteCustomOutfit(kFirstCustomRow + kCustomRows);
        FinishStoreWork();
    }
}
BENCHMARK(TinyElementsDelete)->Unit(benchmark::kMillisecond);

// A save while another program holds the file through every try: the
// longest the script thread is kept by the replace's patience (wall time).
class HeldFile : public files::FileSystem {
  public:
    bool Rename(const std::string&, const std::string&) override {
        renameMayPassLater_ = true;
        return false;
    }
};
void BM_SaveWhileHeld(benchmark::State& state) {
    StartStore();
    const std::string fourteen = Store(kCustomRows - 1);
    HeldFile held;
    for (auto _ : state) {
        state.PauseTiming();
        PutStore(fourteen);
        savedSlots.clear();
        state.ResumeTiming();
        files::ScopedFileSystem scope(held);
        SaveCustomOutfit("Sunday Best", kFirstCustomRow + kCustomRows);
    }
}
BENCHMARK(BM_SaveWhileHeld)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
