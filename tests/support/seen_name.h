// What the player sees of a name typed in the game's keyboard.
#pragma once

#include <string>

namespace testing_support {

// The name itself, with each '~' (the mark of the game's text codes, which
// has no escape) drawn as the small tilde U+02DC.
inline std::string SeenName(const std::string& typed) {
    std::string seen;
    for (const char c : typed) {
        seen += c == '~' ? std::string("\xCB\x9C") : std::string(1, c);
    }
    return seen;
}

}  // namespace testing_support
