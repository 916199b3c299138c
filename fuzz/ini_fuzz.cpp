// The INI reader and updater on random file bytes and random document edits.
// Whatever the file holds, reading and updating it never crashes; a file
// that is not 8-bit text is refused and keeps its bytes; otherwise the
// updated file, read back, holds exactly the document's sections and keys
// with their trimmed values, keeps a leading UTF-8 byte-order mark, and
// writing the same document again changes no byte.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "fuzz_support.h"
#include "host/files.h"
#include "settings/ini.h"
#include "structure_mutator.h"

namespace {

// What a document holds, as the file must give it back: section -> key ->
// trimmed value. Order is not compared: a key new to a section that the file
// spells out twice lands in its first part.
using Flat = std::map<std::string, std::map<std::string, std::string>>;

Flat Flatten(const IniDocument& document) {
    Flat flat;
    for (const auto& [section, keys] : document) {
        auto& flatKeys = flat[section];
        for (const auto& [key, value] : keys) {
            std::string trimmed = value;
            ini_detail::trimSpace(trimmed);
            flatKeys[key] = trimmed;
        }
    }
    return flat;
}

// Text that a line can carry: no line breaks and no NUL, which the reader drops.
std::string LineText(FuzzedDataProvider& input, std::size_t most) {
    std::string text = input.ConsumeRandomLengthString(most);
    std::string kept;
    for (char c : text) {
        if (c != '\n' && c != '\r' && c != '\0') {
            kept.push_back(c);
        }
    }
    return kept;
}

std::string Normalised(std::string name) {
    ini_detail::trimSpace(name);
    ini_detail::toLowerAscii(name);
    return name;
}

// Names that the file format can write at all: a section name holds no ';'
// (it would start a comment inside the header); a key does not start a header
// or a comment and does not end in the escape character.
bool WritableSection(const std::string& name) {
    return Normalised(name).find(';') == std::string::npos;
}
bool WritableKey(const std::string& name) {
    const std::string key = Normalised(name);
    return key.empty() || (key.front() != ';' && key.front() != '[' && key.back() != '\\');
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "INI property broken: %s\n", what);
        std::abort();
    }
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    files::ReadFile(path, bytes);
    return bytes;
}

}  // namespace

namespace {

// Files up to 1 MB: large enough for deep nesting and long texts.
constexpr std::size_t kMaxFileBytes = 1 << 20;

void FuzzOne(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz_support::ScratchFolder("ini");
    const std::string path = folder + "/Garbolt.ini";
    std::remove(path.c_str());

    FuzzedDataProvider input(data, size);
    const bool startWithFile = input.ConsumeBool();
    const std::string fileBytes = input.ConsumeRandomLengthString(kMaxFileBytes);
    if (startWithFile) {
        Check(files::ReplaceFile(path, fileBytes), "the fuzz file could not be written");
    }

    const IniStore store(path);
    IniDocument document;
    // Past the size cap a file is neither read nor replaced.
    const bool tooLarge = startWithFile && fileBytes.size() > kMaxIniFileBytes;
    Check(store.read(document) == (startWithFile && !tooLarge),
          "read did not report whether the file exists and is within the cap");
    if (tooLarge) {
        Check(!store.write(document), "a file past the size cap was rewritten");
        Check(ReadBytes(path) == fileBytes, "a file past the size cap was changed");
        return;
    }

    // Edits: set keys in named sections, or touch a section so it exists.
    bool writable = true;
    const int edits = input.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < edits && input.remaining_bytes() > 0; ++i) {
        const std::string section = LineText(input, 12);
        writable = writable && WritableSection(section);
        if (input.ConsumeBool()) {
            document.at(section);
            continue;
        }
        const std::string key = LineText(input, 12);
        const std::string value = LineText(input, 16);
        writable = writable && WritableKey(key);
        document.at(section).set(key, value);
    }
    // Names read from the file came from lines of its own, which the update
    // keeps; only names a fresh file must spell out are limited.
    if (!writable) {
        return;
    }

    if (startWithFile && !ini_detail::isEightBitText(fileBytes)) {
        Check(!store.write(document), "a file that is not 8-bit text was rewritten");
        Check(ReadBytes(path) == fileBytes, "a refused update changed the file");
        return;
    }
    // An update that would take the file past the cap is refused; an update
    // at most doubles a file (each lone line end becomes CR LF) and adds the
    // edits' few lines.
    const std::string before = startWithFile ? fileBytes : std::string();
    if (!store.write(document)) {
        Check(startWithFile && 2 * fileBytes.size() + 4096 > kMaxIniFileBytes, "the update failed");
        Check(ReadBytes(path) == before, "a refused update changed the file");
        return;
    }
    const std::string once = ReadBytes(path);
    const bool marked = startWithFile && fileBytes.rfind(ini_detail::kUtf8ByteOrderMark, 0) == 0;
    Check(once.rfind(ini_detail::kUtf8ByteOrderMark, 0) == 0 || !marked,
          "the byte-order mark was lost");
    IniDocument readBack;
    Check(store.read(readBack), "the updated file could not be read");
    Check(Flatten(readBack) == Flatten(document),
          "the updated file does not hold the document's sections and keys");

    Check(store.write(document), "the second update failed");
    Check(ReadBytes(path) == once, "writing the same document again changed the file");
    for (const std::string& name : files::Active().ListFiles(folder + "/")) {
        Check(!files::IsTemporaryFor(name, "Garbolt.ini"), "a temporary file was left behind");
    }
}

}  // namespace

GARBOLT_FUZZ_ON_SCRIPT_STACK(FuzzOne)

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
    return fuzz_support::MutateStructure(fuzz_support::Structure::Lines, data, size, maxSize, seed);
}
