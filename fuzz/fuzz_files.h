// What every fuzz target needs: a scratch folder on a fast file system,
// whole files in and out, and a broken property that keeps its input.
#pragma once

#include <string>

namespace fuzz_support {

// A fresh folder for one target's files (in /dev/shm when there is one).
std::string ScratchFolder(const std::string& name);

// Reads a whole file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);

// Prints the message and aborts, so the fuzzer keeps the input.
[[noreturn]] void Broken(const std::string& what);

}  // namespace fuzz_support
