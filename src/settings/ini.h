// A small INI document: ordered sections of ordered key/value pairs, read
// from a file and written back either fresh or by updating the file in place
// so that its comments, blank lines and spacing survive. Names are matched
// without regard to letter case or surrounding whitespace. Failures are
// reported only through boolean results.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/files.h"

// The document's workings, for its own use (and the fuzzer's).
namespace ini_detail {

// The whitespace that trimming removes.
inline constexpr char kIniWhitespace[] = " \t\n\r\f\v";

// Removes whitespace from the end, then from the start.
void trimSpace(std::string& text);
// Maps 'A'..'Z' to 'a'..'z' and leaves every other byte as it is.
void toLowerAscii(std::string& text);
// Replaces every occurrence of `find`, never searching inserted text again;
// an empty `find` changes nothing.
void replaceAll(std::string& text, const std::string& find, const std::string& replacement);

}  // namespace ini_detail

// Entries in insertion order with a name index. Every name handed in is
// trimmed and lower-cased first, and stored that way. Single entries are
// never removed, so positions never change.
template <typename V>
class OrderedTable {
  public:
    using Entry = std::pair<std::string, V>;
    using const_iterator = typename std::vector<Entry>::const_iterator;

    // A copy of the value, or an empty value when the name is absent.
    V get(std::string name) const {
        const V* value = find(std::move(name));
        return value == nullptr ? V() : *value;
    }
    // The value without copying it, or null when the name is absent. The
    // pointer lasts until the next entry is added.
    const V* find(std::string name) const {
        normalise(name);
        const auto found = nameIndex.find(name);
        return found == nameIndex.end() ? nullptr : &entries[found->second].second;
    }
    // True when the name is present.
    bool has(std::string name) const { return find(std::move(name)) != nullptr; }
    // The value, appended empty at the end when the name is absent. The
    // reference lasts until the next entry is added.
    V& at(std::string name) {
        normalise(name);
        const auto found = nameIndex.find(name);
        if (found != nameIndex.end()) {
            return entries[found->second].second;
        }
        nameIndex.emplace(name, entries.size());
        entries.emplace_back(std::move(name), V());
        return entries.back().second;
    }
    V& operator[](const std::string& name) { return at(name); }
    // Assigns the value, appending the name at the end when it is absent.
    void set(const std::string& name, V value) { at(name) = std::move(value); }

    std::size_t size() const { return entries.size(); }
    // Removes every entry; the only way entries go.
    void clear() {
        entries.clear();
        nameIndex.clear();
    }
    const_iterator begin() const { return entries.begin(); }
    const_iterator end() const { return entries.end(); }

  private:
    static void normalise(std::string& name) {
        ini_detail::trimSpace(name);
        ini_detail::toLowerAscii(name);
    }

    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> nameIndex;
};

// A section's keys and their values, stored exactly as handed in.
class IniSection : public OrderedTable<std::string> {};

// The sections in the order in which their names were first used.
class IniDocument : public OrderedTable<IniSection> {};

// The largest INI file that is read. The settings are read at start-up and
// read, merged and written back by Save Settings, on the game's own thread
// in one frame: at 64 KiB of blank lines, the costliest shape per byte, Save
// Settings takes about 8 ms of script-thread time (bench/run), under the
// 16.7 ms of a frame. The plug-in's own file is about 100 bytes, so any file
// a player writes by hand fits hundreds of times over.
inline constexpr std::uint64_t kMaxIniFileBytes = 64 * 1024;

namespace ini_detail {

// What one line of INI text is.
enum class LineKind { Blank, Comment, SectionHeader, KeyValue, Unrecognised };

// One classified line: `name` is the section for a header and the key for a
// key/value line; `value` is set only for a key/value line.
struct ClassifiedLine {
    LineKind kind = LineKind::Blank;
    std::string name;
    std::string value;
};

// Classifies one line: ';' starts a comment, '[' a header (cut at its first
// ';', named up to its last ']'), the first unescaped '=' splits key and value.
ClassifiedLine classifyLine(const std::string& line);

// Splits a file's bytes into lines. A line feed ends a line, and so does a
// carriage return that no line feed follows; carriage returns right before a
// line feed belong to it, so "\r\n" is one line end. NUL bytes are dropped.
// An empty file has no lines; otherwise the text after the last line end is
// a last line, even when empty.
std::vector<std::string> splitLines(std::string_view bytes);

// The UTF-8 byte-order mark, which a file may start with; it is no part of
// the first line, and an update writes it back.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// True unless the bytes hold a NUL byte or start with a UTF-16 byte-order
// mark: such a file is UTF-16 or UTF-32 (or no text at all), and rewriting
// it line by line as 8-bit text would ruin it.
bool isEightBitText(std::string_view bytes);

// The new line written for a key: the key with "=" escaped, "=", the trimmed value.
std::string keyLine(const std::string& key, std::string value);

// Adds INI text to a document and, when `kept` is given, appends to it the
// lines that an update rewrites from (every line but the unrecognised ones
// and key lines outside a section).
void readLines(std::string_view text, IniDocument& document, std::vector<std::string>* kept);

// Reads one file into a document, optionally keeping the lines that an
// update rewrites from.
class IniLoader {
  public:
    using Lines = std::vector<std::string>;

    IniLoader(std::string path, bool keepLines);

    // Adds the file's content to the document (without clearing it). False
    // when the file is not a plain file of at most kMaxIniFileBytes that
    // could be read whole; status() says why.
    bool loadInto(IniDocument& document);
    // After loadInto: how reading the file went.
    files::ReadStatus status() const { return status_; }
    // The kept lines, shared so that they can outlive the loader; null when
    // lines are not kept.
    std::shared_ptr<Lines> keptLines() const { return kept_; }
    // After loadInto: the file started with the UTF-8 byte-order mark.
    bool hadByteOrderMark() const { return byteOrderMark_; }
    // After loadInto: the file is 8-bit text (isEightBitText), so an update
    // may rewrite it.
    bool wasEightBitText() const { return eightBitText_; }

  private:
    std::string path_;
    files::ReadStatus status_ = files::ReadStatus::Unreadable;
    std::shared_ptr<Lines> kept_;
    bool byteOrderMark_ = false;
    bool eightBitText_ = true;
};

// Writes a document as a fresh file.
class IniEmitter {
  public:
    explicit IniEmitter(std::string path) : path_(std::move(path)) {}
    // Replaces the whole file in one step; false when it cannot be written,
    // in which case an existing file keeps its old bytes. No folder is created.
    bool emit(const IniDocument& document) const;
    // The bytes of a fresh file: "\r\n" between lines, none after the last.
    static std::string render(const IniDocument& document);

  private:
    std::string path_;
};

// The output lines of an update: the kept lines of the file on disk with
// changed values rewritten, keys and sections the document does not hold
// dropped, new keys after their section's last key line (in the first part
// of a section that the file spells out more than once) and new sections
// at the end.
std::vector<std::string> mergeLines(const std::vector<std::string>& kept,
                                    const IniDocument& document, const IniDocument& onDisk);

// Writes a document over an existing file keeping that file's layout, or as
// a fresh file when there is none.
class IniUpdater {
  public:
    explicit IniUpdater(std::string path) : path_(std::move(path)) {}
    // False when the existing file cannot be read, is not 8-bit text, or the
    // new bytes cannot be written; the file then keeps its old bytes. A
    // UTF-8 byte-order mark that starts the file is kept.
    bool write(const IniDocument& document) const;

  private:
    std::string path_;
};

}  // namespace ini_detail

// The handle of one INI file; it opens nothing between calls.
class IniStore {
  public:
    explicit IniStore(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }
    // Replaces the document's content with the file's; false for an empty
    // path or a file that cannot be read (the document is then empty), and
    // `status`, when given, says why.
    bool read(IniDocument& document, files::ReadStatus* status = nullptr) const;
    // Updates the file from the document; false for an empty path or when
    // the update fails.
    bool write(const IniDocument& document) const;
    // True when the file can be read and is not 8-bit text (isEightBitText):
    // the one kind of file that an update always refuses.
    bool holdsWideText() const;
    // Writes the document as a new file laid out like `layout` (its comments,
    // blank lines and the spelling of its names), as an update of a file
    // holding `layout` would; false for an empty path or when the file
    // cannot be written. No folder is created.
    bool create(const IniDocument& document, std::string_view layout) const;

  private:
    std::string path_;
};
