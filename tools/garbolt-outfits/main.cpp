// garbolt-outfits: works on a player's SavedOutfits.xml outside the game.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        return garbolt_outfits::RunOutfitsTool(arguments, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "garbolt-outfits stopped: " << error.what()
                  << ". The outfit file was not changed.\n";
        return garbolt_outfits::kExitProblem;
    }
}
