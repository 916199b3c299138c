#include "support/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/misuse.h"

namespace fs = std::filesystem;

namespace testing_support {

GameFolder::GameFolder() {
    std::string pattern = (fs::temp_directory_path() / "garbolt-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    if (made == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder";
        return;
    }
    path_ = made;
    previous_ = fs::current_path().string();
    fs::current_path(path_);
}

GameFolder::~GameFolder() {
    if (path_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

void GameFolder::Write(const std::string& relative, const std::string& bytes) const {
    const fs::path target = fs::path(path_) / relative;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string GameFolder::Read(const std::string& relative) const {
    std::ifstream in(fs::path(path_) / relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool GameFolder::Exists(const std::string& relative) const {
    return fs::exists(fs::path(path_) / relative);
}

void GameFolder::Remove(const std::string& relative) const {
    std::error_code ignored;
    fs::remove_all(fs::path(path_) / relative, ignored);
}

std::vector<std::string> GameFolder::List(const std::string& relative) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(path_) / relative, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Session::Session(bool load) {
    sim::TheGame().Reset();
    if (load) {
        Load();
    }
}

Session::~Session() {
    Unload();
    ExpectNoMisuse();
}

void Session::Load() {
    plugin_ = std::make_unique<sim::Plugin>(sim::DefaultPluginPath());
    if (!plugin_->Loaded()) {
        ADD_FAILURE() << plugin_->Error();
    }
}

void Session::Unload() {
    plugin_.reset();
}

void Session::Restart() {
    Unload();
    Load();
}

std::vector<std::string> Session::Roles() {
    std::vector<std::string> roles;
    for (const sim::TraceEvent& event : game().Trace()) {
        if (event.kind == sim::TraceEvent::Kind::Native) {
            roles.push_back(event.unknown ? "unknown" : std::string(event.Name()));
        }
    }
    return roles;
}

std::vector<std::string> Session::NotificationTexts() const {
    std::vector<std::string> texts;
    for (const sim::Notification& note : sim::TheGame().Notifications()) {
        texts.push_back(note.text);
    }
    return texts;
}

}  // namespace testing_support
