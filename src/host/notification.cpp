#include "host/notification.h"

#include "host/natives.h"

namespace {

constexpr std::uint64_t kNotificationTextNative = 0xFA233F8FE190514C;
constexpr std::uint64_t kNotificationCommitNative = 0xE9990552DEC71600;
constexpr std::uint64_t kNotificationLayoutNative = 0xA3108D6981A5CADB;
constexpr std::uint64_t kNotificationShowNative = 0xDFF0D417277B41F8;

}  // namespace

void ShowNotification(const char* text) {
    CallNative(kNotificationTextNative, text);
    CallNative(kNotificationCommitNative);
    CallNative(kNotificationLayoutNative);
    CallNative(kNotificationShowNative);
}
