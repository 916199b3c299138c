// What of a name typed in the game's keyboard is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The length of the well-formed UTF-8 character that starts at `at` (with its
// code point in `code`), or 0 when no character starts there: a stray or
// overlong byte, a surrogate, a code point past U+10FFFF or a cut character.
std::size_t Utf8CharacterLength(const std::string& text, std::size_t at, std::uint32_t& code);

// Keeps of a typed name only what a row can show and an XML 1.0 file can
// hold: control characters (below U+0020, and U+007F to U+009F) are dropped,
// and so are bytes that are no UTF-8 and the non-characters U+FFFE and
// U+FFFF, for which other XML readers reject a whole file.
void DropUnstorableCharacters(std::string& name);
// True when DropUnstorableCharacters would keep `name` whole: what a name
// from outside the game must be before it may go into the file.
bool IsStorableName(const std::string& name);
