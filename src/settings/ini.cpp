#include "settings/ini.h"

#include <unordered_map>
#include <utility>

#include "host/files.h"

namespace {

constexpr char kLineEnding[] = "\r\n";
constexpr char kEscapedEquals[] = "\\=";
constexpr char kEscapeBlank[] = "  ";  // as wide as "\=", so positions stay put
constexpr std::size_t kLineReserve = 50;

std::string joinLines(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != 0) {
            joined += kLineEnding;
        }
        joined += lines[i];
    }
    return joined;
}

// The line with every "\=" blanked out, so that the first '=' found in it is
// the separator.
std::string withEscapesBlanked(const std::string& line) {
    std::string scratch = line;
    replaceAll(scratch, kEscapedEquals, kEscapeBlank);
    return scratch;
}

// A kept key line with its old value replaced by `value`: the key as
// written and the spacing around '=' stay. The old value starts at its first
// byte that is not whitespace in the line itself, so a value that begins with
// an escaped '=' is replaced whole rather than leaving its escape behind.
std::string rewrittenLine(const std::string& line, std::string value) {
    trimSpace(value);
    const std::size_t separator = withEscapesBlanked(line).find('=');
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

// Built afresh rather than replaced in place: each in-place replacement that
// changes the length moves the rest of the text, quadratic in a long line.
void replaceAll(std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty()) {
        return;
    }
    std::size_t position = text.find(find);
    if (position == std::string::npos) {
        return;
    }
    std::string replaced;
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
    const std::size_t separator = withEscapesBlanked(line).find('=');
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

std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    if (bytes.empty()) {
        return lines;
    }
    std::string line;
    line.reserve(kLineReserve);
    for (const char c : bytes) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r' && c != '\0') {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

std::string keyLine(const std::string& key, std::string value) {
    std::string line = key;
    replaceAll(line, "=", kEscapedEquals);
    trimSpace(value);
    return line + "=" + value;
}

// --- IniLoader ---------------------------------------------------------------

IniLoader::IniLoader(const std::string& path, bool keepLines)
    : file_(files::Open(path, "rb")), kept_(keepLines ? std::make_shared<Lines>() : nullptr) {}

IniLoader::~IniLoader() {
    close();
}

void IniLoader::close() {
    if (file_ != nullptr) {
        files::Close(file_);  // read only, so a failed close loses nothing
        file_ = nullptr;
    }
}

bool IniLoader::loadInto(IniDocument& document) {
    if (file_ == nullptr) {
        return false;
    }
    std::string bytes;
    const bool readWhole = files::ReadAll(file_, bytes);
    close();
    // A file read only in part must not be taken for the whole: an update
    // would write the missing part away.
    if (!readWhole) {
        return false;
    }

    bool seenHeader = false;
    std::string currentSection;
    for (const std::string& line : splitLines(bytes)) {
        const ClassifiedLine parsed = classifyLine(line);
        bool keep = true;
        switch (parsed.kind) {
            case LineKind::SectionHeader:
                currentSection = parsed.name;
                document.at(currentSection);
                seenHeader = true;
                break;
            case LineKind::KeyValue:
                if (seenHeader) {
                    document.at(currentSection).at(parsed.name) = parsed.value;
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
        if (keep && kept_) {
            kept_->push_back(line);
        }
    }
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
    std::string currentSection;
    std::size_t lastKeyLine = 0;
    bool inKeptSection = false;
    bool skippingSection = false;
    bool dropNextBlank = false;

    // New keys of the current section go right after its last key line (or
    // its header), ahead of the comments and blank lines that trail it. A
    // section spelt out many times gets them in each part, worked out once.
    std::unordered_map<const IniSection*, std::vector<std::string>> newKeyLines;
    const auto flush = [&]() {
        const IniSection* wanted = document.find(currentSection);
        const IniSection* present = onDisk.find(currentSection);
        if (wanted == nullptr || present == nullptr) {
            return;
        }
        auto [added, fresh] = newKeyLines.try_emplace(wanted);
        if (fresh) {
            for (const auto& [key, value] : *wanted) {
                if (!present->has(key)) {
                    added->second.push_back(keyLine(key, value));
                }
            }
        }
        output.insert(output.begin() + static_cast<std::ptrdiff_t>(lastKeyLine),
                      added->second.begin(), added->second.end());
    };

    for (const std::string& line : kept) {
        const ClassifiedLine parsed = classifyLine(line);
        switch (parsed.kind) {
            case LineKind::SectionHeader:
                if (inKeptSection) {
                    flush();
                    inKeptSection = false;
                }
                currentSection = parsed.name;
                if (document.has(currentSection)) {
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
                if (skippingSection) {
                    break;
                }
                // Looked up in place: a copy of the section per key line would
                // be quadratic in a section of many keys.
                const IniSection* section = document.find(currentSection);
                const std::string* value = section ? section->find(parsed.name) : nullptr;
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
    {
        IniLoader loader(path_, true);
        if (!loader.loadInto(onDisk)) {
            return false;
        }
        kept = loader.keptLines();
    }
    return files::ReplaceFile(path_, joinLines(mergeLines(*kept, document, onDisk)));
}

// --- IniStore ----------------------------------------------------------------

bool IniStore::read(IniDocument& document) const {
    if (document.size() != 0) {
        document.clear();
    }
    if (path_.empty()) {
        return false;
    }
    IniLoader loader(path_, false);
    return loader.loadInto(document);
}

bool IniStore::write(const IniDocument& document) const {
    if (path_.empty()) {
        return false;
    }
    return IniUpdater(path_).write(document);
}
