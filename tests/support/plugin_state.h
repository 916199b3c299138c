// What the menu and wardrobe tests share about the plug-in linked into the
// test program: the game controls they press and its process-wide state put
// back between tests.
#pragma once

#include <cstdint>

#include "host/keyboard.h"
#include "host/script.h"
#include "menu/menu.h"
#include "settings/settings.h"

namespace testing_support {

// The game controls, as a fixture's `using namespace` brings them in.
namespace controls {

constexpr std::uint32_t kSelect = 0x43DBF61F;
constexpr std::uint32_t kBack = 0x308588E6;
constexpr std::uint32_t kUp = 0x911CB09E;
constexpr std::uint32_t kDown = 0x4403F97F;
constexpr std::uint32_t kF9 = 120;

}  // namespace controls

// The menu's process-wide values back at their load-time values.
inline void ResetMenuState() {
    Menu::submenuRegistry.clear();
    activeMenu.reset();
    for (KeyState& entry : keyStates) {
        entry.time = 0;
        entry.extraFlag1 = 0;
        entry.extraFlag2 = 0;
        entry.isUp = 0;
    }
    gameWindow = nullptr;
    gameWindowWidth = 1920;
    menuKey = 120;
}

}  // namespace testing_support
