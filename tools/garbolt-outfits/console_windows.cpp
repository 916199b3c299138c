#include "console.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace garbolt_outfits {

// A console that Explorer made for the program lists the program alone; one
// it was started from lists the shell too.
bool OwnsItsConsole() {
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

std::string ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) {  // the longest path Windows has
            return std::string();
        }
        path.resize(path.size() * 2);
    }
    const auto separator =
        std::find_if(path.rbegin(), path.rend(), [](wchar_t c) { return c == L'\\' || c == L'/'; });
    if (separator == path.rend()) {
        return std::string();
    }
    const int wideLength = static_cast<int>(path.rend() - separator) - 1;
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, path.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::string();
    }
    std::string folder(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), wideLength, folder.data(), length, nullptr,
                        nullptr);
    return folder;
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
