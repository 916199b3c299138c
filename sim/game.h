// The simulated game behind the hook's nine operations: the handlers of the
// natives of the native table (sim/native_table.h), keyed by hash; game
// globals; a trace of every call, with each misuse of a native as an event of
// its own; a frame driver that runs the plug-in's script routine on its own
// thread; keyboard messages, a tick clock and the game window.
//
// Sections: native calls and the trace; globals; frames, keyboard and clock;
// the window; notifications.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "host/platform.h"
#include "sim/native_table.h"

namespace sim {

class ScriptThread;

// What the upper 32 bits of every int, Hash and BOOL result hold: a fixed
// pattern that no handle, hash or bool has there.
constexpr std::uint64_t kResultHighHalf = 0xA5E1C3D700000000ull;

// One native call as the handler sees it: the argument words and the result slots.
class NativeCall {
  public:
    NativeCall(const std::vector<std::uint64_t>& args, std::uint64_t* slots)
        : args_(args), slots_(slots) {}

    std::size_t ArgCount() const { return args_.size(); }
    std::uint64_t Word(std::size_t i) const { return i < args_.size() ? args_[i] : 0; }
    std::int32_t Int(std::size_t i) const { return static_cast<std::int32_t>(Word(i)); }
    std::uint32_t Uint(std::size_t i) const { return static_cast<std::uint32_t>(Word(i)); }
    bool Bool(std::size_t i) const { return Uint(i) != 0; }
    float Float(std::size_t i) const;
    // The NUL-terminated text at the argument's address; null gives nullopt.
    std::optional<std::string> Text(std::size_t i) const;
    const char* RawText(std::size_t i) const {
        return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(Word(i)));
    }

    void ReturnWord(std::uint64_t value, std::size_t slot = 0) { slots_[slot] = value; }
    // The game writes an int, Hash or BOOL result as 32 bits into a 64-bit
    // slot and leaves the upper half as it was; these fill it with
    // kResultHighHalf, so a caller that reads the whole word gets a wrong value.
    void ReturnInt(std::int32_t value) { ReturnUint(static_cast<std::uint32_t>(value)); }
    void ReturnUint(std::uint32_t value) { slots_[0] = kResultHighHalf | value; }
    void ReturnBool(bool value) { ReturnUint(value ? 1u : 0u); }
    void ReturnFloat(float value, std::size_t slot = 0);
    void ReturnPointer(const void* pointer) {
        slots_[0] = reinterpret_cast<std::uintptr_t>(pointer);
    }
    void ReturnVector(float x, float y, float z);

  private:
    const std::vector<std::uint64_t>& args_;
    std::uint64_t* slots_;
};

using NativeHandler = std::function<void(NativeCall&)>;

struct TraceEvent {
    enum class Kind { Native, GlobalWrite, Misuse };
    Kind kind = Kind::Native;
    std::uint64_t frame = 0;
    // Native and Misuse
    std::uint64_t hash = 0;
    const NativeEntry* native = nullptr;  // null for an unknown native
    bool unknown = false;
    std::vector<std::uint64_t> args;
    std::vector<std::string> texts;  // one per text argument, in order
    // Misuse: what was wrong with the call, for example "argument 2 (text) is null".
    std::string problem;
    // GlobalWrite
    std::int32_t globalIndex = 0;
    std::uint64_t before = 0;
    std::uint64_t after = 0;

    // "NAMESPACE::NAME", or empty for an unknown native.
    std::string_view Name() const { return native != nullptr ? native->name : ""; }
};

struct Notification {
    std::uint64_t frame = 0;
    std::string text;
};

class Game {
  public:
    Game();
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Back to a game with nothing registered, no trace and default state;
    // every module's natives are registered again.
    void Reset();

    // --- Native calls and the trace -------------------------------------
    // The handler of a native of the list, by its constant
    // (host/native_hashes.h; null: the native does nothing and answers zeros).
    void RegisterNative(NativeId native, NativeHandler handler);
    // A native outside the table, described by `entry` (a test's probe); the
    // entry's texts must outlive the game's use of them.
    void RegisterNative(const NativeEntry& entry, NativeHandler handler);
    bool HasNative(std::uint64_t hash) const { return natives_.count(hash) != 0; }
    const std::vector<TraceEvent>& Trace();
    void ClearTrace();
    // Calls of natives without a handler; each answered zeros.
    std::vector<TraceEvent> UnknownCalls();
    // Every misuse since the game was reset or the misuses were cleared,
    // kept also when the trace is cleared: the first kMisusesKept of them,
    // and how many there were.
    static constexpr std::size_t kMisusesKept = 100;
    const std::vector<TraceEvent>& Misuses() const { return misuses_; }
    std::uint64_t MisuseCount() const { return misuseCount_; }
    void ClearMisuses();
    // The calling thread acts as the script routine from now until the next
    // Reset: a test that runs the plug-in's frame itself instead of through
    // a registered routine.
    void AdoptScriptContext() { adoptedContext_ = std::this_thread::get_id(); }
    // Observers see each event as it is recorded (the tool's live output).
    void SetTraceObserver(std::function<void(const TraceEvent&)> observer);
    // Tells the game texts it handed out itself (game strings), which are
    // its own memory: readable without asking the system.
    void SetGameTextOwner(std::function<bool(std::uint64_t)> owns) {
        ownsGameText_ = std::move(owns);
    }

    // --- Globals ---------------------------------------------------------
    std::uint64_t Global(std::int32_t index) const;
    void SetGlobal(std::int32_t index, std::uint64_t value);
    // Make getGlobalPtr answer null for this index (a hook that lost a global).
    void SetGlobalMissing(std::int32_t index, bool missing);

    // --- Frames, keyboard, clock ------------------------------------------
    std::uint64_t FrameNumber() const { return frame_; }
    // Runs one frame: the game's own per-frame work, then the script until it
    // yields with scriptWait.
    void RunFrame();
    void RunFrames(int count);
    // Called before the script runs on every frame; modules reset per-frame state here.
    void AddFrameHook(std::function<void()> hook);
    // Called when the frame is drawn; modules read the texts they were given here.
    void AddDrawHook(std::function<void()> hook);
    // Draws the frame: at the routine's scriptWait, or, for a frame whose
    // script never waited (a test driving the plug-in itself), when the next
    // frame begins. A test may call it to draw the frame in progress now.
    void DrawFrame();
    // A keyboard message as the hook delivers it; safe from any thread.
    void SendKeyboardMessage(std::uint32_t key, bool isUp);
    void KeyDown(std::uint32_t key) { SendKeyboardMessage(key, false); }
    void KeyUp(std::uint32_t key) { SendKeyboardMessage(key, true); }
    std::uint32_t Tick() const { return tick_; }
    void SetTick(std::uint32_t tick) { tick_ = tick; }
    void AdvanceTick(std::uint32_t ms) { tick_ += ms; }
    void SetMillisecondsPerFrame(std::uint32_t ms) { msPerFrame_ = ms; }
    bool ScriptRunning() const;

    // --- Window ------------------------------------------------------------
    // A window of this width, or none.
    void SetWindow(std::optional<std::int32_t> width) { windowWidth_ = width; }

    // --- Notifications -----------------------------------------------------
    const std::vector<Notification>& Notifications() const { return notifications_; }
    void ClearNotifications() { notifications_.clear(); }
    void AddNotification(std::string text) { notifications_.push_back({frame_, std::move(text)}); }

    // --- The hook's side (called through the platform seam) ----------------
    void HookScriptRegister(platform::ModuleHandle module, platform::ScriptRoutine routine);
    void HookScriptUnregister(platform::ModuleHandle module);
    void HookKeyboardRegister(platform::KeyboardHandler handler);
    void HookKeyboardUnregister(platform::KeyboardHandler handler);
    void HookScriptWait(std::uint32_t ms);
    void HookNativeInit(std::uint64_t hash);
    void HookNativePush(std::uint64_t value);
    std::uint64_t* HookNativeCall();
    std::uint64_t* HookGetGlobalPtr(std::int32_t index);
    platform::WindowHandle HookFindWindow(const char* className, const char* title);
    bool HookGetWindowRect(platform::WindowHandle window, platform::WindowRect* rect);
    std::uint32_t HookTickCount() const { return tick_; }

    // Ends the script routine (as when the game unloads the plug-in).
    void StopScript();

  private:
    struct WatchedSlot {
        std::int32_t index;
        std::uint64_t* slot;
        std::uint64_t value;
    };
    struct Registered {
        const NativeEntry* entry = nullptr;
        NativeHandler handler;
    };
    void CheckGlobalWrites();
    void Record(TraceEvent event);
    void RecordMisuse(const TraceEvent& call, std::string problem);

    std::unordered_map<std::uint64_t, Registered> natives_;
    std::unordered_map<std::uint64_t, NativeEntry> probeEntries_;  // node-based: addresses stay put
    std::vector<TraceEvent> misuses_;
    std::uint64_t misuseCount_ = 0;
    std::thread::id adoptedContext_;
    std::vector<TraceEvent> trace_;
    std::function<void(const TraceEvent&)> traceObserver_;
    std::function<bool(std::uint64_t)> ownsGameText_;

    std::unordered_map<std::int32_t, std::uint64_t>
        globals_;  // node-based: slot addresses stay put
    std::unordered_map<std::int32_t, bool> missingGlobals_;
    std::vector<WatchedSlot> watched_;

    std::uint64_t pendingHash_ = 0;
    std::vector<std::uint64_t> pendingArgs_;
    std::array<std::uint64_t, 8> resultSlots_{};

    std::uint64_t frame_ = 0;
    // Read by the keyboard handler on the hook's thread while frames advance it.
    std::atomic<std::uint32_t> tick_{100000};
    std::uint32_t msPerFrame_ = 33;
    std::vector<std::function<void()>> frameHooks_;
    std::vector<std::function<void()>> drawHooks_;
    bool frameDrawn_ = true;

    std::mutex keyboardMutex_;
    platform::KeyboardHandler keyboardHandler_ = nullptr;
    platform::ScriptRoutine routine_ = nullptr;
    std::unique_ptr<ScriptThread> script_;

    std::optional<std::int32_t> windowWidth_;
    std::vector<Notification> notifications_;
};

// The one game of this process, as the hook has one.
Game& TheGame();

// Jenkins one-at-a-time over the lower-cased text: the game's name hash.
std::uint32_t NameHash(const std::string& text);

}  // namespace sim
