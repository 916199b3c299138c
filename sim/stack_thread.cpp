#include "sim/stack_thread.h"

#include <system_error>

#include "sim/script_thread.h"

namespace sim {

StackThread::StackThread(std::size_t stackBytes, std::function<void()> body)
    : body_(std::move(body)) {
    pthread_attr_t attributes;
    int error = pthread_attr_init(&attributes);
    if (error == 0) {
        error = pthread_attr_setstacksize(&attributes, stackBytes);
        if (error == 0) {
            error = pthread_create(&thread_, &attributes, &StackThread::Run, this);
        }
        pthread_attr_destroy(&attributes);
    }
    if (error != 0) {
        throw std::system_error(error, std::generic_category(), "cannot start a thread");
    }
}

StackThread::~StackThread() {
    pthread_join(thread_, nullptr);
}

void* StackThread::Run(void* self) {
    static_cast<StackThread*>(self)->body_();
    return nullptr;
}

void RunOnScriptStack(const std::function<void()>& body) {
    // Work on the script's stack is the script's work: its natives are called
    // where the game expects them.
    StackThread thread(kScriptStackBytes, [&body] {
        ScriptRoutineScope script;
        body();
    });
}

}  // namespace sim
