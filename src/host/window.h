// The game window's measurements: found by its title once at start-up, its
// width scales the menu's text.
#pragma once

#include <cstdint>

#include "host/platform.h"

extern platform::WindowHandle gameWindow;  // the game's main window, null when not found
extern std::int32_t gameWindowWidth;       // its width in pixels; 1920 until measured

// Finds the game window and takes its width; the width stays as it is when
// the window or its rectangle cannot be had.
void MeasureGameWindow();

// Both values back at what a fresh load has.
void ResetGameWindow();
