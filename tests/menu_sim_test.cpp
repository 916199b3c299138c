// The simulated game's controls, prompts, sounds and draw list, driven
// through the natives as the plug-in calls them.
#include <gtest/gtest.h>

#include "host/natives.h"
#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/prompts.h"
#include "sim/sounds.h"
#include "support/misuse.h"

namespace {

constexpr std::uint32_t kSelect = 0x43DBF61F;
constexpr std::uint32_t kBack = 0x308588E6;

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
    EXPECT_FALSE(CallNative<bool>(sim::kControlNative, 0, kSelect));
    game().RunFrame();
    EXPECT_TRUE(CallNative<bool>(sim::kControlNative, 0, kSelect));
    EXPECT_TRUE(CallNative<bool>(sim::kSideControlNative, 2, kBack));
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(sim::kControlNative, 0, kSelect));
    EXPECT_TRUE(CallNative<bool>(sim::kFirstOpenChordNative, 2, kBack));
    sim::Controls().Release(kBack);
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(sim::kSecondOpenChordNative, 2, kBack));
}

TEST_F(SimMenuSide, InputSourceAnswersZeroForAGamepad) {
    EXPECT_EQ(CallNative<std::int32_t>(sim::kInputSourceNative, 0), 1);
    sim::Controls().SetGamepad(true);
    EXPECT_EQ(CallNative<std::int32_t>(sim::kInputSourceNative, 0), 0);
}

TEST_F(SimMenuSide, SuppressionIsPerFrameAndTheHudGlobalIsClearedEachFrame) {
    game().RunFrame();
    CallNative(sim::kControlSuppressionNative, 2, 0x24978A28u, 0);
    WriteGlobal(sim::kMenuHudGlobal, 2);
    EXPECT_TRUE(sim::Controls().IsSuppressed(2, 0x24978A28u));
    EXPECT_FALSE(sim::Controls().IsSuppressed(0, 0x24978A28u));
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 2u);
    game().RunFrame();
    EXPECT_TRUE(sim::Controls().Suppressed().empty());
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 0u);
    EXPECT_EQ(sim::Controls().FramesWithSuppression(), 1u);
}

TEST_F(SimMenuSide, PromptCompletesOnlyWhileActiveAndOnlyOnThatFrame) {
    const auto handle = CallNative<std::int32_t>(sim::kPromptCreateNative);
    CallNative(sim::kPromptControlNative, handle, kSelect);
    const auto text =
        CallNative<std::uint64_t>(sim::kVariableStringNative, 10, "LITERAL_STRING", "Select");
    CallNative(sim::kPromptTextNative, handle, text);
    CallNative(sim::kPromptFinishNative, handle);
    ASSERT_NE(sim::Prompts().FindByText("Select"), nullptr);
    EXPECT_EQ(sim::Prompts().FindByText("Select")->handle, handle);

    // Pressed while hidden: no completion.
    sim::Controls().Press(kSelect);
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(sim::kPromptActiveNative, handle));
    EXPECT_FALSE(CallNative<bool>(sim::kPromptCompletedNative, handle, 0));

    CallNative(sim::kFirstPromptStateNative, handle, true);
    EXPECT_FALSE(CallNative<bool>(sim::kPromptActiveNative, handle));
    CallNative(sim::kSecondPromptStateNative, handle, true);
    EXPECT_TRUE(CallNative<bool>(sim::kPromptActiveNative, handle));

    sim::Controls().Press(kSelect);
    game().RunFrame();
    EXPECT_TRUE(CallNative<bool>(sim::kPromptCompletedNative, handle, 0));
    game().RunFrame();
    EXPECT_FALSE(CallNative<bool>(sim::kPromptCompletedNative, handle, 0));
    EXPECT_EQ(sim::Prompts().Find(handle)->completions, 1);
}

TEST_F(SimMenuSide, SoundsAreRecordedWithTheirPrepare) {
    game().RunFrame();
    CallNative(sim::kSoundPrepareNative, "NAV_UP", "Ledger_Sounds");
    CallNative(sim::kSoundPlayNative, "NAV_UP", "Ledger_Sounds", 1, 0);
    CallNative(sim::kSoundPlayNative, "BACK", "HUD_SHOP_SOUNDSET", 1, 0);
    ASSERT_EQ(sim::Sounds().Events().size(), 3u);
    EXPECT_TRUE(sim::Sounds().Events()[1].wasPrepared);
    EXPECT_FALSE(sim::Sounds().Events()[2].wasPrepared);
    EXPECT_EQ(sim::Sounds().PlayedOnFrame(1),
              (std::vector<std::string>{"NAV_UP/Ledger_Sounds", "BACK/HUD_SHOP_SOUNDSET"}));
}

TEST_F(SimMenuSide, DrawTextDecodesTheMarkupOfACopiedGameString) {
    game().RunFrame();
    char buffer[] =
        "<TEXTFORMAT RIGHTMARGIN = '1400'><P ALIGN = 'Right'><FONT FACE = '$body' LETTERSPACING "
        "= '-1' SIZE = '20'>~s~3 of 12</FONT></P><TEXTFORMAT>";
    CallNative(sim::kTextColourNative, 144, 144, 144, 230);
    const auto text = CallNative<std::uint64_t>(sim::kVariableStringNative, 10, "LITERAL_STRING",
                                                static_cast<const char*>(buffer));
    buffer[0] = 'X';  // the game kept its own copy
    CallNative(sim::kDrawTextNative, text, 0.0f, 0.5f);
    CallNative(sim::kDrawTextNative, text, 0.1f, 0.2f);
    CallNative(sim::kDrawTextNative, std::uint64_t{12345}, 0.1f, 0.2f);
    CallNative(sim::kDrawSpriteNative, "menu_textures", "menu_bar", 0.1f, 0.2f, 0.3f, 0.4f, 0.0f, 1,
               2, 3, 4, 0);

    const auto& list = sim::DrawList();
    ASSERT_EQ(list.size(), 4u);
    const sim::TextEntry& first = list[0].text;
    EXPECT_TRUE(first.decoded);
    EXPECT_EQ(first.rightMargin, "1400");
    EXPECT_EQ(first.alignment, "Right");
    EXPECT_EQ(first.fontFace, "body");
    EXPECT_EQ(first.letterSpacing, -1);
    EXPECT_EQ(first.size, 20);
    EXPECT_EQ(first.text, "3 of 12");
    EXPECT_EQ(first.colour, (sim::Colour{144, 144, 144, 230}));
    EXPECT_EQ(list[1].text.colour, sim::Colour{});  // the colour was for one text
    EXPECT_FALSE(list[2].text.validString);
    ASSERT_EQ(list[3].kind, sim::DrawEntry::Kind::Sprite);
    EXPECT_EQ(list[3].sprite.texture, "menu_bar");
    EXPECT_EQ(list[3].sprite.colour, (sim::Colour{1, 2, 3, 4}));

    // Game strings outlive their frame by one frame, then go.
    game().RunFrame();
    EXPECT_TRUE(sim::Drawing().ResolveGameString(text).has_value());
    EXPECT_TRUE(sim::DrawList().empty());
    game().RunFrame();
    EXPECT_FALSE(sim::Drawing().ResolveGameString(text).has_value());
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
