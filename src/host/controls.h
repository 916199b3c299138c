// The game's controls the plug-in reads, lets through or holds off, by hash.
#pragma once

#include <cstdint>

namespace game_controls {

// The menu's own: its prompts and the keys and buttons that move through it.
constexpr std::uint32_t kSelect = 0x43DBF61F;
constexpr std::uint32_t kBack = 0x308588E6;
constexpr std::uint32_t kUp = 0x911CB09E;
constexpr std::uint32_t kDown = 0x4403F97F;
constexpr std::uint32_t kLeft = 0xAD7FCC5B;
constexpr std::uint32_t kRight = 0x65F9EC5B;
constexpr std::uint32_t kSaveOutfit = 0x171910DC;
constexpr std::uint32_t kMenuNavigation[] = {kSelect, kBack, kUp, kDown, kLeft, kRight};

// Held together, they open the menu.
constexpr std::uint32_t kOpenChordFirst = 0x17BEC168;
constexpr std::uint32_t kOpenChordSecond = 0x5181713D;

// The game's own uses of the keys and buttons the menu takes while it is open.
constexpr std::uint32_t kSuppressed[] = {0x0F39B3D4, 0xCF8A4ECA, 0x80F28E95, 0xF3830D8E,
                                         0x4CC0E2FE, 0x5966D52A, 0x734C6E39, 0xE2B557A3,
                                         0xCF0B11DE, 0xCC510E59, 0x580C4473};
// Held off only with a gamepad.
constexpr std::uint32_t kGamepadOnlySuppressed[] = {0x24978A28, 0xE7EB9185};

}  // namespace game_controls
