#include "wardrobe/typed_name.h"

#include <cstdint>

std::size_t Utf8CharacterLength(const std::string& text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    // Lead bytes C2 to F4; each excludes the overlong forms, surrogates and
    // code points past U+10FFFF by the range of its second byte.
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    return length;
}

void DropUnstorableCharacters(std::string& name) {
    std::size_t kept = 0;
    for (std::size_t at = 0; at < name.size();) {
        std::uint32_t code = 0;
        const std::size_t length = Utf8CharacterLength(name, at, code);
        const bool storable = length != 0 && code >= 0x20 && (code < 0x7F || code > 0x9F) &&
                              code != 0xFFFE && code != 0xFFFF;
        for (std::size_t i = 0; storable && i < length; ++i) {
            name[kept++] = name[at + i];
        }
        at += length != 0 ? length : 1;
    }
    name.resize(kept);
}

bool IsStorableName(const std::string& name) {
    std::string kept = name;
    DropUnstorableCharacters(kept);
    return kept.size() == name.size();
}
