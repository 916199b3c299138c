// Runs the built garbolt-sim program in a scratch folder of the test's own, as
// a user would, with a scenario on its standard input.
#pragma once

#include <string>

#include "support/program_run.h"

namespace sim_tool_testing {

using Result = testing_support::ProgramRun;

class SimToolTest : public testing_support::ScratchFolderTest {
  protected:
    // `args` and `environment` go into the command line as they stand; "-"
    // names standard input as the scenario.
    Result Run(const std::string& scenario, const std::string& args = "-",
               const std::string& environment = "") {
        return testing_support::RunWithInput(dir_, GARBOLT_SIM_PROGRAM, args, scenario,
                                             environment);
    }
};

}  // namespace sim_tool_testing
