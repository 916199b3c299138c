#include "host/keyboard.h"

#include "host/platform.h"

KeyState keyStates[kKeyStateCount];

namespace {

constexpr std::uint32_t kReleaseWindowMs = 100;
constexpr std::uint32_t kHeldWindowMs = 30000;

// Unsigned 32-bit arithmetic on purpose: the tick count wraps every 49.7 days
// and the comparison must keep working across the wrap.
bool WithinWindow(std::uint32_t stamp, std::uint32_t window) {
    return platform::GetTickCount() < static_cast<std::uint32_t>(stamp + window);
}

}  // namespace

void OnKeyboardMessage(std::uint32_t key, std::uint16_t, std::uint8_t, std::int32_t,
                       std::int32_t isWithAlt, std::int32_t wasDownBefore, std::int32_t isUpNow) {
    if (key >= kKeyStateCount) {
        return;
    }
    KeyState& entry = keyStates[key];
    entry.time.store(platform::GetTickCount(), std::memory_order_relaxed);
    entry.extraFlag1.store(static_cast<std::uint32_t>(isWithAlt), std::memory_order_relaxed);
    entry.extraFlag2.store(static_cast<std::uint32_t>(wasDownBefore), std::memory_order_relaxed);
    entry.isUp.store(static_cast<std::uint32_t>(isUpNow), std::memory_order_relaxed);
}

void ResetKeyStates() {
    for (KeyState& entry : keyStates) {
        entry.time.store(0, std::memory_order_relaxed);
        entry.extraFlag1.store(0, std::memory_order_relaxed);
        entry.extraFlag2.store(0, std::memory_order_relaxed);
        entry.isUp.store(0, std::memory_order_relaxed);
    }
}

bool KeyJustReleased(std::uint32_t key) {
    if (key >= kKeyStateCount) {
        return false;
    }
    KeyState& entry = keyStates[key];
    const bool released =
        WithinWindow(entry.time.load(std::memory_order_relaxed), kReleaseWindowMs) &&
        entry.isUp.load(std::memory_order_relaxed) != 0;
    if (released) {
        entry.time.store(0, std::memory_order_relaxed);
        entry.extraFlag1.store(0, std::memory_order_relaxed);
        entry.extraFlag2.store(0, std::memory_order_relaxed);
        entry.isUp.store(0, std::memory_order_relaxed);
    }
    return released;
}

bool KeyHeld(std::uint32_t key) {
    if (key >= kKeyStateCount) {
        return false;
    }
    const KeyState& entry = keyStates[key];
    return WithinWindow(entry.time.load(std::memory_order_relaxed), kHeldWindowMs) &&
           entry.isUp.load(std::memory_order_relaxed) == 0;
}
