// The one way the plug-in calls the game: a native named by its hash, with
// typed arguments, giving a typed result. Each argument becomes one 64-bit
// word: integers, hashes, handles and bools in the low half of a zeroed word,
// a float as its IEEE bits in the low half, a string or pointer as its address.
#pragma once

#include <cstdint>
#include <type_traits>

#include "host/float_bits.h"
#include "host/platform.h"

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

namespace native_words {

inline std::uint64_t Encode(std::int32_t value) {
    return static_cast<std::uint32_t>(value);
}
inline std::uint64_t Encode(std::uint32_t value) {
    return value;
}
inline std::uint64_t Encode(bool value) {
    return value ? 1u : 0u;
}
inline std::uint64_t Encode(float value) {
    return float_bits::ToWord(value);
}
// A 64-bit value the game handed out (a game string, for example) goes back as it came.
inline std::uint64_t Encode(std::uint64_t value) {
    return value;
}
inline std::uint64_t Encode(const char* text) {
    return reinterpret_cast<std::uintptr_t>(text);
}
template <typename T>
std::uint64_t Encode(T* pointer) {
    return reinterpret_cast<std::uintptr_t>(pointer);
}
// Doubles would be silently narrowed; every float literal must carry its f.
std::uint64_t Encode(double) = delete;
std::uint64_t Encode(std::int64_t) = delete;

template <typename R>
R Decode(const std::uint64_t* slots) {
    if constexpr (std::is_same_v<R, bool>) {
        return static_cast<std::uint32_t>(slots[0]) != 0;
    } else if constexpr (std::is_same_v<R, float>) {
        return float_bits::FromWord(slots[0]);
    } else if constexpr (std::is_same_v<R, Vector3>) {
        return Vector3{float_bits::FromWord(slots[0]), float_bits::FromWord(slots[1]),
                       float_bits::FromWord(slots[2])};
    } else if constexpr (std::is_pointer_v<R>) {
        return reinterpret_cast<R>(static_cast<std::uintptr_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, std::uint64_t>) {
        return slots[0];
    } else {
        static_assert(std::is_same_v<R, std::int32_t> || std::is_same_v<R, std::uint32_t>,
                      "unsupported native result type");
        return static_cast<R>(static_cast<std::uint32_t>(slots[0]));
    }
}

}  // namespace native_words

// Calls the native `hash` with `args` in order and returns its result as R.
template <typename R = void, typename... Args>
R CallNative(std::uint64_t hash, Args... args) {
    platform::nativeInit(hash);
    (platform::nativePush64(native_words::Encode(args)), ...);
    const std::uint64_t* slots = platform::nativeCall();
    if constexpr (!std::is_void_v<R>) {
        return native_words::Decode<R>(slots);
    }
}

// Game globals, by index. The hook may answer a null slot; reads then give 0
// and writes are skipped rather than crashing the game.
inline std::uint64_t ReadGlobal(std::int32_t index) {
    const std::uint64_t* slot = platform::getGlobalPtr(index);
    return slot != nullptr ? *slot : 0;
}

inline void WriteGlobal(std::int32_t index, std::uint64_t value) {
    if (std::uint64_t* slot = platform::getGlobalPtr(index)) {
        *slot = value;
    }
}
