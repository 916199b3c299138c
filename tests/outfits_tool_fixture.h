// Runs the built garbolt-outfits program in a fresh game folder, as a player
// would, and reads back its output and the files it leaves.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "sim/play/game_folder.h"
#include "support/program_run.h"

namespace outfits_tool_testing {

using ToolRun = testing_support::ProgramRun;

// One stored outfit as a test writes it.
struct StoredOutfit {
    std::string name;
    std::string slot;  // the Slot text as written
    std::vector<std::int32_t> items;
    std::vector<std::int32_t> states;
    bool withName = true;
    bool withSlot = true;
};

// 39 entries: a few items with states, the rest empty.
inline StoredOutfit MakeOutfit(const std::string& name, std::int32_t rowIndex, std::int32_t seed) {
    StoredOutfit outfit;
    outfit.name = name;
    outfit.slot = std::to_string(rowIndex);
    for (int k = 0; k < 39; ++k) {
        const bool worn = k % 4 == 0;
        outfit.items.push_back(worn ? seed * 1000 + k : 0);
        outfit.states.push_back(worn ? -(seed * 7 + k) : 0);
    }
    outfit.items[1] = -2147483647 - 1;  // high bit set: stored negative
    outfit.states[1] = -1;
    return outfit;
}

// The file as the plug-in writes it: tab indentation, one element per line.
inline std::string StoreXml(const std::vector<StoredOutfit>& outfits) {
    std::string xml = "<?xml version=\"1.0\"?>\n<Garbolt>\n";
    for (const StoredOutfit& outfit : outfits) {
        xml += "\t<Outfit>\n";
        if (outfit.withName) {
            xml += "\t\t<Name>" + outfit.name + "</Name>\n";
        }
        if (outfit.withSlot) {
            xml += "\t\t<Slot>" + outfit.slot + "</Slot>\n";
        }
        xml += "\t\t<Components>\n";
        for (std::int32_t item : outfit.items) {
            xml += "\t\t\t<Hash>" + std::to_string(item) + "</Hash>\n";
        }
        xml += "\t\t</Components>\n\t\t<Wearables>\n";
        for (std::int32_t state : outfit.states) {
            xml += "\t\t\t<Hash>" + std::to_string(state) + "</Hash>\n";
        }
        xml += "\t\t</Wearables>\n\t</Outfit>\n";
    }
    xml += "</Garbolt>\n";
    return xml;
}

// What an outfit of a written file holds, read independently of the tool.
struct ReadOutfit {
    std::string name;
    std::string slot;
    std::vector<std::int32_t> items;
    std::vector<std::int32_t> states;
};

inline std::vector<std::int32_t> HashesOf(pugi::xml_node list) {
    std::vector<std::int32_t> values;
    for (pugi::xml_node hash = list.child("Hash"); hash; hash = hash.next_sibling("Hash")) {
        values.push_back(hash.text().as_int());
    }
    return values;
}

inline std::vector<ReadOutfit> OutfitsIn(const std::string& xml) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(xml.c_str())) << xml;
    std::vector<ReadOutfit> outfits;
    for (pugi::xml_node node = document.child("Garbolt").child("Outfit"); node;
         node = node.next_sibling("Outfit")) {
        outfits.push_back({node.child("Name").text().get(), node.child("Slot").text().get(),
                           HashesOf(node.child("Components")), HashesOf(node.child("Wearables"))});
    }
    return outfits;
}

// A game folder of its own (open to every user, so that a child run as
// nobody can reach it) with an empty Garbolt folder.
class ToolFolder {
  public:
    ToolFolder()
        : made_(
              play::GameFolder::FreshOrEnd("garbolt-outfits-test", play::GameFolder::Files::Bare)),
          folder_(made_.Path()) {
        std::filesystem::create_directory(folder_ + "/Garbolt");
        EXPECT_EQ(chmod(folder_.c_str(), 0777), 0);
        EXPECT_EQ(chmod((folder_ + "/Garbolt").c_str(), 0777), 0);
    }
    ToolFolder(const ToolFolder&) = delete;
    ToolFolder& operator=(const ToolFolder&) = delete;

    // A path inside the game folder.
    std::string PathOf(const std::string& relative) const { return folder_ + "/" + relative; }

    void Write(const std::string& relative, const std::string& bytes) {
        std::ofstream file(PathOf(relative), std::ios::binary | std::ios::trunc);
        file << bytes;
        ASSERT_TRUE(file.good()) << relative;
    }
    std::string Read(const std::string& relative) const {
        return testing_support::Slurp(PathOf(relative));
    }
    bool Exists(const std::string& relative) const {
        return std::filesystem::exists(PathOf(relative));
    }
    void WriteStore(const std::vector<StoredOutfit>& outfits) {
        Write("Garbolt/SavedOutfits.xml", StoreXml(outfits));
    }
    std::string Store() const { return Read("Garbolt/SavedOutfits.xml"); }

    // The names of the backups beside the outfit file, sorted.
    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(PathOf("Garbolt"))) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("SavedOutfits-backup-", 0) == 0) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // Every file in the Garbolt folder, sorted.
    std::vector<std::string> FolderFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(PathOf("Garbolt"))) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the program in the game folder with these arguments.
    ToolRun RunTool(const std::vector<std::string>& arguments) { return Spawn(arguments, false); }
    // The same with no file allowed to grow past `bytes`, as on a full disk.
    ToolRun RunToolWithFileLimit(const std::vector<std::string>& arguments, std::size_t bytes) {
        return Spawn(arguments, false, bytes);
    }
    // The same as the unprivileged user nobody.
    ToolRun RunToolAsNobody(const std::vector<std::string>& arguments) {
        return Spawn(arguments, true);
    }

  protected:
    play::GameFolder made_;  // removed again when the test ends
    std::string folder_;

  private:
    ToolRun Spawn(const std::vector<std::string>& arguments, bool asNobody,
                  std::size_t fileLimit = 0) {
        std::vector<std::string> command{GARBOLT_OUTFITS_PROGRAM};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const std::string outPath = folder_ + "/.out";
        const std::string errPath = folder_ + "/.err";
        ToolRun run;
        run.status = testing_support::Spawn(asNobody ? testing_support::AsNobody(command) : command,
                                            {folder_, outPath, errPath, fileLimit});
        run.out = Read(".out");
        run.err = Read(".err");
        std::filesystem::remove(outPath);
        std::filesystem::remove(errPath);
        return run;
    }
};

class OutfitsToolTest : public ::testing::Test, public ToolFolder {};

}  // namespace outfits_tool_testing
