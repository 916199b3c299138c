// Runs one file operation and reports its result in the exit code: 0 when it
// succeeded, 1 when it reported failure, 2 when the request was not understood.
//
//   garbolt_files_child [--fsize-limit BYTES] replace PATH BYTES
//   garbolt_files_child [--fsize-limit BYTES] fill PATH COUNT    (COUNT bytes 'z')
//   garbolt_files_child [--fsize-limit BYTES] ini-set PATH SECTION KEY VALUE
//       (reads the INI file, sets one key and updates the file)
#include <cstdlib>
#include <string>

#include "host/files.h"
#include "settings/ini.h"
#include "support/child_options.h"

namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;
constexpr int kBadRequest = 2;

int Run(int count, char** arguments) {
    const int next = testing_support::TakeFileSizeLimit(count, arguments);
    if (next < 0) {
        return kBadRequest;
    }
    if (next >= count) {
        return kBadRequest;
    }
    const std::string operation = arguments[next];
    if (operation == "replace" && count == next + 3) {
        return files::ReplaceFile(arguments[next + 1], std::string(arguments[next + 2]))
                   ? kSucceeded
                   : kFailed;
    }
    if (operation == "fill" && count == next + 3) {
        const std::string bytes(std::strtoull(arguments[next + 2], nullptr, 10), 'z');
        return files::ReplaceFile(arguments[next + 1], bytes) ? kSucceeded : kFailed;
    }
    if (operation == "ini-set" && count == next + 5) {
        const IniStore store(arguments[next + 1]);
        IniDocument document;
        store.read(document);
        document.at(arguments[next + 2]).set(arguments[next + 3], arguments[next + 4]);
        return store.write(document) ? kSucceeded : kFailed;
    }
    return kBadRequest;
}

}  // namespace

int main(int count, char** arguments) {
    return Run(count, arguments);
}
