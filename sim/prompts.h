// The game's on-screen prompts.
//
// The prompt-create native hands out handles 1, 2, 3, ... in order. Each
// prompt keeps its control, its text (read from the game string given to the
// prompt-text native), the setup calls made on it, whether it was finished,
// and the two state natives: the first sets whether it is shown, the second
// whether it is enabled. A prompt is active while it is finished, shown and
// enabled. When a frame begins, every active prompt whose control fires on
// that frame (sim::Controls()) completes: the prompt-completed native answers
// nonzero for it during that frame only. The prompt-clear native resets a
// prompt's completion.
//
//   const sim::PromptRecord* select = sim::Prompts().FindByText("Select");
//   select->Active();  select->shown;  select->enabled;  select->control;
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

class Game;

constexpr std::uint64_t kPromptCreateNative = 0x04F97DE45A519419;
constexpr std::uint64_t kPromptControlNative = 0xB5352B7494A08258;
constexpr std::uint64_t kPromptTextNative = 0x5DD02A8318420DD7;
constexpr std::uint64_t kPromptPriorityNative = 0xCA24F528D0D16289;  // (handle, 2)
constexpr std::uint64_t kPromptModeNative = 0xCC6656799977741B;      // (handle, 1)
constexpr std::uint64_t kPromptGroupNative = 0x560E76D5E2E1803F;     // (handle, 34, 1)
constexpr std::uint64_t kPromptFinishNative = 0xF7AA2696A22AD8B9;
constexpr std::uint64_t kFirstPromptStateNative = 0x71215ACCFDE075EE;
constexpr std::uint64_t kSecondPromptStateNative = 0x8A0FB4D03A630D21;
constexpr std::uint64_t kPromptActiveNative = 0x347469FBDD1589A9;
constexpr std::uint64_t kPromptCompletedNative = 0xC92AC953F0A982AE;
constexpr std::uint64_t kPromptClearNative = 0xDC6C55DFA2C24EE5;

// One call of a setup native on a prompt: its hash and the arguments after the handle.
struct PromptSetup {
    std::uint64_t native = 0;
    std::vector<std::int32_t> args;
};

struct PromptRecord {
    std::int32_t handle = 0;
    std::uint64_t createdFrame = 0;
    std::uint32_t control = 0;
    bool hasControl = false;
    std::string text;
    bool hasText = false;
    std::vector<PromptSetup> setups;
    bool finished = false;
    bool shown = false;    // first prompt-state native
    bool enabled = false;  // second prompt-state native
    // Frame on which it last completed; 0 = not since the last clear.
    std::uint64_t completedFrame = 0;
    std::int32_t completions = 0;
    std::int32_t clears = 0;

    bool Active() const { return finished && shown && enabled; }
};

class PromptBoard {
  public:
    // Every prompt made since the game was reset, by handle.
    const std::map<std::int32_t, PromptRecord>& All() const { return prompts_; }
    const PromptRecord* Find(std::int32_t handle) const;
    // The most recently made prompt with this text, or null.
    const PromptRecord* FindByText(const std::string& text) const;
    bool CompletedOn(std::int32_t handle, std::uint64_t frame) const;

    // --- The game's side --------------------------------------------------
    void Reset() { *this = PromptBoard(); }
    // A game restart ends every prompt the unloaded plug-in made; handles
    // keep counting, so an old handle never names a new prompt.
    void DropAll() { prompts_.clear(); }
    std::int32_t Create(std::uint64_t frame);
    PromptRecord* Mutable(std::int32_t handle);
    void BeginFrame(std::uint64_t frame);

  private:
    std::map<std::int32_t, PromptRecord> prompts_;
    std::int32_t nextHandle_ = 1;
};

PromptBoard& Prompts();

// Registers the prompt natives and resets the board. Prompts complete from
// the controls, so this comes after RegisterControls.
void RegisterPrompts(Game& game);

}  // namespace sim
