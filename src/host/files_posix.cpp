// The file system on Linux and other POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "host/files.h"
#include "host/files_os.h"

namespace files {

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int kMaxLinkHops = 40;
constexpr std::size_t kMaxLinkLength = 4096;

}  // namespace

std::FILE* FileSystem::Open(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::FILE* FileSystem::CreateNew(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        ::close(descriptor);
        ::unlink(path.c_str());
    }
    return file;
}

bool FileSystem::Sync(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

bool FileSystem::Rename(const std::string& from, const std::string& to) {
    // No program can hold a file against a rename here.
    renameMayPassLater_ = false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileSystem::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool FileSystem::Exists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

std::FILE* FileSystem::OpenToRead(const std::string& path, PathKind& kind, std::uint64_t& size) {
    size = 0;
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        // A socket cannot be opened at all (ENXIO).
        kind = errno == ENOENT || errno == ENOTDIR ? PathKind::Missing
               : errno == ENXIO                    ? PathKind::Other
                                                   : PathKind::PlainFile;
        return nullptr;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        kind = S_ISREG(status.st_mode) ? PathKind::PlainFile : PathKind::Other;
        ::close(descriptor);
        return nullptr;
    }
    kind = PathKind::PlainFile;
    size = static_cast<std::uint64_t>(status.st_size);
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) {
        ::close(descriptor);
    }
    return file;
}

PathKind FileSystem::KindOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::PlainFile;
    }
    return S_ISREG(status.st_mode) ? PathKind::PlainFile : PathKind::Other;
}

std::uint64_t FileSystem::PlainFileSize(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return 0;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

std::string FileSystem::ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return current;
        }
        char link[kMaxLinkLength];
        const ssize_t length = ::readlink(current.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link) {
            return path;
        }
        const std::string pointsTo(link, static_cast<std::size_t>(length));
        if (pointsTo.front() == '/') {
            current = pointsTo;
        } else {
            // A relative link is relative to the folder that holds it.
            const std::size_t slash = current.rfind('/');
            current = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) +
                      pointsTo;
        }
    }
    return path;  // a loop of links: rename over the link as given, which fails or replaces it
}

void FileSystem::CopyPermissions(const std::string& from, const std::string& to) {
    struct stat status {};
    if (::stat(from.c_str(), &status) == 0) {
        ::chmod(to.c_str(), status.st_mode & 07777);
    }
}

std::vector<std::string> FileSystem::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    const std::string opened = folder.empty() ? "." : folder;
    DIR* directory = ::opendir(opened.c_str());
    if (directory == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (::lstat((folder + name).c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(directory);
    return names;
}

void FileSystem::Pause(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace os {

std::uint32_t ProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

bool IsSeparator(char c) {
    return c == '/';
}

}  // namespace os

}  // namespace files
