#include "host/notification.h"

#include "host/native_hashes.h"
#include "host/natives.h"

using namespace game_natives;

void ShowNotification(const char* text) {
    CallNative(kNotificationTextNative, text);
    CallNative(kNotificationCommitNative);
    CallNative(kNotificationLayoutNative);
    CallNative(kNotificationShowNative);
}
