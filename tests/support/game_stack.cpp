#include "support/game_stack.h"

#include <sstream>

#include "cli.h"
#include "sim/stack_thread.h"

namespace testing_support {

void OnGameStack(const std::function<void()>& body) {
    sim::RunOnScriptStack(body);
}

ProgramRun RunOutfitsToolOnGameStack(const std::vector<std::string>& arguments) {
    ProgramRun run;
    OnGameStack([&] {
        std::ostringstream out;
        std::ostringstream err;
        run.status = garbolt_outfits::RunOutfitsTool(arguments, out, err);
        run.out = out.str();
        run.err = err.str();
    });
    return run;
}

}  // namespace testing_support
