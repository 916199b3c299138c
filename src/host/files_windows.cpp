// The file system on Windows. Paths arrive in the system's ANSI code page,
// as the C library's fopen takes them, and go to the wide-character calls.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <cstdint>

#include "host/files.h"
#include "host/files_os.h"

namespace files {

namespace {

// What the final path of an open file starts with, for a drive and for a
// network share.
constexpr wchar_t kLongPathPrefix[] = L"\\\\?\\";
constexpr wchar_t kLongUncPrefix[] = L"\\\\?\\UNC\\";

bool Widen(const std::string& text, std::wstring& wide) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    wide.assign(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length) != length) {
        return false;
    }
    wide.resize(static_cast<std::size_t>(length - 1));
    return true;
}

// False when the name has a character that the ANSI code page cannot spell:
// such a name could not be opened again through fopen.
bool Narrow(const std::wstring& wide, std::string& text) {
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr,
                                           0, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    text.assign(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text.data(), length,
                            nullptr, &lossy) != length ||
        lossy) {
        return false;
    }
    text.resize(static_cast<std::size_t>(length - 1));
    return true;
}

DWORD AttributesOf(const std::string& path) {
    std::wstring wide;
    return Widen(path, wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
}

// A handle that only asks about a file, through any links to their final
// target, and stands in no other program's way.
HANDLE OpenToQuery(const std::string& path) {
    std::wstring wide;
    if (!Widen(path, wide)) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The final path that Windows reports for an open file, in the form fopen
// takes: without the long-path prefix.
bool FinalPathOf(HANDLE file, std::string& path) {
    std::wstring wide(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, wide.data(), static_cast<DWORD>(wide.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= wide.size()) {
        wide.assign(length + 1, L'\0');
        length = GetFinalPathNameByHandleW(file, wide.data(), static_cast<DWORD>(wide.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= wide.size()) {
        return false;
    }
    wide.resize(length);
    if (wide.rfind(kLongUncPrefix, 0) == 0) {
        wide = L"\\\\" + wide.substr(wcslen(kLongUncPrefix));
    } else if (wide.rfind(kLongPathPrefix, 0) == 0) {
        wide = wide.substr(wcslen(kLongPathPrefix));
    }
    return Narrow(wide, path);
}

// MoveFileExW says "access denied" both for a file another program keeps
// open without delete sharing, which clears when it lets go, and for one this
// user may not replace (or a folder in the way), which never clears. Asking
// for delete access tells them apart: only a holder makes it a sharing
// violation.
bool HeldByAnotherProgram(const std::wstring& path) {
    const HANDLE probe =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::FILE* FileSystem::Open(const std::string& path, const char* mode) {
    std::wstring widePath;
    std::wstring wideMode;
    if (!Widen(path, widePath) || !Widen(mode, wideMode)) {
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

std::FILE* FileSystem::CreateNew(const std::string& path) {
    std::wstring wide;
    if (!Widen(path, wide)) {
        return nullptr;
    }
    const int descriptor =
        _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "wb");
    if (file == nullptr) {
        _close(descriptor);
        DeleteFileW(wide.c_str());
    }
    return file;
}

bool FileSystem::Sync(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

bool FileSystem::Rename(const std::string& from, const std::string& to) {
    renameMayPassLater_ = false;
    std::wstring wideFrom;
    std::wstring wideTo;
    if (!Widen(from, wideFrom) || !Widen(to, wideTo)) {
        return false;
    }
    // The C library's rename refuses to replace an existing file here.
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return true;
    }
    const DWORD error = GetLastError();
    renameMayPassLater_ = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          (error == ERROR_ACCESS_DENIED && HeldByAnotherProgram(wideTo));
    return false;
}

bool FileSystem::Remove(const std::string& path) {
    std::wstring wide;
    return Widen(path, wide) && DeleteFileW(wide.c_str()) != 0;
}

bool FileSystem::Exists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return true;
    }
    // A link counts by its target, as on the other systems.
    const HANDLE file = OpenToQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::FILE* FileSystem::OpenToRead(const std::string& path, PathKind& kind, std::uint64_t& size) {
    size = 0;
    std::wstring wide;
    if (!Widen(path, wide)) {
        kind = PathKind::PlainFile;
        return nullptr;
    }
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open; the look at
    // the path then tells it from a file this user may not read.
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        kind = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::Missing
               : error == ERROR_PIPE_BUSY                                     ? PathKind::Other
                                                                              : KindOf(path);
        return nullptr;
    }
    // A pipe or a device (CON, NUL, a serial port) is no disk file.
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        GetFileInformationByHandle(handle, &information) == 0 ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        kind = PathKind::Other;
        CloseHandle(handle);
        return nullptr;
    }
    kind = PathKind::PlainFile;
    size = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    const int descriptor =
        _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, "rb");
    if (file == nullptr) {
        _close(descriptor);
    }
    return file;
}

PathKind FileSystem::KindOf(const std::string& path) {
    DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::Missing
                                                                              : PathKind::PlainFile;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A link counts by its target, as on the other systems.
        const HANDLE file = OpenToQuery(path);
        if (file == INVALID_HANDLE_VALUE) {
            return PathKind::Missing;
        }
        BY_HANDLE_FILE_INFORMATION information{};
        const bool known = GetFileInformationByHandle(file, &information) != 0 &&
                           GetFileType(file) == FILE_TYPE_DISK;
        CloseHandle(file);
        if (!known) {
            return PathKind::Other;
        }
        attributes = information.dwFileAttributes;
    }
    const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    return (attributes & notPlain) == 0 ? PathKind::PlainFile : PathKind::Other;
}

std::uint64_t FileSystem::PlainFileSize(const std::string& path) {
    // Through any links to the file itself, as reading it goes.
    const HANDLE file = OpenToQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;
    const bool plain = GetFileType(file) == FILE_TYPE_DISK &&
                       GetFileInformationByHandle(file, &information) != 0 &&
                       (information.dwFileAttributes & notPlain) == 0;
    CloseHandle(file);
    return plain ? (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) |
                       information.nFileSizeLow
                 : 0;
}

std::string FileSystem::ResolveLinks(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    const HANDLE file = OpenToQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        return path;
    }
    std::string target;
    const bool found = FinalPathOf(file, target);
    CloseHandle(file);
    return found ? target : path;
}

void FileSystem::CopyPermissions(const std::string&, const std::string&) {
    // The new file takes the access rights its folder hands down, as the old
    // one did; a read-only file has been refused before it came to this.
}

std::vector<std::string> FileSystem::ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::wstring pattern;
    if (!Widen(folder + "*", pattern)) {
        return names;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        std::string name;
        const DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & notPlain) == 0 && Narrow(found.cFileName, name)) {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found) != 0);
    FindClose(search);
    return names;
}

void FileSystem::Pause(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

namespace os {

std::uint32_t ProcessId() {
    return GetCurrentProcessId();
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

}  // namespace os

}  // namespace files
