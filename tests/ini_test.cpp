// The INI document: how lines are classified, how files are read, and the
// exact bytes of fresh and updated files, including when writing fails.
//
// Sections:
//   Text utilities and the ordered table  (IniText, IniTable)
//   Classification                        (IniClassify, IniKeyLine, IniSplit)
//   Reading                               (IniRead)
//   Writing                               (IniWrite, IniValueSpacing)
//   Failures                              (IniWriteFailure, IniWriteInChild)
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/files.h"
#include "settings/ini.h"
#include "support/child_process.h"
#include "support/session.h"

using testing_support::GameFolder;

namespace {

const std::string kPath = "Garbolt/Test.ini";

// The document as one line of text: "name{key=value,...}" per section.
std::string Describe(const IniDocument& document) {
    std::string text;
    for (const auto& [name, section] : document) {
        text += name + "{";
        bool first = true;
        for (const auto& [key, value] : section) {
            text += (first ? "" : ",") + key + "=" + value;
            first = false;
        }
        text += "}";
    }
    return text;
}

// --- The ordered table --------------------------------------------------------

TEST(IniTable, NamesAreNormalisedAndKeepTheirPosition) {
    IniSection section;
    section.set("  Speed ", "3");
    section.set("Other", "x");
    section.set("SPEED", "4");
    section.at("\tNew") = " kept as given ";
    EXPECT_EQ(section.size(), 3u);
    EXPECT_TRUE(section.has("speed"));
    EXPECT_EQ(section.get("sPeEd"), "4");
    EXPECT_EQ(section.get("new"), " kept as given ");
    std::vector<std::string> names;
    for (const auto& entry : section) {
        names.push_back(entry.first);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"speed", "other", "new"}));
    // Trimmed of the six whitespace characters; only ASCII letters lower-cased.
    section.set(" \t\n\r\f\vAbZ[@]\xC3\x84\xC9\v\f\r\n\t ", "y");
    EXPECT_EQ(section.get("abz[@]\xC3\x84\xC9"), "y");
    EXPECT_FALSE(section.has("abz[@]\xC3\xA4\xC9"));
}

TEST(IniTable, GetNeverAddsButAtDoes) {
    IniDocument document;
    EXPECT_EQ(document.get("Missing").size(), 0u);
    EXPECT_FALSE(document.has("missing"));
    EXPECT_EQ(document.size(), 0u);
    document["Missing"];
    EXPECT_TRUE(document.has("MISSING"));
    document.clear();
    EXPECT_EQ(document.size(), 0u);
    EXPECT_FALSE(document.has("missing"));
}

// --- Lines ----------------------------------------------------------------------

// One line after "[s]": what the document makes of it.
struct LineCase {
    std::string line;
    std::string described;
};

class IniLine : public ::testing::TestWithParam<LineCase> {
  protected:
    GameFolder folder_;
};

// ';' starts a comment, '[' a header (cut at its first ';', named up to its
// last ']'), the first unescaped '=' splits key and value.
TEST_P(IniLine, ReadsAsSectionKeyOrNothing) {
    folder_.Write(kPath, "[s]\n" + GetParam().line);
    IniDocument document;
    ASSERT_TRUE(IniStore(kPath).read(document));
    EXPECT_EQ(Describe(document), GetParam().described) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, IniLine,
    ::testing::Values(LineCase{"", "s{}"}, LineCase{" \t\f\v ", "s{}"}, LineCase{"; a = b", "s{}"},
                      LineCase{"   ;[x]", "s{}"}, LineCase{"[Display] ; screen", "s{}display{}"},
                      LineCase{"[Dis;play]", "s{}"}, LineCase{"[a]b]", "s{}a]b{}"},
                      LineCase{"[x] = 3", "s{}x{}"}, LineCase{"[x = 3", "s{[x=3}"},
                      LineCase{"[x = 3 ; c", "s{[x=3}"},
                      LineCase{"  [  Spaced Name ]  ", "s{}spaced name{}"},
                      LineCase{"[   ]", "s{}{}"}, LineCase{"[]", "s{}{}"},
                      LineCase{"A\\=B = 3", "s{a=b=3}"}, LineCase{"key = a\\=b", "s{key=a\\=b}"},
                      LineCase{"key = a=b", "s{key=a=b}"}, LineCase{"only\\=escaped", "s{}"},
                      LineCase{"a\\\\= b", "s{}"}, LineCase{"a\\\\\\== b", "s{a\\\\==b}"},
                      LineCase{"=5", "s{=5}"}, LineCase{"# note", "s{}"},
                      LineCase{"# a = b", "s{# a=b}"}, LineCase{"key = 1 ; on", "s{key=1 ; on}"},
                      LineCase{"\tKey\t=\t", "s{key=}"},
                      // NUL bytes are dropped; a carriage return ends a line.
                      LineCase{std::string("k\0=\r1\r\0\nj=2", 11), "s{k=,j=2}"}));

// A file an update would ruin is one the store calls wide text.
TEST(IniWideText, UtfSixteenThirtyTwoOrNulBytes) {
    GameFolder folder;
    const IniStore store(kPath);
    const auto wide = [&](const std::string& bytes) {
        folder.Write(kPath, bytes);
        return store.holdsWideText();
    };
    EXPECT_FALSE(wide(""));
    EXPECT_FALSE(wide("\xEF\xBB\xBF[s]\r\nk=\xFF\xFE"));
    EXPECT_FALSE(wide("\xFF"));
    EXPECT_TRUE(wide("\xFF\xFE[\x04"));                 // UTF-16 LE with its mark, no NUL needed
    EXPECT_TRUE(wide("\xFE\xFF\x04["));                 // UTF-16 BE
    EXPECT_TRUE(wide(std::string("[\0s\0]\0", 6)));     // UTF-16 LE without a mark
    EXPECT_TRUE(wide(std::string("\0\0\xFE\xFF", 4)));  // UTF-32 BE
    EXPECT_TRUE(wide(std::string("[s]\r\nk=1\0", 9)));
    EXPECT_FALSE(IniStore("Garbolt/Missing.ini").holdsWideText());
}

// --- Reading -------------------------------------------------------------------

class IniRead : public ::testing::Test {
  protected:
    IniDocument Load(const std::string& bytes) {
        folder_.Write(kPath, bytes);
        IniDocument document;
        EXPECT_TRUE(IniStore(kPath).read(document));
        return document;
    }
    GameFolder folder_;
};

TEST_F(IniRead, MergesNamesWithoutRegardToCase) {
    const IniDocument document =
        Load("[Game]\r\nKey=1\r\nOther = x\r\nKEY = 2\r\n[Menu]\r\nk=v\r\n[ game ]\r\nlate=3");
    EXPECT_EQ(Describe(document), "game{key=2,other=x,late=3}menu{k=v}");
}

TEST_F(IniRead, IgnoresKeysBeforeTheFirstHeaderAndUnrecognisedLines) {
    const IniDocument document =
        Load("early=1\r\n# note\r\n; c\r\n\r\n[s]\r\n# x = y\r\n[Dis;play]");
    EXPECT_EQ(Describe(document), "s{# x=y}");
}

TEST_F(IniRead, LineFeedAndCarriageReturnEndingsReadAlike) {
    const IniDocument crlf = Load("[s]\r\na = 1\r\nb=2\r\n");
    const IniDocument lf = Load("[s]\na = 1\nb=2\n");
    EXPECT_EQ(Describe(crlf), "s{a=1,b=2}");
    EXPECT_EQ(Describe(lf), Describe(crlf));
}

TEST_F(IniRead, EmptyFileGivesAnEmptyDocument) {
    EXPECT_EQ(Load("").size(), 0u);
}

TEST_F(IniRead, ByteOrderMarkAtTheStartIsNoPartOfTheFirstLine) {
    EXPECT_EQ(Describe(Load("\xEF\xBB\xBF[s]\r\nk=1\r\n[t]\r\nj=2")), "s{k=1}t{j=2}");
    EXPECT_EQ(Describe(Load("\xEF\xBB\xBFk=1\r\n[t]")), "t{}");
    // Anywhere else the mark is text: this header is unreadable.
    EXPECT_EQ(Describe(Load("[t]\r\n\xEF\xBB\xBF[s]\r\nk=1")), "t{k=1}");
}

TEST_F(IniRead, LoneCarriageReturnsEndLines) {
    EXPECT_EQ(Describe(Load("[s]\ra = 1\r\rb=2\r")), "s{a=1,b=2}");
}

TEST_F(IniRead, ReadReplacesTheDocumentAndFailsOnAMissingFile) {
    IniDocument document;
    document["old"].set("k", "v");
    folder_.Write(kPath, "[new]\r\nk=1");
    EXPECT_TRUE(IniStore(kPath).read(document));
    EXPECT_EQ(Describe(document), "new{k=1}");
    EXPECT_FALSE(IniStore("Garbolt/Missing.ini").read(document));
    EXPECT_EQ(document.size(), 0u);
    document["old"];
    EXPECT_FALSE(IniStore("").read(document));
    EXPECT_EQ(document.size(), 0u);
}

// --- Writing -------------------------------------------------------------------

class IniWrite : public ::testing::Test {
  protected:
    IniWrite() { std::filesystem::create_directory(folder_.Path() + "/Garbolt"); }
    // Reads the file as it stands into a document, as at start-up.
    IniDocument ReadBack(const std::string& bytes) {
        folder_.Write(kPath, bytes);
        IniDocument document;
        EXPECT_TRUE(IniStore(kPath).read(document));
        return document;
    }
    bool Write(const IniDocument& document) { return IniStore(kPath).write(document); }
    std::string Bytes() { return folder_.Read(kPath); }
    std::vector<std::string> Listing() { return folder_.List("Garbolt"); }
    GameFolder folder_;
};

TEST_F(IniWrite, FreshFileHasNoFinalLineEnding) {
    IniDocument document;
    document["First"].set("Speed", " 3 ");
    document["First"].set("a=b", "x\\=y");
    document["Empty"];
    document["Last"].set("k", "");
    document["Last"].set("a=b=c", "v");
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(),
              "[first]\r\nspeed=3\r\na\\=b=x\\=y\r\n[empty]\r\n[last]\r\nk=\r\na\\=b\\=c=v");
}

TEST_F(IniWrite, MissingFileIsWrittenFresh) {
    IniDocument document;
    document["S"].set("K", "v");
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(), "[s]\r\nk=v");
}

// A file read as at start-up, changed by a few sets, and written back: the
// exact bytes. Where the player changed the file by hand in between, the
// write goes over what the player left.
struct UpdateCase {
    const char* name;
    std::string file;
    std::vector<std::array<const char*, 3>> sets;  // section, key, value
    std::string expected;
    std::optional<std::string> changedByHand = std::nullopt;
};

void PrintTo(const UpdateCase& update, std::ostream* out) {
    *out << update.name;
}

class IniUpdate : public IniWrite, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(IniUpdate, WritesExactlyTheseBytes) {
    IniDocument document = ReadBack(GetParam().file);
    for (const auto& [section, key, value] : GetParam().sets) {
        document[section].set(key, value);
    }
    if (GetParam().changedByHand) {
        folder_.Write(kPath, *GetParam().changedByHand);
    }
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(), GetParam().expected);
}

// A changed value keeps its key's spelling and the spacing around the separator.
const std::array<const char*, 3> kSpeedFour = {"game", "speed", " 4 "};

INSTANTIATE_TEST_SUITE_P(
    Cases, IniUpdate,
    ::testing::Values(
        UpdateCase{"SpacesAroundTheSeparatorStay",
                   "[Game]\r\nSpeed = 3\r\n; end",
                   {kSpeedFour},
                   "[Game]\r\nSpeed = 4\r\n; end"},
        UpdateCase{"AnEmptyValueIsFilled",
                   "[Game]\r\nSpeed =\r\n; end",
                   {kSpeedFour},
                   "[Game]\r\nSpeed =4\r\n; end"},
        UpdateCase{"TrailingSpacesGo",
                   "[Game]\r\nSpeed=3   \r\n; end",
                   {kSpeedFour},
                   "[Game]\r\nSpeed=4\r\n; end"},
        UpdateCase{"TabsStayAndTheCommentGoes",
                   "[Game]\r\n  Speed\t=\t3 ; fast\r\n; end",
                   {kSpeedFour},
                   "[Game]\r\n  Speed\t=\t4\r\n; end"},
        UpdateCase{"TheKeyKeepsItsCase",
                   "[Game]\r\nSPEED = 3\r\n; end",
                   {kSpeedFour},
                   "[Game]\r\nSPEED = 4\r\n; end"},
        UpdateCase{"EmptyFileGetsTheNewSection", "", {{"s", "k", "v"}}, "[s]\r\nk=v"},
        UpdateCase{"EscapedKeyIsRewrittenAfterItsRealSeparator",
                   "[s]\r\nA\\=B = 3",
                   {{"s", "a=b", "4"}},
                   "[s]\r\nA\\=B = 4"},
        UpdateCase{"ValueStartingWithAnEscapedEqualsIsReplacedWhole",
                   "[s]\r\nk = \\=old\r\nj =\\=\\= x",
                   {{"s", "k", "new"}, {"s", "j", "y"}},
                   "[s]\r\nk = new\r\nj =y"},
        UpdateCase{"NewKeyGoesAfterTheLastKeyLineBeforeTrailingComments",
                   "[A]\r\nx=1\r\n; about b\r\n\r\n[B]\r\ny=2\r\n; end",
                   {{"a", "New", "3"}, {"b", "z", "4"}},
                   "[A]\r\nx=1\r\nnew=3\r\n; about b\r\n\r\n[B]\r\ny=2\r\nz=4\r\n; end"},
        UpdateCase{"NewKeyOfASectionWithoutKeysGoesRightAfterItsHeader",
                   "[A]\r\n; nothing yet\r\n",
                   {{"a", "k", "v"}},
                   "[A]\r\nk=v\r\n; nothing yet\r\n"},
        UpdateCase{"FinalLineEndingBecomesABlankLineBeforeANewSection",
                   "[A]\r\nx=1\r\n",
                   {{"n", "k", "v"}},
                   "[A]\r\nx=1\r\n\r\n[n]\r\nk=v"},
        UpdateCase{"NewKeyOfASectionSpelledOutTwiceGoesIntoItsFirstPart",
                   "[A]\r\nx=1\r\n; more\r\n[B]\r\n[A]\r\ny=2\r\n[a]",
                   {{"a", "z", "3"}, {"b", "k", "v"}},
                   "[A]\r\nx=1\r\nz=3\r\n; more\r\n[B]\r\nk=v\r\n[A]\r\ny=2\r\n[a]"},
        UpdateCase{"KeyDeletedByHandComesBackInLowerCase",
                   "[Game]\r\nMyKey = 1\r\nOther = 2\r\n\r\n; tail",
                   {},
                   "[Game]\r\nOther = 2\r\nmykey=1\r\n\r\n; tail",
                   "[Game]\r\nOther = 2\r\n\r\n; tail"},
        // The hand-added section loses its header, its keys and its first
        // empty line; its comments stay.
        UpdateCase{"KeyAndSectionAddedByHandAreRemoved",
                   "[A]\r\nx=1",
                   {},
                   "[A]\r\nx=1\r\n; note\r\n\r\n; end\r\n[A]\r\n",
                   "[A]\r\nx=1\r\nadded=2\r\n[Extra]\r\n; note\r\nk=v\r\n\r\n\r\n; end\r\n[A]\r\n"},
        UpdateCase{"DroppedSectionKeepsALineOfSpacesAndDropsTheFirstEmptyOne",
                   "[A]\r\nx=1",
                   {},
                   "   \r\n\r\n[A]\r\nx=1",
                   "[Extra]\r\n   \r\n\r\n\r\n[A]\r\nx=1"}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return info.param.name; });

TEST_F(IniWrite, UnchangedDocumentKeepsEveryKeptLineByteForByte) {
    const std::string original =
        "early = 1\r\n"
        "; settings\r\n"
        "[Game] ; main\r\n"
        "Speed = 3   \r\n"
        "# note\r\n"
        "  Name=Arthur\t\r\n"
        "\r\n"
        "   \r\n"
        "[Other]\r\n"
        "k = a ; b\r\n";
    const IniDocument document = ReadBack(original);
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(),
              "; settings\r\n"
              "[Game] ; main\r\n"
              "Speed = 3   \r\n"
              "  Name=Arthur\t\r\n"
              "\r\n"
              "   \r\n"
              "[Other]\r\n"
              "k = a ; b\r\n");
    // A second write changes nothing more.
    const std::string once = Bytes();
    EXPECT_TRUE(Write(ReadBack(once)));
    EXPECT_EQ(Bytes(), once);
}

TEST_F(IniWrite, NewSectionIsAppendedAtTheEnd) {
    IniDocument document = ReadBack("[A]\r\nx=1");
    document["New Part"].set("Key", " v ");
    document["Bare"];
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(), "[A]\r\nx=1\r\n[new part]\r\nkey=v\r\n[bare]");
}

TEST_F(IniWrite, ByteOrderMarkIsKeptAndEveryLineEndsInCarriageReturnLineFeed) {
    IniDocument document = ReadBack("\xEF\xBB\xBF[A]\nx = 1 ; one\rkept = 2\n");
    document["a"].set("x", "5");
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[A]\r\nx = 5\r\nkept = 2\r\n");
    // A file of nothing but the mark keeps it in front of a fresh section.
    folder_.Write(kPath, "\xEF\xBB\xBF");
    EXPECT_TRUE(Write(document));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[a]\r\nx=5\r\nkept=2");
}

// Long lines, long escapes and sections of many keys come out as the short
// ones do (these once took minutes to save).
TEST_F(IniWrite, LargeFileIsUpdatedLineForLine) {
    std::string escapes;
    for (int i = 0; i < 8000; ++i) {
        escapes += "\\=";
    }
    std::string keys;
    for (int i = 0; i < 2500; ++i) {
        keys += "k" + std::to_string(i) + " = v\r\n";
    }
    IniDocument document = ReadBack("[A]\r\n" + escapes + " = " + escapes + "\r\n" + keys);
    ASSERT_EQ(document.get("a").size(), 2501u);
    EXPECT_EQ(document.get("a").get(std::string(8000, '=')), escapes);
    document["a"].set("k2499", "w");
    document["a"].set("new=" + std::string(10, '='), "n");
    EXPECT_TRUE(Write(document));
    keys.replace(keys.size() - 3, 1, "w");
    const std::string newKey = "new" + escapes.substr(0, 22) + "=n\r\n";
    EXPECT_EQ(Bytes(), "[A]\r\n" + escapes + " = " + escapes + "\r\n" + keys + newKey);
}

TEST_F(IniWrite, FileWithOnlyDroppedLinesBecomesEmpty) {
    folder_.Write(kPath, "# note\r\nearly=1");
    EXPECT_TRUE(Write(IniDocument()));
    EXPECT_EQ(Bytes(), "");
}

// --- Failures ------------------------------------------------------------------

// Fails one operation on the INI file or its temporary file.
class FailingIniFiles : public files::FileSystem {
  public:
    enum class Step { OpenForReading, ReadMidway, Write, Flush, Rename };
    explicit FailingIniFiles(Step step) : step_(step) {}
    std::FILE* OpenToRead(const std::string& path, files::PathKind& kind,
                          std::uint64_t& size) override {
        if (step_ == Step::OpenForReading && path == kPath) {
            kind = files::PathKind::PlainFile;
            return nullptr;
        }
        return FileSystem::OpenToRead(path, kind, size);
    }
    bool Read(std::FILE* file, char* buffer, std::size_t size, std::size_t& got) override {
        if (step_ == Step::ReadMidway) {
            FileSystem::Read(file, buffer, size < 5 ? size : 5, got);
            return false;
        }
        return FileSystem::Read(file, buffer, size, got);
    }
    std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
        return step_ == Step::Write ? size / 2 : FileSystem::Write(file, data, size);
    }
    bool Flush(std::FILE* file) override { return step_ != Step::Flush && FileSystem::Flush(file); }
    bool Rename(const std::string& from, const std::string& to) override {
        return step_ != Step::Rename && FileSystem::Rename(from, to);
    }

  private:
    Step step_;
};

class IniWriteFailure : public IniWrite,
                        public ::testing::WithParamInterface<FailingIniFiles::Step> {};

TEST_P(IniWriteFailure, UpdateLeavesTheOldBytesAndNoTemporaryFile) {
    const std::string original = "[Game]\r\nSpeed = 3\r\n; keep me\r\n";
    IniDocument document = ReadBack(original);
    document["game"].set("speed", "4");
    FailingIniFiles failing(GetParam());
    files::ScopedFileSystem scoped(failing);
    EXPECT_FALSE(Write(document));
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(Listing(), std::vector<std::string>{"Test.ini"});
}

INSTANTIATE_TEST_SUITE_P(EveryStep, IniWriteFailure,
                         ::testing::Values(FailingIniFiles::Step::OpenForReading,
                                           FailingIniFiles::Step::ReadMidway,
                                           FailingIniFiles::Step::Write,
                                           FailingIniFiles::Step::Flush,
                                           FailingIniFiles::Step::Rename));

// UTF-16 and UTF-32 files, and files with NUL bytes, would be ruined by a
// rewrite as 8-bit lines.
class IniWriteNotText : public IniWrite, public ::testing::WithParamInterface<std::string> {};

TEST_P(IniWriteNotText, FileIsNotRewritten) {
    IniDocument document = ReadBack(GetParam());
    document["s"].set("k", "2");
    EXPECT_FALSE(Write(document));
    EXPECT_EQ(Bytes(), GetParam());
    EXPECT_EQ(Listing(), std::vector<std::string>{"Test.ini"});
}

INSTANTIATE_TEST_SUITE_P(Encodings, IniWriteNotText,
                         ::testing::Values(std::string("\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0001\0", 18),
                                           std::string("\xFE\xFF\0[\0s\0]", 8),
                                           std::string("[\0s\0]\0", 6),
                                           std::string("\xFF\xFE\0\0[\0\0\0", 8),
                                           std::string("[s]\r\nk=1\r\n\0", 11)));

TEST_F(IniWrite, FreshWriteFailureLeavesNoFile) {
    IniDocument document;
    document["s"].set("k", "v");
    folder_.Write("Garbolt/Other.txt", "x");
    FailingIniFiles failing(FailingIniFiles::Step::Write);
    files::ScopedFileSystem scoped(failing);
    EXPECT_FALSE(Write(document));
    EXPECT_EQ(Listing(), std::vector<std::string>{"Other.txt"});
}

TEST_F(IniWrite, MissingFolderOrEmptyPathFailsAndCreatesNothing) {
    IniDocument document;
    document["s"].set("k", "v");
    EXPECT_FALSE(IniStore("Nowhere/Test.ini").write(document));
    EXPECT_FALSE(IniStore("").write(document));
    EXPECT_FALSE(folder_.Exists("Nowhere"));
}

class IniWriteInChild : public IniWrite {
  protected:
    void SetUp() override {
        folder_.Write(kPath, kOriginal);
        testing_support::OpenFolderToAll(folder_.Path(), false);
        testing_support::OpenFolderToAll(folder_.Path() + "/Garbolt", true);
    }
    void Chmod(mode_t mode) { ASSERT_EQ(chmod((folder_.Path() + "/" + kPath).c_str(), mode), 0); }
    const std::string kOriginal = "[Game]\r\nSpeed = 3\r\n; keep me\r\n";
};

TEST_F(IniWriteInChild, NobodyUpdatesAWritableFile) {
    Chmod(0666);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"ini-set", kPath, "Game", "Speed", "4"}), 0);
    EXPECT_EQ(Bytes(), "[Game]\r\nSpeed = 4\r\n; keep me\r\n");
}

TEST_F(IniWriteInChild, ReadOnlyFileIsNotReplaced) {
    Chmod(0444);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"ini-set", kPath, "Game", "Speed", "4"}), 1);
    EXPECT_EQ(Bytes(), kOriginal);
    EXPECT_EQ(Listing(), std::vector<std::string>{"Test.ini"});
}

TEST_F(IniWriteInChild, UnreadableFileIsNotTouched) {
    Chmod(0222);
    EXPECT_EQ(testing_support::RunFilesChildAsNobody({"ini-set", kPath, "Game", "Speed", "4"}), 1);
    Chmod(0644);
    EXPECT_EQ(Bytes(), kOriginal);
    EXPECT_EQ(Listing(), std::vector<std::string>{"Test.ini"});
}

TEST_F(IniWriteInChild, FullDiskMidwayLeavesTheOldBytes) {
    const std::string large(20000, 'v');
    EXPECT_EQ(testing_support::RunFilesChild(
                  {"--fsize-limit", "1024", "ini-set", kPath, "Game", "Speed", large}),
              1);
    EXPECT_EQ(Bytes(), kOriginal);
    EXPECT_EQ(Listing(), std::vector<std::string>{"Test.ini"});
}

}  // namespace
