#include "host/window.h"

namespace {
constexpr const char* kGameWindowTitle = "Red Dead Redemption 2";
constexpr std::int32_t kReferenceWidth = 1920;  // the text's reference screen
}  // namespace

platform::WindowHandle gameWindow = nullptr;
std::int32_t gameWindowWidth = kReferenceWidth;

void MeasureGameWindow() {
    gameWindow = platform::FindWindowA(nullptr, kGameWindowTitle);
    platform::WindowRect rect{};
    if (platform::GetWindowRect(gameWindow, &rect)) {
        gameWindowWidth = rect.right - rect.left;
    }
}

void ResetGameWindow() {
    gameWindow = nullptr;
    gameWindowWidth = kReferenceWidth;
}
