#include "game_folder.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace garbolt_sim {

namespace fs = std::filesystem;

namespace {

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *bytes = content.str();
    return !in.bad();
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

std::optional<GameFolder> GameFolder::Existing(const std::string& path, std::string* error) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::u8path(path), ec);
    if (ec || !fs::is_directory(absolute, ec)) {
        *error = "the game folder " + path + " does not exist";
        return std::nullopt;
    }
    return GameFolder(absolute.u8string(), false);
}

std::optional<GameFolder> GameFolder::Fresh(std::string* error) {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) {
        *error = "no temporary folder: " + ec.message();
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path candidate =
            base / ("garbolt-sim-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt));
        if (!fs::create_directory(candidate, ec)) {
            continue;
        }
        GameFolder folder(candidate.u8string(), true);
        fs::create_directory(candidate / "Garbolt", ec);
        if (ec ||
            !WriteWholeFile((candidate / "Garbolt" / "SavedOutfits.xml").u8string(),
                            kDefaultSavedOutfits) ||
            !WriteWholeFile((candidate / "Garbolt" / "Garbolt.ini").u8string(), kDefaultSettings)) {
            *error = "cannot write the default files into " + candidate.u8string();
            return std::nullopt;
        }
        return folder;
    }
    *error = "cannot make a temporary game folder in " + base.u8string();
    return std::nullopt;
}

GameFolder::GameFolder(GameFolder&& other) noexcept
    : path_(std::move(other.path_)), temporary_(other.temporary_) {
    other.temporary_ = false;
}

GameFolder& GameFolder::operator=(GameFolder&& other) noexcept {
    if (this != &other) {
        if (temporary_) {
            std::error_code ec;
            fs::remove_all(fs::u8path(path_), ec);
        }
        path_ = std::move(other.path_);
        temporary_ = other.temporary_;
        other.temporary_ = false;
    }
    return *this;
}

GameFolder::~GameFolder() {
    if (temporary_) {
        std::error_code ec;
        fs::remove_all(fs::u8path(path_), ec);
    }
}

std::map<std::string, std::string> GameFolder::Snapshot() const {
    std::map<std::string, std::string> files;
    std::error_code ec;
    const fs::path folder = fs::u8path(path_) / "Garbolt";
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) {
            continue;
        }
        std::string bytes;
        if (ReadWholeFile(it->path().u8string(), &bytes)) {
            files["Garbolt/" + it->path().filename().u8string()] = std::move(bytes);
        }
    }
    return files;
}

}  // namespace garbolt_sim
