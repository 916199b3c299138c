// Runs the built garbolt-outfits program in a fresh game folder, as a player
// would, and reads back its output and the files it leaves.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace outfits_tool_testing {

struct ToolRun {
    int exit = -1;
    std::string out;
    std::string err;
};

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
    ToolFolder() {
        char pattern[] = "/tmp/garbolt-outfits-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            ADD_FAILURE() << "no temporary folder";
            return;
        }
        folder_ = pattern;
        std::filesystem::create_directory(folder_ + "/Garbolt");
        EXPECT_EQ(chmod(folder_.c_str(), 0777), 0);
        EXPECT_EQ(chmod((folder_ + "/Garbolt").c_str(), 0777), 0);
    }
    ~ToolFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
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
        std::ifstream file(PathOf(relative), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
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
    std::string folder_;

  private:
    ToolRun Spawn(const std::vector<std::string>& arguments, bool asNobody,
                  std::size_t fileLimit = 0) {
        std::vector<std::string> command;
        if (asNobody) {
            command = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
        }
        command.push_back(GARBOLT_OUTFITS_PROGRAM);
        command.insert(command.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& part : command) {
            argv.push_back(part.data());
        }
        argv.push_back(nullptr);
        const std::string outPath = folder_ + "/.out";
        const std::string errPath = folder_ + "/.err";
        ToolRun run;
        const pid_t child = fork();
        if (child < 0) {
            return run;
        }
        if (child == 0) {
            const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (out < 0 || err < 0 || chdir(folder_.c_str()) != 0) {
                _exit(126);
            }
            dup2(out, 1);
            dup2(err, 2);
            if (fileLimit != 0) {
                // A write past the limit then fails with an error instead of a signal.
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileLimit, fileLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        if (waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            run.exit = WEXITSTATUS(status);
        }
        run.out = Read(".out");
        run.err = Read(".err");
        std::filesystem::remove(outPath);
        std::filesystem::remove(errPath);
        return run;
    }
};

class OutfitsToolTest : public ::testing::Test, public ToolFolder {};

}  // namespace outfits_tool_testing
