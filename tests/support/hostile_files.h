// Outfit files nobody here controls, made in code at any size: the shapes a
// downloaded SavedOutfits.xml may take to break a reader (deep nesting, huge
// counts, long texts, bytes that are no XML). The hostile-file tests use
// them, and small ones seed the fuzzers.
#pragma once

#include <cstddef>
#include <string>

namespace hostile_files {

// A well-formed store holding one outfit on row 6 named `name`, whose
// Components hold `depth` nested <a> elements instead of items.
std::string DeeplyNested(std::size_t depth, const std::string& name = "Deep");
// One outfit on row 6 with `children` extra empty children besides its Name and Slot.
std::string ManyChildren(std::size_t children);
// One outfit on row 6 whose name is `piece` repeated until it is at least `bytes` long.
std::string LongName(std::size_t bytes, const std::string& piece);
// `count` outfits named "Outfit 0", "Outfit 1"... on the rows 6 to 20 in turn.
std::string ManyOutfits(std::size_t count);
// One outfit on row 6 named "Attributes", with `count` attributes on the
// root, the outfit and its Name each.
std::string ManyAttributes(std::size_t count);
// `count` NUL bytes.
std::string NulBytes(std::size_t count);
// A one-outfit store named `name` (ASCII and two-byte UTF-8 only), as
// UTF-16 little endian with its byte-order mark.
std::string Utf16WithBom(const std::string& name);
// A one-outfit store cut off after `bytes` bytes.
std::string Truncated(std::size_t bytes);
// One outfit on row 6 named "Padded", with a comment that makes the file
// exactly `bytes` long (at least a few hundred).
std::string PaddedTo(std::size_t bytes);
// One outfit on row 6 named "Many", whose Components and Wearables hold
// `items` entries together (item hashes 1, 2 ..., states 0).
std::string ManyItems(std::size_t items);

}  // namespace hostile_files
