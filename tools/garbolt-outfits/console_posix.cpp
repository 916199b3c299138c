#include "console.h"

namespace garbolt_outfits {

bool OwnsItsConsole() {
    return false;
}

std::string NameFromCommandLine(const std::string& argument) {
    return argument;
}

}  // namespace garbolt_outfits
