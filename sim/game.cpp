#include "sim/game.h"

#include <cstring>

#include "sim/modules.h"
#include "sim/script_thread.h"

namespace sim {

namespace {

float FloatBits(std::uint64_t word) {
    const auto bits = static_cast<std::uint32_t>(word);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint64_t WordOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A handle no real window has; FindWindowA answers it while a window is shown.
platform::WindowHandle const kGameWindowHandle = reinterpret_cast<platform::WindowHandle>(0x1000);

}  // namespace

float NativeCall::Float(std::size_t i) const {
    return FloatBits(Word(i));
}

std::optional<std::string> NativeCall::Text(std::size_t i) const {
    const char* text = RawText(i);
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

void NativeCall::ReturnFloat(float value, std::size_t slot) {
    slots_[slot] = WordOf(value);
}

void NativeCall::ReturnVector(float x, float y, float z) {
    slots_[0] = WordOf(x);
    slots_[1] = WordOf(y);
    slots_[2] = WordOf(z);
}

Game::Game() {
    RegisterAllModules(*this);
}

Game::~Game() {
    StopScript();
}

void Game::Reset() {
    StopScript();
    natives_.clear();
    trace_.clear();
    traceObserver_ = nullptr;
    globals_.clear();
    missingGlobals_.clear();
    watched_.clear();
    pendingHash_ = 0;
    pendingArgs_.clear();
    frame_ = 0;
    tick_ = 100000;
    msPerFrame_ = 33;
    frameHooks_.clear();
    drawHooks_.clear();
    frameDrawn_ = true;
    {
        std::lock_guard<std::mutex> lock(keyboardMutex_);
        keyboardHandler_ = nullptr;
    }
    routine_ = nullptr;
    windowWidth_.reset();
    notifications_.clear();
    RegisterAllModules(*this);
}

// --- Native calls and the trace ---------------------------------------------

void Game::RegisterNative(std::uint64_t hash, std::string role, std::string signature,
                          NativeHandler handler) {
    natives_[hash] = NativeInfo{std::move(role), std::move(signature), std::move(handler)};
}

const NativeInfo* Game::FindNative(std::uint64_t hash) const {
    auto found = natives_.find(hash);
    return found == natives_.end() ? nullptr : &found->second;
}

const std::vector<TraceEvent>& Game::Trace() {
    CheckGlobalWrites();
    return trace_;
}

void Game::ClearTrace() {
    CheckGlobalWrites();
    trace_.clear();
}

std::vector<TraceEvent> Game::UnknownCalls() {
    std::vector<TraceEvent> unknown;
    for (const TraceEvent& event : Trace()) {
        if (event.kind == TraceEvent::Kind::Native && event.unknown) {
            unknown.push_back(event);
        }
    }
    return unknown;
}

void Game::SetTraceObserver(std::function<void(const TraceEvent&)> observer) {
    traceObserver_ = std::move(observer);
}

void Game::Record(TraceEvent event) {
    trace_.push_back(std::move(event));
    if (traceObserver_) {
        traceObserver_(trace_.back());
    }
}

void Game::HookNativeInit(std::uint64_t hash) {
    CheckGlobalWrites();
    pendingHash_ = hash;
    pendingArgs_.clear();
}

void Game::HookNativePush(std::uint64_t value) {
    pendingArgs_.push_back(value);
}

std::uint64_t* Game::HookNativeCall() {
    resultSlots_.fill(0);
    TraceEvent event;
    event.frame = frame_;
    event.hash = pendingHash_;
    event.args = pendingArgs_;
    const NativeInfo* info = FindNative(pendingHash_);
    if (info == nullptr) {
        event.unknown = true;
        Record(std::move(event));
        return resultSlots_.data();
    }
    event.role = info->role;
    for (std::size_t i = 0; i < pendingArgs_.size() && i < info->signature.size(); ++i) {
        if (info->signature[i] == 's') {
            const char* text =
                reinterpret_cast<const char*>(static_cast<std::uintptr_t>(pendingArgs_[i]));
            event.texts.push_back(text != nullptr ? text : "(null)");
        }
    }
    // Copy what the handler needs: it may register natives or record events itself.
    const std::vector<std::uint64_t> args = pendingArgs_;
    NativeHandler handler = info->handler;
    Record(std::move(event));
    NativeCall call(args, resultSlots_.data());
    if (handler) {
        handler(call);
    }
    return resultSlots_.data();
}

// --- Globals ----------------------------------------------------------------

std::uint64_t Game::Global(std::int32_t index) const {
    auto found = globals_.find(index);
    return found == globals_.end() ? 0 : found->second;
}

void Game::SetGlobal(std::int32_t index, std::uint64_t value) {
    CheckGlobalWrites();
    globals_[index] = value;
}

void Game::SetGlobalMissing(std::int32_t index, bool missing) {
    missingGlobals_[index] = missing;
}

std::uint64_t* Game::HookGetGlobalPtr(std::int32_t index) {
    CheckGlobalWrites();
    auto missing = missingGlobals_.find(index);
    if (missing != missingGlobals_.end() && missing->second) {
        return nullptr;
    }
    std::uint64_t* slot = &globals_[index];
    watched_.push_back({index, slot, *slot});
    return slot;
}

// The plug-in writes through the pointer it was given, so a write shows as a
// changed value at the next call into the hook.
void Game::CheckGlobalWrites() {
    for (const WatchedSlot& watched : watched_) {
        if (*watched.slot != watched.value) {
            TraceEvent event;
            event.kind = TraceEvent::Kind::GlobalWrite;
            event.frame = frame_;
            event.globalIndex = watched.index;
            event.before = watched.value;
            event.after = *watched.slot;
            Record(std::move(event));
        }
    }
    watched_.clear();
}

// --- Frames, keyboard, clock ------------------------------------------------

void Game::AddFrameHook(std::function<void()> hook) {
    frameHooks_.push_back(std::move(hook));
}

void Game::AddDrawHook(std::function<void()> hook) {
    drawHooks_.push_back(std::move(hook));
}

void Game::DrawFrame() {
    frameDrawn_ = true;
    for (const auto& hook : drawHooks_) {
        hook();
    }
}

void Game::RunFrame() {
    if (!frameDrawn_) {
        DrawFrame();
    }
    frameDrawn_ = false;
    ++frame_;
    tick_ += msPerFrame_;
    for (const auto& hook : frameHooks_) {
        hook();
    }
    if (routine_ != nullptr && !script_) {
        script_ = std::make_unique<ScriptThread>(routine_);
    }
    if (script_) {
        script_->RunUntilWait();
    }
    CheckGlobalWrites();
}

void Game::RunFrames(int count) {
    for (int i = 0; i < count; ++i) {
        RunFrame();
    }
}

bool Game::ScriptRunning() const {
    return script_ && !script_->Finished();
}

void Game::SendKeyboardMessage(std::uint32_t key, bool isUp) {
    std::lock_guard<std::mutex> lock(keyboardMutex_);
    if (keyboardHandler_ != nullptr) {
        // Repeats 1, no scan code, not extended, no Alt; "was down before" is
        // set on a release, as Windows reports it.
        keyboardHandler_(key, 1, 0, 0, 0, isUp ? 1 : 0, isUp ? 1 : 0);
    }
}

void Game::StopScript() {
    if (script_) {
        script_->Stop();
        script_.reset();
    }
}

// --- The hook's side --------------------------------------------------------

void Game::HookScriptRegister(platform::ModuleHandle, platform::ScriptRoutine routine) {
    routine_ = routine;
}

void Game::HookScriptUnregister(platform::ModuleHandle) {
    routine_ = nullptr;
}

void Game::HookKeyboardRegister(platform::KeyboardHandler handler) {
    std::lock_guard<std::mutex> lock(keyboardMutex_);
    keyboardHandler_ = handler;
}

void Game::HookKeyboardUnregister(platform::KeyboardHandler handler) {
    std::lock_guard<std::mutex> lock(keyboardMutex_);
    if (keyboardHandler_ == handler) {
        keyboardHandler_ = nullptr;
    }
}

void Game::HookScriptWait(std::uint32_t) {
    CheckGlobalWrites();
    DrawFrame();
    if (script_) {
        script_->YieldToDriver();
    }
}

platform::WindowHandle Game::HookFindWindow(const char*, const char* title) {
    if (windowWidth_ && title != nullptr && std::strcmp(title, "Red Dead Redemption 2") == 0) {
        return kGameWindowHandle;
    }
    return nullptr;
}

bool Game::HookGetWindowRect(platform::WindowHandle window, platform::WindowRect* rect) {
    if (window != kGameWindowHandle || !windowWidth_ || rect == nullptr) {
        return false;
    }
    rect->left = 0;
    rect->top = 0;
    rect->right = *windowWidth_;
    rect->bottom = *windowWidth_ * 9 / 16;
    return true;
}

Game& TheGame() {
    static Game game;
    return game;
}

std::uint32_t NameHash(const std::string& text) {
    std::uint32_t hash = 0;
    for (unsigned char c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        hash += c;
        hash += hash << 10;
        hash ^= hash >> 6;
    }
    hash += hash << 3;
    hash ^= hash >> 11;
    hash += hash << 15;
    return hash;
}

}  // namespace sim
