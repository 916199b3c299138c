// A lean hook for benchmarks: it takes each native call as a real hook does
// (hash, argument words, result slots) and answers from a short table, and it
// can record the calls so they can be issued again with pre-built arguments.
#pragma once

#include <cstdint>
#include <vector>

namespace bench_bridge {

struct RecordedCall {
    enum class Kind { Native, Global };
    Kind kind = Kind::Native;
    std::uint64_t hash = 0;
    std::vector<std::uint64_t> args;
    std::int32_t globalIndex = 0;
};

void StartRecording();
std::vector<RecordedCall> StopRecording();

// The recorded calls laid out flat: one entry per call, all argument words in
// one array, so issuing them again costs no more than the pushes themselves.
struct PreparedCalls {
    struct Call {
        std::uint64_t hash;
        std::uint32_t argCount;
        std::int32_t globalIndex;  // for a global; -1 for a native
    };
    std::vector<Call> calls;
    std::vector<std::uint64_t> words;

    explicit PreparedCalls(const std::vector<RecordedCall>& recorded);
};

// Issues the prepared calls through the hook: the floor of a frame that made them.
void Replay(const PreparedCalls& prepared);

// How many natives have been called (keeps the work observable).
std::uint64_t CallCount();

// The game's naming keyboard reports itself finished with `text` (null: still
// open) from the next status query on.
void FinishKeyboard(const char* text);

}  // namespace bench_bridge
