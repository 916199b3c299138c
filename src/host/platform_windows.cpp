// The seam on Windows: the hook's nine operations imported from
// ScriptHookRDR2.dll and the three calls into USER32 and KERNEL32.
//
// The hook exports its operations under their MSVC-decorated C++ names, which
// this compiler cannot spell. They are declared here with plain C names; the
// import library (windows/ScriptHookRDR2.def) binds each plain name to the
// decorated export.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "host/platform.h"

extern "C" {
__declspec(dllimport) void scriptRegister(HMODULE module, void (*routine)());
__declspec(dllimport) void scriptUnregister(HMODULE module);
__declspec(dllimport) void keyboardHandlerRegister(void (*handler)(DWORD, WORD, BYTE, BOOL, BOOL,
                                                                   BOOL, BOOL));
__declspec(dllimport) void keyboardHandlerUnregister(void (*handler)(DWORD, WORD, BYTE, BOOL, BOOL,
                                                                     BOOL, BOOL));
__declspec(dllimport) void scriptWait(DWORD milliseconds);
__declspec(dllimport) void nativeInit(UINT64 hash);
__declspec(dllimport) void nativePush64(UINT64 value);
__declspec(dllimport) PUINT64 nativeCall();
__declspec(dllimport) UINT64* getGlobalPtr(int index);
}

namespace {

using HookKeyboardHandler = void (*)(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL);

// The hook's handler type and the seam's are the same C signature on this ABI:
// DWORD, WORD and BYTE are the unsigned 32, 16 and 8 bit types, BOOL is int.
static_assert(sizeof(DWORD) == 4 && sizeof(WORD) == 2 && sizeof(BYTE) == 1 && sizeof(BOOL) == 4);
static_assert(sizeof(RECT) == sizeof(platform::WindowRect));

HookKeyboardHandler ToHook(platform::KeyboardHandler handler) {
    return reinterpret_cast<HookKeyboardHandler>(handler);
}

}  // namespace

namespace platform {

void scriptRegister(ModuleHandle module, ScriptRoutine routine) {
    ::scriptRegister(static_cast<HMODULE>(module), routine);
}
void scriptUnregister(ModuleHandle module) {
    ::scriptUnregister(static_cast<HMODULE>(module));
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    ::keyboardHandlerRegister(ToHook(handler));
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    ::keyboardHandlerUnregister(ToHook(handler));
}
void scriptWait(std::uint32_t milliseconds) {
    ::scriptWait(milliseconds);
}
void nativeInit(std::uint64_t hash) {
    ::nativeInit(hash);
}
void nativePush64(std::uint64_t value) {
    ::nativePush64(value);
}
std::uint64_t* nativeCall() {
    return reinterpret_cast<std::uint64_t*>(::nativeCall());
}
std::uint64_t* getGlobalPtr(std::int32_t index) {
    return reinterpret_cast<std::uint64_t*>(::getGlobalPtr(index));
}

WindowHandle FindWindowA(const char* className, const char* windowName) {
    return ::FindWindowA(className, windowName);
}
bool GetWindowRect(WindowHandle window, WindowRect* rect) {
    RECT measured{};
    if (rect == nullptr || !::GetWindowRect(static_cast<HWND>(window), &measured)) {
        return false;
    }
    rect->left = measured.left;
    rect->top = measured.top;
    rect->right = measured.right;
    rect->bottom = measured.bottom;
    return true;
}
std::uint32_t GetTickCount() {
    return ::GetTickCount();
}

}  // namespace platform
