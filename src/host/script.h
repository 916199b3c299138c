// The script routine the hook runs: start-up once, then one pass per frame.
#pragma once

#include <cstdint>

#include "host/platform.h"

extern platform::WindowHandle gameWindow;  // the game's main window, null when not found
extern std::int32_t gameWindowWidth;       // its width in pixels; 1920 until measured

void ScriptMain();
