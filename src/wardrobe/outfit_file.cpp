#include "wardrobe/outfit_file.h"

#include <algorithm>
#include <cstring>

#include "host/files.h"
#include "wardrobe/typed_name.h"

namespace outfit_file {

namespace {

// Whitespace-only names must survive, so single whitespace texts are kept;
// those outside a Name are dropped again after loading (see ParseOutfitBytes).
// Everything else a player may have written around the outfits is kept too,
// so that a save writes it back. A text that opens an element is kept in the
// element itself rather than in a node of its own, which halves the nodes of
// a file of hashes to build, walk and write.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype |
                                   pugi::parse_declaration | pugi::parse_embed_pcdata;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kByteOrderMarkSize = sizeof kByteOrderMark - 1;
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

bool IsWhitespace(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// pugixml reads the line ends of texts and comments as line feeds but keeps
// those of processing instructions and the DOCTYPE as they are; written out,
// a carriage return would become a character reference there, which those
// do not know. They end their lines like the rest of the saved file.
void EndLinesWithLineFeeds(pugi::xml_node node) {
    const char* value = node.value();
    if (std::strchr(value, '\r') == nullptr) {
        return;
    }
    std::string lines;
    for (; *value != '\0'; ++value) {
        if (*value != '\r') {
            lines += *value;
        } else if (value[1] != '\n') {
            lines += '\n';
        }
    }
    node.set_value(lines.c_str());
}

// A whitespace text beside elements would turn off the file's indentation
// when the document is saved, so only a Name keeps one. One walk of
// pugixml's own visits every node; a text node is removed only once the
// walk is past it.
class LayoutCleaner : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        deepestBound_ = std::max(deepestBound_, depth() + 1);
        switch (node.type()) {
            case pugi::node_element:
                if (IsLayout(node.value(), node)) {
                    node.text().set("");
                }
                break;
            case pugi::node_pcdata:
                if (IsLayout(node.value(), node.parent())) {
                    layoutTexts_.push_back(node);
                }
                break;
            case pugi::node_pi:
            case pugi::node_doctype:
                EndLinesWithLineFeeds(node);
                break;
            default:
                break;
        }
        return true;
    }

    // No node lies deeper than this, counting an element's own text.
    int DeepestBound() const { return deepestBound_; }

    void RemoveLayoutTexts() {
        for (pugi::xml_node text : layoutTexts_) {
            text.parent().remove_child(text);
        }
    }

  private:
    static bool IsLayout(const char* text, pugi::xml_node element) {
        return *text != '\0' && IsWhitespace(text) && std::strcmp(element.name(), kNameElement) != 0;
    }

    std::vector<pugi::xml_node> layoutTexts_;
    int deepestBound_ = 0;
};

// A document just parsed, with its layout cleaned up when it parsed, and
// (when asked) a level no node lies below.
pugi::xml_parse_result CleanedUp(pugi::xml_parse_result result, pugi::xml_document& document,
                                 int* deepestBound = nullptr) {
    if (result) {
        LayoutCleaner cleaner;
        document.traverse(cleaner);
        cleaner.RemoveLayoutTexts();
        if (deepestBound != nullptr) {
            *deepestBound = cleaner.DeepestBound();
        }
    }
    return result;
}

// Indentation costs a tab per level on every line, so a deeply nested
// document would be written in time and space of its depth squared; past
// this depth it is written one node a line without indentation. The
// plug-in's own outfits are four levels deep.
constexpr int kIndentedLevels = 32;

// pugixml writes a carriage return in text as it stands and reads it back as
// a line feed; written as a character reference it comes back unchanged.
// Each writer puts the escaped bytes where it keeps them.
class EscapingWriter : public pugi::xml_writer {
  public:
    void write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        const char* end = bytes + size;
        while (bytes < end) {
            const void* found = std::memchr(bytes, '\r', static_cast<std::size_t>(end - bytes));
            const char* stop = found != nullptr ? static_cast<const char*>(found) : end;
            Put(bytes, static_cast<std::size_t>(stop - bytes));
            if (stop == end) {
                break;
            }
            Put("&#13;", 5);
            bytes = stop + 1;
        }
    }

    // The document, after a UTF-8 byte-order mark when `byteOrderMark` is set.
    void Save(const pugi::xml_document& document, bool byteOrderMark, bool knownShallow) {
        if (byteOrderMark) {
            Put(kByteOrderMark, kByteOrderMarkSize);
        }
        const bool shallow = knownShallow || DeepestLevel(document) <= kIndentedLevels;
        document.save(*this, shallow ? PUGIXML_TEXT("\t") : PUGIXML_TEXT(""));
    }

  private:
    virtual void Put(const char* bytes, std::size_t size) = 0;
};

class StringWriter : public EscapingWriter {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}

  private:
    void Put(const char* bytes, std::size_t size) override { out_.append(bytes, size); }
    std::string& out_;
};

// Writes straight into the replacing file, so the largest document is never
// held twice in memory; false once a write fails or the file would pass the
// size cap (it would never be read again: the old file stays). pugixml hands
// over a few kilobytes at a time, and a system call for each cost a large
// file's save more than writing it out in a few large pieces.
class CappedFileWriter : public EscapingWriter {
  public:
    explicit CappedFileWriter(std::FILE* out) : out_(out) { pending_.reserve(kPieceBytes); }

    // Writes what is still pending; true when every byte went out.
    bool Finish() {
        WritePending();
        return !failed_;
    }

  private:
    static constexpr std::size_t kPieceBytes = std::size_t{1} << 18;

    void Put(const char* bytes, std::size_t size) override {
        written_ += size;
        failed_ = failed_ || written_ > kMaxOutfitFileBytes;
        if (failed_) {
            return;
        }
        pending_.append(bytes, size);
        if (pending_.size() >= kPieceBytes) {
            WritePending();
        }
    }

    void WritePending() {
        failed_ = failed_ || files::Write(out_, pending_.data(), pending_.size()) != pending_.size();
        pending_.clear();
    }

    std::FILE* out_;
    std::string pending_;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

// The length of the well-formed UTF-8 character that starts at `at`; 0 when
// none does (a stray or overlong byte, a surrogate, a cut character) or when
// it is NUL, which no text of the file may hold.
std::size_t Utf8CharacterAt(const std::string& text, std::size_t at) {
    std::uint32_t code = 0;
    const std::size_t length = Utf8CharacterLength(text, at, code);
    return code == 0 ? 0 : length;
}

// True when the eight bytes from `at` are all ASCII and none is NUL: most of
// a file is, and a word at a time is what keeps checking a large one cheap.
bool IsPlainAsciiWord(const std::string& text, std::size_t at) {
    constexpr std::uint64_t kLowBits = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    std::uint64_t word = 0;
    if (text.size() - at < sizeof word) {
        return false;
    }
    std::memcpy(&word, text.data() + at, sizeof word);
    const bool nonAscii = (word & kHighBits) != 0;
    const bool hasNul = ((word - kLowBits) & ~word & kHighBits) != 0;
    return !nonAscii && !hasNul;
}

bool EqualsIgnoringCase(const char* text, const char* lower) {
    for (; *text != '\0' && *lower != '\0'; ++text, ++lower) {
        const char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *lower) {
            return false;
        }
    }
    return *text == *lower;
}

// Empties an element: its children, and a text it holds in itself.
void ClearContent(pugi::xml_node node) {
    if (*node.value() != '\0') {
        node.text().set("");
    }
    while (node.first_child()) {
        RemoveSubtree(node.first_child());
    }
}

pugi::xml_node ChildOrAppend(pugi::xml_node parent, const char* name) {
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.append_child(name);
}

// Signed decimal, as the game's 32-bit values are stored.
void FillHashes(pugi::xml_node components, pugi::xml_node wearables, const OutfitEntries& entries) {
    for (std::uint32_t item : entries.items) {
        components.append_child(kHashElement).text().set(static_cast<int>(item));
    }
    for (std::uint32_t state : entries.states) {
        wearables.append_child(kHashElement).text().set(static_cast<int>(state));
    }
}

}  // namespace

int DeepestLevel(pugi::xml_node document) {
    struct DepthWalker : pugi::xml_tree_walker {
        int deepest = 0;
        bool for_each(pugi::xml_node& node) override {
            // An element's own text stands for a text node a level below
            // it. Only a node that could go deeper is asked about it: most
            // of a file lies at the levels already seen.
            if (depth() >= deepest) {
                const bool ownText = node.type() == pugi::node_element && *node.value() != '\0';
                deepest = depth() + (ownText ? 1 : 0);
            }
            return true;
        }
    } walker;
    document.traverse(walker);
    return walker.deepest;
}

pugi::xml_parse_result ParseOutfitBytes(const std::string& bytes, pugi::xml_document& document) {
    pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    return CleanedUp(result, document);
}

LoadResult LoadOutfitFile(const std::string& path, pugi::xml_document& document,
                          std::string* bytes) {
    LoadResult result;
    std::string unkept;
    std::string& read = bytes != nullptr ? *bytes : unkept;
    result.read = files::ReadPlainFile(path, read, kMaxOutfitFileBytes);
    if (result.read == files::ReadStatus::Read) {
        result.parse = ParseOutfitBytes(read, document);
    } else {
        result.parse.status = pugi::status_file_not_found;
    }
    return result;
}

InPlaceLoad LoadOutfitFileInPlace(const std::string& path, pugi::xml_document& document,
                                  std::string& buffer) {
    InPlaceLoad result;
    result.read = files::ReadPlainFile(path, buffer, kMaxOutfitFileBytes);
    if (result.read != files::ReadStatus::Read) {
        result.parse.status = pugi::status_file_not_found;
        return result;
    }
    result.byteOrderMark = HasByteOrderMark(buffer);
    result.utf8Bytes = IsUtf8Text(buffer);
    int deepestBound = 0;
    result.parse = CleanedUp(
        document.load_buffer_inplace(&buffer[0], buffer.size(), kParseOptions), document,
        &deepestBound);
    result.shallow = deepestBound <= kIndentedLevels;
    return result;
}

std::string SerializeOutfitDocument(const pugi::xml_document& document, bool byteOrderMark) {
    std::string bytes;
    StringWriter(bytes).Save(document, byteOrderMark, false);
    return bytes;
}

bool SaveOutfitFile(const std::string& path, const pugi::xml_document& document,
                    bool byteOrderMark, bool knownShallow) {
    return files::ReplaceFile(path, [&document, byteOrderMark, knownShallow](std::FILE* out) {
        CappedFileWriter writer(out);
        writer.Save(document, byteOrderMark, knownShallow);
        return writer.Finish();
    });
}

bool HasByteOrderMark(const std::string& bytes) {
    return bytes.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0;
}

bool IsUtf8File(const std::string& bytes, const pugi::xml_document& document) {
    return IsUtf8Text(bytes) && DeclaresUtf8(document);
}

bool IsUtf8Text(const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (IsPlainAsciiWord(bytes, at)) {
            at += sizeof(std::uint64_t);
            continue;
        }
        const std::size_t length = Utf8CharacterAt(bytes, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool DeclaresUtf8(const pugi::xml_document& document) {
    // pugixml turns a file declared ISO-8859-1 into UTF-8 as it reads it,
    // and takes the bytes of any other declared encoding as they are.
    const pugi::xml_node declaration = document.first_child();
    if (declaration.type() != pugi::node_declaration) {
        return true;
    }
    const pugi::xml_attribute encoding = declaration.attribute("encoding");
    return !encoding || EqualsIgnoringCase(encoding.value(), "utf-8");
}

std::string MendedUtf8(const std::string& text) {
    std::string mended;
    mended.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterAt(text, at);
        if (length == 0) {
            mended += kReplacementCharacter;
            ++at;
        } else {
            mended.append(text, at, length);
            at += length;
        }
    }
    return mended;
}

pugi::xml_node RootOf(const pugi::xml_document& document) {
    return document.child(kRootElement);
}

std::int32_t RowIndexOf(pugi::xml_node outfit) {
    return outfit.child(kSlotElement).text().as_int();
}

std::string NameOf(pugi::xml_node outfit) {
    const char* name = outfit.child(kNameElement).text().get();
    // The game's keyboard types no line breaks, so white space holding one
    // is the layout of a hand-indented file, not a name.
    const bool layout = IsWhitespace(name) && std::strpbrk(name, "\r\n") != nullptr;
    return layout ? std::string() : std::string(name);
}

std::vector<std::uint32_t> ReadHashes(pugi::xml_node list) {
    std::vector<std::uint32_t> values;
    for (pugi::xml_node hash = list.child(kHashElement); hash;
         hash = hash.next_sibling(kHashElement)) {
        values.push_back(static_cast<std::uint32_t>(hash.text().as_int()));
    }
    return values;
}

bool HasTooManyItems(pugi::xml_node outfit) {
    std::size_t count = 0;
    for (const char* list : {kComponentsElement, kWearablesElement}) {
        for (pugi::xml_node hash = outfit.child(list).child(kHashElement); hash;
             hash = hash.next_sibling(kHashElement)) {
            if (++count > kMaxOutfitItems) {
                return true;
            }
        }
    }
    return false;
}

pugi::xml_node AppendOutfit(pugi::xml_node root, const std::string& name, std::int32_t rowIndex,
                            const OutfitEntries& entries) {
    return InsertOutfit(root, pugi::xml_node(), name, rowIndex, entries);
}

pugi::xml_node InsertOutfit(pugi::xml_node root, pugi::xml_node before, const std::string& name,
                            std::int32_t rowIndex, const OutfitEntries& entries) {
    pugi::xml_node outfit = before ? root.insert_child_before(kOutfitElement, before)
                                   : root.append_child(kOutfitElement);
    outfit.append_child(kNameElement).text().set(name.c_str());
    outfit.append_child(kSlotElement).text().set(rowIndex);
    pugi::xml_node components = outfit.append_child(kComponentsElement);
    pugi::xml_node wearables = outfit.append_child(kWearablesElement);
    FillHashes(components, wearables, entries);
    return outfit;
}

void ReplaceOutfit(pugi::xml_node outfit, const std::string& name, const OutfitEntries& entries) {
    ChildOrAppend(outfit, kNameElement).text().set(name.c_str());
    pugi::xml_node components = ChildOrAppend(outfit, kComponentsElement);
    pugi::xml_node wearables = ChildOrAppend(outfit, kWearablesElement);
    ClearContent(components);
    ClearContent(wearables);
    FillHashes(components, wearables, entries);
}

void RemoveSubtree(pugi::xml_node node) {
    pugi::xml_node current = node;
    for (;;) {
        while (current.first_child()) {
            current = current.first_child();
        }
        const bool last = current == node;
        pugi::xml_node parent = current.parent();
        parent.remove_child(current);
        if (last) {
            return;
        }
        current = parent;
    }
}

std::size_t CutNameLength(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    // One byte past the cap shows whether the cap falls inside a character.
    const std::size_t available = strnlen(text, kMaxNameBytes + 1);
    std::size_t end = 0;
    std::size_t characterStart = 0;
    for (std::size_t characters = 0; end < available && characters < kMaxNameCharacters;
         ++characters) {
        characterStart = end++;
        while (end < available && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    if (end > kMaxNameBytes) {
        // Only bytes that are not UTF-8 get here (thirty characters of UTF-8
        // fit in the cap); a first character that long is cut at the cap.
        end = characterStart > 0 ? characterStart : kMaxNameBytes;
    }
    return end;
}

void CopyCutName(const char* text, std::string& out) {
    out.clear();
    if (text == nullptr) {
        return;
    }
    out.assign(text, CutNameLength(text));
}

NameFit CheckName(const std::string& name) {
    if (name.size() < kMinNameBytes) {
        return NameFit::TooShort;
    }
    return CutNameLength(name.c_str()) != name.size() ? NameFit::TooLong : NameFit::Fits;
}

std::string ShownNameOf(pugi::xml_node outfit) {
    const std::string name = NameOf(outfit);
    std::string shown;
    CopyCutName(name.c_str(), shown);
    return shown;
}

}  // namespace outfit_file
