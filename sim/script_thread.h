// Runs the plug-in's script routine on a thread of its own with a game
// script's stack (kScriptStackBytes), handing control back and forth
// strictly: either the driver or the script runs, never both, so a run is as
// deterministic as a single thread.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "host/platform.h"
#include "sim/stack_thread.h"

namespace sim {

// True on the thread of a script routine while the routine runs, and on a
// thread that runs the script's work on the script's stack (RunOnScriptStack).
bool OnScriptRoutine();

// Marks this thread as running the script's work for the scope's life.
class ScriptRoutineScope {
  public:
    ScriptRoutineScope();
    ~ScriptRoutineScope();
    ScriptRoutineScope(const ScriptRoutineScope&) = delete;
    ScriptRoutineScope& operator=(const ScriptRoutineScope&) = delete;

  private:
    bool outer_;
};

// Thrown out of scriptWait to end the routine when the plug-in is unloaded.
struct ScriptTerminated {};

class ScriptThread {
  public:
    explicit ScriptThread(platform::ScriptRoutine routine);
    ~ScriptThread();  // stops the routine if it still runs

    // Lets the routine run until it next calls scriptWait (or returns).
    void RunUntilWait();
    // Called on the script thread by scriptWait: hands control back to the
    // driver and returns when the next frame starts.
    void YieldToDriver();
    void Stop();
    bool Finished() const;

  private:
    enum class Turn { Driver, Script };
    void Body();

    platform::ScriptRoutine routine_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Turn turn_ = Turn::Driver;
    bool stopping_ = false;
    bool finished_ = false;
    bool started_ = false;
    std::unique_ptr<StackThread> thread_;
};

}  // namespace sim
