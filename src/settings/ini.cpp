#include "settings/ini.h"

#include <unordered_set>

#include "host/files.h"

// What the document is made of: tested through IniStore and the document.
namespace ini_detail {

namespace {

constexpr char kLineEnding[] = "\r\n";
constexpr char kEscapedEquals[] = "\\=";

std::string joinLines(std::string_view prefix, const std::vector<std::string>& lines) {
    std::size_t size = prefix.size();
    for (const std::string& line : lines) {
        size += line.size() + sizeof kLineEnding - 1;
    }
    std::string joined;
    joined.reserve(size);
    joined += prefix;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            joined += kLineEnding;
        }
        joined += lines[i];
    }
    return joined;
}

// The index of the first '=' that is not part of a "\=" escape, or npos:
// where the first '=' stands once every "\=" is blanked out, scanning from
// the left as replaceAll does, without building that scratch copy.
std::size_t separatorIndex(const std::string& line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '=') {
            return i;
        }
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '=') {
            ++i;
        }
    }
    return std::string::npos;
}

// A kept key line with its old value replaced by `value`: the key as
// written and the spacing around '=' stay. The old value starts at its first
// byte that is not whitespace in the line itself, so a value that begins with
// an escaped '=' is replaced whole rather than leaving its escape behind.
std::string rewrittenLine(const std::string& line, std::string value) {
    trimSpace(value);
    const std::size_t separator = separatorIndex(line);
    const std::size_t valueStart = line.find_first_not_of(kIniWhitespace, separator + 1);
    if (valueStart == std::string::npos) {
        return line + value;
    }
    return line.substr(0, valueStart) + value;
}

}  // namespace

void trimSpace(std::string& text) {
    const std::size_t last = text.find_last_not_of(kIniWhitespace);
    if (last == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(last + 1);
    text.erase(0, text.find_first_not_of(kIniWhitespace));
}

void toLowerAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

// Builds the result in one pass: replacing in place would move the rest of
// the text at every occurrence, which grows with the square of a long line.
void replaceAll(std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty()) {
        return;
    }
    std::size_t position = text.find(find);
    if (position == std::string::npos) {
        return;
    }
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t copied = 0;
    while (position != std::string::npos) {
        replaced.append(text, copied, position - copied);
        replaced += replacement;
        copied = position + find.size();
        position = text.find(find, copied);
    }
    replaced.append(text, copied, std::string::npos);
    text = std::move(replaced);
}

ClassifiedLine classifyLine(const std::string& raw) {
    ClassifiedLine result;
    std::string line = raw;
    trimSpace(line);
    if (line.empty()) {
        result.kind = LineKind::Blank;
        return result;
    }
    if (line[0] == ';') {
        result.kind = LineKind::Comment;
        return result;
    }
    if (line[0] == '[') {
        const std::size_t comment = line.find(';');
        if (comment != std::string::npos) {
            line.erase(comment);
        }
        const std::size_t close = line.rfind(']');
        if (close != std::string::npos) {
            result.kind = LineKind::SectionHeader;
            result.name = line.substr(1, close - 1);
            trimSpace(result.name);
            return result;
        }
    }
    const std::size_t separator = separatorIndex(line);
    if (separator == std::string::npos) {
        result.kind = LineKind::Unrecognised;
        return result;
    }
    result.kind = LineKind::KeyValue;
    result.name = line.substr(0, separator);
    trimSpace(result.name);
    replaceAll(result.name, kEscapedEquals, "=");
    result.value = line.substr(separator + 1);
    trimSpace(result.value);
    return result;
}

namespace {

// Hands each line of `bytes` to `take`, as splitLines splits them, in one
// buffer that is reused: a file is never held as lines all at once, so a
// blank line costs nothing beyond its bytes.
template <typename Take>
void forEachLine(std::string_view bytes, Take take) {
    if (bytes.empty()) {
        return;
    }
    std::string line;
    const auto endLine = [&]() {
        take(line);
        line.clear();
    };
    // Carriage returns seen since the last other byte: a line feed next makes
    // them part of its line end; anything else makes each one a line end.
    std::size_t pendingReturns = 0;
    for (const char c : bytes) {
        if (c == '\0') {
            continue;
        }
        if (c == '\r') {
            ++pendingReturns;
            continue;
        }
        if (c == '\n') {
            pendingReturns = 0;
            endLine();
            continue;
        }
        for (; pendingReturns != 0; --pendingReturns) {
            endLine();
        }
        line += c;
    }
    for (; pendingReturns != 0; --pendingReturns) {
        endLine();
    }
    take(line);
}

// The number of lines forEachLine hands out, at most: one per line feed or
// carriage return, and the last.
std::size_t countLines(std::string_view bytes) {
    std::size_t count = 1;
    for (const char c : bytes) {
        count += c == '\n' || c == '\r' ? 1 : 0;
    }
    return count;
}

}  // namespace

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    forEachLine(bytes, [&lines](std::string& line) { lines.push_back(line); });
    return lines;
}

bool isEightBitText(std::string_view bytes) {
    constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";  // also starts UTF-32 LE
    constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
    const std::string_view start = bytes.substr(0, 2);
    return bytes.find('\0') == std::string_view::npos && start != kUtf16LittleEndianMark &&
           start != kUtf16BigEndianMark;
}

std::string keyLine(const std::string& key, std::string value) {
    std::string line = key;
    replaceAll(line, "=", kEscapedEquals);
    trimSpace(value);
    return line + "=" + value;
}

// --- IniLoader ---------------------------------------------------------------

void readLines(std::string_view text, IniDocument& document, std::vector<std::string>* kept) {
    // The section that key lines go to, looked up once at its header rather
    // than by name at every key line. Only a header adds a section, so the
    // pointer stays valid until the next one.
    IniSection* currentSection = nullptr;
    if (kept != nullptr) {
        // Kept lines are copied at their own length; the list itself is
        // made once, not grown by doubling.
        kept->reserve(kept->size() + countLines(text));
    }
    forEachLine(text, [&](const std::string& line) {
        const ClassifiedLine parsed = classifyLine(line);
        bool keep = true;
        switch (parsed.kind) {
            case LineKind::SectionHeader:
                currentSection = &document.at(parsed.name);
                break;
            case LineKind::KeyValue:
                if (currentSection != nullptr) {
                    currentSection->at(parsed.name) = parsed.value;
                } else {
                    keep = false;
                }
                break;
            case LineKind::Unrecognised:
                keep = false;
                break;
            case LineKind::Blank:
            case LineKind::Comment:
                break;
        }
        if (keep && kept != nullptr) {
            kept->push_back(line);
        }
    });
}

IniLoader::IniLoader(std::string path, bool keepLines)
    : path_(std::move(path)), kept_(keepLines ? std::make_shared<Lines>() : nullptr) {}

bool IniLoader::loadInto(IniDocument& document) {
    std::string bytes;
    status_ = files::ReadPlainFile(path_, bytes, kMaxIniFileBytes);
    // A file read only in part must not be taken for the whole: an update
    // would write the missing part away.
    if (status_ != files::ReadStatus::Read) {
        return false;
    }
    eightBitText_ = isEightBitText(bytes);
    std::string_view text = bytes;
    byteOrderMark_ = text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark;
    if (byteOrderMark_) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }

    readLines(text, document, kept_.get());
    return true;
}

// --- IniEmitter --------------------------------------------------------------

std::string IniEmitter::render(const IniDocument& document) {
    std::string bytes;
    bool first = true;
    for (const auto& [name, section] : document) {
        if (!first) {
            bytes += kLineEnding;
        }
        first = false;
        bytes += "[" + name + "]";
        for (const auto& [key, value] : section) {
            bytes += kLineEnding;
            bytes += keyLine(key, value);
        }
    }
    return bytes;
}

bool IniEmitter::emit(const IniDocument& document) const {
    return files::ReplaceFile(path_, render(document));
}

// --- IniUpdater --------------------------------------------------------------

std::vector<std::string> mergeLines(const std::vector<std::string>& kept,
                                    const IniDocument& document, const IniDocument& onDisk) {
    std::vector<std::string> output;
    // The current section in the document and on disk (null where it is
    // absent), looked up once at its header: by name at every key line the
    // work would grow with the header's length times the number of keys.
    const IniSection* wanted = document.find("");
    const IniSection* present = onDisk.find("");
    std::size_t lastKeyLine = 0;
    bool inKeptSection = false;
    bool skippingSection = false;
    bool dropNextBlank = false;
    // Sections whose new keys have been placed: a section that the file
    // spells out more than once gets them once, in its first part, rather
    // than a copy in every part.
    std::unordered_set<const IniSection*> flushed;

    // New keys of the current section go right after its last key line (or
    // its header), ahead of the comments and blank lines that trail it.
    const auto flush = [&]() {
        if (wanted == nullptr || present == nullptr || !flushed.insert(wanted).second) {
            return;
        }
        std::vector<std::string> added;
        for (const auto& [key, value] : *wanted) {
            if (!present->has(key)) {
                added.push_back(keyLine(key, value));
            }
        }
        output.insert(output.begin() + static_cast<std::ptrdiff_t>(lastKeyLine), added.begin(),
                      added.end());
    };

    for (const std::string& line : kept) {
        const ClassifiedLine parsed = classifyLine(line);
        switch (parsed.kind) {
            case LineKind::SectionHeader:
                if (inKeptSection) {
                    flush();
                    inKeptSection = false;
                }
                wanted = document.find(parsed.name);
                present = onDisk.find(parsed.name);
                if (wanted != nullptr) {
                    inKeptSection = true;
                    skippingSection = false;
                    dropNextBlank = false;
                    output.push_back(line);
                    lastKeyLine = output.size();
                } else {
                    // A section the document does not hold loses its header
                    // and key lines, and the first empty line after them.
                    skippingSection = true;
                    dropNextBlank = true;
                }
                break;
            case LineKind::KeyValue: {
                if (skippingSection || wanted == nullptr) {
                    break;
                }
                const std::string* value = wanted->find(parsed.name);
                if (value == nullptr) {
                    break;
                }
                output.push_back(parsed.value == *value ? line : rewrittenLine(line, *value));
                lastKeyLine = output.size();
                break;
            }
            case LineKind::Blank:
            case LineKind::Comment:
            case LineKind::Unrecognised:
                if (dropNextBlank && line.empty()) {
                    dropNextBlank = false;
                } else if (parsed.kind != LineKind::Unrecognised) {
                    output.push_back(line);
                }
                break;
        }
    }
    flush();

    for (const auto& [name, section] : document) {
        if (onDisk.has(name)) {
            continue;
        }
        output.push_back("[" + name + "]");
        for (const auto& [key, value] : section) {
            output.push_back(keyLine(key, value));
        }
    }
    return output;
}

bool IniUpdater::write(const IniDocument& document) const {
    if (!files::Exists(path_)) {
        return IniEmitter(path_).emit(document);
    }
    IniDocument onDisk;
    std::shared_ptr<IniLoader::Lines> kept;
    bool byteOrderMark = false;
    {
        IniLoader loader(path_, true);
        // A file of wider characters would come out as 8-bit lines with its
        // NUL bytes dropped: better no save than a ruined file.
        if (!loader.loadInto(onDisk) || !loader.wasEightBitText()) {
            return false;
        }
        kept = loader.keptLines();
        byteOrderMark = loader.hadByteOrderMark();
    }
    const std::string_view prefix = byteOrderMark ? kUtf8ByteOrderMark : std::string_view();
    const std::string bytes = joinLines(prefix, mergeLines(*kept, document, onDisk));
    // A file past the cap would never be read again: the old one stays.
    return bytes.size() <= kMaxIniFileBytes && files::ReplaceFile(path_, bytes);
}

}  // namespace ini_detail

using namespace ini_detail;

// --- IniStore ----------------------------------------------------------------

bool IniStore::read(IniDocument& document, files::ReadStatus* status) const {
    if (document.size() != 0) {
        document.clear();
    }
    if (path_.empty()) {
        if (status != nullptr) {
            *status = files::ReadStatus::Missing;
        }
        return false;
    }
    IniLoader loader(path_, false);
    const bool read = loader.loadInto(document);
    if (status != nullptr) {
        *status = loader.status();
    }
    return read;
}

bool IniStore::write(const IniDocument& document) const {
    if (path_.empty()) {
        return false;
    }
    return IniUpdater(path_).write(document);
}

bool IniStore::holdsWideText() const {
    std::string bytes;
    return !path_.empty() &&
           files::ReadPlainFile(path_, bytes, kMaxIniFileBytes) == files::ReadStatus::Read &&
           !isEightBitText(bytes);
}

bool IniStore::create(const IniDocument& document, std::string_view layout) const {
    if (path_.empty()) {
        return false;
    }
    IniDocument laidOut;
    std::vector<std::string> lines;
    readLines(layout, laidOut, &lines);
    return files::ReplaceFile(path_, joinLines({}, mergeLines(lines, document, laidOut)));
}
