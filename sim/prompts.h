// The game's on-screen prompts.
//
// The prompt-create native hands out handles 1, 2, 3, ... in order. Each
// prompt keeps its control, its text, the setup calls made on it, whether it
// was finished, and the two state natives: the first sets whether it is
// shown, the second whether it is enabled. The validity native answers
// nonzero for every prompt made and not yet dropped, whatever its state, as
// the game's HUD::_UI_PROMPT_IS_VALID does. A prompt is active while it is
// finished, shown and enabled: when a frame begins, every active prompt whose
// control fires on that frame (sim::Controls()) completes.
//
// How long a completion lasts the game does not say, so both readings are
// modelled (PromptCompletion): latched, the default, answers it until the
// prompt's modes are restarted (HUD::_UI_PROMPT_RESTART_MODES); one-frame
// answers it on the frame of the completion only. The reading is chosen per
// run with SetReading, and by the GARBOLT_PROMPT_COMPLETION environment
// variable ("one-frame" or "latched") whenever the board is reset.
//
// The prompt-text native keeps the pointer behind the game string it is
// given: the text is read then, and again whenever a frame is drawn while the
// prompt is shown, so a plug-in text that dies before the prompt does shows
// up under ASan or as the wrong text.
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

// How long a prompt's completion lasts.
enum class PromptCompletion { Latched, OneFrame };

// "latched" or "one-frame" into `reading`; false for any other word.
bool ParsePromptCompletion(const std::string& word, PromptCompletion* reading);
const char* PromptCompletionName(PromptCompletion reading);
// GARBOLT_PROMPT_COMPLETION, latched when it is unset or another word.
PromptCompletion PromptCompletionFromEnvironment();

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
    std::string text;  // as last read
    bool hasText = false;
    const char* textSource = nullptr;  // the pointer the text is read through
    std::vector<PromptSetup> setups;
    bool finished = false;
    bool shown = false;    // first prompt-state native
    bool enabled = false;  // second prompt-state native
    // Completed and not restarted since; the frame of the last completion (0 = none since).
    bool completed = false;
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
    // What the completion native answers for the prompt on `frame`, by the reading.
    bool CompletedOn(std::int32_t handle, std::uint64_t frame) const;
    PromptCompletion Reading() const { return reading_; }
    void SetReading(PromptCompletion reading) { reading_ = reading; }

    // --- The game's side --------------------------------------------------
    // No prompts; the reading from the environment.
    void Reset();
    // A game restart ends every prompt the unloaded plug-in made; handles
    // keep counting, so an old handle never names a new prompt.
    void DropAll() { prompts_.clear(); }
    std::int32_t Create(std::uint64_t frame);
    PromptRecord* Mutable(std::int32_t handle);
    void BeginFrame(std::uint64_t frame);
    // The frame is drawn: every shown prompt's text is read again.
    void ReadShownTexts();

  private:
    std::map<std::int32_t, PromptRecord> prompts_;
    std::int32_t nextHandle_ = 1;
    PromptCompletion reading_ = PromptCompletion::Latched;
};

PromptBoard& Prompts();

// Registers the prompt natives and resets the board. Prompts complete from
// the controls, so this comes after RegisterControls.
void RegisterPrompts(Game& game);

}  // namespace sim
