// What the game's onscreen keyboard, where the player types a name, answers
// when asked how the typing goes.
#pragma once

#include <cstdint>

namespace onscreen_keyboard {

enum Status : std::int32_t { kTyping = 0, kFinished = 1, kCancelled = 2, kHidden = 3 };

}  // namespace onscreen_keyboard
