// File access that a test can make fail, and whole-file replacement that
// never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace files {

// What stands at a path: nothing, a plain file, or something else (a
// folder, a device, a FIFO) that is never read or written as a file.
enum class PathKind { Missing, PlainFile, Other };

// Every file operation of the plug-in goes through the active file system,
// so a test can swap in one whose open, read, write, flush, close or rename
// fails at the moment it chooses. The default one is the system's: the C
// library's streams, and the calls of files_posix.cpp or files_windows.cpp
// for everything the C library cannot do alike on both systems.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // fopen: null when the file cannot be opened in this mode.
    virtual std::FILE* Open(const std::string& path, const char* mode);
    // Creates a file that does not exist yet and opens it for writing in
    // binary; null when something of that name exists or it cannot be made.
    virtual std::FILE* CreateNew(const std::string& path);
    // fread: `got` bytes were read, fewer than asked at the end of the file;
    // false on a read error.
    virtual bool Read(std::FILE* file, char* buffer, std::size_t size, std::size_t& got);
    // fwrite: the number of bytes written; fewer than asked on error.
    virtual std::size_t Write(std::FILE* file, const char* data, std::size_t size);
    // fflush: false on error.
    virtual bool Flush(std::FILE* file);
    // Asks the system to put a flushed file's bytes on the disk (fsync, or
    // _commit on Windows), so a power cut after the replace cannot leave an
    // empty file; false on error.
    virtual bool Sync(std::FILE* file);
    // fclose: false on error; the stream is gone either way.
    virtual bool Close(std::FILE* file);
    // Puts `from` in the place of `to` in one step, replacing an existing `to`.
    virtual bool Rename(const std::string& from, const std::string& to);
    // After a failed Rename: true when it failed only because another program
    // has `to` open without letting it be replaced (Windows' sharing
    // violation or denied access), so that a later try may pass.
    virtual bool RenameMayPassLater();
    // Deletes a file; false when it could not.
    virtual bool Remove(const std::string& path);
    // True when something exists at the path (a link counts by its target).
    virtual bool Exists(const std::string& path);
    // Opens a file to read it whole, without ever waiting (opening a FIFO to
    // read waits for a writer), and looks at the open handle: `kind` is what
    // it is, a link counting by its target. The stream, in binary, comes
    // back only for a plain file, with `size` its length in bytes; a plain
    // file that cannot be opened gives null with `kind` PlainFile.
    virtual std::FILE* OpenToRead(const std::string& path, PathKind& kind, std::uint64_t& size);
    // What stands at the path, a link counting by its target. A path that
    // cannot be looked at for another reason counts as a plain file, so that
    // opening it tells what is wrong.
    virtual PathKind KindOf(const std::string& path);
    // The length in bytes of the plain file at the path, a link counting by
    // its target; 0 when there is none or it cannot be looked at. It opens
    // nothing, so it never waits.
    virtual std::uint64_t PlainFileSize(const std::string& path);
    // Where a write to `path` really lands: the final target of a chain of
    // symbolic links, or `path` itself when it is no link or the chain
    // cannot be followed.
    virtual std::string ResolveLinks(const std::string& path);
    // Gives `to` the access rights of `from` where the system keeps them per
    // file; a failure only leaves `to` with the default rights.
    virtual void CopyPermissions(const std::string& from, const std::string& to);
    // The names of the plain files in a folder ("" is the current one);
    // empty when it cannot be read.
    virtual std::vector<std::string> ListFiles(const std::string& folder);
    // Waits before a rename is tried again.
    virtual void Pause(std::uint32_t milliseconds);

  protected:
    // Set by the system's Rename for RenameMayPassLater.
    bool renameMayPassLater_ = false;
};

// The file system in use.
FileSystem& Active();

// Makes `replacement` the active file system for the life of this object.
class ScopedFileSystem {
  public:
    explicit ScopedFileSystem(FileSystem& replacement);
    ~ScopedFileSystem();
    ScopedFileSystem(const ScopedFileSystem&) = delete;
    ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

  private:
    FileSystem* previous_;
};

// Shorthands for the active file system's operations.
inline std::FILE* Open(const std::string& path, const char* mode) {
    return Active().Open(path, mode);
}
inline bool Read(std::FILE* file, char* buffer, std::size_t size, std::size_t& got) {
    return Active().Read(file, buffer, size, got);
}
inline std::size_t Write(std::FILE* file, const char* data, std::size_t size) {
    return Active().Write(file, data, size);
}
inline bool Flush(std::FILE* file) {
    return Active().Flush(file);
}
inline bool Sync(std::FILE* file) {
    return Active().Sync(file);
}
inline bool Close(std::FILE* file) {
    return Active().Close(file);
}
inline bool Rename(const std::string& from, const std::string& to) {
    return Active().Rename(from, to);
}
inline bool Remove(const std::string& path) {
    return Active().Remove(path);
}
inline bool Exists(const std::string& path) {
    return Active().Exists(path);
}

// Writes all bytes to an open stream; false unless every byte went out.
bool WriteAll(std::FILE* file, const std::string& bytes);
// Reads a whole open stream into `bytes` (replacing its content); false on a
// read error, so a half-read file is never taken for the whole.
bool ReadAll(std::FILE* file, std::string& bytes);
// Opens, reads whole and closes a file; false when it cannot be opened or read.
bool ReadFile(const std::string& path, std::string& bytes);

// How reading a plain file whole went, and why it failed.
enum class ReadStatus { Read, Missing, NotPlainFile, TooLarge, Unreadable };
// Reads a plain file of at most `maxBytes` bytes whole. Anything else at the
// path is refused before a byte is read: a FIFO could keep the reader
// waiting and a device could never end. A larger file is TooLarge and is
// not read into memory. A file that cannot be opened or read, or that does
// not fit in memory, is Unreadable. `bytes` is empty unless Read.
ReadStatus ReadPlainFile(const std::string& path, std::string& bytes, std::uint64_t maxBytes);

// ReplaceFile writes into `<file>.<16 hex digits>.garbolt-tmp` beside the
// file; nothing else ends like this.
constexpr const char* kTemporarySuffix = ".garbolt-tmp";
// True when `name` (a bare file name) is one of ReplaceFile's temporary
// files for the file named `fileName`.
bool IsTemporaryFor(const std::string& name, const std::string& fileName);

// How long ReplaceFile keeps trying while another program holds the file.
// The game saves on its own thread, so the pauses together stay well inside
// one frame (16.7 ms at 60 frames a second): a scanner that looks at the new
// file for a moment is waited out, a program that keeps it open is not.
constexpr std::uint32_t kRenamePauses[] = {1, 1, 2};

// True when the last ReplaceFile failed only because another program held
// the file through every try: the old bytes stay, and a later save may pass.
bool LastReplaceMetHeldFile();

// Writes a file's new contents without ever leaving a partial file: the body
// goes to a temporary file of a fresh name in the file's folder, which is
// flushed, synced to the disk, closed and checked, then replaces the file in
// one step. A symbolic link stays and its final target is what is replaced.
// While another program holds the file so that it cannot be replaced, the
// replace is tried again for a few milliseconds (kRenamePauses). On any failure the temporary
// file is removed, the file keeps its old bytes and the result is false.
// Temporary files that an earlier, interrupted save left beside the file are
// removed first. An existing file that cannot be opened for writing
// (read-only) is a failure. No folder is ever created. `writeBody` returns
// false when it could not write everything; it should write through
// files::Write so that tests can make it fail, and a stream error it leaves
// behind counts as a failure too.
bool ReplaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeBody);
bool ReplaceFile(const std::string& path, const std::string& bytes);

}  // namespace files
