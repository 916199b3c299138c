#include "folder_watch.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string_view>
#include <system_error>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace garbolt_sim {

namespace fs = std::filesystem;

namespace {

// Longer than the coarsest modification-time tick a game folder may sit on
// (FAT keeps two seconds): a file modified this recently may be written again
// without its stamp changing, so it is read at every look until it is older.
constexpr std::chrono::seconds kTimestampTick{3};

constexpr std::size_t kChunkBytes = 1 << 20;

}  // namespace

std::optional<FolderWatch::Stamp> FolderWatch::StampOf(const fs::path& path) {
    std::error_code ec;
    Stamp stamp;
    stamp.size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    stamp.modified = fs::last_write_time(path, ec);
    if (ec) {
        return std::nullopt;
    }
#if !defined(_WIN32)
    // A save puts a new file in the old one's place: a new inode, even when
    // size and time read the same.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.changed = static_cast<std::uint64_t>(status.st_ctim.tv_sec) * 1000000000u +
                    static_cast<std::uint64_t>(status.st_ctim.tv_nsec);
#endif
    return stamp;
}

std::optional<FolderWatch::Digest> FolderWatch::DigestOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    Digest digest;
    std::string chunk(kChunkBytes, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) {
            break;
        }
        // Chained chunk hashes: only ever compared within this run.
        const std::uint64_t part =
            std::hash<std::string_view>{}(std::string_view(chunk.data(), got));
        digest.hash = (digest.hash ^ part) * 0x100000001B3u + got;
        digest.size += got;
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return digest;
}

std::vector<FolderWatch::Change> FolderWatch::Look() {
    const fs::file_time_type now = fs::file_time_type::clock::now();
    std::map<std::string, Known> files;
    std::vector<Change> changes;
    std::error_code ec;
    const fs::path folder = fs::u8path(folder_) / "Garbolt";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) {
            continue;
        }
        const std::optional<Stamp> stamp = StampOf(it->path());
        if (!stamp) {
            continue;
        }
        const std::string name = "Garbolt/" + it->path().filename().u8string();
        const auto before = files_.find(name);
        Known known;
        if (before != files_.end() && before->second.settled && before->second.stamp == *stamp) {
            known.digest = before->second.digest;
        } else if (const std::optional<Digest> digest = DigestOf(it->path())) {
            known.digest = *digest;
            if (before == files_.end() || !(before->second.digest == *digest)) {
                changes.push_back({name, false, digest->size});
            }
        } else {
            continue;  // unreadable now: as good as gone
        }
        known.stamp = *stamp;
        known.settled = stamp->modified < now - kTimestampTick;
        files.emplace(name, known);
    }
    std::sort(changes.begin(), changes.end(),
              [](const Change& a, const Change& b) { return a.name < b.name; });
    for (const auto& [name, known] : files_) {
        if (files.count(name) == 0) {
            changes.push_back({name, true, 0});
        }
    }
    files_ = std::move(files);
    return changes;
}

}  // namespace garbolt_sim
