// The game natives the plug-in calls, one typed constant per row of the
// native list (host/native_list.def), named for what the native does here.
// Every call goes through CallNative (host/natives.h), which checks its
// arguments against the row's kinds when it compiles.
#pragma once

#include "host/native_kinds.h"

namespace game_natives {

// Each row becomes its parameter kinds (in game_natives::kinds, for the
// constant's type to refer to) and its constant.
#define GARBOLT_NATIVE_VARIADIC(role, hash, name, kindText, rest, result) \
    namespace kinds {                                                     \
    inline constexpr char role[] = kindText;                              \
    }                                                                     \
    inline constexpr Native<kinds::role, rest, NativeResult::result> role{{hash}};
#define GARBOLT_NATIVE(role, hash, name, kindText, result) \
    GARBOLT_NATIVE_VARIADIC(role, hash, name, kindText, 0, result)
#include "host/native_list.def"
#undef GARBOLT_NATIVE
#undef GARBOLT_NATIVE_VARIADIC

}  // namespace game_natives
