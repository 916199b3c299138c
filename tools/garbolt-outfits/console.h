// The platform part of garbolt-outfits: how it was started, where it sits,
// and how its command line spells text.
#pragma once

#include <string>

namespace garbolt_outfits {

// True when the program has a console window of its own that closes when it
// ends: on Windows, started from Explorer rather than from a console. Always
// false elsewhere, where a program started without a terminal has no window.
bool OwnsItsConsole();

// The folder that holds the program file (UTF-8, no trailing separator);
// empty when the system does not say.
std::string ProgramFolder();

// A name given on the command line, in UTF-8 as the game keeps names. Windows
// hands a program its arguments in the ANSI code page, so "Café" typed in a
// console arrives as one byte per letter; elsewhere arguments are UTF-8 already.
std::string NameFromCommandLine(const std::string& argument);

}  // namespace garbolt_outfits
