// What the fuzz targets share: a scratch folder on a fast file system, and
// the plug-in run inside this process against the simulated game, so the
// fuzzer sees the coverage of the plug-in's own code.
#pragma once

#include <cstdint>
#include <string>

namespace fuzz_support {

// A fresh folder for one target's files (in /dev/shm when there is one).
std::string ScratchFolder(const std::string& name);

// A game folder: `root`/Garbolt/ with the two default files, and the
// working directory set to `root`, as the game's is.
void PrepareGameFolder(const std::string& root, const std::string& savedOutfits,
                       const std::string& settings);

// The release's default files.
extern const char kDefaultSavedOutfits[];
extern const char kDefaultSettings[];

// The plug-in as the game loads it, but linked into this program: its
// script routine and keyboard handler registered with the simulated game.
// Stop ends the routine (the game unloading it); Start after Stop is a
// restart with fresh process state.
void StartPlugin();
void StopPlugin();

// True when the pugixml parser accepts the bytes (with the options the
// store reads with).
bool WellFormedXml(const std::string& bytes);

// Reads a whole file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);

// Prints the message and aborts, so the fuzzer keeps the input.
[[noreturn]] void Broken(const std::string& what);

}  // namespace fuzz_support
