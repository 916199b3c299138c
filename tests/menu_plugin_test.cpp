// The menu inside the loaded plug-in: start-up, opening from the keyboard and
// the gamepad, a second start of the routine, and the window's width.
#include <gtest/gtest.h>

#include "menu_fixture.h"
#include "support/session.h"

namespace {

using namespace menu_testing;
using testing_support::Session;
using Strings = std::vector<std::string>;

Strings Played(std::uint64_t frame) {
    return sim::Sounds().PlayedOnFrame(frame);
}

Strings TextsDrawn() {
    Strings texts;
    for (const sim::TextEntry* text : sim::Drawing().Texts()) {
        texts.push_back(text->text);
    }
    return texts;
}

struct PromptCreation {
    std::int32_t handle;
    std::string text;
    std::uint32_t control;
};

std::vector<PromptCreation> PromptsCreatedOn(std::uint64_t frame) {
    std::vector<PromptCreation> made;
    for (const auto& [handle, prompt] : sim::Prompts().All()) {
        if (prompt.createdFrame == frame) {
            made.push_back({handle, prompt.text, prompt.control});
        }
    }
    return made;
}

TEST(MenuInPlugin, StartUpMakesThreePromptsThatStayOffWhileClosed) {
    Session session;
    session.game().RunFrame();
    const auto made = PromptsCreatedOn(1);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(made[0].text, "Select");
    EXPECT_EQ(made[0].control, 0x43DBF61Fu);
    EXPECT_EQ(made[1].text, "Back");
    EXPECT_EQ(made[1].control, 0x308588E6u);
    EXPECT_EQ(made[2].text, "Save Outfit");
    EXPECT_EQ(made[2].control, 0x171910DCu);
    for (const PromptCreation& prompt : made) {
        EXPECT_FALSE(sim::Prompts().Find(prompt.handle)->Active());
    }
    // The start-up's prompts come before anything of the first frame's update.
    const Strings roles = session.Roles();
    ASSERT_FALSE(roles.empty());
    EXPECT_EQ(roles[0], "HUD::_UI_PROMPT_REGISTER_BEGIN");
    EXPECT_TRUE(sim::DrawList().empty());
    EXPECT_TRUE(session.game().UnknownCalls().empty());
}

TEST(MenuInPlugin, MenuKeyReleaseOpensPageZero) {
    Session session;
    session.game().RunFrames(2);
    session.game().KeyUp(kF9);
    session.game().RunFrame();
    const std::uint64_t frame = session.game().FrameNumber();
    ASSERT_EQ(sim::Controls().MenuStates().size(), 1u);
    EXPECT_EQ(sim::Controls().MenuStates()[0].state, 0);
    EXPECT_EQ(sim::Controls().MenuStates()[0].frame, frame);
    EXPECT_EQ(Played(frame), Strings{"MENU_ENTER/HUD_PLAYER_MENU"});

    const Strings texts = TextsDrawn();
    ASSERT_FALSE(texts.empty());
    ASSERT_FALSE(sim::Drawing().Sprites().empty());
    EXPECT_EQ(sim::Drawing().Sprites()[0]->texture, "inkroller_1a");
    EXPECT_EQ(texts.back().substr(0, 5), "1 of ");
    EXPECT_TRUE(sim::Prompts().FindByText("Select") != nullptr);

    // The next frame has the prompts on; F9 again closes.
    session.game().RunFrame();
    EXPECT_TRUE(sim::Prompts().FindByText("Select")->Active());
    EXPECT_TRUE(sim::Prompts().FindByText("Back")->Active());
    session.game().KeyUp(kF9);
    session.game().RunFrame();
    EXPECT_EQ(sim::Controls().LastMenuState(), 1);
    EXPECT_EQ(Played(session.game().FrameNumber()), Strings{"MENU_CLOSE/HUD_PLAYER_MENU"});
    EXPECT_TRUE(sim::DrawList().empty());
    EXPECT_FALSE(sim::Prompts().FindByText("Select")->Active());
    EXPECT_TRUE(session.game().UnknownCalls().empty());
}

TEST(MenuInPlugin, GamepadChordOpensAndSuppressesWithTheGlobal) {
    Session session;
    session.game().RunFrame();
    sim::Controls().SetGamepad(true);
    sim::Controls().Hold(kChordFirst);
    sim::Controls().Press(kChordSecond);
    session.game().RunFrame();
    sim::Controls().Release(kChordFirst);
    EXPECT_EQ(sim::Controls().LastMenuState(), 0);
    EXPECT_EQ(sim::Controls().Suppressed().size(), 13u);
    EXPECT_EQ(session.game().Global(sim::kMenuHudGlobal), 2u);
    EXPECT_FALSE(sim::DrawList().empty());
}

TEST(MenuInPlugin, SecondStartOfTheRoutineRebuildsTheMenu) {
    Session session;
    session.game().RunFrame();
    session.game().KeyUp(kF9);
    session.game().RunFrame();
    const std::vector<std::string> freshPage = TextsDrawn();

    // Walk away from the first page and leave the menu open.
    sim::Controls().Press(kDown);
    session.game().RunFrame();
    sim::Controls().Press(kSelect);
    session.game().RunFrame();
    ASSERT_NE(TextsDrawn(), freshPage);

    session.game().StopScript();
    session.game().RunFrame();  // the hook starts the routine again
    const std::uint64_t restart = session.game().FrameNumber();
    const auto made = PromptsCreatedOn(restart);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(made[0].text, "Select");
    EXPECT_EQ(made[0].handle, 4);          // new prompts, the old handles dropped
    EXPECT_TRUE(sim::DrawList().empty());  // a new menu starts closed

    session.game().KeyUp(kF9);
    session.game().RunFrame();
    EXPECT_EQ(TextsDrawn(), freshPage);  // page 0, row 0 again
    EXPECT_TRUE(session.game().UnknownCalls().empty());
}

class MenuInPluginWindow : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(MenuInPluginWindow, WindowWidthScalesEveryText) {
    Session session(false);
    session.game().SetWindow(GetParam().first);
    session.Load();
    session.game().RunFrame();
    session.game().KeyUp(kF9);
    session.game().RunFrame();
    const auto texts = sim::Drawing().Texts();
    ASSERT_FALSE(texts.empty());
    for (const sim::TextEntry* text : texts) {
        EXPECT_EQ(text->size, GetParam().second) << text->text;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, MenuInPluginWindow,
                         ::testing::Values(std::pair<int, int>{2560, 21},
                                           std::pair<int, int>{1280, 16}));

TEST(MenuInPlugin, ReferenceWidthOrNoWindowKeepsRequestedSizes) {
    for (const bool withWindow : {true, false}) {
        Session session(false);
        if (withWindow) {
            session.game().SetWindow(1920);
        }
        session.Load();
        session.game().RunFrame();
        session.game().KeyUp(kF9);
        session.game().RunFrame();
        const auto texts = sim::Drawing().Texts();
        ASSERT_GE(texts.size(), 3u);
        EXPECT_EQ(texts[0]->size, 45);      // title
        EXPECT_EQ(texts[1]->size, 23);      // subtitle
        EXPECT_EQ(texts.back()->size, 20);  // row counter
    }
}

}  // namespace
