// The game's controls as the menu queries them, the suppression of controls,
// and the menu-state native.
//
// A test or scenario decides which controls fire on a frame and where input
// comes from:
//
//   sim::Controls().SetGamepad(true);          // input-source native answers 0
//   sim::Controls().Press(0x43DBF61F);         // fires on the next frame only
//   sim::Controls().Hold(0x17BEC168);          // fires on every frame until Release
//   sim::TheGame().RunFrame();
//
// Presses and holds take effect when the next frame begins (the game reads its
// pads between script frames), so they are made before RunFrame.
//
// Control groups. A control fires in the group of the device it came from:
// group 0 for keyboard and mouse, group 2 for a gamepad (the device when the
// frame begins, unless the press names a group). A query in any other group
// answers 0. What the game does with a query's group is not public; this is
// the strictest reading under which a plug-in that follows the input-source
// native still works.
//
// Suppression. The control-suppression native (DISABLE_CONTROL_ACTION) and
// the controls-off native (DISABLE_ALL_CONTROL_ACTIONS, undone for single
// controls by the control-on native, ENABLE_CONTROL_ACTION) disable controls
// from the call to the end of the frame, in every group (the public reference
// notes that the groups give the same result). A disabled control answers
// only to the IS_DISABLED_* queries (the side-control native,
// IS_DISABLED_CONTROL_JUST_PRESSED, and the first open-chord native,
// IS_DISABLED_CONTROL_PRESSED), which answer whether or not it is disabled;
// the control native (IS_CONTROL_JUST_PRESSED) and the second open-chord
// native (IS_CONTROL_JUST_RELEASED) answer 0 for it. The game clears the
// disabling when the next frame begins, so reads before the frame's
// suppression see the control.
//
// Global 1900699 is the game's own per-frame flag: the game clears it to 0 at
// the start of every frame, so after a frame it reads 2 exactly when the
// plug-in wrote 2 during that frame (and the trace shows the write).
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace sim {

class Game;

constexpr std::int32_t kMenuHudGlobal = 1900699;
// The groups controls fire in: keyboard and mouse, and a gamepad.
constexpr std::int32_t kKeyboardGroup = 0;
constexpr std::int32_t kGamepadGroup = 2;

// One call of the control-suppression native.
struct Suppression {
    std::uint64_t frame = 0;
    std::int32_t group = 0;
    std::uint32_t control = 0;
    std::int32_t flag = 0;  // the third argument, 0 from the menu
};

// One call of the menu-state native: 0 when the menu opens, 1 when it closes.
struct MenuStateCall {
    std::uint64_t frame = 0;
    std::int32_t state = 0;
};

class ControlInput {
  public:
    // Gamepad input makes the input-source native answer 0; keyboard and
    // mouse (the default) make it answer 1.
    void SetGamepad(bool gamepad) { gamepad_ = gamepad; }
    bool Gamepad() const { return gamepad_; }

    // The control fires on the next frame only, in `group` or in the group
    // of the device at that frame.
    void Press(std::uint32_t control, std::optional<std::int32_t> group = std::nullopt) {
        pressed_[control] = group;
    }
    // The control fires on every frame from the next one until Release.
    void Hold(std::uint32_t control, std::optional<std::int32_t> group = std::nullopt) {
        held_[control] = group;
    }
    void Release(std::uint32_t control) { held_.erase(control); }
    void ReleaseAll();

    // Whether the control fires on the frame in progress (or, between frames,
    // on the frame that last ran), in any group or in the one given.
    bool Fires(std::uint32_t control) const { return firing_.count(control) != 0; }
    bool FiresIn(std::int32_t group, std::uint32_t control) const;
    // Whether the control is disabled at this point of the frame.
    bool Disabled(std::uint32_t control) const;

    // Suppression calls of the frame in progress (or the last frame run).
    const std::vector<Suppression>& Suppressed() const { return suppressed_; }
    bool IsSuppressed(std::int32_t group, std::uint32_t control) const;
    // How many frames since the last reset had at least one suppression call.
    std::uint64_t FramesWithSuppression() const { return framesWithSuppression_; }

    // Every menu-state call since the game was reset, in order.
    const std::vector<MenuStateCall>& MenuStates() const { return menuStates_; }
    std::optional<std::int32_t> LastMenuState() const;

    // --- The game's side --------------------------------------------------
    void Reset();
    void BeginFrame(std::uint64_t frame);
    void RecordSuppression(const Suppression& suppression);
    // The controls-off and control-on natives.
    void DisableAll() {
        allDisabled_ = true;
        enabled_.clear();
    }
    void Enable(std::uint32_t control);
    void RecordMenuState(const MenuStateCall& call) { menuStates_.push_back(call); }

  private:
    using Presses = std::unordered_map<std::uint32_t, std::optional<std::int32_t>>;
    bool gamepad_ = false;
    Presses pressed_;
    Presses held_;
    std::unordered_map<std::uint32_t, std::int32_t> firing_;  // control to its group
    std::vector<Suppression> suppressed_;
    // This frame's disabling: single controls, or all but the ones enabled again.
    std::unordered_set<std::uint32_t> disabled_;
    bool allDisabled_ = false;
    std::unordered_set<std::uint32_t> enabled_;
    std::uint64_t framesWithSuppression_ = 0;
    std::vector<MenuStateCall> menuStates_;
};

// The controls of the one simulated game.
ControlInput& Controls();

// Registers the control natives, the suppression and menu-state natives, and
// the per-frame work; resets the state above.
void RegisterControls(Game& game);

}  // namespace sim
