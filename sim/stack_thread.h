// A thread with a stack of a chosen size. The game runs scripts on fibers
// with small stacks; std::thread cannot be given one, so the simulated game
// and the tests start their threads here.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>

namespace sim {

// The stack the simulated game gives its script, and the tests and fuzzers
// the plug-in's and the tools' work: no more than a game fiber is likely to
// have, so code that fits here fits in the game.
constexpr std::size_t kScriptStackBytes = 256 * 1024;

class StackThread {
  public:
    // Starts `body` at once on a thread with a stack of `stackBytes`; throws
    // std::system_error when no such thread can be made.
    StackThread(std::size_t stackBytes, std::function<void()> body);
    // Waits for the body to end.
    ~StackThread();
    StackThread(const StackThread&) = delete;
    StackThread& operator=(const StackThread&) = delete;

  private:
    static void* Run(void* self);

    std::function<void()> body_;
    pthread_t thread_{};
};

// Runs `body` on a thread with a game script's stack, as the script's work
// (natives called there are called inside the script routine), and waits for it.
void RunOnScriptStack(const std::function<void()>& body);

}  // namespace sim
