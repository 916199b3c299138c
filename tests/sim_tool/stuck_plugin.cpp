// A stand-in plug-in for garbolt-sim's tests: it hands every frame back to
// the game until a key is pressed, and then never again, as a plug-in caught
// in an endless loop would.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "host/platform.h"

namespace {

std::atomic<bool> keyPressed{false};

void OnKey(std::uint32_t, std::uint16_t, std::uint8_t, std::int32_t, std::int32_t, std::int32_t,
           std::int32_t) {
    keyPressed = true;
}

void Routine() {
    while (!keyPressed) {
        platform::scriptWait(0);
    }
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int DllMain(void* module, std::uint32_t reason,
                                                              void*) {
    if (reason == 1) {
        platform::scriptRegister(module, Routine);
        platform::keyboardHandlerRegister(OnKey);
    } else if (reason == 0) {
        platform::keyboardHandlerUnregister(OnKey);
        platform::scriptUnregister(module);
    }
    return 1;
}
