#include "console.h"

#include <unistd.h>

namespace garbolt_outfits {

bool OwnsItsConsole() {
    return false;
}

std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return std::string();
    }
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : program.substr(0, slash);
}

std::string NameFromCommandLine(const std::string& argument) {
    return argument;
}

}  // namespace garbolt_outfits
