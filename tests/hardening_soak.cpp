// Soak: the whole plug-in, loaded as the game loads it, played with random
// input for many frames, with periodic restarts, saved outfits and saved
// settings. It checks that the memory in use does not grow from one restart
// to the next and that a warm plug-in allocates nothing on frames where the
// player only moves around the menu or does nothing.
//
//   garbolt_soak [FRAMES [RESTART_EVERY]]      (default 100000 frames, a restart every 10000)
//
// Exit status 0 when both hold, 1 otherwise (with the figures printed).

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/controls.h"
#include "sim/game.h"
#include "sim/game_code.h"
#include "sim/naming_keyboard.h"
#include "sim/play/game_folder.h"
#include "sim/play/player.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GARBOLT_SOAK_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GARBOLT_SOAK_ASAN 1
#endif

#if defined(GARBOLT_SOAK_ASAN)
#include <sanitizer/allocator_interface.h>
#endif

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

// The plug-in's live heap blocks (made outside the game's code), in a fixed
// table so that keeping the books allocates nothing itself.
class LiveBlocks {
  public:
    void Add(std::uintptr_t block, std::size_t size) {
        Lock lock(busy_);
        std::size_t i = Slot(block);
        while (slots_[i].block != 0 && slots_[i].block != kGone) {
            i = (i + 1) % kSlots;
        }
        slots_[i] = {block, size};
        bytes_ += static_cast<long>(size);
    }
    void Remove(std::uintptr_t block) {
        Lock lock(busy_);
        for (std::size_t i = Slot(block), probes = 0; slots_[i].block != 0 && probes < kSlots;
             i = (i + 1) % kSlots, ++probes) {
            if (slots_[i].block == block) {
                bytes_ -= static_cast<long>(slots_[i].size);
                slots_[i].block = kGone;
                return;
            }
        }
    }
    long Bytes() {
        Lock lock(busy_);
        return bytes_;
    }

  private:
    static constexpr std::size_t kSlots = 1 << 20;
    static constexpr std::uintptr_t kGone = 1;
    struct Entry {
        std::uintptr_t block;
        std::size_t size;
    };
    struct Lock {
        explicit Lock(std::atomic_flag& flag) : flag_(flag) {
            while (flag_.test_and_set(std::memory_order_acquire)) {
            }
        }
        ~Lock() { flag_.clear(std::memory_order_release); }
        std::atomic_flag& flag_;
    };
    static std::size_t Slot(std::uintptr_t block) {
        return (block >> 4) * 0x9E3779B97F4A7C15ull % kSlots;
    }
    Entry slots_[kSlots] = {};
    long bytes_ = 0;
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
};

LiveBlocks& Live() {
    static LiveBlocks* live = new (std::malloc(sizeof(LiveBlocks))) LiveBlocks();
    return *live;
}

void Allocated(std::uintptr_t block, std::size_t size) {
    if (!counting.load(std::memory_order_relaxed) || sim::InGameCode() || block == 0) {
        return;
    }
    allocations.fetch_add(1, std::memory_order_relaxed);
    Live().Add(block, size);
}

void Freed(std::uintptr_t block) {
    if (block != 0 && counting.load(std::memory_order_relaxed)) {
        Live().Remove(block);
    }
}

}  // namespace

#if defined(GARBOLT_SOAK_ASAN)
// AddressSanitizer's allocator serves malloc and operator new alike; its hook
// sees both without replacing them, so its checks stay on.
namespace {
void OnMalloc(const volatile void* block, std::size_t size) {
    Allocated(reinterpret_cast<std::uintptr_t>(block), size);
}
void OnFree(const volatile void* block) {
    Freed(reinterpret_cast<std::uintptr_t>(block));
}
[[maybe_unused]] const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
}  // namespace
#else
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        Allocated(reinterpret_cast<std::uintptr_t>(memory), size);
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* memory) noexcept {
    Freed(reinterpret_cast<std::uintptr_t>(memory));
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    operator delete(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    operator delete(memory);
}
#endif

namespace {

using namespace play::controls;
// Random moving about after a start or a change of labels, before counting.
constexpr int kWarmUpFrames = 400;
// Memory may differ by this much between restarts (allocator slack).
constexpr long kMemorySlack = 64 * 1024;

class Soak {
  public:
    explicit Soak(std::uint32_t seed) : random_(seed) {}

    // A fresh game folder as an install leaves it, entered.
    bool Prepare() {
        std::string error;
        folder_ =
            play::GameFolder::Fresh("garbolt-soak", play::GameFolder::Files::Defaults, &error);
        return folder_ && folder_->Enter(&error);
    }

    void Load() {
        sim::GameCodeScope loader;
        player_.Load();
        shift_ = false;
        warmFrom_ = frame_ + kWarmUpFrames;
    }
    void Unload() {
        sim::GameCodeScope loader;
        sim::NamingKeyboard().Cancel();
        player_.Unload();
    }
    void RemoveFolder() { folder_.reset(); }
    bool Loaded() const { return player_.Loaded(); }
    std::string Error() const { return player_.Error(); }

    // One frame of random input, counting the allocations of quiet frames.
    void Step() {
        sim::GameCodeScope driver;  // the driver's own work is the game's, not the plug-in's
        sim::Game& game = sim::TheGame();
        sim::ControlInput& controls = sim::Controls();
        // Frames that read files, name outfits or show messages may allocate.
        bool quiet = true;
        const int pick = static_cast<int>(random_() % 100);
        if (sim::NamingKeyboard().IsOpen()) {
            // The player types a name, or now and then gives up.
            if (pick < 80) {
                sim::NamingKeyboard().Finish(Name());
            } else {
                sim::NamingKeyboard().Cancel();
            }
            quiet = false;
            calmUntil_ = frame_ + 2;
        } else if (pick < 25) {
            controls.Press(kDown);
        } else if (pick < 40) {
            controls.Press(kUp);
        } else if (pick < 45) {
            controls.Press(kLeft);
        } else if (pick < 50) {
            controls.Press(kRight);
        } else if (pick < 56) {
            controls.Press(kBack);
        } else if (pick < 60) {
            game.SendKeyboardMessage(kF9, f9Down_);  // a release when it is down
            f9Down_ = !f9Down_;
        } else if (pick < 63) {
            shift_ = !shift_;
            game.SendKeyboardMessage(kShift, !shift_);
        } else if (pick < 70) {
            controls.Press(kSelect);  // links, toggles, outfits, "Save Settings"
            quiet = false;
            calmUntil_ = frame_ + 2;
        } else if (pick < 75) {
            controls.Press(kSave);  // opens the keyboard, or deletes
            quiet = false;
            calmUntil_ = frame_ + 2;
        }
        game.RunFrame();
        for (const sim::Notification& shown : game.Notifications()) {
            ++messages_[shown.text.substr(0, shown.text.find(':'))];
            if (shown.text == "Successfully saved outfit" ||
                shown.text == "Successfully deleted outfit") {
                Relabelled();
            }
        }
        game.ClearTrace();
        game.ClearNotifications();
        ++frame_;
        const long made = allocations.exchange(0);
        if (quiet && frame_ > calmUntil_ && frame_ >= warmFrom_) {
            ++countedFrames_;
            if (made != 0) {
                ++allocatingFrames_;
                allocationsSeen_ += made;
            }
        }
    }

    std::uint64_t frame_ = 0;
    std::map<std::string, long> messages_;  // by text up to any ':'
    long countedFrames_ = 0;
    long allocatingFrames_ = 0;
    long allocationsSeen_ = 0;

  private:
    // A save or delete changes a row's label; the drawing may grow once for it.
    void Relabelled() { warmFrom_ = frame_ + kWarmUpFrames; }
    std::string Name() {
        static const char* const kNames[] = {"Sunday Best", "Trail <Coat> & \"Hat\"",
                                             "\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD",
                                             "abcdefghijklmnopqrstuvwxyz0123", "Ok"};
        return kNames[random_() % 5];
    }

    std::mt19937 random_;
    std::optional<play::GameFolder> folder_;
    play::Player player_;
    bool shift_ = false;
    bool f9Down_ = false;
    std::uint64_t warmFrom_ = 0;
    std::uint64_t calmUntil_ = 0;
};

}  // namespace

int main(int count, char** arguments) {
    const long frames = count > 1 ? std::strtol(arguments[1], nullptr, 10) : 100000;
    const long restartEvery = count > 2 ? std::strtol(arguments[2], nullptr, 10) : 10000;
    if (frames <= 0 || restartEvery <= kWarmUpFrames) {
        std::fprintf(stderr, "usage: garbolt_soak [FRAMES [RESTART_EVERY > %d]]\n", kWarmUpFrames);
        return 2;
    }
    sim::TheGame().Reset();
    Soak soak(20261208);
    if (!soak.Prepare()) {
        std::fprintf(stderr, "garbolt_soak: cannot prepare the game folder\n");
        return 2;
    }
    counting.store(true);
    soak.Load();
    if (!soak.Loaded()) {
        std::fprintf(stderr, "garbolt_soak: %s\n", soak.Error().c_str());
        return 2;
    }
    std::vector<long> memory;  // in use at the same point of each run between restarts
    for (long frame = 0; frame < frames; ++frame) {
        soak.Step();
        if ((frame + 1) % restartEvery == 0) {
            memory.push_back(Live().Bytes());
            soak.Unload();
            soak.Load();
        }
    }
    counting.store(false);
    soak.Unload();
    soak.RemoveFolder();

    bool ok = true;
    std::printf("%lld frames, a restart every %ld; %ld frames counted after warm-up\n",
                static_cast<long long>(soak.frame_), restartEvery, soak.countedFrames_);
    for (const auto& [text, times] : soak.messages_) {
        std::printf("  %6ld x %s\n", times, text.c_str());
    }
    std::printf("frames that allocated: %ld (%ld allocations)\n", soak.allocatingFrames_,
                soak.allocationsSeen_);
    if (soak.allocatingFrames_ != 0 || soak.countedFrames_ == 0) {
        ok = false;
    }
    std::printf("plug-in memory in use before each restart (bytes):");
    for (long bytes : memory) {
        std::printf(" %ld", bytes);
    }
    std::printf("\n");
    // The first run fills the file and the rows; later runs must not climb.
    for (std::size_t i = 2; i < memory.size(); ++i) {
        if (memory[i] > memory[1] + kMemorySlack) {
            std::printf("memory grew: %ld bytes after run %zu against %ld after run 2\n", memory[i],
                        i + 1, memory[1]);
            ok = false;
        }
    }
    std::printf(ok ? "soak passed\n" : "soak FAILED\n");
    return ok ? 0 : 1;
}
