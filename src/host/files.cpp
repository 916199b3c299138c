#include "host/files.h"

#include <chrono>
#include <cinttypes>
#include <new>

#include "host/files_os.h"

namespace files {

namespace {

FileSystem& SystemFileSystem() {
    static FileSystem system;
    return system;
}

FileSystem* active = nullptr;
bool lastReplaceMetHeldFile = false;

constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kUniqueDigits = 16;
// Fresh names tried when the one picked is taken; one is almost always enough.
constexpr int kNameAttempts = 8;

struct SplitPath {
    std::string folder;  // with its closing separator, "" for the current one
    std::string name;
};

SplitPath Split(const std::string& path) {
    for (std::size_t end = path.size(); end > 0; --end) {
        if (os::IsSeparator(path[end - 1])) {
            return {path.substr(0, end), path.substr(end)};
        }
    }
    return {"", path};
}

bool IsLowerHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// A name no save of this process has used: the process, a counter and the
// clock, so that neither a second program nor a restart repeats it.
std::string UniqueDigits() {
    static std::uint32_t counter = 0;
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t mixed = (static_cast<std::uint64_t>(os::ProcessId()) << 32) ^
                                (now * 0x9E3779B97F4A7C15ull) ^ ++counter;
    char digits[kUniqueDigits + 1];
    std::snprintf(digits, sizeof digits, "%016" PRIx64, mixed);
    return digits;
}

// Creates the temporary file beside `target` under a name that nothing else
// has; null when none could be made.
std::FILE* CreateTemporary(FileSystem& system, const std::string& target, std::string& temporary) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = target + "." + UniqueDigits() + kTemporarySuffix;
        if (std::FILE* file = system.CreateNew(temporary)) {
            return file;
        }
        if (!system.Exists(temporary)) {
            return nullptr;  // not a clash of names: the folder refuses new files
        }
    }
    return nullptr;
}

// An interrupted save (a crash, a power cut) leaves its temporary file; it
// is never read, and the next save of the same file takes it away.
void RemoveLeftovers(FileSystem& system, const std::string& target) {
    const SplitPath split = Split(target);
    for (const std::string& name : system.ListFiles(split.folder)) {
        if (IsTemporaryFor(name, split.name)) {
            system.Remove(split.folder + name);
        }
    }
}

// Scanners, indexers and sync clients hold a file for a moment; the replace
// waits them out for a few milliseconds before it gives up. An error that
// will not clear (no right to replace, a folder in the way) fails at once.
bool RenameWhenFree(FileSystem& system, const std::string& from, const std::string& to) {
    for (std::uint32_t pause : kRenamePauses) {
        if (system.Rename(from, to)) {
            return true;
        }
        if (!system.RenameMayPassLater()) {
            return false;
        }
        system.Pause(pause);
    }
    if (system.Rename(from, to)) {
        return true;
    }
    lastReplaceMetHeldFile = system.RenameMayPassLater();
    return false;
}

// Reads an open stream whole, refusing one that grows past `maxBytes` while
// it is read (the size looked at before is only what it was then). The bytes
// go straight into `bytes`, sized for what was looked at and one byte more,
// to see a file that grew.
ReadStatus ReadUpTo(std::FILE* file, std::string& bytes, std::uint64_t size,
                    std::uint64_t maxBytes) {
    std::size_t filled = 0;
    std::size_t room = static_cast<std::size_t>(size) + 1;
    for (;;) {
        bytes.resize(room);
        std::size_t got = 0;
        if (!Read(file, &bytes[filled], room - filled, got)) {
            return ReadStatus::Unreadable;
        }
        filled += got;
        if (filled < room) {
            bytes.resize(filled);
            return ReadStatus::Read;
        }
        if (room > maxBytes) {
            return ReadStatus::TooLarge;
        }
        room = maxBytes - room >= kReadChunk ? room + kReadChunk
                                             : static_cast<std::size_t>(maxBytes) + 1;
    }
}

}  // namespace

bool FileSystem::Read(std::FILE* file, char* buffer, std::size_t size, std::size_t& got) {
    got = std::fread(buffer, 1, size, file);
    return got == size || std::ferror(file) == 0;
}

std::size_t FileSystem::Write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file);
}

bool FileSystem::Flush(std::FILE* file) {
    return std::fflush(file) == 0;
}

bool FileSystem::Close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool FileSystem::RenameMayPassLater() {
    return renameMayPassLater_;
}

FileSystem& Active() {
    return active != nullptr ? *active : SystemFileSystem();
}

ScopedFileSystem::ScopedFileSystem(FileSystem& replacement) : previous_(active) {
    active = &replacement;
}

ScopedFileSystem::~ScopedFileSystem() {
    active = previous_;
}

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return bytes.empty() || Write(file, bytes.data(), bytes.size()) == bytes.size();
}

bool ReadAll(std::FILE* file, std::string& bytes) {
    bytes.clear();
    char chunk[kReadChunk];
    for (;;) {
        std::size_t got = 0;
        if (!Read(file, chunk, sizeof chunk, got)) {
            return false;
        }
        bytes.append(chunk, got);
        if (got < sizeof chunk) {
            return true;
        }
    }
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::FILE* file = Open(path, "rb");
    if (file == nullptr) {
        bytes.clear();
        return false;
    }
    const bool read = ReadAll(file, bytes);
    Close(file);  // nothing was written, so a failed close loses nothing
    return read;
}

ReadStatus ReadPlainFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    PathKind kind = PathKind::PlainFile;
    std::uint64_t size = 0;
    std::FILE* file = Active().OpenToRead(path, kind, size);
    if (file == nullptr) {
        switch (kind) {
            case PathKind::Missing:
                return ReadStatus::Missing;
            case PathKind::Other:
                return ReadStatus::NotPlainFile;
            case PathKind::PlainFile:
                return ReadStatus::Unreadable;  // not open to this user
        }
    }
    ReadStatus status = ReadStatus::TooLarge;
    if (size <= maxBytes) {
        try {
            status = ReadUpTo(file, bytes, size, maxBytes);
        } catch (const std::bad_alloc&) {
            status = ReadStatus::Unreadable;  // larger than the memory left
        }
    }
    Close(file);  // nothing was written, so a failed close loses nothing
    if (status != ReadStatus::Read) {
        bytes = std::string();
    }
    return status;
}

bool LastReplaceMetHeldFile() {
    return lastReplaceMetHeldFile;
}

bool IsTemporaryFor(const std::string& name, const std::string& fileName) {
    const std::string suffix = kTemporarySuffix;
    const std::size_t digitsAt = fileName.size() + 1;
    if (name.size() != digitsAt + kUniqueDigits + suffix.size() ||
        name.compare(0, fileName.size(), fileName) != 0 || name[fileName.size()] != '.' ||
        name.compare(digitsAt + kUniqueDigits, suffix.size(), suffix) != 0) {
        return false;
    }
    for (std::size_t i = digitsAt; i < digitsAt + kUniqueDigits; ++i) {
        if (!IsLowerHex(name[i])) {
            return false;
        }
    }
    return true;
}

bool ReplaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeBody) {
    lastReplaceMetHeldFile = false;
    if (path.empty()) {
        return false;
    }
    FileSystem& system = Active();
    // The new file goes where the link points, so the link itself stays.
    const std::string target = system.ResolveLinks(path);
    const bool existed = system.Exists(target);
    // A read-only file is the player's wish; the rename would go over it.
    if (existed) {
        std::FILE* probe = system.Open(target, "r+b");
        if (probe == nullptr) {
            return false;
        }
        system.Close(probe);
    }
    RemoveLeftovers(system, target);

    std::string temporary;
    std::FILE* out = CreateTemporary(system, target, temporary);
    if (out == nullptr) {
        return false;
    }
    bool written = writeBody(out) && std::ferror(out) == 0;
    written = written && system.Flush(out) && std::ferror(out) == 0 && system.Sync(out);
    const bool closed = system.Close(out);
    if (!written || !closed) {
        system.Remove(temporary);
        return false;
    }

    // The contents are what matter, so rights that cannot be copied do not
    // stop the save.
    if (existed) {
        system.CopyPermissions(target, temporary);
    }
    if (!RenameWhenFree(system, temporary, target)) {
        system.Remove(temporary);
        return false;
    }
    return true;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    return ReplaceFile(path, [&bytes](std::FILE* out) { return WriteAll(out, bytes); });
}

}  // namespace files
