#include "support/child_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/program_run.h"

namespace testing_support {

std::string FilesChildPath() {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return "./garbolt_files_child";
    }
    const std::string path(self, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "garbolt_files_child";
}

int RunFilesChild(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{FilesChildPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Spawn(command);
}

int RunFilesChildAsNobody(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{FilesChildPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return Spawn(AsNobody(command));
}

void OpenFolderToAll(const std::string& path, bool writable) {
    ASSERT_EQ(chmod(path.c_str(), writable ? 0777 : 0555), 0) << path;
}

}  // namespace testing_support
