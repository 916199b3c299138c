// What the fuzz targets of the plug-in share: the files (fuzz_files.h), and
// the plug-in run inside this process against the simulated game, so the
// fuzzer sees the coverage of the plug-in's own code.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "settings/default_settings.h"
#include "sim/play/default_files.h"
#include "sim/stack_thread.h"

namespace fuzz_support {

// A game folder: `root`/Garbolt/ with the two files given, and the
// working directory set to `root`, as the game's is.
void PrepareGameFolder(const std::string& root, const std::string& savedOutfits,
                       const std::string& settings);

// An outfit file of no outfit yet, and the settings file of a first save.
using play::kEmptySavedOutfits;
inline constexpr const char* kDefaultSettings = kDefaultSettingsText;

// The plug-in as the game loads it, but linked into this program: its
// script routine and keyboard handler registered with the simulated game
// (the shared player's linked plug-in). Stop ends the routine (the game
// unloading it); Start after Stop is a restart with fresh process state.
void StartPlugin();
void StopPlugin();

// True when the pugixml parser accepts the bytes (with the options the
// store reads with).
bool WellFormedXml(const std::string& bytes);

}  // namespace fuzz_support

// Defines the target's libFuzzer entry point for a target that runs the
// plug-in's work: each input goes to `fuzzOne(data, size)` on a stack as small
// as a game fiber's, so a recursion that a file drives overflows here rather
// than in the game.
#define GARBOLT_FUZZ_ON_SCRIPT_STACK(fuzzOne)                                           \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        sim::RunOnScriptStack([&] { fuzzOne(data, size); });                            \
        return 0;                                                                       \
    }
