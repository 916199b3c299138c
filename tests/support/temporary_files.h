// The whole-file replacement's temporary files that lie beside a file.
#pragma once

#include <string>
#include <vector>

#include "host/files.h"
#include "support/session.h"

namespace testing_support {

// The names of the temporary files beside `file`, a path relative to the
// game folder that has a folder part.
inline std::vector<std::string> TemporaryFilesBeside(const GameFolder& folder,
                                                     const std::string& file) {
    const std::size_t slash = file.rfind('/');
    std::vector<std::string> found;
    for (const std::string& name : folder.List(file.substr(0, slash))) {
        if (files::IsTemporaryFor(name, file.substr(slash + 1))) {
            found.push_back(name);
        }
    }
    return found;
}

}  // namespace testing_support
