#include "sim/play/game_folder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

#include "sim/play/default_files.h"

namespace play {

namespace fs = std::filesystem;

namespace {

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

fs::path Under(const std::string& folder, const std::string& relative) {
    return fs::u8path(folder) / fs::u8path(relative);
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

std::optional<GameFolder> GameFolder::Fresh(const std::string& prefix, Files files,
                                            std::string* error, const std::string& base) {
    std::error_code ec;
    const fs::path parent = base.empty() ? fs::temp_directory_path(ec) : fs::u8path(base);
    if (ec) {
        *error = "no temporary folder: " + ec.message();
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const fs::path candidate =
            parent / (prefix + "-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt));
        if (!fs::create_directory(candidate, ec)) {
            continue;
        }
        GameFolder folder(candidate.u8string(), true);
        if (files == Files::Defaults && !fs::create_directory(candidate / "Garbolt", ec)) {
            *error = "cannot make the Garbolt folder in " + candidate.u8string();
            return std::nullopt;
        }
        return folder;
    }
    *error = "cannot make a temporary game folder in " + parent.u8string();
    return std::nullopt;
}

namespace {

[[noreturn]] void End(const std::string& error) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
}

}  // namespace

GameFolder GameFolder::FreshOrEnd(const std::string& prefix, Files files) {
    std::string error;
    std::optional<GameFolder> made = Fresh(prefix, files, &error);
    if (!made) {
        End(error);
    }
    return std::move(*made);
}

GameFolder GameFolder::EnterFresh(const std::string& prefix, Files files) {
    GameFolder folder = FreshOrEnd(prefix, files);
    std::string error;
    if (!folder.Enter(&error)) {
        End(error);
    }
    return folder;
}

GameFolder::GameFolder(GameFolder&& other) noexcept
    : path_(std::move(other.path_)),
      temporary_(other.temporary_),
      entered_from_(std::move(other.entered_from_)) {
    other.temporary_ = false;
    other.entered_from_.clear();
}

GameFolder& GameFolder::operator=(GameFolder&& other) noexcept {
    if (this != &other) {
        Release();
        path_ = std::move(other.path_);
        temporary_ = other.temporary_;
        entered_from_ = std::move(other.entered_from_);
        other.temporary_ = false;
        other.entered_from_.clear();
    }
    return *this;
}

GameFolder::~GameFolder() {
    Release();
}

void GameFolder::Release() {
    std::error_code ec;
    if (!entered_from_.empty()) {
        fs::current_path(fs::u8path(entered_from_), ec);
        entered_from_.clear();
    }
    if (temporary_) {
        fs::remove_all(fs::u8path(path_), ec);
        temporary_ = false;
    }
}

bool GameFolder::Enter(std::string* error) {
    std::error_code ec;
    const std::string before = fs::current_path(ec).u8string();
    if (!ec) {
        fs::current_path(fs::u8path(path_), ec);
    }
    if (ec) {
        *error = "cannot enter the game folder: " + ec.message();
        return false;
    }
    if (entered_from_.empty()) {
        entered_from_ = before;
    }
    return true;
}

bool GameFolder::Write(const std::string& relative, const std::string& bytes) const {
    const fs::path target = Under(path_, relative);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    return WriteWholeFile(target.u8string(), bytes);
}

std::string GameFolder::Read(const std::string& relative) const {
    std::string bytes;
    ReadWholeFile(Under(path_, relative).u8string(), &bytes);
    return bytes;
}

bool GameFolder::Exists(const std::string& relative) const {
    std::error_code ec;
    return fs::exists(Under(path_, relative), ec);
}

void GameFolder::Remove(const std::string& relative) const {
    std::error_code ec;
    fs::remove_all(Under(path_, relative), ec);
}

std::vector<std::string> GameFolder::List(const std::string& relative) const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(Under(path_, relative), ec), end; !ec && it != end;
         it.increment(ec)) {
        names.push_back(it->path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
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

}  // namespace play
