// Saving and deleting when the disk says no: a read-only file met as an
// unprivileged user, and a full disk (a file size limit). The store runs in a
// forked child; the parent checks what is left on disk.
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "wardrobe_fixture.h"

namespace {

using namespace wardrobe_testing;

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;
constexpr const char* kSaveFailed = "~COLOR_RED~Failed to save outfit~s~";
constexpr const char* kDeleteFailed = "~COLOR_RED~Failed to delete outfit~s~";

class StoreWriteFailures : public WardrobeFixture {
  protected:
    // Runs `work` in a child after `prepare`; true when the child exits 0.
    template <typename Prepare, typename Work>
    bool InChild(Prepare prepare, Work work) {
        const pid_t child = fork();
        if (child == 0) {
            const bool ok = prepare() && work();
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child) {
            return false;
        }
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    // What the child checks after a save and a delete that must both fail.
    bool BothFail() {
        SaveCustomOutfit("Lost", 7);
        if (LastMessage() != kSaveFailed || savedSlots != std::vector<std::int32_t>{9} ||
            Label(6) != "Saved Custom Outfit Six") {
            return false;
        }
        OnSavedOutfitsRow(9);
        DeleteCustomOutfit(10);
        return LastMessage() == kDeleteFailed && savedSlots == std::vector<std::int32_t>{9} &&
               Label(9) == "Kept";
    }
    std::string before;
};

TEST_F(StoreWriteFailures, ReadOnlyFileIsLeftAsItIs) {
    before = FileWith(OutfitXml("Kept", 9, {5}, {6}));
    StartUp(before);
    namespace fs = std::filesystem;
    fs::permissions(folder().Path(),
                    fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
    fs::permissions(folder().Path() + "/Garbolt", fs::perms::all);
    fs::permissions(folder().Path() + "/" + kOutfitFile,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const bool ok = InChild(
        [] { return setgroups(0, nullptr) == 0 && setgid(kNoGroup) == 0 && setuid(kNobody) == 0; },
        [this] { return BothFail(); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(folder().Read(kOutfitFile), before);
    EXPECT_EQ(folder().List("Garbolt"), std::vector<std::string>{"SavedOutfits.xml"});
}

TEST_F(StoreWriteFailures, FullDiskKeepsTheOldFile) {
    before = FileWith(OutfitXml("Kept", 9, {5}, {6}));
    StartUp(before);
    // Room for the old file's size but not for a file that holds one more outfit.
    const rlim_t limit = before.size() + 16;
    const bool ok = InChild(
        [limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{limit, limit};
            return setrlimit(RLIMIT_FSIZE, &small) == 0;
        },
        [this] {
            SaveCustomOutfit("Lost", 7);
            return LastMessage() == kSaveFailed && savedSlots == std::vector<std::int32_t>{9} &&
                   Label(6) == "Saved Custom Outfit Six";
        });
    EXPECT_TRUE(ok);
    EXPECT_EQ(folder().Read(kOutfitFile), before);
    EXPECT_EQ(folder().List("Garbolt"), std::vector<std::string>{"SavedOutfits.xml"});
    // With room again, the same save goes through.
    SaveCustomOutfit("Found", 7);
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");
    EXPECT_EQ(savedSlots, (std::vector<std::int32_t>{9, 6}));
}

}  // namespace
