#include "menu/plain_text.h"

namespace {

// U+02DC SMALL TILDE in UTF-8: the game's fonts have it, and it is no '~'.
constexpr std::string_view kTildeLookAlike = "\xCB\x9C";

// What a byte is shown as, or an empty view for a byte that stays.
std::string_view Replacement(char c) {
    switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '~':
            return kTildeLookAlike;
        default:
            break;
    }
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F ? " " : std::string_view();
}

}  // namespace

void AppendPlainText(std::string& out, std::string_view text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view replacement = Replacement(text[i]);
        if (!replacement.empty()) {
            out.append(text.data() + kept, i - kept);
            out.append(replacement.data(), replacement.size());
            kept = i + 1;
        }
    }
    out.append(text.data() + kept, text.size() - kept);
}

std::string PlainText(std::string_view text) {
    std::string out;
    AppendPlainText(out, text);
    return out;
}
