#include "sim/controls.h"

#include "host/native_hashes.h"
#include "sim/game.h"
#include "sim/modules.h"

namespace sim {

using game_natives::kControlNative;
using game_natives::kControlSuppressionNative;
using game_natives::kFirstOpenChordNative;
using game_natives::kInputSourceNative;
using game_natives::kMenuStateNative;
using game_natives::kSecondOpenChordNative;
using game_natives::kSideControlNative;

ControlInput& Controls() {
    static ControlInput controls;
    return controls;
}

void ControlInput::ReleaseAll() {
    pressed_.clear();
    held_.clear();
}

bool ControlInput::IsSuppressed(std::int32_t group, std::uint32_t control) const {
    for (const Suppression& entry : suppressed_) {
        if (entry.group == group && entry.control == control) {
            return true;
        }
    }
    return false;
}

bool ControlInput::FiresIn(std::int32_t group, std::uint32_t control) const {
    auto found = firing_.find(control);
    return found != firing_.end() && found->second == group;
}

bool ControlInput::Disabled(std::uint32_t control) const {
    return disabled_.count(control) != 0 || (allDisabled_ && enabled_.count(control) == 0);
}

void ControlInput::Enable(std::uint32_t control) {
    disabled_.erase(control);
    if (allDisabled_) {
        enabled_.insert(control);
    }
}

std::optional<std::int32_t> ControlInput::LastMenuState() const {
    if (menuStates_.empty()) {
        return std::nullopt;
    }
    return menuStates_.back().state;
}

void ControlInput::Reset() {
    *this = ControlInput();
}

void ControlInput::BeginFrame(std::uint64_t) {
    const std::int32_t deviceGroup = gamepad_ ? kGamepadGroup : kKeyboardGroup;
    firing_.clear();
    for (const Presses* presses : {&held_, &pressed_}) {
        for (const auto& [control, group] : *presses) {
            firing_[control] = group.value_or(deviceGroup);
        }
    }
    pressed_.clear();
    suppressed_.clear();
    disabled_.clear();
    allDisabled_ = false;
    enabled_.clear();
}

void ControlInput::RecordSuppression(const Suppression& suppression) {
    if (suppressed_.empty()) {
        ++framesWithSuppression_;
    }
    suppressed_.push_back(suppression);
    disabled_.insert(suppression.control);
}

void RegisterControls(Game& game) {
    ControlInput& controls = Controls();
    controls.Reset();

    game.RegisterNative(kInputSourceNative,
                        [](NativeCall& call) { call.ReturnInt(Controls().Gamepad() ? 0 : 1); });
    // The IS_DISABLED_* natives answer a disabled control too; the others do not.
    auto query = [](NativeCall& call) {
        const ControlInput& controls = Controls();
        call.ReturnInt(controls.FiresIn(call.Int(0), call.Uint(1)) ? 1 : 0);
    };
    auto enabledQuery = [](NativeCall& call) {
        const ControlInput& controls = Controls();
        const std::uint32_t control = call.Uint(1);
        call.ReturnInt(controls.FiresIn(call.Int(0), control) && !controls.Disabled(control) ? 1
                                                                                             : 0);
    };
    game.RegisterNative(kFirstOpenChordNative, query);
    game.RegisterNative(kSecondOpenChordNative, enabledQuery);
    game.RegisterNative(kControlNative, enabledQuery);
    game.RegisterNative(kSideControlNative, query);

    game.RegisterNative(kControlSuppressionNative, [&game](NativeCall& call) {
        Controls().RecordSuppression({game.FrameNumber(), call.Int(0), call.Uint(1), call.Int(2)});
    });
    game.RegisterNative(kMenuStateNative, [&game](NativeCall& call) {
        Controls().RecordMenuState({game.FrameNumber(), call.Int(0)});
    });

    game.AddFrameHook([&game] {
        Controls().BeginFrame(game.FrameNumber());
        game.SetGlobal(kMenuHudGlobal, 0);
    });
}

}  // namespace sim
