#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "host/background.h"

namespace background {

namespace {

struct Task {
    void (*work)(void*) = nullptr;
    void* context = nullptr;
    PTP_WORK submitted = nullptr;
} task;

void CALLBACK RunTask(PTP_CALLBACK_INSTANCE, void*, PTP_WORK) {
    task.work(task.context);
}

}  // namespace

bool Start(void (*work)(void*), void* context) {
    PTP_WORK submitted = CreateThreadpoolWork(RunTask, nullptr, nullptr);
    if (submitted == nullptr) {
        return false;
    }
    task = Task{work, context, submitted};
    SubmitThreadpoolWork(submitted);
    return true;
}

void Finish() {
    if (task.submitted == nullptr) {
        return;
    }
    // A pool thread that is still being made waits for the loader's lock
    // before it runs anything: work not begun is dropped, so an unload
    // never waits for it.
    WaitForThreadpoolWorkCallbacks(task.submitted, TRUE);
    CloseThreadpoolWork(task.submitted);
    task = Task();
}

}  // namespace background
