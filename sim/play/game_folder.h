// A game folder: the folder the game runs in, with the plug-in's Garbolt/
// folder in it. Either the player's own, kept as it is, or a fresh temporary
// one (as a first start finds it, or bare for a test to fill), removed again
// when the object goes. Used by the tests, fuzzers, benchmarks
// and garbolt-sim alike; it needs nothing of the simulated game.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace play {

class GameFolder {
  public:
    enum class Files { Defaults, Bare };

    // An existing folder, kept as it is.
    static std::optional<GameFolder> Existing(const std::string& path, std::string* error);
    // A new folder `<prefix>-<process>-<n>` in the system's temporary folder
    // (or in `base`), holding nothing (Bare) or what the plug-in's first start
    // finds after an install (Defaults): the Garbolt/ folder without the
    // player's files, so the store is empty and the settings are the defaults
    // until the first save of each writes its file.
    static std::optional<GameFolder> Fresh(const std::string& prefix, Files files,
                                           std::string* error, const std::string& base = "");

    // For test programs: Fresh (and entered); the program ends with the
    // reason when that fails.
    static GameFolder FreshOrEnd(const std::string& prefix, Files files);
    static GameFolder EnterFresh(const std::string& prefix, Files files);

    GameFolder(GameFolder&& other) noexcept;
    GameFolder& operator=(GameFolder&& other) noexcept;
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;
    // Leaves the folder if it was entered, and removes a temporary one.
    ~GameFolder();

    const std::string& Path() const { return path_; }

    // Makes the folder the working directory, as the game's is, until the
    // object goes; false (with the reason) when it cannot.
    bool Enter(std::string* error);

    // Paths relative to the folder. Write makes parent folders.
    bool Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void Remove(const std::string& relative) const;
    // Names of everything in a sub-folder, sorted.
    std::vector<std::string> List(const std::string& relative) const;
    // The files of Garbolt/ by "Garbolt/<name>" with their bytes.
    std::map<std::string, std::string> Snapshot() const;

  private:
    GameFolder(std::string path, bool temporary) : path_(std::move(path)), temporary_(temporary) {}
    void Release();
    std::string path_;
    bool temporary_ = false;
    std::string entered_from_;  // the working directory before Enter, if entered
};

// Whole files by path (UTF-8 on every system).
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace play
