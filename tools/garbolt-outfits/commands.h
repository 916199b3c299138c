// The commands of garbolt-outfits, each working on one outfit file.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace garbolt_outfits {

// Exit statuses of the program.
constexpr int kExitDone = 0;      // done; for check: the plug-in will load every outfit
constexpr int kExitProblem = 1;   // the file has problems, or the command was refused or failed
constexpr int kExitBadUsage = 2;  // the arguments were wrong

int CheckCommand(const std::string& path, std::ostream& out, std::ostream& err);
int ListCommand(const std::string& path, std::ostream& out, std::ostream& err);
// rowIndex is 0-based (6 to 20).
int ExportCommand(const std::string& path, std::int32_t rowIndex, const std::string& target,
                  bool replace, std::ostream& out, std::ostream& err);
// rowIndex -1: the first free row.
int ImportCommand(const std::string& path, const std::string& source, std::int32_t rowIndex,
                  bool replace, std::ostream& out, std::ostream& err);
int BackupCommand(const std::string& path, std::ostream& out, std::ostream& err);
int MendCommand(const std::string& path, std::ostream& out, std::ostream& err);
// rowIndex is 0-based (6 to 20); the name must pass the game's name rules.
int RenameCommand(const std::string& path, std::int32_t rowIndex, const std::string& name,
                  std::ostream& out, std::ostream& err);
// Moves the outfit on one row (0-based) to another: onto a free row, or
// swapping with the outfit there.
int MoveCommand(const std::string& path, std::int32_t fromRow, std::int32_t toRow,
                std::ostream& out, std::ostream& err);

}  // namespace garbolt_outfits
