// The script entry, keyboard table, window measurement and native argument
// encoding, seen from the simulated game.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/float_bits.h"
#include "host/keyboard.h"
#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/state.h"
#include "sim/character.h"
#include "sim/game.h"
#include "support/misuse.h"
#include "support/session.h"

using testing_support::Session;

namespace {

using play::controls::kF9;
using play::controls::kShift;

// The keyboard table of the plug-in library linked into this test program.
class KeyboardTable : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::TheGame().Reset();
        ResetPluginState();
        sim::TheGame().SetTick(5000);
    }
    void Message(std::uint32_t key, bool isUp) {
        OnKeyboardMessage(key, 1, 0, 0, 7, 9, isUp ? 1 : 0);
    }
};

TEST_F(KeyboardTable, ReleaseWithinWindowIsSeenOnce) {
    Message(kF9, true);
    sim::TheGame().AdvanceTick(50);
    EXPECT_TRUE(KeyJustReleased(kF9));
    EXPECT_FALSE(KeyJustReleased(kF9));
    EXPECT_EQ(keyStates[kF9].time.load(), 0u);
}

TEST_F(KeyboardTable, OldReleaseIsNotSeen) {
    Message(kF9, true);
    sim::TheGame().AdvanceTick(150);
    EXPECT_FALSE(KeyJustReleased(kF9));
    sim::TheGame().SetTick(5000 + 99);
    EXPECT_TRUE(KeyJustReleased(kF9));
}

TEST_F(KeyboardTable, KeyDownIsNotARelease) {
    Message(kF9, false);
    EXPECT_FALSE(KeyJustReleased(kF9));
}

TEST_F(KeyboardTable, ShiftHeldForThirtySecondsUnlessReleased) {
    Message(kShift, false);
    sim::TheGame().AdvanceTick(29999);
    EXPECT_TRUE(KeyHeld(kShift));
    sim::TheGame().AdvanceTick(1);
    EXPECT_FALSE(KeyHeld(kShift));

    Message(kShift, false);
    EXPECT_TRUE(KeyHeld(kShift));
    Message(kShift, true);
    EXPECT_FALSE(KeyHeld(kShift));
}

TEST_F(KeyboardTable, StoresFlagsAsReceived) {
    Message(65, false);
    EXPECT_EQ(keyStates[65].time.load(), 5000u);
    EXPECT_EQ(keyStates[65].extraFlag1.load(), 7u);
    EXPECT_EQ(keyStates[65].extraFlag2.load(), 9u);
    EXPECT_EQ(keyStates[65].isUp.load(), 0u);
}

TEST_F(KeyboardTable, KeyCodesFrom255AreDropped) {
    Message(255, true);
    Message(1000, true);
    for (const KeyState& entry : keyStates) {
        EXPECT_EQ(entry.time.load(), 0u);
    }
    EXPECT_FALSE(KeyJustReleased(255));
    EXPECT_FALSE(KeyHeld(255));
}

TEST_F(KeyboardTable, TimesCountAcrossTheTickWrap) {
    const struct {
        std::uint32_t stamp;
        std::uint32_t now;
        bool released;  // within 100 ms
        bool held;      // within 30 s
    } cases[] = {
        {0xFFFFFFF0u, 0x00000010u, true, true},    // 32 ms, across the wrap
        {0xFFFFFFC0u, 0xFFFFFFD0u, true, true},    // 16 ms, its window ending past the wrap
        {0xFFFFFFC0u, 0x00000030u, false, true},   // 112 ms, across the wrap
        {0xFFFFFFFFu, 0x00000000u, true, true},    // the wrap itself
        {0x00000000u, 0x00000064u, true, true},    // stamped at tick 0, read as tick 1
        {0xFFFFFF00u, 0x0000742Fu, false, true},   // 29999 ms, across the wrap
        {0xFFFFFF00u, 0x00007430u, false, false},  // 30000 ms
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.stamp << " to " << c.now);
        sim::TheGame().SetTick(c.stamp);
        Message(kF9, true);
        Message(kShift, false);
        sim::TheGame().SetTick(c.now);
        EXPECT_EQ(KeyJustReleased(kF9), c.released);
        EXPECT_EQ(KeyHeld(kShift), c.held);
        Message(kShift, true);
    }
}

TEST_F(KeyboardTable, KeyWithoutMessagesIsNeverHeldOrReleased) {
    // A release taken resets its key to the same state as one never pressed.
    Message(kF9, true);
    ASSERT_TRUE(KeyJustReleased(kF9));
    for (std::uint32_t now : {0u, 1u, 99u, 29999u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        sim::TheGame().SetTick(now);
        EXPECT_FALSE(KeyHeld(kShift)) << now;
        EXPECT_FALSE(KeyJustReleased(kShift)) << now;
        EXPECT_FALSE(KeyHeld(kF9)) << now;
    }
}

TEST(NativeArguments, EncodesEachKindInOneWord) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    game.AdoptScriptContext();
    constexpr std::uint64_t kProbe = 0x1234;
    game.RegisterNative({kProbe, "TEST::PROBE", "ihbfsp", 0, sim::ResultKind::Vector},
                        [](sim::NativeCall& call) { call.ReturnVector(1.5f, -2.0f, 3.25f); });
    const char* text = "LITERAL_STRING";
    int marker = 0;
    const Vector3 result =
        CallNativeUnchecked<Vector3>(kProbe, -1, 0xE7EB9185u, true, 5.0f, text, &marker);
    const sim::TraceEvent& call = game.Trace().back();
    ASSERT_EQ(call.args.size(), 6u);
    EXPECT_EQ(call.args[0], 0x00000000FFFFFFFFull);  // negative int in the low half only
    EXPECT_EQ(call.args[1], 0xE7EB9185ull);
    EXPECT_EQ(call.args[2], 1u);
    EXPECT_EQ(call.args[3], 0x40A00000ull);  // 5.0f
    EXPECT_EQ(call.args[4], reinterpret_cast<std::uintptr_t>(text));
    EXPECT_EQ(call.args[5], reinterpret_cast<std::uintptr_t>(&marker));
    ASSERT_EQ(call.texts.size(), 1u);
    EXPECT_EQ(call.texts[0], "LITERAL_STRING");
    EXPECT_FLOAT_EQ(result.x, 1.5f);
    EXPECT_FLOAT_EQ(result.y, -2.0f);
    EXPECT_FLOAT_EQ(result.z, 3.25f);
}

TEST(NativeArguments, DecodesResultsFromTheFirstSlot) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    game.AdoptScriptContext();
    game.RegisterNative({0x1, "TEST::WIDE", "", 0, sim::ResultKind::Int},
                        [](sim::NativeCall& call) { call.ReturnWord(0xABCDEF0180000002ull); });
    EXPECT_EQ(CallNativeUnchecked<std::int32_t>(0x1), static_cast<std::int32_t>(0x80000002u));
    EXPECT_EQ(CallNativeUnchecked<std::uint32_t>(0x1), 0x80000002u);
    EXPECT_TRUE(CallNativeUnchecked<bool>(0x1));
    EXPECT_EQ(CallNativeUnchecked<std::uint64_t>(0x1), 0xABCDEF0180000002ull);
    game.RegisterNative({0x2, "TEST::FLOAT", "", 0, sim::ResultKind::Float},
                        [](sim::NativeCall& call) { call.ReturnFloat(0.25f); });
    EXPECT_FLOAT_EQ(CallNativeUnchecked<float>(0x2), 0.25f);
    game.RegisterNative({0x3, "TEST::ZERO_HIGH", "", 0, sim::ResultKind::Bool},
                        [](sim::NativeCall& call) { call.ReturnWord(0xFFFFFFFF00000000ull); });
    EXPECT_FALSE(CallNativeUnchecked<bool>(0x3));  // only the low half counts
}

// The game writes int, Hash and BOOL results as 32 bits and leaves the upper
// half of the slot alone: the simulated game fills it, so reading the whole
// word gets a wrong value, while the bridge's typed reads take the low half.
TEST(NativeArguments, StrictResultsFillTheHighHalfThatTypedReadsIgnore) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    using game_natives::kCharacterCheckNative;   // BOOL
    using game_natives::kEntityModelNative;      // Hash
    using game_natives::kPlayerCharacterNative;  // Ped
    const std::int32_t character = sim::Character().Handle();
    sim::Character().SetCharacterCheck(false);
    const auto no = CallNative<std::uint64_t>(kCharacterCheckNative, character);
    EXPECT_EQ(no, sim::kResultHighHalf);
    EXPECT_NE(no, 0u);  // a whole-word read takes false for true
    EXPECT_FALSE(CallNative<bool>(kCharacterCheckNative, character));
    sim::Character().SetCharacterCheck(true);
    EXPECT_EQ(CallNative<std::uint64_t>(kCharacterCheckNative, character),
              sim::kResultHighHalf | 1u);
    EXPECT_TRUE(CallNative<bool>(kCharacterCheckNative, character));
    EXPECT_EQ(CallNative<std::uint64_t>(kPlayerCharacterNative),
              sim::kResultHighHalf | static_cast<std::uint32_t>(character));
    EXPECT_EQ(CallNative<std::int32_t>(kPlayerCharacterNative), character);
    EXPECT_EQ(CallNative<std::uint32_t>(kEntityModelNative, character),
              sim::Character().ModelHash());
}

// Misuse planted through the plug-in's own native helper: the game records
// each with the native's hash and name and what was wrong, in the trace and in
// the misuse record that outlives it.
class NativeMisuse : public ::testing::Test {
  protected:
    static constexpr NativeId kDisplayRadar = game_natives::kMenuStateNative;      // (BOOL toggle)
    static constexpr NativeId kPromptIsValid = game_natives::kPromptActiveNative;  // (Prompt)
    static constexpr NativeId kEffectPlay = game_natives::kEffectNativeB;  // (const char* name)

    void SetUp() override {
        sim::TheGame().Reset();
        sim::TheGame().AdoptScriptContext();
    }
    // What the game recorded, emptied for the next check.
    std::vector<std::string> Taken() {
        std::vector<std::string> texts = testing_support::MisuseTexts();
        EXPECT_EQ(sim::TheGame().Trace().back().kind, sim::TraceEvent::Kind::Misuse);
        sim::TheGame().ClearMisuses();
        return texts;
    }
    using Texts = std::vector<std::string>;
};

TEST_F(NativeMisuse, MissingArgument) {
    CallNativeUnchecked<bool>(kPromptIsValid);
    EXPECT_EQ(Taken(), Texts{"HUD::_UI_PROMPT_IS_VALID (0x347469FBDD1589A9): takes 1 argument, "
                             "was given 0"});
}

TEST_F(NativeMisuse, ExtraArgument) {
    CallNativeUnchecked(kDisplayRadar, true, 0);
    EXPECT_EQ(Taken(),
              Texts{"MAP::DISPLAY_RADAR (0x1B3DA717B9AFF828): takes 1 argument, was given 2"});
    CallNativeUnchecked(kDisplayRadar, true);
    EXPECT_EQ(sim::TheGame().MisuseCount(), 0u);
}

TEST_F(NativeMisuse, NullText) {
    CallNativeUnchecked(kEffectPlay, static_cast<const char*>(nullptr));
    EXPECT_EQ(Taken(),
              Texts{"GRAPHICS::ANIMPOSTFX_PLAY (0x4102732DF6B4005F): argument 1 (text) is null"});
}

TEST_F(NativeMisuse, BoolOfTwo) {
    CallNativeUnchecked(kDisplayRadar, 2);
    EXPECT_EQ(Taken(), Texts{"MAP::DISPLAY_RADAR (0x1B3DA717B9AFF828): argument 1 (BOOL) is 2"});
}

TEST_F(NativeMisuse, UnknownHashIsRecordedAndAnswersZero) {
    EXPECT_EQ(CallNativeUnchecked<std::uint64_t>(0xDEADBEEF, 3), 0u);
    const auto unknown = sim::TheGame().UnknownCalls();
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].hash, 0xDEADBEEFu);
    EXPECT_EQ(Taken(), Texts{"(0x00000000DEADBEEF): unknown native"});
}

TEST_F(NativeMisuse, CallOutsideTheScriptRoutine) {
    Session session;  // a fresh game: the plug-in's routine runs on the script's thread
    session.game().RunFrames(2);
    EXPECT_EQ(session.game().MisuseCount(), 0u);
    // This thread is the hook's, as the plug-in's entry point and keyboard handler are.
    CallNativeUnchecked(kDisplayRadar, false);
    EXPECT_EQ(Taken(), Texts{"MAP::DISPLAY_RADAR (0x1B3DA717B9AFF828): called outside the "
                             "script routine"});
}

// 32-bit arguments and floats carry nothing in their upper half, and a
// float's bits are not an integer's: each would read as another value in the
// game, while the simulated game's handlers take only the low half.
TEST_F(NativeMisuse, WordsOfTheWrongKind) {
    using namespace game_natives;
    CallNativeUnchecked<bool>(kControlNative, std::uint64_t{0x100000000}, 0x07CE1E61u);
    EXPECT_EQ(Taken(), Texts{"PAD::IS_CONTROL_JUST_PRESSED (0x580417101DDB492F): argument 1 (int) "
                             "is 0x0000000100000000: its upper 32 bits are not zero"});
    CallNativeUnchecked(kHudContextOnNative, std::uint64_t{0xFFFFFFFF00000001});
    EXPECT_EQ(Taken(), Texts{"HUD::_ENABLE_HUD_CONTEXT (0x4CC5F2FC1332577F): argument 1 (Hash) is "
                             "0xFFFFFFFF00000001: its upper 32 bits are not zero"});
    // The light's position pushed as the integers 1, 2, 3.
    CallNativeUnchecked(kDrawLightNative, 1, 2, 3, 255, 255, 255, 5.0f, 2.5f);
    const std::string light = "GRAPHICS::DRAW_LIGHT_WITH_RANGE (0xD2D9E04C0DF927F4): argument ";
    EXPECT_EQ(Taken(), (Texts{light + "1 (float) is 0x0000000000000001: a subnormal, the bits of "
                                      "an integer",
                              light + "2 (float) is 0x0000000000000002: a subnormal, the bits of "
                                      "an integer",
                              light + "3 (float) is 0x0000000000000003: a subnormal, the bits of "
                                      "an integer"}));
    // Zero and minus zero are floats; a float with its upper half set is not.
    CallNativeUnchecked(kDrawLightNative, float_bits::ToWord(1.0f) | 0x100000000u, 0.0f, -0.0f, 255,
                        255, 255, 5.0f, 2.5f);
    EXPECT_EQ(Taken(), Texts{light + "1 (float) is 0x000000013F800000: its upper 32 bits are not "
                                     "zero"});
}

// A text at an address with nothing readable behind it, or one that runs
// into a page that may not be read before its NUL: the game would crash
// reading it. The simulated game tells without reading it, and its handler
// reads it as null.
TEST_F(NativeMisuse, TextsWithNothingReadableBehindThem) {
    using namespace game_natives;
    const auto nowhere = reinterpret_cast<const char*>(std::uintptr_t{12345});
    CallNativeUnchecked(kEffectNativeB, nowhere);
    EXPECT_EQ(sim::TheGame().Trace().front().texts, std::vector<std::string>{"(unreadable)"});
    EXPECT_EQ(Taken(), Texts{"GRAPHICS::ANIMPOSTFX_PLAY (0x4102732DF6B4005F): argument 1 (text) "
                             "points at nothing readable"});
    // A game text too, even through the typed call.
    CallNative(kDrawTextNative, std::uint64_t{12345}, 0.1f, 0.2f);
    EXPECT_EQ(Taken(), Texts{"UIDEBUG::_BG_DISPLAY_TEXT (0x16794E044C9EFB58): argument 1 (text) "
                             "points at nothing readable"});

    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* pages =
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    ASSERT_EQ(mprotect(static_cast<char*>(pages) + page, page, PROT_NONE), 0);
    char* const first = static_cast<char*>(pages);
    std::memset(first, 'x', page);
    const char* tail = first + page - 3;  // "xxx", then the page that may not be read
    CallNativeUnchecked(kSoundPrepareNative, "NAV_UP", tail);
    EXPECT_EQ(Taken(), Texts{"AUDIO::_STOP_SOUND_WITH_NAME (0x0F2A2175734926D8): argument 2 "
                             "(text) points at nothing readable"});
    first[page - 1] = '\0';  // "xx" ends on the readable page
    CallNativeUnchecked(kSoundPrepareNative, "NAV_UP", tail);
    EXPECT_EQ(sim::TheGame().MisuseCount(), 0u);
    EXPECT_EQ(sim::TheGame().Trace().back().texts, (std::vector<std::string>{"NAV_UP", "xx"}));
    munmap(pages, 2 * page);
}

TEST(Globals, MissingSlotReadsZeroAndSkipsWrites) {
    sim::Game& game = sim::TheGame();
    game.Reset();
    game.SetGlobal(42, 7);
    EXPECT_EQ(ReadGlobal(42), 7u);
    WriteGlobal(42, 9);
    EXPECT_EQ(game.Global(42), 9u);
    const sim::TraceEvent& write = game.Trace().back();
    EXPECT_EQ(write.kind, sim::TraceEvent::Kind::GlobalWrite);
    EXPECT_EQ(write.globalIndex, 42);
    EXPECT_EQ(write.before, 7u);
    EXPECT_EQ(write.after, 9u);

    game.SetGlobalMissing(42, true);
    EXPECT_EQ(ReadGlobal(42), 0u);
    WriteGlobal(42, 11);
    game.SetGlobalMissing(42, false);
    EXPECT_EQ(game.Global(42), 9u);
}

TEST(NameHash, IsJenkinsOneAtATimeOverLowerCase) {
    EXPECT_EQ(sim::NameHash("a"), 0xCA2E9442u);
    EXPECT_EQ(sim::NameHash("META_OUTFIT_COOL_WEATHER"), sim::NameHash("meta_outfit_cool_weather"));
    EXPECT_EQ(sim::NameHash(""), 0u);
}

TEST(Entry, ThreadReasonsRegisterNothing) {
    Session session(false);
    sim::Plugin plugin(sim::DefaultPluginPath());
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    EXPECT_EQ(plugin.CallEntry(2), 1);
    EXPECT_EQ(plugin.CallEntry(3), 1);
    session.game().RunFrame();
    EXPECT_TRUE(session.game().ScriptRunning());
    EXPECT_EQ(plugin.CallEntry(0), 1);  // detach unregisters the routine
    session.game().StopScript();
    session.game().RunFrame();
    EXPECT_FALSE(session.game().ScriptRunning());
}

}  // namespace

#include <dlfcn.h>

namespace {

TEST(Entry, UnloadReleasesTheLibrarySoTheNextLoadStartsFresh) {
    {
        Session session;
        session.game().RunFrames(2);
        EXPECT_TRUE(session.game().ScriptRunning());
    }
    void* stillThere = dlopen(sim::DefaultPluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(stillThere, nullptr);
    if (stillThere != nullptr) {
        dlclose(stillThere);
    }
}

}  // namespace
