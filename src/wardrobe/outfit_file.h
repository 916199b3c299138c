// The custom outfit file itself: how SavedOutfits.xml is read, what an
// outfit's parts mean, and how an outfit is written back (which outfits the
// game shows: outfit_scan.h). The plug-in's store and
// the garbolt-outfits tool both go through these, so the tool sees every file
// exactly as the plug-in does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/files.h"
#include "wardrobe/layout.h"

namespace outfit_file {

// Where the plug-in keeps its outfits, relative to the game folder.
constexpr const char* kOutfitFilePath = "./Garbolt/SavedOutfits.xml";

constexpr const char* kRootElement = "Garbolt";
constexpr const char* kOutfitElement = "Outfit";
constexpr const char* kNameElement = "Name";
constexpr const char* kSlotElement = "Slot";
constexpr const char* kComponentsElement = "Components";
constexpr const char* kWearablesElement = "Wearables";
constexpr const char* kHashElement = "Hash";

// Entries of a game outfit record, and so of each stored list.
constexpr int kOutfitEntries = 39;

// The largest outfit file that is read. A file this large is read and
// written on the store's own thread (store_worker.h), so it costs the game's
// frames nothing; the cap bounds what that work takes instead. It holds 100
// full stores of 15 outfits as the plug-in writes them at their largest
// (2,419 bytes an outfit: thirty 4-byte characters in the name, 11-digit
// hashes; 3,628,546 bytes in all) with room to spare, or as many saves into
// one row. Its document takes about 13 MB while an operation runs, and an
// operation about 40 ms on the test machine, a few frames (bench/run,
// docs/reliability.md).
constexpr std::uint64_t kMaxOutfitFileBytes = 4 * 1024 * 1024;
// The most items one outfit may put on, counting both lists. An equip puts
// each on with its own calls in one frame; the plug-in writes 39 of each,
// and this is 13 times as many.
constexpr std::size_t kMaxOutfitItems = 1000;
// The file holds the custom rows (0-based) of the saved-outfits page.
using wardrobe_layout::kFirstCustomRow;
using wardrobe_layout::kLastCustomRow;

// How reading a file went: whether its bytes could be read at all (and if
// not, why), and if so pugixml's verdict on them (status, description and
// byte offset).
struct LoadResult {
    files::ReadStatus read = files::ReadStatus::Missing;
    pugi::xml_parse_result parse;

    bool Loaded() const { return read == files::ReadStatus::Read && static_cast<bool>(parse); }
};

// Reads the whole file, if it is a plain file, and parses it as the plug-in
// does: comments, processing instructions, the DOCTYPE and the declaration
// are kept in the document, so a save writes them back. `bytes`, when
// given, receives what was read (the file is read into it, so a buffer kept
// for it is reused), so a parse offset can be turned into a line and column.
LoadResult LoadOutfitFile(const std::string& path, pugi::xml_document& document,
                          std::string* bytes = nullptr);
// How reading a file in place went, with what was seen of its bytes before
// the parser wrote over them.
struct InPlaceLoad : LoadResult {
    bool byteOrderMark = false;  // see HasByteOrderMark
    bool utf8Bytes = false;      // see IsUtf8Text
    bool shallow = false;        // for SaveOutfitFile's knownShallow
};
// The same, parsed inside `buffer` itself rather than a copy of it: a large
// file is then in memory once. `buffer` must outlive the document, and no
// longer holds the file's bytes.
InPlaceLoad LoadOutfitFileInPlace(const std::string& path, pugi::xml_document& document,
                                  std::string& buffer);
// Parses bytes already read, with the same options and clean-up.
pugi::xml_parse_result ParseOutfitBytes(const std::string& bytes, pugi::xml_document& document);

// How many levels below the document its deepest node lies (0 for the root).
int DeepestLevel(pugi::xml_node document);

// The document as the plug-in writes it, after a UTF-8 byte-order mark when
// `byteOrderMark` is set. A file in this layout reads back to the same
// document and is written back byte for byte, so a change to one outfit
// leaves every other byte of it as it was.
std::string SerializeOutfitDocument(const pugi::xml_document& document, bool byteOrderMark = false);
// Replaces the file with the document in one step; false leaves it as it
// was, as does a document that would pass kMaxOutfitFileBytes.
// `knownShallow` spares the walk that decides the indentation: set it only
// for a document loaded shallow (InPlaceLoad::shallow) and changed since by
// no more than adding outfits and removing nodes, which keeps it so.
bool SaveOutfitFile(const std::string& path, const pugi::xml_document& document,
                    bool byteOrderMark = false, bool knownShallow = false);
// True when the bytes start with the UTF-8 byte-order mark, which the
// parser reads past; a save writes it back.
bool HasByteOrderMark(const std::string& bytes);

// True when a file read as `bytes` (and parsed into `document`) is UTF-8
// text throughout: no declared encoding but UTF-8, no UTF-16 or UTF-32, no
// NUL byte, no byte that is not UTF-8. Only such a file may be written back
// with a changed outfit: a name written into any other would mix two
// encodings in one file.
bool IsUtf8File(const std::string& bytes, const pugi::xml_document& document);
// The two halves of that: every byte belongs to a UTF-8 character and none
// is NUL; the declaration, if any, names no other encoding.
bool IsUtf8Text(const std::string& bytes);
bool DeclaresUtf8(const pugi::xml_document& document);
// `text` with every byte that does not belong to a well-formed UTF-8
// character replaced by U+FFFD, so that what is written stays UTF-8.
std::string MendedUtf8(const std::string& text);

// The first "Garbolt" element of the document (empty when there is none).
// Which of the outfits in it the game shows: outfit_scan.h.
pugi::xml_node RootOf(const pugi::xml_document& document);

// The outfit's row index: its Slot read with as_int (0 when missing or empty).
std::int32_t RowIndexOf(pugi::xml_node outfit);
// The outfit's name: its Name text (empty when missing).
std::string NameOf(pugi::xml_node outfit);

// The most of a name the game is given to draw: the naming keyboard lets no
// more be typed, and a longer name from the file is shown cut (the file
// keeps it whole).
constexpr std::size_t kMaxNameCharacters = 30;
// Thirty characters of UTF-8 take at most four bytes each.
constexpr std::size_t kMaxNameBytes = 4 * kMaxNameCharacters;
// The fewest bytes a typed name may have: a shorter one is not saved.
constexpr std::size_t kMinNameBytes = 3;
// How many bytes of `text` (null: none) fit those bounds, cut where a character starts.
std::size_t CutNameLength(const char* text);
// Copies `text` (null: nothing) cut to those bounds where a character starts.
void CopyCutName(const char* text, std::string& out);
// A name against the game's rules: at least kMinNameBytes, and nothing the
// bounds above would cut.
enum class NameFit { Fits, TooShort, TooLong };
NameFit CheckName(const std::string& name);
// The outfit's name as its row and the tool show it: NameOf, cut.
std::string ShownNameOf(pugi::xml_node outfit);
// True for the rows 6 to 20 that hold custom outfits.
using wardrobe_layout::IsCustomRow;

// The 32-bit values of a Components or Wearables list, in order.
std::vector<std::uint32_t> ReadHashes(pugi::xml_node list);
// True when the outfit's two lists hold more than kMaxOutfitItems entries
// together; counts no further than that.
bool HasTooManyItems(pugi::xml_node outfit);

// What an outfit holds: item k of Components belongs with state k of Wearables.
struct OutfitEntries {
    std::vector<std::uint32_t> items;
    std::vector<std::uint32_t> states;
};

// Appends a new outfit to the root: Name, Slot, Components, Wearables.
pugi::xml_node AppendOutfit(pugi::xml_node root, const std::string& name, std::int32_t rowIndex,
                            const OutfitEntries& entries);
// The same, placed just before `before` (one of the root's children), or at
// the end when `before` is empty.
pugi::xml_node InsertOutfit(pugi::xml_node root, pugi::xml_node before, const std::string& name,
                            std::int32_t rowIndex, const OutfitEntries& entries);
// Removes a node with everything in it, deepest first: pugixml frees a
// subtree by recursion, which a deeply nested file would overflow.
void RemoveSubtree(pugi::xml_node node);

// Gives an existing outfit a new name and new lists in place of its old
// ones; its Slot and any other children stay as they are.
void ReplaceOutfit(pugi::xml_node outfit, const std::string& name, const OutfitEntries& entries);

}  // namespace outfit_file
