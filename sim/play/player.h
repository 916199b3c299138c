// The player of the simulated game: presses the game's controls and keys,
// types names on the game's naming keyboard, and starts, ends and restarts
// the plug-in as the game does. Nothing here runs a frame: the caller runs
// frames its own way (the tests drive the script by hand, garbolt-sim
// reports each one). Programs that use it link the simulated game themselves.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/controls.h"
#include "host/platform.h"

namespace sim {
class Plugin;
}

namespace play {

// The game's controls and the keys the plug-in listens for.
namespace controls {

using game_controls::kBack;
using game_controls::kDown;
using game_controls::kLeft;
using game_controls::kRight;
using game_controls::kSelect;
using game_controls::kUp;
constexpr std::uint32_t kSave = game_controls::kSaveOutfit;  // the save and delete prompt's control
// The gamepad's chord that opens the menu: both on one frame.
constexpr std::uint32_t kChordFirst = game_controls::kOpenChordFirst;
constexpr std::uint32_t kChordSecond = game_controls::kOpenChordSecond;

// Virtual-key codes.
constexpr std::uint32_t kF9 = 120;
constexpr std::uint32_t kF10 = 121;
constexpr std::uint32_t kShift = 16;

}  // namespace controls

// Fires the control on the next frame, as a pad or mouse gives it.
void Press(std::uint32_t control);
// A control by the name the scenario language gives it (select, back, up,
// down, left, right, save, open-chord); false for a name it does not know.
bool PressNamed(const std::string& name);

// A key message as the hook delivers it to the keyboard handler.
void KeyDown(std::uint32_t key);
void KeyUp(std::uint32_t key);

// The three ways to end the naming keyboard: the name confirmed, left
// without a name, or confirmed with the game handing back no text. Each
// answers an empty text when done, or why it could not be.
std::string Type(const std::string& name);
std::string TypeCancel();
std::string TypeNull();

// The plug-in as the game holds it: a library loaded like the hook's loader
// does (every load a fresh process state), or the plug-in linked into this
// program, registered with the game by hand and reset before each start.
class Player {
  public:
    struct Linked {
        platform::ScriptRoutine routine = nullptr;
        platform::KeyboardHandler handler = nullptr;
        void (*reset)() = nullptr;
    };

    // The library at `library` (empty: the plug-in beside the program).
    explicit Player(std::string library = std::string());
    explicit Player(Linked linked);
    ~Player();  // unloads
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loads (or, linked, resets and registers) the plug-in; false with Error().
    bool Load();
    // Ends the script routine and unloads; nothing when not loaded.
    void Unload();
    // A game restart: unload, then load again; the game folder's files stay.
    bool Restart();
    bool Loaded() const;
    const std::string& Error() const { return error_; }
    const std::string& Library() const { return library_; }

  private:
    std::string library_;
    Linked linked_;
    std::unique_ptr<sim::Plugin> plugin_;
    bool linkedRunning_ = false;
    std::string error_;
};

}  // namespace play
