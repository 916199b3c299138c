#include "host/script.h"

#include "settings/settings.h"

platform::WindowHandle gameWindow = nullptr;
std::int32_t gameWindowWidth = 1920;

namespace {

constexpr const char* kGameWindowTitle = "Red Dead Redemption 2";

void MeasureGameWindow() {
    gameWindow = platform::FindWindowA(nullptr, kGameWindowTitle);
    platform::WindowRect rect{};
    if (platform::GetWindowRect(gameWindow, &rect)) {
        gameWindowWidth = rect.right - rect.left;
    }
}

// Nothing may escape into the game: a failure that slipped past the checks
// costs this frame's work, never the game.
template <typename Work>
void RunGuarded(Work work) noexcept {
    try {
        work();
    } catch (...) {
    }
}

void StartUp() {
    loadSettings();
    MeasureGameWindow();
}

void RunFrame() {}

}  // namespace

void ScriptMain() {
    RunGuarded(StartUp);
    for (;;) {
        RunGuarded(RunFrame);
        platform::scriptWait(0);
    }
}
