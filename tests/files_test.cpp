// Whole-file replacement: the new bytes arrive in one step or not at all, and
// a failure at any step leaves the old file byte for byte with no temporary
// file behind.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "host/files.h"
#include "support/child_process.h"
#include "support/session.h"

using testing_support::GameFolder;

namespace {

const std::string kTarget = "Garbolt/Saved.txt";
const std::string kOldBytes = "old bytes\r\nkept\r\n";
const std::string kNewBytes = "new bytes\r\nwritten whole";

// A file system that fails one chosen operation on one chosen path.
class FailingFileSystem : public files::FileSystem {
  public:
    enum class Step {
        OpenTarget,
        CreateTemporary,
        Write,
        ShortWrite,
        Flush,
        Sync,
        Close,
        Rename,
        HeldByAnother
    };
    explicit FailingFileSystem(Step step) : step_(step) {}

    std::FILE* Open(const std::string& path, const char* mode) override {
        if (step_ == Step::OpenTarget && path == kTarget) {
            return nullptr;
        }
        return FileSystem::Open(path, mode);
    }
    std::FILE* CreateNew(const std::string& path) override {
        return step_ == Step::CreateTemporary ? nullptr : FileSystem::CreateNew(path);
    }
    std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
        if (step_ == Step::Write) {
            return 0;
        }
        if (step_ == Step::ShortWrite && size > 4) {
            // Part of the body reaches the disk, then the disk is full.
            return FileSystem::Write(file, data, 4);
        }
        return FileSystem::Write(file, data, size);
    }
    bool Flush(std::FILE* file) override { return step_ != Step::Flush && FileSystem::Flush(file); }
    bool Sync(std::FILE* file) override { return step_ != Step::Sync && FileSystem::Sync(file); }
    bool Close(std::FILE* file) override {
        const bool closed = FileSystem::Close(file);
        return step_ != Step::Close && closed;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return step_ != Step::Rename && step_ != Step::HeldByAnother &&
               FileSystem::Rename(from, to);
    }
    bool RenameMayPassLater() override { return step_ == Step::HeldByAnother; }
    void Pause(std::uint32_t) override {}

  private:
    Step step_;
};

class ReplaceFileTest : public ::testing::Test {
  protected:
    void SetUp() override { folder_.Write(kTarget, kOldBytes); }
    // The target still holds its old bytes and nothing else lies beside it.
    void ExpectUntouched() {
        EXPECT_EQ(folder_.Read(kTarget), kOldBytes);
        EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Saved.txt"});
    }
    GameFolder folder_;
};

TEST_F(ReplaceFileTest, ReplacesTheWholeFile) {
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    EXPECT_EQ(folder_.Read(kTarget), kNewBytes);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Saved.txt"});
}

TEST_F(ReplaceFileTest, ShorterContentLeavesNoOldTail) {
    EXPECT_TRUE(files::ReplaceFile(kTarget, std::string("x")));
    EXPECT_EQ(folder_.Read(kTarget), "x");
    EXPECT_TRUE(files::ReplaceFile(kTarget, std::string()));
    EXPECT_EQ(folder_.Read(kTarget), "");
}

TEST_F(ReplaceFileTest, CreatesAMissingFileInAnExistingFolder) {
    folder_.Remove(kTarget);
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    EXPECT_EQ(folder_.Read(kTarget), kNewBytes);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Saved.txt"});
}

TEST_F(ReplaceFileTest, MissingFolderFailsAndIsNotCreated) {
    EXPECT_FALSE(files::ReplaceFile("Missing/Saved.txt", kNewBytes));
    EXPECT_FALSE(folder_.Exists("Missing"));
    EXPECT_FALSE(files::ReplaceFile("", kNewBytes));
    ExpectUntouched();
}

TEST_F(ReplaceFileTest, KeepsTheFilePermissions) {
    const std::string path = folder_.Path() + "/" + kTarget;
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_F(ReplaceFileTest, BodyThatReportsFailureReplacesNothing) {
    EXPECT_FALSE(files::ReplaceFile(kTarget, [](std::FILE* out) {
        files::WriteAll(out, "half of it");
        return false;
    }));
    ExpectUntouched();
}

TEST_F(ReplaceFileTest, BodyWrittenThroughTheStreamArrives) {
    EXPECT_TRUE(files::ReplaceFile(kTarget, [](std::FILE* out) {
        return files::WriteAll(out, "one ") && std::fputs("two", out) >= 0;
    }));
    EXPECT_EQ(folder_.Read(kTarget), "one two");
}

// Each failing step, injected: the old bytes stay and the temporary file goes.
class ReplaceFileStepFailure : public ReplaceFileTest,
                               public ::testing::WithParamInterface<FailingFileSystem::Step> {};

TEST_P(ReplaceFileStepFailure, LeavesTheOldBytesAndNoTemporaryFile) {
    FailingFileSystem failing(GetParam());
    files::ScopedFileSystem scoped(failing);
    EXPECT_FALSE(files::ReplaceFile(kTarget, kNewBytes));
    ExpectUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, ReplaceFileStepFailure,
    ::testing::Values(FailingFileSystem::Step::OpenTarget, FailingFileSystem::Step::CreateTemporary,
                      FailingFileSystem::Step::Write, FailingFileSystem::Step::ShortWrite,
                      FailingFileSystem::Step::Flush, FailingFileSystem::Step::Sync,
                      FailingFileSystem::Step::Close, FailingFileSystem::Step::Rename,
                      FailingFileSystem::Step::HeldByAnother));

TEST_F(ReplaceFileTest, InjectedFileSystemIsUsedOnlyWhileInPlace) {
    {
        FailingFileSystem failing(FailingFileSystem::Step::Rename);
        files::ScopedFileSystem scoped(failing);
        EXPECT_FALSE(files::ReplaceFile(kTarget, kNewBytes));
    }
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    EXPECT_EQ(folder_.Read(kTarget), kNewBytes);
}

// Another program holds the file for the first `refusals` renames.
class HeldFileSystem : public files::FileSystem {
  public:
    explicit HeldFileSystem(int refusals) : refusals_(refusals) {}
    bool Rename(const std::string& from, const std::string& to) override {
        if (refusals_ > 0) {
            --refusals_;
            renameMayPassLater_ = true;
            return false;
        }
        return FileSystem::Rename(from, to);
    }
    void Pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
    std::vector<std::uint32_t> pauses;

  private:
    int refusals_;
};

TEST_F(ReplaceFileTest, TriesAgainWhileAnotherProgramHoldsTheFile) {
    const std::vector<std::uint32_t> schedule(std::begin(files::kRenamePauses),
                                              std::end(files::kRenamePauses));
    const struct {
        int refusals;
        bool replaced;
    } cases[] = {{1, true}, {3, true}, {4, false}, {100, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusals);
        folder_.Write(kTarget, kOldBytes);
        HeldFileSystem held(c.refusals);
        files::ScopedFileSystem scoped(held);
        EXPECT_EQ(files::ReplaceFile(kTarget, kNewBytes), c.replaced);
        EXPECT_EQ(files::LastReplaceMetHeldFile(), !c.replaced);
        const std::size_t paused = std::min<std::size_t>(c.refusals, schedule.size());
        EXPECT_EQ(held.pauses,
                  std::vector<std::uint32_t>(schedule.begin(), schedule.begin() + paused));
        EXPECT_EQ(folder_.Read(kTarget), c.replaced ? kNewBytes : kOldBytes);
        EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Saved.txt"});
    }
}

// Someone else's file appears under the name picked for the temporary one.
class TakenNameFileSystem : public files::FileSystem {
  public:
    std::FILE* CreateNew(const std::string& path) override {
        if (taken.empty()) {
            taken = path;
            std::FILE* theirs = FileSystem::Open(path, "wb");
            std::fputs("theirs", theirs);
            std::fclose(theirs);
        }
        return FileSystem::CreateNew(path);
    }
    std::string taken;
};

TEST_F(ReplaceFileTest, NeverWritesIntoAFileThatExists) {
    TakenNameFileSystem clash;
    files::ScopedFileSystem scoped(clash);
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    EXPECT_EQ(folder_.Read(kTarget), kNewBytes);
    EXPECT_EQ(folder_.Read(clash.taken), "theirs");
    EXPECT_EQ(folder_.List("Garbolt").size(), 2u);
}

TEST_F(ReplaceFileTest, TakesAwayOnlyTheLeftoversOfItsOwnInterruptedSaves) {
    const std::vector<std::string> others = {"Other.txt.0123456789abcdef.garbolt-tmp",
                                             "Saved.txt.0123456789ABCDEF.garbolt-tmp",
                                             "Saved.txt.0123456789abcde.garbolt-tmp",
                                             "Saved.txt.0123456789abcdef0.garbolt-tmp",
                                             "Saved.txt.0123456789abcdef.garbolt-tmp~",
                                             "Saved.txt0123456789abcdef.garbolt-tmp",
                                             "Saved.txt.tmp"};
    for (const std::string& name : others) {
        folder_.Write("Garbolt/" + name, "the player's own");
        EXPECT_FALSE(files::IsTemporaryFor(name, "Saved.txt")) << name;
    }
    folder_.Write("Garbolt/Saved.txt.0123456789abcdef.garbolt-tmp", "half a save");
    folder_.Write("Garbolt/Saved.txt.fedcba9876543210.garbolt-tmp", "");
    EXPECT_TRUE(files::ReplaceFile(kTarget, kNewBytes));
    std::vector<std::string> expected = others;
    expected.push_back("Saved.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder_.List("Garbolt"), expected);
    for (const std::string& name : others) {
        EXPECT_EQ(folder_.Read("Garbolt/" + name), "the player's own") << name;
    }
}

TEST_F(ReplaceFileTest, ALinkStaysAndItsFinalTargetIsReplaced) {
    // Garbolt/Chain.txt -> Saved.txt -> ../Real/Saved.txt
    folder_.Remove(kTarget);
    folder_.Write("Real/Saved.txt", kOldBytes);
    const std::string garbolt = folder_.Path() + "/Garbolt/";
    ASSERT_EQ(symlink("../Real/Saved.txt", (garbolt + "Saved.txt").c_str()), 0);
    ASSERT_EQ(symlink("Saved.txt", (garbolt + "Chain.txt").c_str()), 0);
    EXPECT_TRUE(files::ReplaceFile("Garbolt/Chain.txt", kNewBytes));
    EXPECT_EQ(folder_.Read("Real/Saved.txt"), kNewBytes);
    EXPECT_EQ(folder_.List("Real"), std::vector<std::string>{"Saved.txt"});
    EXPECT_EQ(folder_.List("Garbolt"), (std::vector<std::string>{"Chain.txt", "Saved.txt"}));
    // The size is the final target's, as a read finds it; a folder or nothing has none.
    EXPECT_EQ(files::Active().PlainFileSize("Garbolt/Chain.txt"), kNewBytes.size());
    EXPECT_EQ(files::Active().PlainFileSize("Garbolt"), 0u);
    EXPECT_EQ(files::Active().PlainFileSize("Garbolt/Missing.txt"), 0u);
    for (const char* link : {"Chain.txt", "Saved.txt"}) {
        struct stat status {};
        ASSERT_EQ(lstat((garbolt + link).c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode)) << link;
    }
    // A link whose target is missing gets its target made, as a missing file would be.
    ASSERT_EQ(symlink("../Real/New.txt", (garbolt + "Dangling.txt").c_str()), 0);
    EXPECT_TRUE(files::ReplaceFile("Garbolt/Dangling.txt", kNewBytes));
    EXPECT_EQ(folder_.Read("Real/New.txt"), kNewBytes);
}

// Real failures, met by a child process: as the user nobody, and under a
// file size limit.
class ReplaceFileInChild : public ReplaceFileTest {
  protected:
    void SetUp() override {
        ReplaceFileTest::SetUp();
        testing_support::OpenFolderToAll(folder_.Path(), false);
        Chmod(kTarget, 0666);
    }
    void Chmod(const std::string& relative, mode_t mode) {
        const std::string path = folder_.Path() + "/" + relative;
        ASSERT_EQ(chmod(path.c_str(), mode), 0) << path;
    }
    void TearDown() override { Chmod("Garbolt", 0755); }
};

TEST_F(ReplaceFileInChild, NobodyReplacesAWritableFile) {
    Chmod("Garbolt", 0777);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"replace", kTarget, kNewBytes}), 0);
    EXPECT_EQ(folder_.Read(kTarget), kNewBytes);
    EXPECT_EQ(folder_.List("Garbolt"), std::vector<std::string>{"Saved.txt"});
}

TEST_F(ReplaceFileInChild, ReadOnlyFileIsNotReplaced) {
    // The folder is open to all, so only the file's own protection stops the
    // replacement; a rename alone would have gone over it.
    Chmod("Garbolt", 0777);
    Chmod(kTarget, 0444);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"replace", kTarget, kNewBytes}), 1);
    ExpectUntouched();
}

TEST_F(ReplaceFileInChild, ReadOnlyFolderFails) {
    Chmod("Garbolt", 0555);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"replace", kTarget, kNewBytes}), 1);
    ExpectUntouched();
}

TEST_F(ReplaceFileInChild, FullDiskMidwayLeavesTheOldBytes) {
    EXPECT_EQ(testing_support::RunFilesChild({"--fsize-limit", "4096", "fill", kTarget, "200000"}),
              1);
    ExpectUntouched();
    // The same child without the limit does replace it, so the limit made it fail.
    EXPECT_EQ(testing_support::RunFilesChild({"fill", kTarget, "200000"}), 0);
    EXPECT_TRUE(folder_.Read(kTarget) == std::string(200000, 'z'));
}

}  // namespace

namespace {

class FailingRead : public files::FileSystem {
  public:
    bool Read(std::FILE* file, char* buffer, std::size_t size, std::size_t& got) override {
        FileSystem::Read(file, buffer, size < 3 ? size : 3, got);
        return false;
    }
};

TEST(ReadFile, ReadsTheWholeFile) {
    GameFolder folder;
    const std::string large(10000, 'q');
    folder.Write("Garbolt/Big.txt", large + "end");
    std::string bytes;
    EXPECT_TRUE(files::ReadFile("Garbolt/Big.txt", bytes));
    EXPECT_TRUE(bytes == large + "end");
    EXPECT_FALSE(files::ReadFile("Garbolt/Missing.txt", bytes));
    EXPECT_EQ(bytes, "");
}

TEST(ReadFile, ReadErrorIsAFailureNotAShortFile) {
    GameFolder folder;
    folder.Write("Garbolt/Saved.txt", kOldBytes);
    FailingRead failing;
    files::ScopedFileSystem scoped(failing);
    std::string bytes;
    EXPECT_FALSE(files::ReadFile("Garbolt/Saved.txt", bytes));
}

}  // namespace
