#include "file_hold.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <filesystem>
#endif

namespace garbolt_sim {

#if defined(_WIN32)

namespace {

std::string HolderPath() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path() / "garbolt-file-holder.exe").string();
}

}  // namespace

std::unique_ptr<FileHold> FileHold::Start(const std::string& path, std::uint32_t milliseconds,
                                          std::string* error) {
    static int holds = 0;
    const std::string event =
        "garbolt-sim-held-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++holds);
    std::unique_ptr<FileHold> hold(new FileHold());
    hold->ready_ = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    std::string command =
        "\"" + HolderPath() + "\" \"" + path + "\" " + std::to_string(milliseconds) + " " + event;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (hold->ready_ == nullptr || !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE,
                                                   0, nullptr, nullptr, &startup, &process)) {
        *error = "cannot start " + HolderPath();
        return nullptr;
    }
    CloseHandle(process.hThread);
    hold->process_ = process.hProcess;
    // The holder signals once it has the file open, or ends when it cannot.
    const HANDLE either[] = {static_cast<HANDLE>(hold->ready_), process.hProcess};
    if (WaitForMultipleObjects(2, either, FALSE, 30000) != WAIT_OBJECT_0) {
        *error = "another program could not hold the file open";
        return nullptr;
    }
    return hold;
}

FileHold::~FileHold() {
    if (process_ != nullptr) {
        TerminateProcess(static_cast<HANDLE>(process_), 0);
        WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
        CloseHandle(static_cast<HANDLE>(process_));
    }
    if (ready_ != nullptr) {
        CloseHandle(static_cast<HANDLE>(ready_));
    }
}

#else

std::unique_ptr<FileHold> FileHold::Start(const std::string&, std::uint32_t, std::string* error) {
    *error = "holding a file open against replacement needs the Windows build (garbolt-sim.exe)";
    return nullptr;
}

FileHold::~FileHold() = default;

#endif

}  // namespace garbolt_sim
