// How garbolt-sim shows the texts the plug-in hands over. They are bytes,
// not always UTF-8 (an outfit name an editor saved as Latin-1, say), and
// every report must show them whole without breaking the terminal, the
// JSON lines or the picture.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace garbolt_sim {

// The length of the UTF-8 character that starts at text[at] (shortest form,
// no surrogate, at most U+10FFFF); 0 when the byte there starts none.
std::size_t Utf8CharAt(std::string_view text, std::size_t at);
bool IsUtf8(std::string_view text);

// The text as the scenario language writes it between quotes: \" \\ \n \t,
// and \xHH for every other control byte and every byte that belongs to no
// UTF-8 character. Read back, the result gives the same bytes.
std::string ScenarioEscaped(std::string_view text);

// A line for a terminal: UTF-8 characters and backslashes as they are,
// control bytes and stray bytes as \xHH (so a quoted text keeps its form).
std::string TerminalSafe(std::string_view line);

// Valid UTF-8: each byte that belongs to no UTF-8 character becomes U+FFFD.
std::string ValidUtf8(std::string_view text);
// What the picture library draws: valid UTF-8 whose noncharacters (U+FDD0 to
// U+FDEF, U+FFFE, U+FFFF and their kin in every plane) are U+FFFD too, since
// one of them fails the whole picture.
std::string DrawableUtf8(std::string_view text);

// The bytes in hex, two lower-case digits each.
std::string HexBytes(std::string_view text);

}  // namespace garbolt_sim
