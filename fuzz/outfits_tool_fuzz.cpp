// garbolt-outfits on random file bytes: check, list, export, import and mend
// through the program's own command line, in a scratch folder. No command
// ends in an exception or a sanitizer report; each answers 0 or 1 (the
// arguments are always right); check, list and export never change the file,
// and a command that fails leaves it as it was; after a mend that succeeded,
// check finds every outfit in the game.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "fuzz_files.h"

namespace {

namespace fs = std::filesystem;
using fuzz_support::Broken;

int Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    int status = 0;
    try {
        status = garbolt_outfits::RunOutfitsTool(arguments, out, err);
    } catch (const std::exception& error) {
        Broken(arguments[2] + " threw: " + error.what());
    }
    if (status != 0 && status != 1) {
        Broken(arguments[2] + " answered " + std::to_string(status) + ": " + err.str());
    }
    return status;
}

// Runs a command on the file; the file must come out unchanged unless the
// command succeeded and may change it.
int RunOn(const std::string& file, std::vector<std::string> command, bool changes) {
    const std::string before = fuzz_support::ReadBytes(file);
    command.insert(command.begin(), {"--file", file});
    const int status = Run(command);
    if ((!changes || status != 0) && fuzz_support::ReadBytes(file) != before) {
        Broken(command[2] + (changes ? " failed yet changed the file" : " changed the file"));
    }
    return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = fuzz_support::ScratchFolder("outfits_tool");
    FuzzedDataProvider input(data, size);
    // The choices come from the end, so a seed is a plain outfit file.
    const std::string row = std::to_string(7 + input.ConsumeIntegralInRange(0, 14));
    const bool importOnRow = input.ConsumeBool();
    const bool replace = input.ConsumeBool();
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        fs::remove_all(entry.path(), ec);
    }
    const std::string file = folder + "/SavedOutfits.xml";
    const std::string shared = folder + "/shared.xml";
    const std::string other = folder + "/Other.xml";
    if (!fuzz_support::WriteBytes(file, bytes) ||
        !fuzz_support::WriteBytes(other, "<Garbolt />\n")) {
        Broken("cannot write the scratch files");
    }

    RunOn(file, {"check"}, false);
    RunOn(file, {"list"}, false);
    RunOn(file, {"export", row, shared, "--replace"}, false);

    // The random file as a shared outfit, into a store of its own; then into itself.
    std::vector<std::string> import = {"import", file};
    if (importOnRow) {
        import.push_back(row);
        if (replace) {
            import.push_back("--replace");  // only with a row
        }
    }
    RunOn(other, import, true);
    import[1] = shared;
    RunOn(file, import, true);

    if (RunOn(file, {"mend"}, true) == 0 && RunOn(file, {"check"}, false) != 0) {
        Broken("check still finds problems after a mend that succeeded");
    }
    return 0;
}
