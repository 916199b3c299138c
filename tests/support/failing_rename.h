// A file system whose one-step replace always fails, for the tests of what a
// save says and keeps when the new file cannot take the old one's place.
#pragma once

#include <cstdint>
#include <string>

#include "host/files.h"

namespace testing_support {

// Fails the rename as a full disk would or, while `held`, as a file another
// program holds through every try; the retries do not wait.
class FailingRename : public files::FileSystem {
  public:
    bool held = false;
    bool Rename(const std::string&, const std::string&) override { return false; }
    bool RenameMayPassLater() override { return held; }
    void Pause(std::uint32_t) override {}
};

}  // namespace testing_support
