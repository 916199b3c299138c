#include <system_error>
#include <thread>

#include "host/background.h"

namespace background {

namespace {

// The thread of the work last started; a program that ends while it runs
// waits for it here.
struct Worker {
    std::thread thread;
    ~Worker() { Finish(); }
} worker;

}  // namespace

bool Start(void (*work)(void*), void* context) {
    try {
        worker.thread = std::thread(work, context);
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void Finish() {
    if (worker.thread.joinable()) {
        worker.thread.join();
    }
}

}  // namespace background
