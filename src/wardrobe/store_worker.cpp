#include "wardrobe/store_worker.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <exception>
#include <thread>
#include <utility>

#include "host/background.h"
#include "host/files.h"
#include "wardrobe/outfit_file.h"

namespace store_worker {

namespace {

struct Job {
    store_work::Request request;
    Prepare prepare = nullptr;
    Show show = nullptr;

    // False when the game's side ran out of memory: the operation's
    // failure is then shown, and its work is not done.
    bool PrepareRequest() {
        try {
            if (prepare != nullptr) {
                prepare(request);
            }
            return true;
        } catch (const std::exception&) {
            store_work::Outcome failed;
            std::snprintf(failed.message, sizeof failed.message, "%s",
                          store_work::FailureMessage(request.operation));
            show(failed);
            return false;
        }
    }
};

// The queue, and the one operation the thread works on. Only the game's
// thread touches it, except `outcome` and `done`, which the thread writes
// as its work ends.
struct Worker {
    std::deque<Job> waiting;
    bool running = false;
    Job current;
    store_work::Outcome outcome;
    std::atomic<bool> done{false};
    std::uint64_t inFrameFileBytes = kInFrameFileBytes;
} worker;

// Small files, and files past the cap (refused without being read), are
// worked on at once; anything the size check cannot see as a plain file
// too, since reading it refuses it.
bool FitsTheFrame() {
    const std::uint64_t size = files::Active().PlainFileSize(outfit_file::kOutfitFilePath);
    return size <= worker.inFrameFileBytes || size > outfit_file::kMaxOutfitFileBytes;
}

void ShowNow(Job& job) {
    if (job.PrepareRequest()) {
        job.show(store_work::Run(job.request));
    }
}

void RunCurrent(void*) {
    worker.outcome = store_work::Run(worker.current.request);
    worker.done.store(true, std::memory_order_release);
}

void WaitUntilDone() {
    while (!worker.done.load(std::memory_order_acquire)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void StartNext() {
    if (worker.running || worker.waiting.empty()) {
        return;
    }
    worker.current = std::move(worker.waiting.front());
    worker.waiting.pop_front();
    if (!worker.current.PrepareRequest()) {
        StartNext();
        return;
    }
    worker.done.store(false, std::memory_order_relaxed);
    if (background::Start(RunCurrent, nullptr)) {
        worker.running = true;
        return;
    }
    // No thread to be had: the work costs this frame rather than being lost.
    worker.current.show(store_work::Run(worker.current.request));
    StartNext();
}

}  // namespace

void SetInFrameFileBytes(std::uint64_t bytes) {
    worker.inFrameFileBytes = bytes;
}

void Submit(store_work::Request request, Prepare prepare, Show show) {
    Job job{std::move(request), prepare, show};
    if (!worker.running && worker.waiting.empty() && FitsTheFrame()) {
        ShowNow(job);
        return;
    }
    worker.waiting.push_back(std::move(job));
    StartNext();
}

void ShowFinished() {
    if (worker.running) {
        if (!worker.done.load(std::memory_order_acquire)) {
            return;
        }
        background::Finish();
        worker.running = false;
        const Show show = worker.current.show;
        const store_work::Outcome outcome = std::move(worker.outcome);
        worker.current = Job();
        show(outcome);
    }
    StartNext();
}

void FinishAll() {
    while (worker.running) {
        WaitUntilDone();
        ShowFinished();
    }
}

void Drop() {
    if (worker.running) {
        background::Finish();
    }
    worker.running = false;
    worker.waiting.clear();
    worker.current = Job();
    worker.outcome = store_work::Outcome();
    worker.inFrameFileBytes = kInFrameFileBytes;
}

}  // namespace store_worker
