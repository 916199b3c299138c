// Notifications and the name-hash native.
#include <string>

#include "host/native_hashes.h"
#include "sim/game.h"
#include "sim/modules.h"

namespace sim {

namespace {

using game_natives::kNameHashNative;
using game_natives::kNotificationCommitNative;
using game_natives::kNotificationLayoutNative;
using game_natives::kNotificationShowNative;
using game_natives::kNotificationTextNative;

// The text native stages the message; the last of the four shows it.
struct NotificationState {
    std::string staged;
    bool hasStaged = false;
};

}  // namespace

void RegisterCoreNatives(Game& game) {
    auto state = std::make_shared<NotificationState>();
    game.RegisterNative(kNotificationTextNative, [state](NativeCall& call) {
        state->staged = call.Text(0).value_or("");
        state->hasStaged = true;
    });
    game.RegisterNative(kNotificationCommitNative, nullptr);
    game.RegisterNative(kNotificationLayoutNative, nullptr);
    game.RegisterNative(kNotificationShowNative, [state, &game](NativeCall&) {
        if (state->hasStaged) {
            game.AddNotification(state->staged);
            state->hasStaged = false;
        }
    });
    game.RegisterNative(kNameHashNative, [](NativeCall& call) {
        call.ReturnUint(NameHash(call.Text(0).value_or("")));
    });
}

}  // namespace sim
