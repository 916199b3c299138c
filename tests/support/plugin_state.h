// What the menu and wardrobe tests share about the plug-in linked into the
// test program: the game controls they press and its process-wide state put
// back between tests.
#pragma once

#include <cstdint>

// ResetPluginState(), the plug-in's own reset of everything it keeps.
#include "host/state.h"

namespace testing_support {

// The game controls, as a fixture's `using namespace` brings them in.
namespace controls {

constexpr std::uint32_t kSelect = 0x43DBF61F;
constexpr std::uint32_t kBack = 0x308588E6;
constexpr std::uint32_t kUp = 0x911CB09E;
constexpr std::uint32_t kDown = 0x4403F97F;
constexpr std::uint32_t kF9 = 120;

}  // namespace controls

}  // namespace testing_support
