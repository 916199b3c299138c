// The simulated hook's script context: how the routine is ended when the
// plug-in is unloaded.
#include <gtest/gtest.h>

#include "host/platform.h"
#include "sim/game.h"

namespace {

int swallowedStops = 0;

// A routine that catches the hook's termination once and then waits again,
// as careless plug-in code with a catch-all around its waiting might.
void SwallowingRoutine() {
    try {
        for (;;) {
            platform::scriptWait(0);
        }
    } catch (...) {
        ++swallowedStops;
    }
    for (;;) {
        platform::scriptWait(0);
    }
}

class ScriptContext : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::TheGame().Reset();
        swallowedStops = 0;
    }
    void TearDown() override { sim::TheGame().Reset(); }
};

TEST_F(ScriptContext, RoutineThatSwallowsTheStopIsEndedAtItsNextWait) {
    sim::Game& game = sim::TheGame();
    game.HookScriptRegister(nullptr, SwallowingRoutine);
    game.RunFrames(3);
    ASSERT_TRUE(game.ScriptRunning());

    game.StopScript();

    EXPECT_FALSE(game.ScriptRunning());
    EXPECT_EQ(swallowedStops, 1);
}

}  // namespace
