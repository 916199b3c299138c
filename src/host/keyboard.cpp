#include "host/keyboard.h"

#include "host/platform.h"

KeyState keyStates[kKeyStateCount];

namespace {

constexpr std::uint32_t kReleaseWindowMs = 100;
constexpr std::uint32_t kHeldWindowMs = 30000;

// A stamp of 0 means the key has had no message since the start or since
// its release was taken; a message that arrives at tick 0 is stamped 1, a
// millisecond late, so that it is not taken for "never".
constexpr std::uint32_t kNever = 0;

std::uint32_t StampNow() {
    const std::uint32_t now = platform::GetTickCount();
    return now == kNever ? kNever + 1 : now;
}

// The time since the stamp, in unsigned 32-bit arithmetic, stays right
// across the wrap of the tick count every 49.7 days. The stamp is read
// before the clock, so a message arriving in between cannot look as if it
// came from the future.
bool WithinWindow(const std::atomic<std::uint32_t>& time, std::uint32_t window) {
    const std::uint32_t stamp = time.load(std::memory_order_relaxed);
    if (stamp == kNever) {
        return false;
    }
    const std::uint32_t elapsed = platform::GetTickCount() - stamp;
    return elapsed < window;
}

}  // namespace

void OnKeyboardMessage(std::uint32_t key, std::uint16_t, std::uint8_t, std::int32_t,
                       std::int32_t isWithAlt, std::int32_t wasDownBefore, std::int32_t isUpNow) {
    if (key >= kKeyStateCount) {
        return;
    }
    KeyState& entry = keyStates[key];
    entry.time.store(StampNow(), std::memory_order_relaxed);
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
    const bool released = WithinWindow(entry.time, kReleaseWindowMs) &&
                          entry.isUp.load(std::memory_order_relaxed) != 0;
    if (released) {
        entry.time.store(kNever, std::memory_order_relaxed);
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
    return WithinWindow(entry.time, kHeldWindowMs) &&
           entry.isUp.load(std::memory_order_relaxed) == 0;
}
