// The natives the simulated game models, as the game's public native
// reference gives them: namespace and name, the kind of each parameter and of
// the result. Modules register their handlers by hash; names in traces,
// transcripts and messages, the reading of arguments and the misuse checks all
// come from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sim {

// The kind of one parameter, as its character in NativeEntry::params.
namespace arg_kind {
constexpr char kInt = 'i';         // int, or a game handle or value (Ped, Cam, Any, ...)
constexpr char kHash = 'h';        // Hash: an unsigned 32-bit name hash
constexpr char kBool = 'b';        // BOOL: 0 or 1
constexpr char kFloat = 'f';       // float, as its bits in the low half
constexpr char kText = 's';        // const char*, never null
constexpr char kTextOrNull = 'n';  // const char* that the native itself tests for null
// const char* that the script got from the game (VAR_STRING's result), never
// null: its text is the game's own, so the trace shows only the pointer.
constexpr char kGameText = 'g';
constexpr char kPointer = 'p';  // any other address
}  // namespace arg_kind

enum class ResultKind : char { Void, Int, Hash, Bool, Float, Text, Vector };

struct NativeEntry {
    std::uint64_t hash = 0;
    const char* name = "";    // "NAMESPACE::NAME"
    const char* params = "";  // one arg_kind character per fixed parameter
    // 0 for a fixed argument list; otherwise any number of further arguments
    // follow the fixed ones, each read as this kind.
    char variadic = 0;
    ResultKind result = ResultKind::Void;

    std::size_t FixedCount() const { return std::char_traits<char>::length(params); }
    // The kind of argument `i`, or 0 past the end of the list.
    char KindAt(std::size_t i) const { return i < FixedCount() ? params[i] : variadic; }
    std::string_view Namespace() const;
    std::string_view ShortName() const;
};

// The modelled native with this hash, or null.
const NativeEntry* FindNativeEntry(std::uint64_t hash);

// Every modelled native, in namespace and name order.
const NativeEntry* NativeTableBegin();
const NativeEntry* NativeTableEnd();

}  // namespace sim
