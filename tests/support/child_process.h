// Runs the file helper program in a child process, optionally as the
// unprivileged user "nobody", to meet real permission failures although the
// tests run as root.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// The helper program built beside the running test program.
std::string FilesChildPath();

// Runs the helper with these arguments and returns its exit code (-1 when it
// could not be run or did not exit normally).
int RunFilesChild(const std::vector<std::string>& arguments);
// The same as the user nobody with the group nogroup and no other groups.
int RunFilesChildAsNobody(const std::vector<std::string>& arguments);

// Lets every user into a folder (and read and write in it when `writable`).
void OpenFolderToAll(const std::string& path, bool writable);

}  // namespace testing_support
