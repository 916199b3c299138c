// The keyboard table under two threads, as in the game: the hook delivers
// keyboard messages on its own thread while the script routine reads the
// table every frame. Built in every preset; the tsan preset runs it under
// ThreadSanitizer, which fails the run on any data race.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

#include "sim/game.h"
#include "sim/plugin.h"
#include "support/session.h"

namespace {

constexpr std::uint32_t kF9Key = 120;
constexpr std::uint32_t kShiftKey = 0x10;

bool MenuDrawn(sim::Game& game) {
    for (const sim::TraceEvent& event : game.Trace()) {
        if (event.Name() == "UIDEBUG::_BG_DISPLAY_TEXT") {
            return true;
        }
    }
    return false;
}

// Messages for every key but the menu key, as fast as the thread can send them.
void SendMessages(std::atomic<bool>& stop, std::atomic<long>& sent) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::uint32_t> key(0, 300);
    while (!stop.load()) {
        const std::uint32_t code = key(random);
        if (code == kF9Key) {
            continue;
        }
        sim::TheGame().SendKeyboardMessage(code, (random() & 1) != 0);
        sent.fetch_add(1);
    }
}

TEST(Threads, KeyboardMessagesFromAnotherThreadWhileTheScriptRuns) {
    testing_support::Session session;
    sim::Game& game = session.game();
    game.RunFrames(2);

    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    std::thread hook([&] { SendMessages(stop, sent); });

    int opened = 0;
    for (int round = 0; round < 100; ++round) {
        game.KeyDown(kF9Key);
        game.RunFrame();
        game.KeyUp(kF9Key);
        game.RunFrames(3);
        game.SendKeyboardMessage(kShiftKey, true);
        game.ClearTrace();
        game.RunFrames(2);
        if (MenuDrawn(game)) {
            ++opened;
        }
    }
    stop.store(true);
    hook.join();

    EXPECT_GT(sent.load(), 0);
    // The menu key toggles the menu each round, whatever else arrives.
    EXPECT_EQ(opened, 50);
}

}  // namespace
