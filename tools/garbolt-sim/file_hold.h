// Another program holding a file of the game folder open the way a virus
// scanner, a search indexer or a cloud-sync client does: reading it, letting
// others read and write it, but not letting it be deleted or replaced. The
// Windows build starts garbolt-file-holder.exe (beside the program) for it;
// other systems have no such sharing modes, and Start says so.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace garbolt_sim {

class FileHold {
  public:
    // Holds `path` from the moment this returns, for `milliseconds` or until
    // the object goes; null with the reason when the file could not be held.
    static std::unique_ptr<FileHold> Start(const std::string& path, std::uint32_t milliseconds,
                                           std::string* error);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

  private:
    FileHold() = default;
#if defined(_WIN32)
    void* process_ = nullptr;  // the holder's process and its ready event
    void* ready_ = nullptr;
#endif
};

}  // namespace garbolt_sim
