// Lines and columns of places in a file, as an editor shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace garbolt_outfits {

// A place in the file as an editor shows it: 1-based line and column
// (columns count characters, not bytes).
struct Location {
    int line = 1;
    int column = 1;
};

// Answers where byte offsets of one file lie. It keeps the location of every
// few hundred bytes, so each answer costs a short scan whatever the size of
// the file or the order of the questions. The bytes must outlive it.
class LocationMap {
  public:
    explicit LocationMap(const std::string& bytes);

    // The line and column of a byte offset (past the end: the end).
    Location At(std::ptrdiff_t offset) const;
    // Where a parsed element starts (its '<'); line 1, column 1 when unknown.
    Location At(pugi::xml_node element) const;

  private:
    Location Advance(Location location, std::size_t from, std::size_t to) const;

    const std::string& bytes_;
    bool byteOrderMark_;
    std::vector<Location> checkpoints_;  // the location of every kStride-th byte
};

// The line and column of one byte offset.
Location LocationOf(const std::string& bytes, std::ptrdiff_t offset);

}  // namespace garbolt_outfits
