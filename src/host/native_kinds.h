// The kinds of a native's parameters and result, as the rows of the native
// list (host/native_list.def) spell them, and the typed constant a row
// becomes. The plug-in's calls are checked against these kinds by the
// compiler (host/natives.h), the simulated game's by its misuse checks.
#pragma once

#include <cstdint>

// One character per parameter kind.
namespace native_kind {
constexpr char kInt = 'i';         // int, or a game handle or value (Ped, Cam, Any, ...): 32 bits
constexpr char kHash = 'h';        // Hash: an unsigned 32-bit name hash
constexpr char kBool = 'b';        // BOOL: 0 or 1
constexpr char kFloat = 'f';       // float, as its bits in the low half
constexpr char kText = 's';        // const char*, never null
constexpr char kTextOrNull = 'n';  // const char* that the native itself tests for null
// const char* that the script got from the game (VAR_STRING's result), never
// null; the script hands it back as the word it came in.
constexpr char kGameText = 'g';
constexpr char kPointer = 'p';  // any other address
}  // namespace native_kind

enum class NativeResult : char { Void, Int, Hash, Bool, Float, Text, GameText, Vector };

// A native as the plug-in and the simulated game name it: its hash. It reads
// as the hash wherever a hash is asked for (traces, switches, messages).
struct NativeId {
    std::uint64_t hash = 0;
    constexpr operator std::uint64_t() const { return hash; }
};

// A native of the list with its kinds in its type: `Kinds` one character per
// fixed parameter, then, when `Rest` is not 0, any number of arguments of
// kind `Rest`; `Result` the kind of its result.
template <const char* Kinds, char Rest, NativeResult Result>
struct Native : NativeId {};
