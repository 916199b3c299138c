#include "sim/host_window.h"

#include "sim/game.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace sim {

#if defined(_WIN32)

namespace {

constexpr const char* kGameWindowTitle = "Red Dead Redemption 2";
constexpr const char* kWindowClass = "GarboltSimulatedGame";

// Window messages are never pumped: nothing in the game sends any, and
// FindWindowA and GetWindowRect answer without them.
struct MirroredWindow {
    HWND handle = nullptr;
    int width = 0;
    int height = 0;
};

MirroredWindow& Mirrored() {
    static MirroredWindow window;
    return window;
}

bool RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

// Called on the thread that runs the frames, which owns the window.
void MirrorWindow(Game& game) {
    platform::WindowRect rect{};
    const bool present =
        game.HookGetWindowRect(game.HookFindWindow(nullptr, kGameWindowTitle), &rect);
    const int width = present ? rect.right - rect.left : 0;
    const int height = present ? rect.bottom - rect.top : 0;
    MirroredWindow& window = Mirrored();
    if (window.width == width && window.height == height && (window.handle != nullptr) == present) {
        return;
    }
    if (window.handle != nullptr) {
        DestroyWindow(window.handle);
        window = MirroredWindow{};
    }
    if (present && RegisterWindowClass()) {
        // A popup is not clamped to the screen, so any width can be shown.
        window.handle =
            CreateWindowExA(0, kWindowClass, kGameWindowTitle, WS_POPUP, 0, 0, width, height,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        window.width = width;
        window.height = height;
    }
}

}  // namespace

void RegisterHostWindow(Game& game) {
    game.AddFrameHook([&game] { MirrorWindow(game); });
}

#else

void RegisterHostWindow(Game&) {}

#endif

}  // namespace sim
