// Library entry: register with the hook on load, unregister on unload.
#include <cstdint>

#include "host/keyboard.h"
#include "host/platform.h"
#include "host/script.h"

namespace {
constexpr std::uint32_t kProcessDetach = 0;
constexpr std::uint32_t kProcessAttach = 1;
}  // namespace

extern "C" GARBOLT_ENTRY int DllMain(void* module, std::uint32_t reason, void* processEnding) {
    if (reason == kProcessAttach) {
        platform::scriptRegister(module, ScriptMain);
        platform::keyboardHandlerRegister(OnKeyboardMessage);
    } else if (reason == kProcessDetach) {
        platform::scriptUnregister(module);
        platform::keyboardHandlerUnregister(OnKeyboardMessage);
        // At the process's end the system has stopped every other thread
        // already: there is no work left to wait for.
        if (processEnding == nullptr) {
            ScriptUnload();
        }
    }
    return 1;
}
