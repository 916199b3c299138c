// A stand-in plug-in for garbolt-sim's tests: every frame it calls one game
// function the simulated game does not know, as a plug-in with a wrong hash would.
#include <cstdint>

#include "host/platform.h"

namespace {

constexpr std::uint64_t kNoSuchNative = 0x0123456789ABCDEF;

void Routine() {
    for (;;) {
        platform::nativeInit(kNoSuchNative);
        platform::nativePush64(7);
        platform::nativeCall();
        platform::scriptWait(0);
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int DllMain(void* module, std::uint32_t reason,
                                                              void*) {
    if (reason == 1) {
        platform::scriptRegister(module, Routine);
    } else if (reason == 0) {
        platform::scriptUnregister(module);
    }
    return 1;
}
