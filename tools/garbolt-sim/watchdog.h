// A plug-in that never hands a frame back would hold garbolt-sim forever:
// its script routine runs on a thread of its own that nothing can stop from
// outside. The watchdog times each call into the plug-in from a thread of its
// own and, past the limit, ends the whole process after its last words.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace garbolt_sim {

class Watchdog {
  public:
    // Called on the watchdog's thread, once, with what was armed; it writes
    // what must be written and ends the process (it must not return).
    using Expiry = std::function<void(const std::string& what)>;

    // A limit of zero never fires.
    Watchdog(std::chrono::milliseconds limit, Expiry expiry);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    std::chrono::milliseconds Limit() const { return limit_; }

    // Times one call into the plug-in for as long as the scope lives.
    class Scope {
      public:
        Scope(Watchdog& watchdog, std::string what);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        Watchdog& watchdog_;
    };

  private:
    void Arm(std::string what);
    void Disarm();
    void Watch();

    const std::chrono::milliseconds limit_;
    const Expiry expiry_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false;
    bool ending_ = false;
    bool firing_ = false;  // the expiry runs: nothing may return to the runner
    std::uint64_t armings_ = 0;  // tells one arming from the next
    std::chrono::steady_clock::time_point deadline_;
    std::string what_;
    std::thread thread_;
};

}  // namespace garbolt_sim
