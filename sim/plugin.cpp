#include "sim/plugin.h"

#include "sim/game.h"
#include "sim/prompts.h"

#if defined(_WIN32)
#include <windows.h>

#include <cstring>
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

// What the plug-in's GetTickCount answers once its import is redirected.
DWORD WINAPI SimulatedTickCount() {
    return TheGame().Tick();
}

// The plug-in takes its key times from KERNEL32's GetTickCount, which reads
// the real clock: a run's key timing would then depend on how fast the
// machine plays the frames. Points the module's import entry for it at the
// simulated clock instead, so a Windows run is as deterministic as a Linux
// one. Walks the import directory: each descriptor names a DLL, its
// OriginalFirstThunk the imported names and its FirstThunk the entries the
// loader filled in. Answers how many entries now read the simulated clock.
int AnswerTickCountFromTheGame(HMODULE module) {
    auto* const base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return 0;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) {
        return 0;
    }
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0 || imports.Size == 0) {
        return 0;
    }
    int patched = 0;
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), "kernel32.dll") != 0) {
            continue;
        }
        // Without OriginalFirstThunk the names are only in FirstThunk, before binding.
        const DWORD namesAt =
            dll->OriginalFirstThunk != 0 ? dll->OriginalFirstThunk : dll->FirstThunk;
        const auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
        auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData != 0; ++name, ++entry) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "GetTickCount") != 0) {
                continue;
            }
            DWORD protection = 0;
            if (!VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE,
                                &protection)) {
                continue;
            }
            entry->u1.Function = reinterpret_cast<ULONG_PTR>(&SimulatedTickCount);
            DWORD unused = 0;
            VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, protection, &unused);
            ++patched;
        }
    }
    return patched;
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
    // registered routine on its next frame. The entry point takes no key
    // times, so the clock is redirected before any key message arrives.
    (void)entry_;
    tickEntriesRedirected_ = AnswerTickCountFromTheGame(static_cast<HMODULE>(library_));
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
