#include "sim/controls.h"

#include "sim/game.h"
#include "sim/modules.h"

namespace sim {

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
    firing_ = held_;
    firing_.insert(pressed_.begin(), pressed_.end());
    pressed_.clear();
    suppressed_.clear();
}

void ControlInput::RecordSuppression(const Suppression& suppression) {
    if (suppressed_.empty()) {
        ++framesWithSuppression_;
    }
    suppressed_.push_back(suppression);
}

void RegisterControls(Game& game) {
    ControlInput& controls = Controls();
    controls.Reset();

    game.RegisterNative(kInputSourceNative,
                        [](NativeCall& call) { call.ReturnInt(Controls().Gamepad() ? 0 : 1); });
    auto query = [](NativeCall& call) { call.ReturnInt(Controls().Fires(call.Uint(1)) ? 1 : 0); };
    game.RegisterNative(kFirstOpenChordNative, query);
    game.RegisterNative(kSecondOpenChordNative, query);
    game.RegisterNative(kControlNative, query);
    game.RegisterNative(kSideControlNative, query);

    game.RegisterNative(kControlSuppressionNative,
                        [&game](NativeCall& call) {
                            Controls().RecordSuppression(
                                {game.FrameNumber(), call.Int(0), call.Uint(1), call.Int(2)});
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
