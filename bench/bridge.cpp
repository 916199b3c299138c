#include "bridge.h"

#include <benchmark/benchmark.h>

#include <array>

#include "host/native_hashes.h"
#include "host/onscreen_keyboard.h"
#include "host/platform.h"

namespace bench_bridge {

namespace {

using game_natives::kInputSourceNative;
using game_natives::kKeyboardResultNative;
using game_natives::kKeyboardStatusNative;
using game_natives::kPromptActiveNative;
using game_natives::kPromptCreateNative;
using game_natives::kVariableStringNative;

constexpr std::size_t kMaxArgs = 32;

std::uint64_t currentHash = 0;
std::array<std::uint64_t, kMaxArgs> args{};
std::size_t argCount = 0;
std::array<std::uint64_t, 4> slots{};
std::uint64_t calls = 0;
std::uint64_t globalSlot = 0;
std::int32_t nextPrompt = 1;
const char* keyboardText = nullptr;

bool recording = false;
std::vector<RecordedCall> recorded;

}  // namespace

void StartRecording() {
    recorded.clear();
    recording = true;
}

std::vector<RecordedCall> StopRecording() {
    recording = false;
    return std::move(recorded);
}

std::uint64_t CallCount() {
    return calls;
}

void FinishKeyboard(const char* text) {
    keyboardText = text;
}

PreparedCalls::PreparedCalls(const std::vector<RecordedCall>& recorded) {
    for (const RecordedCall& call : recorded) {
        const bool global = call.kind == RecordedCall::Kind::Global;
        calls.push_back({call.hash, static_cast<std::uint32_t>(call.args.size()),
                         global ? call.globalIndex : -1});
        words.insert(words.end(), call.args.begin(), call.args.end());
    }
}

void Replay(const PreparedCalls& prepared) {
    const std::uint64_t* word = prepared.words.data();
    for (const PreparedCalls::Call& call : prepared.calls) {
        if (call.globalIndex >= 0) {
            benchmark::DoNotOptimize(platform::getGlobalPtr(call.globalIndex));
            continue;
        }
        platform::nativeInit(call.hash);
        for (std::uint32_t i = 0; i < call.argCount; ++i) {
            platform::nativePush64(*word++);
        }
        benchmark::DoNotOptimize(platform::nativeCall());
    }
}

}  // namespace bench_bridge

namespace platform {

using namespace bench_bridge;

void scriptRegister(ModuleHandle, ScriptRoutine) {}
void scriptUnregister(ModuleHandle) {}
void keyboardHandlerRegister(KeyboardHandler) {}
void keyboardHandlerUnregister(KeyboardHandler) {}
void scriptWait(std::uint32_t) {}

void nativeInit(std::uint64_t hash) {
    currentHash = hash;
    argCount = 0;
}

void nativePush64(std::uint64_t value) {
    if (argCount < kMaxArgs) {
        args[argCount++] = value;
    }
}

std::uint64_t* nativeCall() {
    ++calls;
    if (recording) {
        RecordedCall call;
        call.hash = currentHash;
        call.args.assign(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(argCount));
        recorded.push_back(std::move(call));
    }
    slots[0] = 0;
    switch (currentHash) {
        case kInputSourceNative:
            slots[0] = 1;  // keyboard and mouse
            break;
        case kVariableStringNative:
            slots[0] = argCount > 2 ? args[2] : 0;  // the game string stands for the text
            break;
        case kPromptCreateNative:
            slots[0] = static_cast<std::uint32_t>(nextPrompt++);
            break;
        case kPromptActiveNative: {
            // As the game: every prompt made is valid, so its completion is asked too.
            const auto handle = static_cast<std::int32_t>(args[0]);
            slots[0] = argCount > 0 && handle > 0 && handle < nextPrompt ? 1 : 0;
            break;
        }
        case kKeyboardStatusNative:
            slots[0] =
                keyboardText != nullptr ? onscreen_keyboard::kFinished : onscreen_keyboard::kTyping;
            break;
        case kKeyboardResultNative:
            slots[0] = reinterpret_cast<std::uintptr_t>(keyboardText);
            break;
        default:
            break;
    }
    return slots.data();
}

std::uint64_t* getGlobalPtr(std::int32_t index) {
    if (recording) {
        RecordedCall call;
        call.kind = RecordedCall::Kind::Global;
        call.globalIndex = index;
        recorded.push_back(std::move(call));
    }
    return &globalSlot;
}

WindowHandle FindWindowA(const char*, const char*) {
    return nullptr;
}
bool GetWindowRect(WindowHandle, WindowRect*) {
    return false;
}
std::uint32_t GetTickCount() {
    return 100000;
}

}  // namespace platform
