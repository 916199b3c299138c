// A fresh simulated game in a fresh game folder with the plug-in loaded, for
// one test. The folder holds Garbolt/ with whatever files the test writes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/game.h"
#include "sim/plugin.h"

namespace testing_support {

// A temporary folder that becomes the working directory for the test's life.
class GameFolder {
  public:
    GameFolder();
    ~GameFolder();
    const std::string& Path() const { return path_; }
    // Writes bytes to a path relative to the folder (creating parent folders).
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void Remove(const std::string& relative) const;
    // Names of everything in a sub-folder, sorted.
    std::vector<std::string> List(const std::string& relative) const;

  private:
    std::string path_;
    std::string previous_;
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
    void Unload();
    // Unload and load again, keeping the game's files and state.
    void Restart();
    bool Loaded() const { return plugin_ && plugin_->Loaded(); }

    // Natives recorded since the last ClearTrace, as "NAMESPACE::NAME".
    std::vector<std::string> Roles();
    std::vector<std::string> NotificationTexts() const;

  private:
    GameFolder folder_;
    std::unique_ptr<sim::Plugin> plugin_;
};

}  // namespace testing_support
