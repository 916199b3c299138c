// The simulated game's controls, prompts, sounds and draw list, driven
// through the natives as the plug-in calls them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/platform.h"
#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/play/player.h"
#include "sim/prompts.h"
#include "sim/sounds.h"
#include "support/misuse.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GARBOLT_SIM_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define GARBOLT_SIM_TEST_ASAN 1
#endif

namespace {

// A routine that hands the game a text and reuses its buffer before it
// waits, as one drawing from a temporary would.
char routineBuffer[16];
void ReusingRoutine() {
    for (;;) {
        std::strcpy(routineBuffer, "Drawn early");
        CallNative(
            game_natives::kDrawTextNative,
            CallNative<std::uint64_t>(game_natives::kVariableStringNative, 10, "LITERAL_STRING",
                                      static_cast<const char*>(routineBuffer)),
            0.1f, 0.2f);
        std::strcpy(routineBuffer, "Reused late");
        platform::scriptWait(0);
        std::strcpy(routineBuffer, "After drawing");
    }
}

using play::controls::kBack;
using play::controls::kSelect;

class SimMenuSide : public ::testing::Test {
  protected:
    // The test calls the natives itself, as the script routine would.
    void SetUp() override {
        sim::TheGame().Reset();
        sim::TheGame().AdoptScriptContext();
    }
    void TearDown() override { testing_support::ExpectNoMisuse(); }
    sim::Game& game() { return sim::TheGame(); }
};

TEST_F(SimMenuSide, PressFiresOnTheNextFrameOnlyAndHoldUntilReleased) {
    sim::Controls().Press(kSelect);
    sim::Controls().Hold(kBack);
    EXPECT_FALSE(CallNative<bool>(game_natives::kControlNative, 0, kSelect));
    game().RunFrame();
    EXPECT_TRUE(CallNative<bool>(game_natives::kControlNative, 0, kSelect));
    EXPECT_TRUE(CallNative<bool>(game_natives::kSideControlNative, 0, kBack));
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(game_natives::kControlNative, 0, kSelect));
    EXPECT_TRUE(CallNative<bool>(game_natives::kFirstOpenChordNative, 0, kBack));
    sim::Controls().Release(kBack);
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(game_natives::kSecondOpenChordNative, 0, kBack));
}

TEST_F(SimMenuSide, ControlsAnswerInTheirDevicesGroupAndDisabledOnlyToTheDisabledQueries) {
    // Keyboard presses answer in group 0 only, gamepad presses in group 2 only.
    sim::Controls().Press(kSelect);
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(game_natives::kControlNative, 2, kSelect));
    EXPECT_FALSE(CallNative<bool>(game_natives::kSideControlNative, 2, kSelect));
    EXPECT_TRUE(CallNative<bool>(game_natives::kControlNative, 0, kSelect));
    sim::Controls().SetGamepad(true);
    sim::Controls().Hold(kBack);
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(game_natives::kControlNative, 0, kBack));
    EXPECT_TRUE(CallNative<bool>(game_natives::kControlNative, 2, kBack));

    // Suppressed in any group: from then on this frame only the IS_DISABLED_*
    // queries (side-control, first open-chord) see it.
    CallNative(game_natives::kControlSuppressionNative, 0, kBack, 0);
    EXPECT_FALSE(CallNative<bool>(game_natives::kControlNative, 2, kBack));
    EXPECT_FALSE(CallNative<bool>(game_natives::kSecondOpenChordNative, 2, kBack));
    EXPECT_TRUE(CallNative<bool>(game_natives::kSideControlNative, 2, kBack));
    EXPECT_TRUE(CallNative<bool>(game_natives::kFirstOpenChordNative, 2, kBack));
    game().RunFrame();  // the game clears the disabling between frames
    EXPECT_TRUE(CallNative<bool>(game_natives::kControlNative, 2, kBack));
    sim::Controls().Release(kBack);
}

TEST_F(SimMenuSide, InputSourceAnswersZeroForAGamepad) {
    EXPECT_TRUE(CallNative(game_natives::kInputSourceNative, 0));
    sim::Controls().SetGamepad(true);
    EXPECT_FALSE(CallNative(game_natives::kInputSourceNative, 0));
}

TEST_F(SimMenuSide, SuppressionIsPerFrameAndTheHudGlobalIsClearedEachFrame) {
    game().RunFrame();
    CallNative(game_natives::kControlSuppressionNative, 2, 0x24978A28u, 0);
    WriteGlobal(sim::kMenuHudGlobal, 2);
    EXPECT_TRUE(sim::Controls().IsSuppressed(2, 0x24978A28u));
    EXPECT_FALSE(sim::Controls().IsSuppressed(0, 0x24978A28u));
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 2u);
    game().RunFrame();
    EXPECT_TRUE(sim::Controls().Suppressed().empty());
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 0u);
    EXPECT_EQ(sim::Controls().FramesWithSuppression(), 1u);
}

// Valid from its creation, as the game answers; it completes only while
// shown and enabled; the completion lasts until its modes are restarted
// (latched) or for its frame only (one-frame).
TEST_F(SimMenuSide, PromptIsValidWhenMadeAndItsCompletionLastsAsTheReadingSays) {
    for (const sim::PromptCompletion reading :
         {sim::PromptCompletion::Latched, sim::PromptCompletion::OneFrame}) {
        SCOPED_TRACE(sim::PromptCompletionName(reading));
        game().Reset();
        game().AdoptScriptContext();
        sim::Prompts().SetReading(reading);
        const bool latched = reading == sim::PromptCompletion::Latched;
        EXPECT_FALSE(CallNative<bool>(game_natives::kPromptActiveNative, 0));
        const auto handle = CallNative<std::int32_t>(game_natives::kPromptCreateNative);
        EXPECT_TRUE(CallNative<bool>(game_natives::kPromptActiveNative, handle));
        CallNative(game_natives::kPromptControlNative, handle, kSelect);
        const auto text = CallNative<std::uint64_t>(game_natives::kVariableStringNative, 10,
                                                    "LITERAL_STRING", "Select");
        CallNative(game_natives::kPromptTextNative, handle, text);
        CallNative(game_natives::kPromptFinishNative, handle);
        ASSERT_NE(sim::Prompts().FindByText("Select"), nullptr);
        EXPECT_EQ(sim::Prompts().FindByText("Select")->handle, handle);

        // Pressed while hidden: valid, but no completion.
        sim::Controls().Press(kSelect);
        game().RunFrame();
        EXPECT_TRUE(CallNative<bool>(game_natives::kPromptActiveNative, handle));
        EXPECT_FALSE(CallNative<bool>(game_natives::kPromptCompletedNative, handle, 0));

        CallNative(game_natives::kFirstPromptStateNative, handle, true);
        EXPECT_FALSE(sim::Prompts().Find(handle)->Active());
        CallNative(game_natives::kSecondPromptStateNative, handle, true);
        EXPECT_TRUE(sim::Prompts().Find(handle)->Active());

        sim::Controls().Press(kSelect);
        game().RunFrame();
        EXPECT_TRUE(CallNative<bool>(game_natives::kPromptCompletedNative, handle, 0));
        game().RunFrame();
        EXPECT_EQ(CallNative<bool>(game_natives::kPromptCompletedNative, handle, 0), latched);
        CallNative(game_natives::kPromptClearNative, handle);
        EXPECT_FALSE(CallNative<bool>(game_natives::kPromptCompletedNative, handle, 0));
        game().RunFrame();
        EXPECT_FALSE(CallNative<bool>(game_natives::kPromptCompletedNative, handle, 0));
        EXPECT_EQ(sim::Prompts().Find(handle)->completions, 1);
        EXPECT_EQ(sim::Prompts().Find(handle)->clears, 1);
    }
}

TEST_F(SimMenuSide, PromptCompletionReadingWordsAndEnvironment) {
    sim::PromptCompletion reading = sim::PromptCompletion::Latched;
    EXPECT_TRUE(sim::ParsePromptCompletion("one-frame", &reading));
    EXPECT_EQ(reading, sim::PromptCompletion::OneFrame);
    EXPECT_TRUE(sim::ParsePromptCompletion("latched", &reading));
    EXPECT_EQ(reading, sim::PromptCompletion::Latched);
    EXPECT_FALSE(sim::ParsePromptCompletion("Latched", &reading));
    // Each reset takes the reading from the environment (which a second run of
    // the whole suite sets), and an unknown word keeps the stricter default.
    const char* before = std::getenv("GARBOLT_PROMPT_COMPLETION");
    const std::string saved = before != nullptr ? before : "";
    setenv("GARBOLT_PROMPT_COMPLETION", "one-frame", 1);
    game().Reset();
    EXPECT_EQ(sim::Prompts().Reading(), sim::PromptCompletion::OneFrame);
    setenv("GARBOLT_PROMPT_COMPLETION", "sometimes", 1);
    game().Reset();
    EXPECT_EQ(sim::Prompts().Reading(), sim::PromptCompletion::Latched);
    if (before != nullptr) {
        setenv("GARBOLT_PROMPT_COMPLETION", saved.c_str(), 1);
    } else {
        unsetenv("GARBOLT_PROMPT_COMPLETION");
    }
}

TEST_F(SimMenuSide, SoundsAreRecordedWithTheirPrepare) {
    game().RunFrame();
    CallNative(game_natives::kSoundPrepareNative, "NAV_UP", "Ledger_Sounds");
    CallNative(game_natives::kSoundPlayNative, "NAV_UP", "Ledger_Sounds", 1, 0);
    CallNative(game_natives::kSoundPlayNative, "BACK", "HUD_SHOP_SOUNDSET", 1, 0);
    ASSERT_EQ(sim::Sounds().Events().size(), 3u);
    EXPECT_TRUE(sim::Sounds().Events()[1].wasPrepared);
    EXPECT_FALSE(sim::Sounds().Events()[2].wasPrepared);
    EXPECT_EQ(sim::Sounds().PlayedOnFrame(1),
              (std::vector<std::string>{"NAV_UP/Ledger_Sounds", "BACK/HUD_SHOP_SOUNDSET"}));
}

// The game keeps the pointer it is given and reads the text when it draws the
// frame: a buffer reused before then is drawn with what it holds by then.
TEST_F(SimMenuSide, DrawTextReadsItsBufferWhenTheFrameIsDrawn) {
    game().RunFrame();
    char buffer[] =
        "<TEXTFORMAT RIGHTMARGIN = '1400'><P ALIGN = 'Right'><FONT FACE = '$body' LETTERSPACING "
        "= '-1' SIZE = '20'>~s~3 of 12</FONT></P><TEXTFORMAT>";
    char* const count = std::strstr(buffer, "3 of 12");
    CallNative(game_natives::kTextColourNative, 144, 144, 144, 230);
    const auto text = CallNative<std::uint64_t>(game_natives::kVariableStringNative, 10,
                                                "LITERAL_STRING", static_cast<const char*>(buffer));
    CallNative(game_natives::kDrawTextNative, text, 0.0f, 0.5f);
    *count = '4';  // reused after the calls, before the frame is drawn
    CallNative(game_natives::kDrawTextNative, text, 0.1f, 0.2f);
    // Readable, but no game string.
    CallNative(game_natives::kDrawTextNative,
               std::uint64_t{reinterpret_cast<std::uintptr_t>(buffer)}, 0.1f, 0.2f);
    CallNative(game_natives::kDrawSpriteNative, "menu_textures", "menu_bar", 0.1f, 0.2f, 0.3f, 0.4f,
               0.0f, 1, 2, 3, 4, 0);
    game().DrawFrame();
    *count = '5';  // after the frame was drawn: too late to show

    const auto& list = sim::DrawList();
    ASSERT_EQ(list.size(), 4u);
    const sim::TextEntry& first = list[0].text;
    EXPECT_TRUE(first.decoded);
    EXPECT_EQ(first.rightMargin, "1400");
    EXPECT_EQ(first.alignment, "Right");
    EXPECT_EQ(first.fontFace, "body");
    EXPECT_EQ(first.letterSpacing, -1);
    EXPECT_EQ(first.size, 20);
    EXPECT_EQ(first.text, "4 of 12");
    EXPECT_EQ(first.colour, (sim::Colour{144, 144, 144, 230}));
    EXPECT_EQ(list[1].text.text, "4 of 12");
    EXPECT_EQ(list[1].text.colour, sim::Colour{});  // the colour was for one text
    EXPECT_FALSE(list[2].text.validString);
    ASSERT_EQ(list[3].kind, sim::DrawEntry::Kind::Sprite);
    EXPECT_EQ(list[3].sprite.texture, "menu_bar");
    EXPECT_EQ(list[3].sprite.colour, (sim::Colour{1, 2, 3, 4}));

    // Game strings outlive their frame by one frame, then go.
    game().RunFrame();
    EXPECT_EQ(sim::Drawing().ResolveGameString(text), std::string(buffer));
    EXPECT_TRUE(sim::DrawList().empty());
    game().RunFrame();
    EXPECT_FALSE(sim::Drawing().ResolveGameString(text).has_value());
}

// Through the hook: the frame is drawn at the routine's scriptWait.
TEST_F(SimMenuSide, ReusedTextBufferShowsAsTheWrongTextAtTheRoutinesWait) {
    game().HookScriptRegister(nullptr, ReusingRoutine);
    game().RunFrame();
    ASSERT_EQ(sim::Drawing().Texts().size(), 1u);
    EXPECT_EQ(sim::Drawing().Texts()[0]->markup, "Reused late");
    game().StopScript();
}

#if defined(GARBOLT_SIM_TEST_ASAN)
// A buffer freed before the frame is drawn: ASan reports the game's read.
TEST_F(SimMenuSide, FreedTextBufferIsReportedWhenTheFrameIsDrawn) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            game().RunFrame();
            char* buffer = new char[32];
            std::strcpy(buffer, "Freed before drawing");
            CallNative(
                game_natives::kDrawTextNative,
                CallNative<std::uint64_t>(game_natives::kVariableStringNative, 10, "LITERAL_STRING",
                                          static_cast<const char*>(buffer)),
                0.1f, 0.2f);
            delete[] buffer;
            game().DrawFrame();
        },
        "heap-use-after-free");
}
#endif

// A prompt's text is read through its pointer on every drawn frame it is
// shown: a text that dies while the prompt lives shows as the wrong text.
TEST_F(SimMenuSide, PromptTextIsReadEveryFrameItIsShown) {
    game().RunFrame();
    std::string label = "Save Outfit";
    const auto handle = CallNative<std::int32_t>(game_natives::kPromptCreateNative);
    CallNative(game_natives::kPromptTextNative, handle,
               CallNative<std::uint64_t>(game_natives::kVariableStringNative, 10, "LITERAL_STRING",
                                         label.c_str()));
    EXPECT_EQ(sim::Prompts().Find(handle)->text, "Save Outfit");
    label.replace(0, 4, "Lose");
    game().RunFrame();  // hidden: not read
    EXPECT_EQ(sim::Prompts().Find(handle)->text, "Save Outfit");
    CallNative(game_natives::kFirstPromptStateNative, handle, true);
    game().RunFrame();
    EXPECT_EQ(sim::Prompts().Find(handle)->text, "Lose Outfit");
}

TEST_F(SimMenuSide, MarkupThatIsNotTextFormatIsNotDecoded) {
    sim::TextEntry entry;
    entry.markup = "plain";
    sim::DecodeTextMarkup(entry);
    EXPECT_FALSE(entry.decoded);
    entry.markup =
        "<TEXTFORMAT RIGHTMARGIN = '0'><P ALIGN = 'Left'><FONT FACE = '$title' LETTERSPACING = "
        "'0' SIZE = 'x'>~s~a</FONT></P><TEXTFORMAT>";
    sim::DecodeTextMarkup(entry);
    EXPECT_FALSE(entry.decoded);
}

}  // namespace
