// Holds a file open for a while the way a virus scanner, a search indexer or
// a cloud-sync client does: reading it, letting others read and write it,
// but not letting it be deleted or replaced. Signals the named event once the
// file is held, so the program that started it (garbolt-sim.exe, for its
// `hold` command) knows when to try its save.
//
//   garbolt-file-holder PATH MILLISECONDS EVENT
//
// Exits 0 after closing the file again, 1 when the file cannot be opened
// (without signalling, so the starter is not told it is held), 2 on a bad
// command line.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 2;
    }
    const DWORD milliseconds = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const HANDLE held = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (ready != nullptr) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    Sleep(milliseconds);
    CloseHandle(held);
    return 0;
}
