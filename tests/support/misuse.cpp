#include "support/misuse.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "sim/game.h"

namespace testing_support {

std::vector<std::string> MisuseTexts() {
    std::vector<std::string> texts;
    for (const sim::TraceEvent& misuse : sim::TheGame().Misuses()) {
        char hash[24];
        std::snprintf(hash, sizeof hash, "0x%016llX", static_cast<unsigned long long>(misuse.hash));
        const std::string name = misuse.native != nullptr ? std::string(misuse.Name()) + " " : "";
        texts.push_back(name + "(" + hash + "): " + misuse.problem);
    }
    return texts;
}

void ExpectNoMisuse() {
    sim::Game& game = sim::TheGame();
    if (game.MisuseCount() != 0) {
        std::string list;
        for (const std::string& text : MisuseTexts()) {
            list += "\n  " + text;
        }
        ADD_FAILURE() << game.MisuseCount() << " misuses of natives, the first:" << list;
    }
    game.ClearMisuses();
}

}  // namespace testing_support
