#include "sim/plugin.h"

#include "sim/game.h"
#include "sim/prompts.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace sim {

namespace {
constexpr unsigned kProcessAttach = 1;
constexpr unsigned kProcessDetach = 0;

#if defined(_WIN32)
void* OpenLibrary(const std::string& path) {
    return LoadLibraryA(path.c_str());
}
void CloseLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
std::string LastError() {
    return "error " + std::to_string(GetLastError());
}
#else
void* OpenLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* FindSymbol(void* library, const char* name) {
    return dlsym(library, name);
}
void CloseLibrary(void* library) {
    dlclose(library);
}
std::string LastError() {
    const char* message = dlerror();
    return message != nullptr ? message : "unknown error";
}
#endif
}  // namespace

Plugin::Plugin(std::string path) : path_(std::move(path)) {
    library_ = OpenLibrary(path_);
    if (library_ == nullptr) {
        error_ = "cannot load " + path_ + ": " + LastError();
        return;
    }
#if defined(_WIN32)
    // A real DLL's entry point runs inside LoadLibrary (the plug-in exports
    // nothing, so it cannot be looked up either); the game then starts the
    // registered routine on its next frame.
    (void)entry_;
#else
    entry_ = reinterpret_cast<Entry>(FindSymbol(library_, "DllMain"));
    if (entry_ == nullptr) {
        error_ = path_ + " has no entry point";
        CloseLibrary(library_);
        library_ = nullptr;
        return;
    }
    CallEntry(kProcessAttach);
#endif
}

Plugin::~Plugin() {
    if (library_ == nullptr) {
        return;
    }
    TheGame().StopScript();
#if !defined(_WIN32)
    CallEntry(kProcessDetach);
#endif
    // The prompts go with the plug-in that made them: the texts they show
    // are read through pointers into its memory.
    Prompts().DropAll();
    CloseLibrary(library_);
}

int Plugin::CallEntry(unsigned reason) {
    return entry_ != nullptr ? entry_(library_, reason, nullptr) : 0;
}

std::string DefaultPluginPath() {
#if defined(_WIN32)
    // Beside the program, like the real hook's loader that looks beside the
    // game, whatever the current folder is.
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        return "Garbolt.asi";
    }
    std::string path(self, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + "Garbolt.asi";
#else
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return "./Garbolt.so";
    }
    std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "Garbolt.so";
#endif
}

}  // namespace sim
