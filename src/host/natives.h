// The one way the plug-in calls the game: a native of the list
// (host/native_hashes.h) with arguments of the kinds its row gives, checked
// when the call compiles, giving a result of its row's kind. Each argument
// becomes one 64-bit word: integers, hashes, handles and bools in the low half
// of a zeroed word, a float as its IEEE bits in the low half, a string or
// pointer as its address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "host/float_bits.h"
#include "host/native_kinds.h"
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

// Calls the native `hash` with `args` in order and returns its result as R,
// with no check of the kinds: for the tests that plant a misuse and for
// natives outside the list.
template <typename R = void, typename... Args>
R CallNativeUnchecked(std::uint64_t hash, Args... args) {
    platform::nativeInit(hash);
    (platform::nativePush64(native_words::Encode(args)), ...);
    const std::uint64_t* slots = platform::nativeCall();
    if constexpr (!std::is_void_v<R>) {
        return native_words::Decode<R>(slots);
    }
}

namespace native_kind_check {

template <typename T>
constexpr bool kIs32BitInteger =
    std::is_same_v<T, std::int32_t> || std::is_same_v<T, std::uint32_t>;

// Whether an argument of type T fits a parameter of kind Kind; a mismatch
// stops the build here, naming the argument's position (from 0), the kind
// and the type.
template <std::size_t Position, char Kind, typename T>
constexpr bool ArgumentFits() {
    if constexpr (Kind == native_kind::kInt || Kind == native_kind::kHash) {
        static_assert(kIs32BitInteger<T>,
                      "an int, Hash or handle parameter takes a 32-bit integer: not a 64-bit, "
                      "floating or bool value");
    } else if constexpr (Kind == native_kind::kBool) {
        static_assert(std::is_same_v<T, bool> || kIs32BitInteger<T>,
                      "a BOOL parameter takes a bool or a 32-bit integer");
    } else if constexpr (Kind == native_kind::kFloat) {
        static_assert(std::is_same_v<T, float>,
                      "a float parameter takes a float: write 5.0f, not 5 or 5.0");
    } else if constexpr (Kind == native_kind::kText || Kind == native_kind::kTextOrNull) {
        static_assert(std::is_same_v<T, const char*> || std::is_same_v<T, char*>,
                      "a text parameter takes a const char*");
    } else if constexpr (Kind == native_kind::kGameText) {
        static_assert(std::is_same_v<T, std::uint64_t>,
                      "a game-text parameter takes the word the variable-string native answered");
    } else if constexpr (Kind == native_kind::kPointer) {
        static_assert(std::is_pointer_v<T>, "a pointer parameter takes a pointer");
    }
    return true;
}

template <const char* Kinds, char Rest, typename... Args, std::size_t... Positions>
constexpr bool ArgumentsFit(std::index_sequence<Positions...>) {
    constexpr std::size_t fixed = std::char_traits<char>::length(Kinds);
    static_assert(Rest == 0 ? sizeof...(Args) == fixed : sizeof...(Args) >= fixed,
                  "the native takes another number of arguments");
    return (ArgumentFits<Positions, (Positions < fixed ? Kinds[Positions] : Rest), Args>() && ...);
}

// The C++ type of each result kind: a game text is the word the game
// answered, handed back as it came.
template <NativeResult Result>
struct ResultType;
// clang-format off
template <> struct ResultType<NativeResult::Void> { using type = void; };
template <> struct ResultType<NativeResult::Int> { using type = std::int32_t; };
template <> struct ResultType<NativeResult::Hash> { using type = std::uint32_t; };
template <> struct ResultType<NativeResult::Bool> { using type = bool; };
template <> struct ResultType<NativeResult::Float> { using type = float; };
template <> struct ResultType<NativeResult::Text> { using type = const char*; };
template <> struct ResultType<NativeResult::GameText> { using type = std::uint64_t; };
template <> struct ResultType<NativeResult::Vector> { using type = Vector3; };
// clang-format on

// The result type a call asked for: the row's own (the default), void to
// drop it, or std::uint64_t for the first result slot as the hook answered it.
struct RowResult {};
template <typename R, NativeResult Result>
struct Asked {
    static_assert(std::is_void_v<R> || std::is_same_v<R, std::uint64_t> ||
                      std::is_same_v<R, typename ResultType<Result>::type>,
                  "the native's result is of another kind");
    using type = R;
};
template <NativeResult Result>
struct Asked<RowResult, Result> {
    using type = typename ResultType<Result>::type;
};

}  // namespace native_kind_check

// Calls `native` with `args` in order and returns its result. Each argument
// must be of its parameter's kind, and R (when given) of the result's kind.
template <typename R = native_kind_check::RowResult, const char* Kinds, char Rest,
          NativeResult Result, typename... Args>
typename native_kind_check::Asked<R, Result>::type CallNative(Native<Kinds, Rest, Result> native,
                                                              Args... args) {
    static_assert(
        native_kind_check::ArgumentsFit<Kinds, Rest, Args...>(std::index_sequence_for<Args...>{}));
    return CallNativeUnchecked<typename native_kind_check::Asked<R, Result>::type>(native.hash,
                                                                                   args...);
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
