// Whether a text argument points at something the game could read. The
// game reads a text from the address it is given up to its NUL; an address
// with nothing readable behind it crashes the game, so the simulated game
// asks the operating system instead of reading it.
#pragma once

#include <cstdint>

namespace sim {

// True when every byte from `address` up to and including the first NUL is
// in memory this process may read (a text longer than a megabyte counts as
// readable once its first megabyte is). Never reads through the address
// itself, so an unmapped or protected address is answered, not faulted on.
bool ReadableText(std::uint64_t address);

}  // namespace sim
