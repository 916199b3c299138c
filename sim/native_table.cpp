#include "sim/native_table.h"

#include <algorithm>
#include <string>

namespace sim {

namespace {

// The rows of the plug-in's native list, in namespace and name order.
const NativeEntry kNatives[] = {
#define GARBOLT_NATIVE_VARIADIC(role, hash, name, kinds, rest, result) \
    {hash, name, kinds, rest, ResultKind::result},
#define GARBOLT_NATIVE(role, hash, name, kinds, result) \
    GARBOLT_NATIVE_VARIADIC(role, hash, name, kinds, 0, result)
#include "host/native_list.def"
#undef GARBOLT_NATIVE
#undef GARBOLT_NATIVE_VARIADIC
};

}  // namespace

std::string_view NativeEntry::Namespace() const {
    const std::string_view full(name);
    const std::size_t colons = full.find("::");
    return colons == std::string_view::npos ? std::string_view() : full.substr(0, colons);
}

std::string_view NativeEntry::ShortName() const {
    const std::string_view full(name);
    const std::size_t colons = full.find("::");
    return colons == std::string_view::npos ? full : full.substr(colons + 2);
}

const NativeEntry* FindNativeEntry(std::uint64_t hash) {
    const auto found =
        std::find_if(std::begin(kNatives), std::end(kNatives),
                     [hash](const NativeEntry& entry) { return entry.hash == hash; });
    return found == std::end(kNatives) ? nullptr : found;
}

const NativeEntry* NativeTableBegin() {
    return std::begin(kNatives);
}

const NativeEntry* NativeTableEnd() {
    return std::end(kNatives);
}

}  // namespace sim
