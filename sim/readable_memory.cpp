#include "sim/readable_memory.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace sim {

namespace {

constexpr std::size_t kLongestChecked = std::size_t{1} << 20;

#if defined(_WIN32)

// The region's pages are committed and may be read.
bool ReadableRegion(const MEMORY_BASIC_INFORMATION& region) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return region.State == MEM_COMMIT && (region.Protect & kReadable) != 0 &&
           (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

#endif

}  // namespace

#if defined(_WIN32)

// Windows says region by region what a page allows (VirtualQuery); the
// bytes of a readable region are then searched for the NUL directly.
bool ReadableText(std::uint64_t address) {
    auto at = static_cast<std::uintptr_t>(address);
    const std::uintptr_t end = at + kLongestChecked;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == 0 ||
            !ReadableRegion(region)) {
            return false;
        }
        const auto regionEnd =
            reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        const std::size_t length = std::min(regionEnd, end) - at;
        if (std::memchr(reinterpret_cast<const void*>(at), '\0', length) != nullptr) {
            return true;
        }
        at += length;
    }
    return true;
}

#else

// The kernel copies the text out of this process's own memory
// (process_vm_readv) and answers EFAULT where a page is unmapped or may not
// be read, instead of a fault. Copies stop at page ends, so a text that runs
// into an unreadable page is caught on that page. Where the system refuses
// the call itself (a sandbox without it), nothing can be told and the text
// counts as readable.
bool ReadableText(std::uint64_t address) {
    static const std::uintptr_t kPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    char copy[512];
    auto at = static_cast<std::uintptr_t>(address);
    for (std::size_t checked = 0; checked < kLongestChecked;) {
        const std::uintptr_t pageEnd = (at / kPage + 1) * kPage;
        const std::size_t length = std::min<std::uintptr_t>(sizeof copy, pageEnd - at);
        iovec local{copy, length};
        iovec remote{reinterpret_cast<void*>(at), length};
        const ssize_t got = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
        if (got < 0) {
            return errno != EFAULT;
        }
        if (got == 0) {
            return false;
        }
        if (std::memchr(copy, '\0', static_cast<std::size_t>(got)) != nullptr) {
            return true;
        }
        at += static_cast<std::uintptr_t>(got);
        checked += static_cast<std::size_t>(got);
    }
    return true;
}

#endif

}  // namespace sim
