// The child programs' shared first option: `--fsize-limit BYTES` runs the
// child under that file size limit, so that a write past it fails with an
// error (the signal it would raise is ignored) as on a full disk.
#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace testing_support {

// Applies the option if it comes first and answers the index of the next
// argument; -1 when the limit could not be set.
inline int TakeFileSizeLimit(int count, char** arguments) {
    if (count < 3 || std::strcmp(arguments[1], "--fsize-limit") != 0) {
        return 1;
    }
    const rlim_t limit = std::strtoull(arguments[2], nullptr, 10);
    const rlimit small{limit, limit};
    std::signal(SIGXFSZ, SIG_IGN);
    return setrlimit(RLIMIT_FSIZE, &small) == 0 ? 3 : -1;
}

}  // namespace testing_support
