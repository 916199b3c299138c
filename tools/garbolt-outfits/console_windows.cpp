#include "console.h"

#include <windows.h>

#include <vector>

namespace garbolt_outfits {

// A console that Explorer made for the program lists the program alone; one
// it was started from lists the shell too.
bool OwnsItsConsole() {
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

std::string NameFromCommandLine(const std::string& argument) {
    if (argument.empty()) {
        return argument;
    }
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, argument.data(),
                                               static_cast<int>(argument.size()), nullptr, 0);
    if (wideLength <= 0) {
        return argument;
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideLength));
    MultiByteToWideChar(CP_ACP, 0, argument.data(), static_cast<int>(argument.size()), wide.data(),
                        wideLength);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return argument;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace garbolt_outfits
