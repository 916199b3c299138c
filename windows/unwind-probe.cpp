// A stand-in plug-in that checks how the simulated hook ends a script on
// Windows. When the plug-in is unloaded, the hook's scriptWait ends the
// routine by throwing, and the exception has to travel from
// ScriptHookRDR2.dll through this module's frames (each linked with its own
// static copy of the C++ runtime) back into the hook. Every frame on the way
// holds an object whose destructor reports through a native call, so the
// driver sees whether the plug-in's own clean-ups ran, innermost first.
// Exceptions thrown and caught inside the plug-in are reported too.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/natives.h"
#include "host/platform.h"

namespace {

// Hashes no game native has; the driver answers them.
constexpr std::uint64_t kProbeCaughtNative = 0x6761726270726F01;
constexpr std::uint64_t kProbeFrameNative = 0x6761726270726F02;
constexpr std::uint64_t kProbeCleanupNative = 0x6761726270726F03;

struct Cleanup {
    std::int32_t depth;
    std::string heapText;  // something to free on the way out
    ~Cleanup() { CallNativeUnchecked(kProbeCleanupNative, depth, heapText.c_str()); }
};

Cleanup MakeCleanup(std::int32_t depth) {
    return Cleanup{depth, std::string(64, static_cast<char>('a' + depth))};
}

// Three frames of their own (not merged by the optimiser), the innermost
// waiting for frames forever.
[[gnu::noinline]] void WaitInnermost() {
    const Cleanup cleanup = MakeCleanup(3);
    for (;;) {
        CallNativeUnchecked(kProbeFrameNative, cleanup.depth);
        platform::scriptWait(0);
    }
}

[[gnu::noinline]] void WaitMiddle() {
    const Cleanup cleanup = MakeCleanup(2);
    WaitInnermost();
}

[[gnu::noinline]] void WaitOutermost() {
    const Cleanup cleanup = MakeCleanup(1);
    WaitMiddle();
}

void ProbeMain() {
    try {
        throw std::runtime_error("thrown and caught inside the plug-in");
    } catch (const std::exception& error) {
        CallNativeUnchecked(kProbeCaughtNative, error.what());
    }
    WaitOutermost();
}

void OnKey(std::uint32_t, std::uint16_t, std::uint8_t, std::int32_t, std::int32_t, std::int32_t,
           std::int32_t) {}

}  // namespace

extern "C" int DllMain(void* module, std::uint32_t reason, void*) {
    if (reason == 1) {
        platform::scriptRegister(module, ProbeMain);
        platform::keyboardHandlerRegister(OnKey);
    } else if (reason == 0) {
        platform::scriptUnregister(module);
        platform::keyboardHandlerUnregister(OnKey);
    }
    return 1;
}
