#include "safe_text.h"

#include <cstdint>

namespace garbolt_sim {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

void AppendByteEscape(std::string* out, unsigned char byte) {
    *out += "\\x";
    *out += kHexDigits[byte >> 4];
    *out += kHexDigits[byte & 15];
}

bool Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// C0 controls, DEL and the C1 controls (U+0080 to U+009F, which some
// terminals obey as escape sequences).
bool ControlAt(std::string_view text, std::size_t at, std::size_t length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (length == 1) {
        return lead < 0x20 || lead == 0x7F;
    }
    return length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
}

// Control characters and stray bytes as \xHH, byte by byte; between quotes
// also the scenario language's own escapes.
std::string Escape(std::string_view text, bool quoted) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharAt(text, i);
        const char c = text[i];
        const std::size_t taken = length == 0 ? 1 : length;
        if (quoted && (c == '"' || c == '\\')) {
            out += '\\';
            out += c;
        } else if (quoted && c == '\n') {
            out += "\\n";
        } else if (quoted && c == '\t') {
            out += "\\t";
        } else if (length == 0 || ControlAt(text, i, length)) {
            for (std::size_t k = 0; k < taken; ++k) {
                AppendByteEscape(&out, static_cast<unsigned char>(text[i + k]));
            }
        } else {
            out.append(text.substr(i, length));
        }
        i += taken;
    }
    return out;
}

}  // namespace

std::size_t Utf8CharAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong form
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong form
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t k = 2; k < length; ++k) {
        if (!Continuation(static_cast<unsigned char>(text[at + k]))) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharAt(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string ScenarioEscaped(std::string_view text) {
    return Escape(text, true);
}

std::string TerminalSafe(std::string_view line) {
    return Escape(line, false);
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharAt(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

namespace {

// The code point of the well-formed character of `length` bytes at text[at].
std::uint32_t CodePointAt(std::string_view text, std::size_t at, std::size_t length) {
    static const unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    std::uint32_t code = static_cast<unsigned char>(text[at]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3Fu);
    }
    return code;
}

bool IsNonCharacter(std::uint32_t code) {
    return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFEu) == 0xFFFEu;
}

}  // namespace

std::string DrawableUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharAt(text, i);
        if (length == 0 || IsNonCharacter(CodePointAt(text, i, length))) {
            out += kReplacement;
            i += length == 0 ? 1 : length;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string HexBytes(std::string_view text) {
    static const char kLower[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += kLower[byte >> 4];
        out += kLower[byte & 15];
    }
    return out;
}

}  // namespace garbolt_sim
