// What the whole-file replacement needs of the system besides the
// FileSystem operations; files_posix.cpp and files_windows.cpp provide it.
#pragma once

#include <cstdint>

namespace files::os {

// Part of every temporary file's name, so two programs saving at once never
// pick the same one.
std::uint32_t ProcessId();

// True for a character that ends a folder's name in a path.
bool IsSeparator(char c);

}  // namespace files::os
