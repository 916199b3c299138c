#include "sim/play/player.h"

#include "sim/controls.h"
#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/plugin.h"

namespace play {

void Press(std::uint32_t control) {
    sim::Controls().Press(control);
}

bool PressNamed(const std::string& name) {
    using namespace controls;
    if (name == "open-chord") {
        Press(kChordFirst);
        Press(kChordSecond);
        return true;
    }
    const std::uint32_t hash = name == "select"  ? kSelect
                               : name == "back"  ? kBack
                               : name == "up"    ? kUp
                               : name == "down"  ? kDown
                               : name == "left"  ? kLeft
                               : name == "right" ? kRight
                               : name == "save"  ? kSave
                                                 : 0;
    if (hash == 0) {
        return false;
    }
    Press(hash);
    return true;
}

void KeyDown(std::uint32_t key) {
    sim::TheGame().KeyDown(key);
}

void KeyUp(std::uint32_t key) {
    sim::TheGame().KeyUp(key);
}

namespace {

constexpr const char* kKeyboardClosed = "the naming keyboard is not open";

}  // namespace

std::string Type(const std::string& name) {
    if (!sim::NamingKeyboard().IsOpen()) {
        return kKeyboardClosed;
    }
    sim::NamingKeyboard().Finish(name);
    return {};
}

std::string TypeCancel() {
    if (!sim::NamingKeyboard().IsOpen()) {
        return kKeyboardClosed;
    }
    sim::NamingKeyboard().Cancel();
    return {};
}

std::string TypeNull() {
    if (!sim::NamingKeyboard().IsOpen()) {
        return kKeyboardClosed;
    }
    sim::NamingKeyboard().FinishNull();
    return {};
}

Player::Player(std::string library)
    : library_(library.empty() ? sim::DefaultPluginPath() : std::move(library)) {}

Player::Player(Linked linked) : linked_(linked) {}

Player::~Player() {
    Unload();
}

bool Player::Load() {
    Unload();
    error_.clear();
    if (linked_.routine != nullptr) {
        if (linked_.reset != nullptr) {
            linked_.reset();
        }
        sim::Game& game = sim::TheGame();
        game.HookScriptRegister(nullptr, linked_.routine);
        game.HookKeyboardRegister(linked_.handler);
        linkedRunning_ = true;
        return true;
    }
    plugin_ = std::make_unique<sim::Plugin>(library_);
    if (!plugin_->Loaded()) {
        error_ = plugin_->Error();
        return false;
    }
    return true;
}

void Player::Unload() {
    if (linkedRunning_) {
        sim::Game& game = sim::TheGame();
        game.StopScript();
        game.HookScriptUnregister(nullptr);
        game.HookKeyboardUnregister(linked_.handler);
        linkedRunning_ = false;
    }
    plugin_.reset();
}

bool Player::Restart() {
    Unload();
    return Load();
}

bool Player::Loaded() const {
    return linkedRunning_ || (plugin_ && plugin_->Loaded());
}

}  // namespace play
