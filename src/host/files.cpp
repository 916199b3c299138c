#include "host/files.h"

#include <sys/stat.h>

#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#if defined(_WIN32)
// The two kernel32 calls that the one-step replace needs, declared here so
// that <windows.h> stays inside the platform seam.
extern "C" {
__declspec(dllimport) int __stdcall MultiByteToWideChar(unsigned int codePage, unsigned long flags,
                                                        const char* text, int textLength,
                                                        wchar_t* wide, int wideLength);
__declspec(dllimport) int __stdcall MoveFileExW(const wchar_t* existing, const wchar_t* replacement,
                                                unsigned long flags);
}
#endif

namespace files {

namespace {

#if defined(_WIN32)
constexpr unsigned int kAnsiCodePage = 0;  // CP_ACP: what fopen takes narrow paths as
constexpr unsigned long kMoveReplaceExisting = 0x1;
constexpr unsigned long kMoveWriteThrough = 0x8;

bool WidenPath(const std::string& path, std::wstring& wide) {
    const int length = MultiByteToWideChar(kAnsiCodePage, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(kAnsiCodePage, 0, path.c_str(), -1, buffer.data(), length) != length) {
        return false;
    }
    wide.assign(buffer.data());
    return true;
}
#endif

FileSystem& SystemFileSystem() {
    static FileSystem system;
    return system;
}

FileSystem* active = nullptr;

constexpr std::size_t kReadChunk = 4096;

}  // namespace

std::FILE* FileSystem::Open(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

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

bool FileSystem::Sync(std::FILE* file) {
#if defined(_WIN32)
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool FileSystem::Close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool FileSystem::Rename(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    // The C library's rename refuses to replace an existing file on Windows.
    std::wstring wideFrom;
    std::wstring wideTo;
    if (!WidenPath(from, wideFrom) || !WidenPath(to, wideTo)) {
        return false;
    }
    return MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                       kMoveReplaceExisting | kMoveWriteThrough) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool FileSystem::Remove(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

bool FileSystem::Exists(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0;
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

std::string TemporaryPathFor(const std::string& path) {
    return path + ".tmp";
}

bool ReplaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeBody) {
    if (path.empty()) {
        return false;
    }
    // A read-only file is the player's wish; the rename would go over it.
    if (Exists(path)) {
        std::FILE* probe = Open(path, "r+b");
        if (probe == nullptr) {
            return false;
        }
        Close(probe);
    }

    const std::string temporary = TemporaryPathFor(path);
    std::FILE* out = Open(temporary, "wb");
    if (out == nullptr) {
        return false;
    }
    bool written = writeBody(out) && std::ferror(out) == 0;
    written = written && Flush(out) && std::ferror(out) == 0 && Sync(out);
    const bool closed = Close(out);
    if (!written || !closed) {
        Remove(temporary);
        return false;
    }

    // Keep the old file's permissions on the new one; the contents are what
    // matter, so a failure here does not stop the save. (The C calls rather
    // than std::filesystem: on Windows that drags the whole locale and stream
    // library into the plug-in.)
    struct stat old;
    if (stat(path.c_str(), &old) == 0) {
        chmod(temporary.c_str(), old.st_mode & 07777);
    }

    if (!Rename(temporary, path)) {
        Remove(temporary);
        return false;
    }
    return true;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    return ReplaceFile(path, [&bytes](std::FILE* out) { return WriteAll(out, bytes); });
}

}  // namespace files
