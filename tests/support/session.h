// A fresh simulated game in a fresh game folder with the plug-in loaded, for
// one test. The folder holds Garbolt/ with whatever files the test writes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/game.h"
#include "sim/play/game_folder.h"
#include "sim/play/player.h"
#include "sim/plugin.h"

namespace testing_support {

// A fresh bare temporary folder (no Garbolt/ yet: the test writes what it
// needs) that is the working directory for the test's life.
class GameFolder : public play::GameFolder {
  public:
    GameFolder();
};

class Session {
  public:
    // Resets the game, then loads the plug-in unless told not to. The end of
    // the session fails the test on any misuse of a native.
    explicit Session(bool load = true);
    ~Session();

    sim::Game& game() { return sim::TheGame(); }
    GameFolder& folder() { return folder_; }
    void Load();
    void Unload() { player_.Unload(); }
    // Unload and load again, keeping the game's files and state.
    void Restart();
    bool Loaded() const { return player_.Loaded(); }

    // Natives recorded since the last ClearTrace, as "NAMESPACE::NAME".
    std::vector<std::string> Roles();
    std::vector<std::string> NotificationTexts() const;

  private:
    GameFolder folder_;
    play::Player player_;
};

}  // namespace testing_support
