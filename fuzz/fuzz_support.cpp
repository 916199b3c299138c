#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>

#include "host/keyboard.h"
#include "host/script.h"
#include "host/state.h"
#include "sim/game.h"

namespace fuzz_support {

const char kDefaultSavedOutfits[] = "<?xml version=\"1.0\"?>\n<Garbolt />\n";
const char kDefaultSettings[] = "[Garbolt]\r\nbUseCamera=0\r\nbDrawLight=0\r\niMenuKey=120\r\n";

std::string ScratchFolder(const std::string& name) {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/garbolt-fuzz-" + name + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        Broken("cannot make a scratch folder");
    }
    return pattern;
}

void PrepareGameFolder(const std::string& root, const std::string& savedOutfits,
                       const std::string& settings) {
    mkdir((root + "/Garbolt").c_str(), 0755);
    std::remove((root + "/Garbolt/SavedOutfits.xml.tmp").c_str());
    std::remove((root + "/Garbolt/Garbolt.ini.tmp").c_str());
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

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

void Broken(const std::string& what) {
    std::fprintf(stderr, "property broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz_support
