// The plug-in's only door to the outside world: the nine operations of the
// script hook and the three Windows calls it needs. The Windows build
// implements them with the real imports (platform_windows.cpp); the simulated
// game implements them for Linux and for its Windows test DLL.
#pragma once

#include <cstdint>

#if defined(__GNUC__) && !defined(_WIN32)
// The plug-in is built with hidden symbols; the seam is provided by the host
// program that loads it, so these references must stay dynamic.
#define GARBOLT_SEAM __attribute__((visibility("default")))
// The simulated game finds the library's entry point by name.
#define GARBOLT_ENTRY __attribute__((visibility("default")))
#else
#define GARBOLT_SEAM
// Windows finds DllMain without an export.
#define GARBOLT_ENTRY
#endif

namespace platform {

using ModuleHandle = void*;
using WindowHandle = void*;
using ScriptRoutine = void (*)();
// Key code, repeats, scan code, then four flags: extended, with Alt, was down
// before, is up now.
using KeyboardHandler = void (*)(std::uint32_t, std::uint16_t, std::uint8_t, std::int32_t,
                                 std::int32_t, std::int32_t, std::int32_t);

struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

GARBOLT_SEAM void scriptRegister(ModuleHandle module, ScriptRoutine routine);
GARBOLT_SEAM void scriptUnregister(ModuleHandle module);
GARBOLT_SEAM void keyboardHandlerRegister(KeyboardHandler handler);
GARBOLT_SEAM void keyboardHandlerUnregister(KeyboardHandler handler);
GARBOLT_SEAM void scriptWait(std::uint32_t milliseconds);
GARBOLT_SEAM void nativeInit(std::uint64_t hash);
GARBOLT_SEAM void nativePush64(std::uint64_t value);
GARBOLT_SEAM std::uint64_t* nativeCall();
GARBOLT_SEAM std::uint64_t* getGlobalPtr(std::int32_t index);

// FindWindowA with a null class name: the top-level window with this title.
GARBOLT_SEAM WindowHandle FindWindowA(const char* className, const char* windowName);
// False when the rectangle cannot be had.
GARBOLT_SEAM bool GetWindowRect(WindowHandle window, WindowRect* rect);
GARBOLT_SEAM std::uint32_t GetTickCount();

}  // namespace platform
