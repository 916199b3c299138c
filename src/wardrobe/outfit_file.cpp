#include "wardrobe/outfit_file.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/files.h"
#include "wardrobe/typed_name.h"

namespace outfit_file {

namespace {

// Whitespace-only names must survive, so single whitespace texts are kept;
// those outside a Name are dropped again after loading (see ParseOutfitBytes).
// Everything else a player may have written around the outfits is kept too,
// so that a save writes it back.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype |
                                   pugi::parse_declaration;

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

// The node after `node` in document order inside `top`, without entering
// `node`'s own children when `enter` is false. A loop rather than recursion:
// the file decides how deep a document goes.
pugi::xml_node NextInTree(pugi::xml_node node, pugi::xml_node top, bool enter) {
    if (enter && node.first_child()) {
        return node.first_child();
    }
    for (; node && node != top; node = node.parent()) {
        if (node.next_sibling()) {
            return node.next_sibling();
        }
    }
    return pugi::xml_node();
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
// when the document is saved, so only a Name keeps one.
void DropLayoutWhitespace(pugi::xml_node top) {
    for (pugi::xml_node node = top.first_child(); node;) {
        pugi::xml_node parent = node.parent();
        if (node.type() == pugi::node_pcdata && std::strcmp(parent.name(), kNameElement) != 0 &&
            IsWhitespace(node.value())) {
            pugi::xml_node next = NextInTree(node, top, false);
            parent.remove_child(node);
            node = next;
        } else {
            if (node.type() == pugi::node_pi || node.type() == pugi::node_doctype) {
                EndLinesWithLineFeeds(node);
            }
            node = NextInTree(node, top, true);
        }
    }
}

// Indentation costs a tab per level on every line, so a deeply nested
// document would be written in time and space of its depth squared; past
// this depth it is written one node a line without indentation. The
// plug-in's own outfits are four levels deep.
constexpr int kIndentedLevels = 32;

// pugixml writes a carriage return in text as it stands and reads it back as
// a line feed; written as a character reference it comes back unchanged.
class EscapingStringWriter : public pugi::xml_writer {
  public:
    explicit EscapingStringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        const char* end = bytes + size;
        while (bytes < end) {
            const void* found = std::memchr(bytes, '\r', static_cast<std::size_t>(end - bytes));
            const char* stop = found != nullptr ? static_cast<const char*>(found) : end;
            out_.append(bytes, stop);
            if (stop == end) {
                break;
            }
            out_ += "&#13;";
            bytes = stop + 1;
        }
    }

  private:
    std::string& out_;
};

// The length of the well-formed UTF-8 character that starts at `at`; 0 when
// none does (a stray or overlong byte, a surrogate, a cut character) or when
// it is NUL, which no text of the file may hold.
std::size_t Utf8CharacterAt(const std::string& text, std::size_t at) {
    std::uint32_t code = 0;
    const std::size_t length = Utf8CharacterLength(text, at, code);
    return code == 0 ? 0 : length;
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

void ClearChildren(pugi::xml_node node) {
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
        bool for_each(pugi::xml_node&) override {
            deepest = std::max(deepest, depth());
            return true;
        }
    } walker;
    document.traverse(walker);
    return walker.deepest;
}

pugi::xml_parse_result ParseOutfitBytes(const std::string& bytes, pugi::xml_document& document) {
    pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size(), kParseOptions);
    if (result) {
        DropLayoutWhitespace(document);
    }
    return result;
}

LoadResult LoadOutfitFile(const std::string& path, pugi::xml_document& document,
                          std::string* bytes) {
    LoadResult result;
    std::string read;
    result.read = files::ReadPlainFile(path, read, kMaxOutfitFileBytes);
    if (result.read == files::ReadStatus::Read) {
        result.parse = ParseOutfitBytes(read, document);
    } else {
        result.parse.status = pugi::status_file_not_found;
    }
    if (bytes != nullptr) {
        *bytes = std::move(read);
    }
    return result;
}

std::string SerializeOutfitDocument(const pugi::xml_document& document, bool byteOrderMark) {
    std::string bytes = byteOrderMark ? kByteOrderMark : "";
    EscapingStringWriter writer(bytes);
    const bool shallow = DeepestLevel(document) <= kIndentedLevels;
    document.save(writer, shallow ? PUGIXML_TEXT("\t") : PUGIXML_TEXT(""));
    return bytes;
}

bool SaveOutfitFile(const std::string& path, const pugi::xml_document& document,
                    bool byteOrderMark) {
    const std::string bytes = SerializeOutfitDocument(document, byteOrderMark);
    // A file past the cap would never be read again: the old one stays.
    return bytes.size() <= kMaxOutfitFileBytes && files::ReplaceFile(path, bytes);
}

bool HasByteOrderMark(const std::string& bytes) {
    return bytes.compare(0, kByteOrderMarkSize, kByteOrderMark) == 0;
}

bool IsUtf8File(const std::string& bytes, const pugi::xml_document& document) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8CharacterAt(bytes, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
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
    ClearChildren(components);
    ClearChildren(wearables);
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
