// The hook's operations and the three Windows calls, answered by the
// simulated game.
#include "host/platform.h"
#include "sim/game.h"

namespace platform {

void scriptRegister(ModuleHandle module, ScriptRoutine routine) {
    sim::TheGame().HookScriptRegister(module, routine);
}
void scriptUnregister(ModuleHandle module) {
    sim::TheGame().HookScriptUnregister(module);
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    sim::TheGame().HookKeyboardRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    sim::TheGame().HookKeyboardUnregister(handler);
}
void scriptWait(std::uint32_t milliseconds) {
    sim::TheGame().HookScriptWait(milliseconds);
}
void nativeInit(std::uint64_t hash) {
    sim::TheGame().HookNativeInit(hash);
}
void nativePush64(std::uint64_t value) {
    sim::TheGame().HookNativePush(value);
}
std::uint64_t* nativeCall() {
    return sim::TheGame().HookNativeCall();
}
std::uint64_t* getGlobalPtr(std::int32_t index) {
    return sim::TheGame().HookGetGlobalPtr(index);
}

WindowHandle FindWindowA(const char* className, const char* windowName) {
    return sim::TheGame().HookFindWindow(className, windowName);
}
bool GetWindowRect(WindowHandle window, WindowRect* rect) {
    return sim::TheGame().HookGetWindowRect(window, rect);
}
std::uint32_t GetTickCount() {
    return sim::TheGame().HookTickCount();
}

}  // namespace platform
