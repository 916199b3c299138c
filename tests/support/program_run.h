// Runs a built program of this project as a user would, in a scratch folder
// of the test's own, and collects what it printed and the files it left.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testing_support {

// What one run of a program gave back.
struct ProgramRun {
    int status = -1;  // the exit status, -1 when it could not run or did not exit normally
    std::string out;
    std::string err;
    std::string json;  // events.jsonl in the folder, when the run wrote one
};

// The whole file, empty when it cannot be read.
std::string Slurp(const std::filesystem::path& path);

// Runs a shell command line in `folder`; its exit status as in ProgramRun.
int RunShellIn(const std::filesystem::path& folder, const std::string& command);

// Runs `program` in `folder` through the shell with `input` on standard input:
// `environment` (assignments ending in a space) and `arguments` go into the
// command line as they stand.
ProgramRun RunWithInput(const std::filesystem::path& folder, const std::string& program,
                        const std::string& arguments, const std::string& input,
                        const std::string& environment = "");

// How Spawn starts a child: where it runs, where its output goes (empty:
// inherited) and how far a file may grow (0: no limit).
struct SpawnOptions {
    std::string folder;
    std::string outPath;
    std::string errPath;
    std::size_t fileLimit = 0;
};

// Runs the command directly (no shell); the exit status as in ProgramRun.
int Spawn(std::vector<std::string> command, const SpawnOptions& options = {});

// The command run as the user nobody with the group nogroup and no other groups.
std::vector<std::string> AsNobody(const std::vector<std::string>& command);

// A fresh folder per test, removed afterwards.
class ScratchFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path dir_;
};

}  // namespace testing_support
