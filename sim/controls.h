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
// pads between script frames), so they are made before RunFrame. The four
// query natives (control, side-control and the two open-chord natives) answer
// nonzero for a control that fires this frame, whatever control group is
// asked. Suppressing a control lasts only for the frame it is called in and
// the menu reads its controls before it suppresses, so suppression is recorded
// and does not silence the queries.
//
// Global 1900699 is the game's own per-frame flag: the game clears it to 0 at
// the start of every frame, so after a frame it reads 2 exactly when the
// plug-in wrote 2 during that frame (and the trace shows the write).
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace sim {

class Game;

constexpr std::uint64_t kInputSourceNative = 0xA571D46727E2B718;
constexpr std::uint64_t kFirstOpenChordNative = 0xE2587F8CBBD87B1D;
constexpr std::uint64_t kSecondOpenChordNative = 0x50F940259D3841E6;
constexpr std::uint64_t kControlNative = 0x580417101DDB492F;
constexpr std::uint64_t kSideControlNative = 0x91AEF906BCA88877;
constexpr std::uint64_t kControlSuppressionNative = 0xFE99B66D079CF6BC;
constexpr std::uint64_t kMenuStateNative = 0x1B3DA717B9AFF828;
constexpr std::int32_t kMenuHudGlobal = 1900699;

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

    // The control fires on the next frame only.
    void Press(std::uint32_t control) { pressed_.insert(control); }
    // The control fires on every frame from the next one until Release.
    void Hold(std::uint32_t control) { held_.insert(control); }
    void Release(std::uint32_t control) { held_.erase(control); }
    void ReleaseAll();

    // Whether the control fires on the frame in progress (or, between frames,
    // on the frame that last ran).
    bool Fires(std::uint32_t control) const { return firing_.count(control) != 0; }

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
    void RecordMenuState(const MenuStateCall& call) { menuStates_.push_back(call); }

  private:
    bool gamepad_ = false;
    std::unordered_set<std::uint32_t> pressed_;
    std::unordered_set<std::uint32_t> held_;
    std::unordered_set<std::uint32_t> firing_;
    std::vector<Suppression> suppressed_;
    std::uint64_t framesWithSuppression_ = 0;
    std::vector<MenuStateCall> menuStates_;
};

// The controls of the one simulated game.
ControlInput& Controls();

// Registers the control natives, the suppression and menu-state natives, and
// the per-frame work; resets the state above.
void RegisterControls(Game& game);

}  // namespace sim
