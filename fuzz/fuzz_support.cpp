#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <pugixml.hpp>

#include "host/keyboard.h"
#include "host/script.h"
#include "host/state.h"
#include "sim/game.h"

namespace fuzz_support {

const char kDefaultSavedOutfits[] = "<?xml version=\"1.0\"?>\n<Garbolt />\n";
const char kDefaultSettings[] = "[Garbolt]\r\nbUseCamera=0\r\nbDrawLight=0\r\niMenuKey=120\r\n";

void PrepareGameFolder(const std::string& root, const std::string& savedOutfits,
                       const std::string& settings) {
    mkdir((root + "/Garbolt").c_str(), 0755);
    if (!WriteBytes(root + "/Garbolt/SavedOutfits.xml", savedOutfits) ||
        !WriteBytes(root + "/Garbolt/Garbolt.ini", settings) || chdir(root.c_str()) != 0) {
        Broken("cannot prepare the game folder " + root);
    }
}

void StartPlugin() {
    ::ResetPluginState();
    sim::Game& game = sim::TheGame();
    game.HookScriptRegister(nullptr, ScriptMain);
    game.HookKeyboardRegister(OnKeyboardMessage);
}

void StopPlugin() {
    sim::Game& game = sim::TheGame();
    game.StopScript();
    game.HookScriptUnregister(nullptr);
    game.HookKeyboardUnregister(OnKeyboardMessage);
}

bool WellFormedXml(const std::string& bytes) {
    pugi::xml_document document;
    return document.load_buffer(bytes.data(), bytes.size());
}

}  // namespace fuzz_support
