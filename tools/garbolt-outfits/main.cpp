// garbolt-outfits: works on a player's SavedOutfits.xml outside the game.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "console.h"
#include "outfit_path.h"

namespace {

// Every expected failure has its own status (commands.h); an exception is
// the tool's own fault, and it ends with a word rather than an abort.
constexpr int kExitInternalError = 2;

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        const std::string outfitFile =
            garbolt_outfits::DefaultOutfitFile(garbolt_outfits::ProgramFolder());
        if (arguments.empty() && garbolt_outfits::OwnsItsConsole()) {
            return garbolt_outfits::RunDoubleClicked(outfitFile, std::cin, std::cout);
        }
        return garbolt_outfits::RunOutfitsTool(arguments, std::cout, std::cerr, outfitFile);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "garbolt-outfits: internal error: " << error.what() << "\n";
    } catch (...) {
        std::cout.flush();
        std::cerr << "garbolt-outfits: internal error: an unknown exception\n";
    }
    return kExitInternalError;
}
