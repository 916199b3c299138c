// The platform part of garbolt-outfits: how it was started.
#pragma once

namespace garbolt_outfits {

// True when the program has a console window of its own that closes when it
// ends: on Windows, started from Explorer rather than from a console. Always
// false elsewhere, where a program started without a terminal has no window.
bool OwnsItsConsole();

}  // namespace garbolt_outfits
