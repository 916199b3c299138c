// Reaching the player's files: reading them as the plug-in does, saying
// plainly why one cannot be read or written, backups and atomic writes.
#pragma once

#include <ostream>
#include <string>

#include <pugixml.hpp>

#include "host/files.h"

namespace garbolt_outfits {

// An outfit file read and parsed with the plug-in's own code.
struct LoadedFile {
    std::string path;
    std::string bytes;
    pugi::xml_document document;
    bool read = false;
    // Why it was not read, when it was not.
    files::ReadStatus status = files::ReadStatus::Missing;
    pugi::xml_parse_result parse;
};

// Reads and parses the file. When it cannot be read at all, explains why on
// `err` (missing folder, missing file, a folder in its place, no access) and
// returns false; a file that is read but not well-formed returns true with
// the parse result set, for the caller to report. `isStore` is false for a
// file that is not the game's outfit file (an exported outfit to import).
bool ReadOutfitFile(const std::string& path, LoadedFile& file, std::ostream& err,
                    bool isStore = true);

// "PATH:LINE:COLUMN: pugixml's description" for a file that did not parse.
std::string ParseErrorText(const LoadedFile& file);

// Before writing a file: false, with an explanation on `err`, when something
// other than a regular file (or a link to one) stands at the path. A folder,
// FIFO, device or socket is never a place for outfits, and replacing it
// would break whatever uses it.
bool CheckReplaceable(const std::string& path, std::ostream& err);

// Before a change: false, with an explanation on `err`, when the file is not
// a regular file, is read-only or cannot be opened for writing.
bool CheckWritable(const std::string& path, std::ostream& err);

// Copies the file's bytes to a new time-stamped file beside it
// ("SavedOutfits-backup-YYYYMMDD-HHMMSS.xml", with "-2", "-3" ... when
// that name is taken). Sets `backupPath`; on failure explains on `err`.
bool WriteBackup(const std::string& path, const std::string& bytes, std::string& backupPath,
                 std::ostream& err);

// Before a change: false, with an explanation on `err`, when the file is not
// UTF-8 throughout (see outfit_file::IsUtf8File); the game refuses to
// change such a file too.
bool CheckUtf8(const LoadedFile& file, std::ostream& err);

// Replaces the file with its (changed) document in one step, as the plug-in
// does, keeping a UTF-8 byte-order mark; on failure explains on `err` and
// the file keeps its old bytes.
bool WriteOutfitDocument(const LoadedFile& file, std::ostream& err);

}  // namespace garbolt_outfits
