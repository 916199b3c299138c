#include "sim/observation.h"

#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/prompts.h"
#include "sim/scene.h"
#include "sim/sounds.h"

namespace sim {

namespace {

constexpr const char* kNoGameString = "(not a game string)";

// The logs are in frame order and only grow, so the frame's own entries are
// found from the back without reading a long run's whole history.
std::vector<HeardSound> SoundsOn(std::uint64_t frame) {
    const std::vector<SoundEvent>& events = Sounds().Events();
    auto first = events.end();
    while (first != events.begin() && (first - 1)->frame == frame) {
        --first;
    }
    std::vector<HeardSound> heard;
    for (auto it = first; it != events.end(); ++it) {
        if (it->kind == SoundEvent::Kind::Play) {
            heard.push_back({it->name, it->set});
        }
    }
    return heard;
}

std::optional<Vec3> LightOn(std::uint64_t frame) {
    const std::vector<LightDraw>& lights = Scene().Lights();
    if (lights.empty() || lights.back().frame != frame) {
        return std::nullopt;
    }
    return lights.back().position;
}

std::vector<std::string> NotificationsOn(const Game& game, std::uint64_t frame) {
    std::vector<std::string> texts;
    for (const Notification& notification : game.Notifications()) {
        if (notification.frame == frame) {
            texts.push_back(notification.text);
        }
    }
    return texts;
}

std::vector<ShownPrompt> PromptsNow() {
    std::vector<ShownPrompt> prompts;
    for (const auto& [handle, record] : Prompts().All()) {
        prompts.push_back({handle, record.control, record.text, record.enabled, record.shown});
    }
    return prompts;
}

// Camera handles count up, so the last one in the map is the one made last.
CameraView CameraNow() {
    CameraView view;
    view.rendering = Scene().ScriptCameraRendering();
    const std::map<std::int32_t, SimCamera>& cameras = Scene().Cameras();
    if (!cameras.empty()) {
        const SimCamera& camera = cameras.rbegin()->second;
        view.exists = true;
        view.active = camera.active;
        view.position = camera.position;
    }
    return view;
}

KeyboardView KeyboardNow() {
    const NamingKeyboardState& keyboard = NamingKeyboard();
    return {keyboard.Opens(), keyboard.IsOpen(), keyboard.Title(), keyboard.InitialText(),
            keyboard.MaxLength()};
}

}  // namespace

Observation Observe() {
    const Game& game = TheGame();
    Observation seen;
    seen.frame = game.FrameNumber();
    seen.draws = DrawList();
    seen.sounds = SoundsOn(seen.frame);
    seen.notifications = NotificationsOn(game, seen.frame);
    seen.prompts = PromptsNow();
    seen.camera = CameraNow();
    seen.light = LightOn(seen.frame);
    seen.keyboard = KeyboardNow();
    seen.worn = Wardrobe().Worn();
    return seen;
}

std::string DrawnMarkup(const TextEntry& text) {
    return text.validString ? text.markup : std::string(kNoGameString);
}

std::string ShownText(const TextEntry& text) {
    return text.validString ? ReadGameText(text.markup).Plain() : DrawnMarkup(text);
}

}  // namespace sim
