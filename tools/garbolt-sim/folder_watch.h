// The files of a game folder's Garbolt/ as the runner reports them: a file
// counts as written when its bytes differ from those of the last look.
//
// Looking must cost next to nothing per frame, however large the files: a
// file is read only when what the system says of it (size, modification
// time, and on POSIX its inode and change time) differs from the last look,
// or when it was modified so recently that a second write within the same
// timestamp tick could not be told from the first. A read keeps a digest of
// the bytes, never the bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace garbolt_sim {

class FolderWatch {
  public:
    struct Change {
        std::string name;  // "Garbolt/<file>"
        bool removed = false;
        std::uint64_t bytes = 0;  // the new size, when written
    };

    explicit FolderWatch(std::string gameFolder) : folder_(std::move(gameFolder)) {}

    // The files written and removed since the last look: written ones first,
    // each group by name.
    std::vector<Change> Look();
    // Takes the folder as it is now, reporting nothing (the player's own file).
    void Accept() { Look(); }

  private:
    // What the system says of a file, without reading it.
    struct Stamp {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        std::uint64_t device = 0, inode = 0, changed = 0;  // POSIX only
        bool operator==(const Stamp& o) const {
            return size == o.size && modified == o.modified && device == o.device &&
                   inode == o.inode && changed == o.changed;
        }
    };
    struct Digest {
        std::uint64_t size = 0;
        std::uint64_t hash = 0;
        bool operator==(const Digest& o) const { return size == o.size && hash == o.hash; }
    };
    struct Known {
        Stamp stamp;
        Digest digest;
        bool settled = false;  // modified long enough before the look to trust the stamp
    };

    static std::optional<Stamp> StampOf(const std::filesystem::path& path);
    static std::optional<Digest> DigestOf(const std::filesystem::path& path);

    std::string folder_;
    std::map<std::string, Known> files_;
};

}  // namespace garbolt_sim
