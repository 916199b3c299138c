// The natives the simulated game models: the rows of the plug-in's native
// list (host/native_list.def), with the game's reference name, the kind of
// each parameter and of the result. Modules register their handlers against
// the list's constants (host/native_hashes.h); names in traces, transcripts
// and messages, the reading of arguments and the misuse checks all come from
// here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/native_kinds.h"

namespace sim {

// The kind of one parameter, as its character in NativeEntry::params.
namespace arg_kind = ::native_kind;

using ResultKind = ::NativeResult;

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
