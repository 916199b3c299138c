// Notifications and the name-hash native.
#include <string>

#include "sim/game.h"
#include "sim/modules.h"

namespace sim {

namespace {

constexpr std::uint64_t kNotificationTextNative = 0xFA233F8FE190514C;
constexpr std::uint64_t kNotificationCommitNative = 0xE9990552DEC71600;
constexpr std::uint64_t kNotificationLayoutNative = 0xA3108D6981A5CADB;
constexpr std::uint64_t kNotificationShowNative = 0xDFF0D417277B41F8;
constexpr std::uint64_t kNameHashNative = 0xFD340785ADF8CFB7;

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
