#include "sim/game.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "host/float_bits.h"
#include "sim/modules.h"
#include "sim/readable_memory.h"
#include "sim/script_thread.h"

namespace sim {

namespace {

// A handle no real window has; FindWindowA answers it while a window is shown.
platform::WindowHandle const kGameWindowHandle = reinterpret_cast<platform::WindowHandle>(0x1000);

}  // namespace

float NativeCall::Float(std::size_t i) const {
    return float_bits::FromWord(Word(i));
}

std::optional<std::string> NativeCall::Text(std::size_t i) const {
    const char* text = RawText(i);
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

void NativeCall::ReturnFloat(float value, std::size_t slot) {
    slots_[slot] = float_bits::ToWord(value);
}

void NativeCall::ReturnVector(float x, float y, float z) {
    slots_[0] = float_bits::ToWord(x);
    slots_[1] = float_bits::ToWord(y);
    slots_[2] = float_bits::ToWord(z);
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
    probeEntries_.clear();
    trace_.clear();
    misuses_.clear();
    misuseCount_ = 0;
    adoptedContext_ = std::thread::id();
    traceObserver_ = nullptr;
    ownsGameText_ = nullptr;
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

void Game::RegisterNative(NativeId native, NativeHandler handler) {
    const NativeEntry* entry = FindNativeEntry(native.hash);
    // Every constant of the list has its row in the table.
    assert(entry != nullptr);
    natives_[native.hash] = Registered{entry, std::move(handler)};
}

void Game::RegisterNative(const NativeEntry& entry, NativeHandler handler) {
    probeEntries_[entry.hash] = entry;
    natives_[entry.hash] = Registered{&probeEntries_[entry.hash], std::move(handler)};
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

void Game::ClearMisuses() {
    misuses_.clear();
    misuseCount_ = 0;
}

void Game::RecordMisuse(const TraceEvent& call, std::string problem) {
    TraceEvent event;
    event.kind = TraceEvent::Kind::Misuse;
    event.frame = call.frame;
    event.hash = call.hash;
    event.native = call.native;
    event.unknown = call.unknown;
    event.args = call.args;
    event.texts = call.texts;
    event.problem = std::move(problem);
    ++misuseCount_;
    if (misuses_.size() < kMisusesKept) {
        misuses_.push_back(event);
    }
    Record(std::move(event));
}

namespace {

std::string ArgumentCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " argument" : " arguments");
}

bool IsText(char kind) {
    return kind == arg_kind::kText || kind == arg_kind::kTextOrNull || kind == arg_kind::kGameText;
}

// Texts in the trace: for the kinds whose text the trace shows.
bool TracesText(char kind) {
    return kind == arg_kind::kText || kind == arg_kind::kTextOrNull;
}

// "0x" and the 16 hex digits of a whole argument word.
std::string WordHex(std::uint64_t word) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(word));
    return text;
}

// A float's bits that are a subnormal: what a small integer's bits read as
// a float look like (zero and minus zero are not).
bool SubnormalBits(std::uint32_t bits) {
    return (bits & 0x7F800000u) == 0 && (bits & 0x007FFFFFu) != 0;
}

// What is wrong with argument `i` of kind `kind` for the game, or empty: a
// null text where the native needs one, a text with nothing readable behind
// it, a BOOL that is neither 0 nor 1, a 32-bit argument or a float with bits
// in the upper half, a float whose bits are an integer's.
std::string ArgumentProblem(std::size_t i, char kind, std::uint64_t word, bool fixed,
                            bool unreadable) {
    auto argument = [i](const std::string& what) {
        return "argument " + std::to_string(i + 1) + " " + what;
    };
    if (IsText(kind) && word == 0 && fixed && kind != arg_kind::kTextOrNull) {
        return argument("(text) is null");
    }
    if (unreadable) {
        return argument("(text) points at nothing readable");
    }
    if (kind == arg_kind::kBool && word > 1) {
        return argument("(BOOL) is " + std::to_string(word));
    }
    const bool thirtyTwoBits =
        kind == arg_kind::kInt || kind == arg_kind::kHash || kind == arg_kind::kFloat;
    if (thirtyTwoBits && (word >> 32) != 0) {
        const char* name = kind == arg_kind::kInt    ? "(int) is "
                           : kind == arg_kind::kHash ? "(Hash) is "
                                                     : "(float) is ";
        return argument(name + WordHex(word) + ": its upper 32 bits are not zero");
    }
    if (kind == arg_kind::kFloat && SubnormalBits(static_cast<std::uint32_t>(word))) {
        return argument("(float) is " + WordHex(word) + ": a subnormal, the bits of an integer");
    }
    return {};
}

// What the game would not forgive in a call: a native it cannot name, a call
// made where no script runs, an argument list of the wrong length, an
// argument not of its parameter's kind. `unreadable` marks the text
// arguments with nothing readable behind them. Nothing is allocated for a
// sound call.
std::vector<std::string> Problems(const NativeEntry* entry, const std::vector<std::uint64_t>& args,
                                  const std::vector<bool>& unreadable, bool inScript) {
    std::vector<std::string> problems;
    if (entry == nullptr) {
        problems.push_back("unknown native");
    }
    if (!inScript) {
        problems.push_back("called outside the script routine");
    }
    if (entry == nullptr) {
        return problems;
    }
    const std::size_t fixed = entry->FixedCount();
    if (entry->variadic == 0 ? args.size() != fixed : args.size() < fixed) {
        problems.push_back(std::string("takes ") + (entry->variadic != 0 ? "at least " : "") +
                           ArgumentCount(fixed) + ", was given " + std::to_string(args.size()));
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string problem =
            ArgumentProblem(i, entry->KindAt(i), args[i], i < fixed, unreadable[i]);
        if (!problem.empty()) {
            problems.push_back(std::move(problem));
        }
    }
    return problems;
}

}  // namespace

std::uint64_t* Game::HookNativeCall() {
    resultSlots_.fill(0);
    const auto found = natives_.find(pendingHash_);
    const Registered* native = found == natives_.end() ? nullptr : &found->second;
    const bool inScript = OnScriptRoutine() || (adoptedContext_ != std::thread::id() &&
                                                adoptedContext_ == std::this_thread::get_id());
    TraceEvent event;
    event.frame = frame_;
    event.hash = pendingHash_;
    event.args = pendingArgs_;
    event.unknown = native == nullptr;
    event.native = native != nullptr ? native->entry : nullptr;
    // The handler gets the arguments as pushed, except that a text with
    // nothing readable behind it reads as null: the game's model never
    // reads through it. (A copy: the handler may register natives or
    // record events itself.)
    std::vector<std::uint64_t> args = pendingArgs_;
    std::vector<bool> unreadable(args.size(), false);
    for (std::size_t i = 0; native != nullptr && i < args.size(); ++i) {
        const char kind = native->entry->KindAt(i);
        const bool gameOwned =
            kind == arg_kind::kGameText && ownsGameText_ && ownsGameText_(args[i]);
        if (IsText(kind) && args[i] != 0 && !gameOwned && !ReadableText(args[i])) {
            unreadable[i] = true;
            args[i] = 0;
        }
        if (TracesText(kind)) {
            const char* text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(args[i]));
            event.texts.push_back(unreadable[i]     ? "(unreadable)"
                                  : text != nullptr ? text
                                                    : "(null)");
        }
    }
    std::vector<std::string> problems = Problems(event.native, pendingArgs_, unreadable, inScript);
    NativeHandler handler = native != nullptr ? native->handler : NativeHandler();
    TraceEvent call;  // what a misuse names: the call as traced
    if (!problems.empty()) {
        call = event;
    }
    Record(std::move(event));
    for (std::string& problem : problems) {
        RecordMisuse(call, std::move(problem));
    }
    NativeCall nativeCall(args, resultSlots_.data());
    if (handler) {
        handler(nativeCall);
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
