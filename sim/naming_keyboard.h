// The game's on-screen keyboard in the simulated game. The plug-in opens it
// with a title label, an initial text and a maximum length; while the player
// types the status native answers 0, after Finish 1 (the result native then
// gives the text, or null after FinishNull), after Cancel 2. A keyboard that
// is not shown answers 3. The text the result native hands out is the game's
// own storage and is gone on the next frame. The keyboard's box is an edit
// field, not drawn markup: it shows the initial text as it is, and what the
// player confirms comes back as it was typed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sim {

class Game;

class NamingKeyboardState {
  public:
    enum class Status { Hidden, Typing, Finished, Cancelled };

    bool IsOpen() const { return status_ == Status::Typing; }
    Status CurrentStatus() const { return status_; }
    int Opens() const { return opens_; }
    // What the last opening asked for.
    const std::string& Title() const { return title_; }
    const std::string& InitialText() const { return initialText_; }
    std::int32_t MaxLength() const { return maxLength_; }

    // The player confirms this text; like the game's keyboard it keeps at most
    // the maximum length in characters (UTF-8 sequences count as one).
    void Finish(const std::string& text);
    // A keyboard that hands back more than it was asked for.
    void FinishRaw(const std::string& text);
    // Confirmed, but the game hands back a null text.
    void FinishNull();
    // The player leaves the keyboard without a result.
    void Cancel();

    // Whether the result storage of an earlier frame has been reclaimed.
    bool ResultReclaimed() const { return !result_; }

  private:
    friend void RegisterNamingKeyboardNatives(Game& game);

    Status status_ = Status::Hidden;
    int opens_ = 0;
    std::string title_;
    std::string initialText_;
    std::int32_t maxLength_ = 0;
    bool nullResult_ = false;
    std::string pending_;
    std::unique_ptr<char[]> result_;  // handed out by the result native
    std::uint64_t resultFrame_ = 0;
};

// The keyboard of the simulated game; reset with the game.
NamingKeyboardState& NamingKeyboard();

void RegisterNamingKeyboardNatives(Game& game);

}  // namespace sim
