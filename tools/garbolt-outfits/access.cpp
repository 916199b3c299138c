#include "access.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "host/files.h"
#include "report.h"
#include "wardrobe/outfit_file.h"

namespace garbolt_outfits {

namespace {

// The folder part of a path ("." when it has none), split by either slash
// so that Windows paths work too.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// What stands at the path when it is neither a regular file (or a link to
// one) nor missing: "a folder", "a FIFO (named pipe)" ...; null otherwise.
const char* SpecialFileKind(const std::string& path) {
    std::error_code error;
    switch (std::filesystem::status(path, error).type()) {
        case std::filesystem::file_type::none:  // the status itself failed: later steps explain
        case std::filesystem::file_type::not_found:
        case std::filesystem::file_type::regular:
            return nullptr;
        case std::filesystem::file_type::directory:
            return "a folder";
        case std::filesystem::file_type::fifo:
            return "a FIFO (named pipe)";
        case std::filesystem::file_type::character:
            return "a character device";
        case std::filesystem::file_type::block:
            return "a block device";
        case std::filesystem::file_type::socket:
            return "a socket";
        default:
            return "a special file";
    }
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "00000000-000000";
    if (local != nullptr) {
        std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", local);
    }
    return text;
}

}  // namespace

bool ReadOutfitFile(const std::string& path, LoadedFile& file, std::ostream& err, bool isStore) {
    file.path = path;
    // Any file read is a regular file, the outfit to import too: reading a
    // FIFO or a device could wait or run on for ever.
    const char* kind = SpecialFileKind(path);
    if (kind != nullptr && !IsFolder(path)) {
        err << path << " is " << kind << ", not a regular file, so it holds no outfits.\n"
            << (isStore ? "Name the outfit file itself with --file PATH.\n"
                        : "Name an outfit file exported by garbolt-outfits.\n");
        file.status = files::ReadStatus::NotPlainFile;
        return false;
    }
    errno = 0;
    const outfit_file::LoadResult result =
        outfit_file::LoadOutfitFile(path, file.document, &file.bytes);
    file.status = result.read;
    file.read = result.read == files::ReadStatus::Read;
    file.parse = result.parse;
    if (result.read == files::ReadStatus::TooLarge) {
        err << path << " is larger than " << outfit_file::kMaxOutfitFileBytes / 1024
            << " KB, the most the game reads, so it was not read.\n";
        if (!isStore) {
            err << "Export the outfit on its own with garbolt-outfits export and import that "
                   "file.\n";
        }
        return false;
    }
    const int readError = errno;
    if (file.read) {
        return true;
    }
    const std::string folder = FolderOf(path);
    if (!isStore && !files::Exists(path)) {
        err << path
            << " does not exist. Check the name and folder of the file and run the "
               "command again.\n";
    } else if (!files::Exists(folder)) {
        err << "There is no folder " << folder << ", so there is no " << path << ".\n"
            << "Run garbolt-outfits in the game folder (the one that holds Garbolt.asi and the "
               "Garbolt folder), or name the file with --file PATH.\n";
    } else if (!IsFolder(folder)) {
        err << folder << " is a file, not a folder, so there is no " << path << ".\n"
            << "Name the outfit file with --file PATH.\n";
    } else if (!files::Exists(path)) {
        err << path << " does not exist.\n"
            << "The game creates it when you save your first outfit. Or restore one of your "
               "backups, or name another file with --file PATH.\n";
    } else if (IsFolder(path)) {
        err << path << " is a folder, not a file.\n"
            << (isStore ? "Name the outfit file itself with --file PATH.\n"
                        : "Name the outfit file itself.\n");
    } else {
        err << path
            << " cannot be read: " << (readError != 0 ? std::strerror(readError) : "read error")
            << ".\n";
        if (IsPermissionError(readError)) {
            err << "Give your user permission to read the file (the game needs it too) and run "
                   "the command again.\n";
        }
    }
    return false;
}

std::string ParseErrorText(const LoadedFile& file) {
    const Location where = LocationOf(file.bytes, file.parse.offset);
    return file.path + ":" + std::to_string(where.line) + ":" + std::to_string(where.column) +
           ": error: " + file.parse.description();
}

bool CheckReplaceable(const std::string& path, std::ostream& err) {
    const char* kind = SpecialFileKind(path);
    if (kind == nullptr) {
        return true;
    }
    err << path << " is " << kind
        << ", not a regular file, so garbolt-outfits does not write over it. Name a regular "
           "file.\n";
    return false;
}

bool CheckWritable(const std::string& path, std::ostream& err) {
    if (!CheckReplaceable(path, err)) {
        return false;
    }
    errno = 0;
    std::FILE* probe = files::Open(path, "r+b");
    const int openError = errno;
    if (probe != nullptr) {
        files::Close(probe);
        return true;
    }
    if (IsPermissionError(openError)) {
        err << path << " is read-only, so nothing was changed.\n"
            << "Make it writable (on Windows: right-click the file, Properties, clear "
               "\"Read-only\"; on Linux: chmod u+w "
            << path << ") and run the command again.\n";
    } else {
        err << path << " cannot be opened for writing: "
            << (openError != 0 ? std::strerror(openError) : "unknown error")
            << ". Nothing was changed.\n";
    }
    return false;
}

bool WriteBackup(const std::string& path, const std::string& bytes, std::string& backupPath,
                 std::ostream& err) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string folderPart = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = fileName.find_last_of('.');
    const std::string stem =
        dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
    const std::string extension = dot == std::string::npos || dot == 0 ? "" : fileName.substr(dot);
    const std::string base = folderPart + stem + "-backup-" + TimeStamp();
    backupPath = base + extension;
    for (int copy = 2; files::Exists(backupPath); ++copy) {
        backupPath = base + "-" + std::to_string(copy) + extension;
    }
    if (!files::ReplaceFile(backupPath, bytes)) {
        err << "Could not write the backup " << backupPath << ", so nothing was changed.\n"
            << "Check that you may write in the folder " << FolderOf(path)
            << " and that the disk has space, then run the command again.\n";
        backupPath.clear();
        return false;
    }
    return true;
}

bool CheckUtf8(const LoadedFile& file, std::ostream& err) {
    if (!outfit_file::IsUtf8File(file.bytes, file.document)) {
        err << file.path
            << " is not saved as UTF-8 (it declares another encoding, or holds bytes that are "
               "not UTF-8), so nothing was changed: a name written into it would mix two "
               "encodings in one file. Open it in a text editor, save it as UTF-8 (with "
               "encoding=\"UTF-8\" or no encoding in its first line), then run the command "
               "again.\n";
        return false;
    }
    return true;
}

bool WriteOutfitDocument(const LoadedFile& file, std::ostream& err) {
    const std::string& path = file.path;
    if (!outfit_file::SaveOutfitFile(path, file.document,
                                     outfit_file::HasByteOrderMark(file.bytes))) {
        err << "Could not write " << path << "; it keeps its old contents.\n"
            << "Check that you may write in the folder " << FolderOf(path)
            << " and that the disk has space, then run the command again.\n";
        return false;
    }
    return true;
}

}  // namespace garbolt_outfits
