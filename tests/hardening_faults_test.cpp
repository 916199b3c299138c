// Faults injected on the real files, through the plug-in's own saves run in
// a child process: the folder or a file missing, a read-only file or folder
// (the child runs as the user nobody, since the tests run as root), a full
// disk (a small RLIMIT_FSIZE) and a child killed at a random moment while it
// saves again and again. After each, the file holds its old or its new bytes,
// never a part; a temporary file left by a kill is cleaned up by the next
// save; and the player saw the written message.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/play/default_files.h"
#include "support/child_process.h"
#include "support/session.h"
#include "support/temporary_files.h"

namespace {

using testing_support::GameFolder;

constexpr const char* kSettingsFile = "Garbolt/Garbolt.ini";
constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";

constexpr const char* kSettingsSaved = "Successfully saved settings";
constexpr const char* kSettingsFailed = "~COLOR_RED~Failed to save settings~s~";
constexpr const char* kSettingsMissing =
    "~COLOR_RED~Failed to save: Unable to find Garbolt/Garbolt.ini~s~";
constexpr const char* kOutfitSaved = "Successfully saved outfit";
constexpr const char* kOutfitDeleted = "Successfully deleted outfit";
constexpr const char* kOutfitSaveFailed = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kOutfitNoFolder =
    "~COLOR_RED~Failed to save outfit: Unable to find the Garbolt folder~s~";
constexpr const char* kOutfitLoadFailed =
    "~COLOR_RED~Failed to load Garbolt/SavedOutfits.xml. Check XML syntax.~s~";

// A settings file as the first save writes it, and an outfit file that
// holds no outfit yet.
std::string StartingFile(const std::string& path) {
    std::ifstream in(std::string(GARBOLT_TEST_DATA) + "/../../" + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ChildPath() {
    const std::string files = testing_support::FilesChildPath();
    return files.substr(0, files.rfind('/') + 1) + "garbolt_hardening_child";
}

struct ChildRun {
    int exitCode = -1;    // -1 when killed or not exited
    bool killed = false;  // ended by our SIGKILL
    std::vector<std::string> lines;
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    return lines;
}

// Runs the child; with killAfter it is killed that long after it printed "ready".
ChildRun RunChild(std::vector<std::string> arguments, bool asNobody,
                  std::chrono::microseconds killAfter = std::chrono::microseconds(-1)) {
    std::vector<std::string> command;
    if (asNobody) {
        command = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    }
    command.push_back(ChildPath());
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& part : command) {
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);

    int output[2];
    ChildRun run;
    if (pipe(output) != 0) {
        ADD_FAILURE() << "pipe";
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string text;
    char buffer[4096];
    bool armed = killAfter.count() >= 0;
    for (;;) {
        const ssize_t got = read(output[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        if (armed && text.find("ready\n") != std::string::npos) {
            armed = false;
            std::this_thread::sleep_for(killAfter);
            kill(child, SIGKILL);
        }
    }
    close(output[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.lines = SplitLines(text);
    return run;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& each : lines) {
        if (each == line) {
            return true;
        }
    }
    return false;
}

class Faults : public ::testing::Test {
  protected:
    void SetUp() override {
        settings_ = StartingFile("src/settings/default_settings.ini");
        outfits_ = play::kEmptySavedOutfits;
        ASSERT_FALSE(settings_.empty());
        ASSERT_FALSE(outfits_.empty());
        folder_.Write(kSettingsFile, settings_);
        folder_.Write(kOutfitFile, outfits_);
        // The user nobody must reach the game folder.
        ASSERT_EQ(chmod(folder_.Path().c_str(), 0755), 0);
    }
    void TearDown() override { chmod(Path("Garbolt").c_str(), 0755); }

    std::string Path(const std::string& relative) const { return folder_.Path() + "/" + relative; }
    ChildRun Save(const std::string& kind, int count, bool asNobody = false,
                  const std::string& fsizeLimit = "") {
        std::vector<std::string> arguments;
        if (!fsizeLimit.empty()) {
            arguments = {"--fsize-limit", fsizeLimit};
        }
        arguments.insert(arguments.end(), {kind, folder_.Path(), std::to_string(count)});
        return RunChild(arguments, asNobody);
    }
    bool TemporaryLeft(const std::string& file) const {
        return !testing_support::TemporaryFilesBeside(folder_, file).empty();
    }

    GameFolder folder_;
    std::string settings_;
    std::string outfits_;
};

TEST_F(Faults, FolderMissing) {
    folder_.Remove("Garbolt");
    ChildRun settings = Save("settings", 1);
    EXPECT_EQ(settings.exitCode, 0);
    EXPECT_TRUE(Contains(settings.lines, kSettingsMissing));
    ChildRun outfits = Save("outfits", 1);
    EXPECT_EQ(outfits.exitCode, 0);
    EXPECT_TRUE(Contains(outfits.lines, kOutfitNoFolder));
    EXPECT_FALSE(Contains(outfits.lines, kOutfitLoadFailed));
    EXPECT_FALSE(folder_.Exists("Garbolt"));  // the plug-in never makes it
}

TEST_F(Faults, SettingsFileMissing) {
    // A fresh install: the first save writes the explained default file.
    folder_.Remove(kSettingsFile);
    ChildRun settings = Save("settings", 1);
    EXPECT_TRUE(Contains(settings.lines, kSettingsSaved));
    std::string expected = settings_;
    expected.replace(expected.find("bUseCamera=0"), 12, "bUseCamera=1");
    EXPECT_EQ(folder_.Read(kSettingsFile), expected);
    EXPECT_FALSE(TemporaryLeft(kSettingsFile));
    // The outfits are not held back by the missing settings.
    ChildRun outfits = Save("outfits", 1);
    EXPECT_TRUE(Contains(outfits.lines, kOutfitSaved));
}

TEST_F(Faults, OutfitFileMissing) {
    folder_.Remove(kOutfitFile);
    // No file is the empty store: no message at start, and the first save makes the file.
    ChildRun outfits = Save("outfits", 2);
    EXPECT_TRUE(Contains(outfits.lines, kOutfitSaved));
    EXPECT_TRUE(Contains(outfits.lines, kOutfitDeleted));
    EXPECT_FALSE(Contains(outfits.lines, kOutfitLoadFailed));
    EXPECT_EQ(folder_.Read(kOutfitFile), "<?xml version=\"1.0\"?>\n<Garbolt />\n");
    EXPECT_FALSE(TemporaryLeft(kOutfitFile));
    ChildRun settings = Save("settings", 1);
    EXPECT_TRUE(Contains(settings.lines, kSettingsSaved));
}

TEST_F(Faults, ReadOnlyFiles) {
    ASSERT_EQ(chmod(Path("Garbolt").c_str(), 0777), 0);
    ASSERT_EQ(chmod(Path(kSettingsFile).c_str(), 0444), 0);
    ASSERT_EQ(chmod(Path(kOutfitFile).c_str(), 0444), 0);
    ChildRun settings = Save("settings", 1, true);
    EXPECT_EQ(settings.exitCode, 0);
    EXPECT_TRUE(Contains(settings.lines, kSettingsFailed));
    ChildRun outfits = Save("outfits", 1, true);
    EXPECT_EQ(outfits.exitCode, 0);
    EXPECT_TRUE(Contains(outfits.lines, kOutfitSaveFailed));
    EXPECT_EQ(folder_.Read(kSettingsFile), settings_);
    EXPECT_EQ(folder_.Read(kOutfitFile), outfits_);
    EXPECT_EQ(folder_.List("Garbolt"),
              (std::vector<std::string>{"Garbolt.ini", "SavedOutfits.xml"}));
}

TEST_F(Faults, ReadOnlyFolder) {
    ASSERT_EQ(chmod(Path(kSettingsFile).c_str(), 0666), 0);
    ASSERT_EQ(chmod(Path(kOutfitFile).c_str(), 0666), 0);
    ASSERT_EQ(chmod(Path("Garbolt").c_str(), 0555), 0);
    ChildRun settings = Save("settings", 1, true);
    EXPECT_TRUE(Contains(settings.lines, kSettingsFailed));
    ChildRun outfits = Save("outfits", 1, true);
    EXPECT_TRUE(Contains(outfits.lines, kOutfitSaveFailed));
    EXPECT_EQ(folder_.Read(kSettingsFile), settings_);
    EXPECT_EQ(folder_.Read(kOutfitFile), outfits_);
    EXPECT_EQ(folder_.List("Garbolt"),
              (std::vector<std::string>{"Garbolt.ini", "SavedOutfits.xml"}));
}

TEST_F(Faults, FullDisk) {
    // Room for a few bytes only: every new file is cut short.
    ChildRun settings = Save("settings", 1, false, "16");
    EXPECT_TRUE(Contains(settings.lines, kSettingsFailed));
    ChildRun outfits = Save("outfits", 1, false, "16");
    EXPECT_TRUE(Contains(outfits.lines, kOutfitSaveFailed));
    EXPECT_EQ(folder_.Read(kSettingsFile), settings_);
    EXPECT_EQ(folder_.Read(kOutfitFile), outfits_);
    EXPECT_EQ(folder_.List("Garbolt"),
              (std::vector<std::string>{"Garbolt.ini", "SavedOutfits.xml"}));
    // With room again, the next save goes through.
    EXPECT_TRUE(Contains(Save("settings", 1).lines, kSettingsSaved));
    EXPECT_TRUE(Contains(Save("outfits", 1).lines, kOutfitSaved));
}

// Kills a child that saves without pause, a few hundred times, at random
// moments after it is ready; the file must always be one of its two versions.
void KillDuringSaves(Faults& test, GameFolder& folder, const std::string& kind,
                     const std::string& file, const std::vector<std::string>& successes) {
    // The two versions: as it is, and after one save (a second save gives the first back).
    const std::string first = folder.Read(file);
    ChildRun once = RunChild({kind, folder.Path(), "1"}, false);
    ASSERT_TRUE(Contains(once.lines, successes[0]));
    const std::string second = folder.Read(file);
    ChildRun twice = RunChild({kind, folder.Path(), "1"}, false);
    ASSERT_TRUE(Contains(twice.lines, successes[1]));
    ASSERT_EQ(folder.Read(file), first);
    ASSERT_NE(first, second);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delay(0, 4000);
    int leftTemporary = 0;
    const int rounds = 200;
    for (int round = 0; round < rounds; ++round) {
        ChildRun run =
            RunChild({kind, folder.Path(), "0"}, false, std::chrono::microseconds(delay(random)));
        ASSERT_TRUE(run.killed) << "round " << round;
        const std::string now = folder.Read(file);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": partial file\n"
                                                   << now;
        for (const std::string& line : run.lines) {
            ASSERT_TRUE(line == "ready" || line == successes[0] || line == successes[1])
                << "round " << round << ": " << line;
        }
        if (test.HasFailure()) {
            return;
        }
        if (!testing_support::TemporaryFilesBeside(folder, file).empty()) {
            ++leftTemporary;
            // The next save takes the leftover away.
            ChildRun next = RunChild({kind, folder.Path(), "1"}, false);
            ASSERT_EQ(next.exitCode, 0);
            ASSERT_TRUE(Contains(next.lines, successes[0]) || Contains(next.lines, successes[1]));
            ASSERT_TRUE(testing_support::TemporaryFilesBeside(folder, file).empty())
                << "round " << round;
            const std::string after = folder.Read(file);
            ASSERT_TRUE(after == first || after == second);
        }
    }
    std::printf("%d of %d kills left a temporary file behind, each cleaned up by the next save\n",
                leftTemporary, rounds);
}

TEST_F(Faults, KilledDuringSettingsSaves) {
    KillDuringSaves(*this, folder_, "settings", kSettingsFile, {kSettingsSaved, kSettingsSaved});
}

TEST_F(Faults, KilledDuringOutfitSaves) {
    KillDuringSaves(*this, folder_, "outfits", kOutfitFile, {kOutfitSaved, kOutfitDeleted});
}

}  // namespace
