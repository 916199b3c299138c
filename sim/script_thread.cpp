#include "sim/script_thread.h"

namespace sim {

namespace {
thread_local bool onScriptRoutine = false;
}  // namespace

bool OnScriptRoutine() {
    return onScriptRoutine;
}

ScriptRoutineScope::ScriptRoutineScope() : outer_(onScriptRoutine) {
    onScriptRoutine = true;
}

ScriptRoutineScope::~ScriptRoutineScope() {
    onScriptRoutine = outer_;
}

ScriptThread::ScriptThread(platform::ScriptRoutine routine) : routine_(routine) {}

ScriptThread::~ScriptThread() {
    Stop();
}

void ScriptThread::Body() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return turn_ == Turn::Script; });
    }
    try {
        if (!stopping_) {
            ScriptRoutineScope script;
            routine_();
        }
    } catch (const ScriptTerminated&) {
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    turn_ = Turn::Driver;
    changed_.notify_all();
}

void ScriptThread::RunUntilWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (finished_) {
        return;
    }
    if (!started_) {
        started_ = true;
        thread_ = std::make_unique<StackThread>(kScriptStackBytes, [this] { Body(); });
    }
    turn_ = Turn::Script;
    changed_.notify_all();
    changed_.wait(lock, [this] { return turn_ == Turn::Driver; });
}

void ScriptThread::YieldToDriver() {
    std::unique_lock<std::mutex> lock(mutex_);
    // A routine that caught the termination and waits again is ended again
    // at once; handing the turn back would leave Stop waiting forever.
    if (stopping_) {
        throw ScriptTerminated{};
    }
    turn_ = Turn::Driver;
    changed_.notify_all();
    changed_.wait(lock, [this] { return turn_ == Turn::Script; });
    if (stopping_) {
        throw ScriptTerminated{};
    }
}

void ScriptThread::Stop() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        stopping_ = true;
        if (started_ && !finished_) {
            turn_ = Turn::Script;
            changed_.notify_all();
            changed_.wait(lock, [this] { return finished_; });
        }
    }
    thread_.reset();
}

bool ScriptThread::Finished() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return finished_;
}

}  // namespace sim
