// The game folder a run plays in: the player's own (--game-dir) or a fresh
// temporary one holding the release's default Garbolt/ files, removed again
// when the run ends. Also the few file helpers the runner needs, with the
// platform-specific parts kept here.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace garbolt_sim {

// The release's default files and the default tour, built into the program.
extern const char kDefaultSavedOutfits[];
extern const char kDefaultSettings[];
extern const char kDefaultTour[];

class GameFolder {
  public:
    // An existing folder, kept as it is.
    static std::optional<GameFolder> Existing(const std::string& path, std::string* error);
    // A new temporary folder with Garbolt/SavedOutfits.xml and Garbolt/Garbolt.ini.
    static std::optional<GameFolder> Fresh(std::string* error);

    GameFolder(GameFolder&& other) noexcept;
    GameFolder& operator=(GameFolder&& other) noexcept;
    ~GameFolder();

    const std::string& Path() const { return path_; }

    // The files of Garbolt/ by name with their bytes: what a frame left.
    std::map<std::string, std::string> Snapshot() const;

  private:
    GameFolder(std::string path, bool temporary) : path_(std::move(path)), temporary_(temporary) {}
    std::string path_;
    bool temporary_ = false;
};

bool ReadWholeFile(const std::string& path, std::string* bytes);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace garbolt_sim
