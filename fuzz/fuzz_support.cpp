#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <pugixml.hpp>

#include "host/keyboard.h"
#include "host/script.h"
#include "host/state.h"
#include "sim/play/player.h"

namespace fuzz_support {

void PrepareGameFolder(const std::string& root, const std::string& savedOutfits,
                       const std::string& settings) {
    mkdir((root + "/Garbolt").c_str(), 0755);
    if (!WriteBytes(root + "/Garbolt/SavedOutfits.xml", savedOutfits) ||
        !WriteBytes(root + "/Garbolt/Garbolt.ini", settings) || chdir(root.c_str()) != 0) {
        Broken("cannot prepare the game folder " + root);
    }
}

namespace {

play::Player& LinkedPlugin() {
    static play::Player player(
        play::Player::Linked{ScriptMain, OnKeyboardMessage, ResetPluginState});
    return player;
}

}  // namespace

void StartPlugin() {
    LinkedPlugin().Load();
}

void StopPlugin() {
    LinkedPlugin().Unload();
}

bool WellFormedXml(const std::string& bytes) {
    pugi::xml_document document;
    return document.load_buffer(bytes.data(), bytes.size());
}

}  // namespace fuzz_support
