#include "watchdog.h"

namespace garbolt_sim {

Watchdog::Watchdog(std::chrono::milliseconds limit, Expiry expiry)
    : limit_(limit), expiry_(std::move(expiry)) {
    if (limit_.count() > 0) {
        thread_ = std::thread([this] { Watch(); });
    }
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Watchdog::Arm(std::string what) {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
        ++armings_;
        deadline_ = std::chrono::steady_clock::now() + limit_;
        what_ = std::move(what);
    }
    changed_.notify_all();
}

void Watchdog::Disarm() {
    if (!thread_.joinable()) {
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    // A call that returns just as the limit passes is too late: the expiry
    // has the runner now, and the process ends with it.
    changed_.wait(lock, [this] { return !firing_; });
    armed_ = false;
}

void Watchdog::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ending_) {
        if (!armed_) {
            changed_.wait(lock, [this] { return armed_ || ending_; });
            continue;
        }
        const std::uint64_t arming = armings_;
        const std::chrono::steady_clock::time_point deadline = deadline_;
        changed_.wait_until(lock, deadline,
                            [&] { return ending_ || armings_ != arming || !armed_; });
        if (!ending_ && armed_ && armings_ == arming &&
            std::chrono::steady_clock::now() >= deadline) {
            // The thread that armed it is stuck in the plug-in and touches
            // nothing of the runner's until the call returns, which it will
            // not: the expiry has the runner to itself.
            const std::string what = what_;
            firing_ = true;
            lock.unlock();
            expiry_(what);
            return;
        }
    }
}

Watchdog::Scope::Scope(Watchdog& watchdog, std::string what) : watchdog_(watchdog) {
    watchdog_.Arm(std::move(what));
}

Watchdog::Scope::~Scope() {
    watchdog_.Disarm();
}

}  // namespace garbolt_sim
