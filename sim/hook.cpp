// The hook's operations and the three Windows calls, answered by the
// simulated game.
#include "host/platform.h"
#include "sim/game.h"
#include "sim/game_code.h"

namespace platform {

void scriptRegister(ModuleHandle module, ScriptRoutine routine) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookScriptRegister(module, routine);
}
void scriptUnregister(ModuleHandle module) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookScriptUnregister(module);
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookKeyboardRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookKeyboardUnregister(handler);
}
void scriptWait(std::uint32_t milliseconds) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookScriptWait(milliseconds);
}
void nativeInit(std::uint64_t hash) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookNativeInit(hash);
}
void nativePush64(std::uint64_t value) {
    sim::GameCodeScope gameCode;
    sim::TheGame().HookNativePush(value);
}
std::uint64_t* nativeCall() {
    sim::GameCodeScope gameCode;
    return sim::TheGame().HookNativeCall();
}
std::uint64_t* getGlobalPtr(std::int32_t index) {
    sim::GameCodeScope gameCode;
    return sim::TheGame().HookGetGlobalPtr(index);
}

WindowHandle FindWindowA(const char* className, const char* windowName) {
    sim::GameCodeScope gameCode;
    return sim::TheGame().HookFindWindow(className, windowName);
}
bool GetWindowRect(WindowHandle window, WindowRect* rect) {
    sim::GameCodeScope gameCode;
    return sim::TheGame().HookGetWindowRect(window, rect);
}
std::uint32_t GetTickCount() {
    sim::GameCodeScope gameCode;
    return sim::TheGame().HookTickCount();
}

}  // namespace platform
