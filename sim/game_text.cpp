#include "sim/game_text.h"

#include <charconv>
#include <optional>

namespace sim {

namespace {

constexpr std::string_view kColourCodePrefix = "COLOR_";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsCodeCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The value of attribute `name` (in any letter case) of a tag, given the
// text between '<' and '>', quoted with ' or " or bare.
std::optional<std::string_view> Attribute(std::string_view tag, std::string_view name) {
    std::size_t at = 0;
    while (at < tag.size() && !IsSpace(tag[at])) {
        ++at;  // the tag's own name
    }
    while (at < tag.size()) {
        while (at < tag.size() && (IsSpace(tag[at]) || tag[at] == '/')) {
            ++at;
        }
        const std::size_t nameStart = at;
        while (at < tag.size() && !IsSpace(tag[at]) && tag[at] != '=') {
            ++at;
        }
        const std::string_view attribute = tag.substr(nameStart, at - nameStart);
        while (at < tag.size() && IsSpace(tag[at])) {
            ++at;
        }
        std::string_view value;
        if (at < tag.size() && tag[at] == '=') {
            ++at;
            while (at < tag.size() && IsSpace(tag[at])) {
                ++at;
            }
            if (at < tag.size() && (tag[at] == '\'' || tag[at] == '"')) {
                const char quote = tag[at++];
                const std::size_t end = std::min(tag.find(quote, at), tag.size());
                value = tag.substr(at, end - at);
                at = end + 1;
            } else {
                const std::size_t start = at;
                while (at < tag.size() && !IsSpace(tag[at])) {
                    ++at;
                }
                value = tag.substr(start, at - start);
            }
        }
        if (!attribute.empty() && SameNoCase(attribute, name)) {
            return value;
        }
    }
    return std::nullopt;
}

struct Font {
    std::string face;
    std::int32_t size = 0;
};

// Reads markup left to right into lines of runs.
class GameTextReader {
  public:
    SeenText Read(std::string_view markup) {
        std::size_t at = 0;
        while (at < markup.size()) {
            const char c = markup[at];
            if (c == '<' && ReadTag(markup, at)) {
                continue;
            }
            if (c == '~' && ReadCode(markup, at)) {
                continue;
            }
            if (c == '&' && ReadEntity(markup, at)) {
                continue;
            }
            if (c == '\n' || c == '\r') {
                BreakLine();
                at += c == '\r' && markup.substr(at, 2) == "\r\n" ? 2 : 1;
                continue;
            }
            AddLetters(std::string_view(&markup[at], 1));
            ++at;
        }
        return std::move(seen_);
    }

  private:
    // A tag up to its '>'; false (the '<' is a letter) when none closes it.
    bool ReadTag(std::string_view markup, std::size_t& at) {
        const std::size_t close = markup.find('>', at);
        if (close == std::string_view::npos) {
            return false;
        }
        const std::string_view tag = markup.substr(at + 1, close - at - 1);
        const std::string_view whole = markup.substr(at, close - at + 1);
        at = close + 1;
        const bool closing = !tag.empty() && tag[0] == '/';
        std::size_t nameEnd = closing ? 1 : 0;
        while (nameEnd < tag.size() && !IsSpace(tag[nameEnd]) && tag[nameEnd] != '/') {
            ++nameEnd;
        }
        const std::string_view name = tag.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0));
        if (SameNoCase(name, "P")) {
            EndParagraph();
        } else if (SameNoCase(name, "BR")) {
            BreakLine();
        } else if (SameNoCase(name, "FONT")) {
            if (closing) {
                if (!fonts_.empty()) {
                    fonts_.pop_back();
                }
            } else {
                OpenFont(tag);
            }
        } else if (SameNoCase(name, "IMG") && !closing) {
            SeenRun picture = Styled();
            picture.image = true;
            picture.text = std::string(whole);
            Line().runs.push_back(std::move(picture));
        }
        return true;
    }

    void OpenFont(std::string_view tag) {
        Font font = fonts_.empty() ? Font() : fonts_.back();
        if (const auto face = Attribute(tag, "FACE")) {
            font.face = std::string(face->substr(!face->empty() && (*face)[0] == '$' ? 1 : 0));
        }
        if (const auto size = Attribute(tag, "SIZE")) {
            std::int32_t value = 0;
            const auto result = std::from_chars(size->data(), size->data() + size->size(), value);
            if (result.ec == std::errc() && result.ptr == size->data() + size->size()) {
                font.size = value;
            }
        }
        fonts_.push_back(std::move(font));
    }

    // "~word~"; false (the '~' is a letter) when no code starts here.
    bool ReadCode(std::string_view markup, std::size_t& at) {
        std::size_t end = at + 1;
        while (end < markup.size() && IsCodeCharacter(markup[end])) {
            ++end;
        }
        if (end == at + 1 || end >= markup.size() || markup[end] != '~') {
            return false;
        }
        const std::string_view code = markup.substr(at + 1, end - at - 1);
        at = end + 1;
        if (code == "n") {
            BreakLine();
        } else if (code == "s") {
            colour_.clear();
        } else if (code.substr(0, kColourCodePrefix.size()) == kColourCodePrefix) {
            colour_ = std::string(code);
        }
        return true;
    }

    bool ReadEntity(std::string_view markup, std::size_t& at) {
        static constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
            {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&apos;", "'"}};
        for (const auto& [entity, letter] : kEntities) {
            if (markup.substr(at, entity.size()) == entity) {
                AddLetters(letter);
                at += entity.size();
                return true;
            }
        }
        return false;
    }

    SeenRun Styled() const {
        SeenRun run;
        run.colour = colour_;
        if (!fonts_.empty()) {
            run.fontFace = fonts_.back().face;
            run.size = fonts_.back().size;
        }
        return run;
    }

    // The line that the next letters or picture go on.
    SeenLine& Line() {
        if (seen_.lines.empty() || paragraphEnded_) {
            seen_.lines.emplace_back();
            paragraphEnded_ = false;
        }
        return seen_.lines.back();
    }

    void AddLetters(std::string_view letters) {
        SeenLine& line = Line();
        SeenRun run = Styled();
        if (!line.runs.empty()) {
            SeenRun& last = line.runs.back();
            if (!last.image && last.colour == run.colour && last.fontFace == run.fontFace &&
                last.size == run.size) {
                last.text.append(letters.data(), letters.size());
                return;
            }
        }
        run.text = std::string(letters);
        line.runs.push_back(std::move(run));
    }

    // A line break always starts a new line, empty or not.
    void BreakLine() {
        if (seen_.lines.empty()) {
            seen_.lines.emplace_back();
        }
        seen_.lines.emplace_back();
        paragraphEnded_ = false;
    }

    // A paragraph's start or end: what follows goes on a line of its own,
    // unless the line so far is empty.
    void EndParagraph() {
        if (!seen_.lines.empty() && !seen_.lines.back().runs.empty()) {
            paragraphEnded_ = true;
        }
    }

    SeenText seen_;
    bool paragraphEnded_ = false;
    std::string colour_;
    std::vector<Font> fonts_;
};

}  // namespace

std::string SeenText::Plain() const {
    std::string plain;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            plain += '\n';
        }
        for (const SeenRun& run : lines[i].runs) {
            plain += run.text;
        }
    }
    return plain;
}

SeenText ReadGameText(std::string_view markup) {
    return GameTextReader().Read(markup);
}

}  // namespace sim
