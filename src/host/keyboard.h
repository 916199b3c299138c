// The keyboard state table: the hook's keyboard handler stamps an entry per
// message, the script reads it. Shared between two threads without a lock,
// so each word is a relaxed atomic.
#pragma once

#include <atomic>
#include <cstdint>

struct KeyState {
    std::atomic<std::uint32_t> time{0};        // last message's tick; 0 = none since start or reset
    std::atomic<std::uint32_t> extraFlag1{0};  // stored as received, never read
    std::atomic<std::uint32_t> extraFlag2{0};  // stored as received, never read
    std::atomic<std::uint32_t> isUp{0};        // nonzero: the last message was a release
};

// Virtual-key codes 0 to 254; codes of 255 and above have no entry.
constexpr std::uint32_t kKeyStateCount = 255;
extern KeyState keyStates[kKeyStateCount];

// The hook's keyboard handler: stores the message's tick and flags, nothing else.
void OnKeyboardMessage(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode,
                       std::int32_t isExtended, std::int32_t isWithAlt, std::int32_t wasDownBefore,
                       std::int32_t isUpNow);

// True once for a release seen less than 100 ms ago; consumes the entry.
bool KeyJustReleased(std::uint32_t key);

// Every entry back to zero, as at load.
void ResetKeyStates();

// True while the last message for the key, less than 30 s ago, was not a release.
bool KeyHeld(std::uint32_t key);
