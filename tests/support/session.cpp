#include "support/session.h"

#include <gtest/gtest.h>

#include "support/misuse.h"

namespace testing_support {

GameFolder::GameFolder()
    : play::GameFolder(EnterFresh("garbolt-test", play::GameFolder::Files::Bare)) {}

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
    if (!player_.Load()) {
        ADD_FAILURE() << player_.Error();
    }
}

void Session::Restart() {
    if (!player_.Restart()) {
        ADD_FAILURE() << player_.Error();
    }
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
