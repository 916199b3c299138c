#include "console.h"

#include <windows.h>

namespace garbolt_outfits {

// A console that Explorer made for the program lists the program alone; one
// it was started from lists the shell too.
bool OwnsItsConsole() {
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

}  // namespace garbolt_outfits
