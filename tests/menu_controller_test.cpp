// The menu controller frame by frame: opening, navigation, callbacks, sounds,
// prompts and the suppression of game controls, read from the simulated game.
//
// In this order:
//   closed frames, the menu key and the gamepad chord;
//   up and down: wraps, Shift, headings; left and right on other rows;
//   select by kind, links and back, closing and reopening on a sub-page;
//   the Select and Back prompts, control suppression by control group;
//   selection options and toggles, pages without rows, prompt creation, sounds.
#include <gtest/gtest.h>

#include "host/native_hashes.h"
#include "menu_fixture.h"

namespace {

using menu_testing::AddRows;
using menu_testing::Append;
using menu_testing::MenuFixture;
using menu_testing::SelectionOption;
using namespace menu_testing;  // control hashes and key codes

using Strings = std::vector<std::string>;

class Controller : public MenuFixture {
  protected:
    // Page 0: "Row 0" .. "Row 4" and a link to page 1 on row 2; page 1: 12 rows.
    void StandardPages() {
        Menu::AddSubmenu("Main", "Wardrobe", 0, 8, [](Submenu* page) {
            page->AddOption("Row 0", "", [] {});
            page->AddOption("Row 1", "", [] {});
            page->AddSubmenuOption("To page 1", "", 1);
            page->AddOption("Row 3", "", [] {});
            page->AddOption("Row 4", "", [] {});
        });
        Menu::AddSubmenu("Second", "Sub", 1, 12, [](Submenu* page) { AddRows(page, 12); });
    }
    Submenu& Page(int id) { return Menu::submenuRegistry.at(id); }
    const std::string& Title() { return menu.currentSubmenu->title; }
};

TEST_F(Controller, ClosedFrameReadsInputAndKeepsThePromptsOff) {
    StandardPages();
    MakeMenu();
    Frame();
    EXPECT_EQ(
        RolesThisFrame(),
        (Strings{"PAD::IS_USING_KEYBOARD_AND_MOUSE", "PAD::IS_DISABLED_CONTROL_PRESSED",
                 "PAD::IS_CONTROL_JUST_PRESSED", "PAD::IS_CONTROL_JUST_PRESSED",
                 "PAD::IS_CONTROL_JUST_PRESSED", "PAD::IS_CONTROL_JUST_PRESSED",
                 "PAD::IS_DISABLED_CONTROL_JUST_PRESSED", "PAD::IS_DISABLED_CONTROL_JUST_PRESSED",
                 "HUD::_UI_PROMPT_IS_VALID", "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED",
                 "HUD::_UI_PROMPT_IS_VALID", "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED",
                 "HUD::_UI_PROMPT_SET_VISIBLE", "HUD::_UI_PROMPT_SET_ENABLED",
                 "HUD::_UI_PROMPT_SET_VISIBLE", "HUD::_UI_PROMPT_SET_ENABLED"}));
    EXPECT_FALSE(menu.isOpen);
    EXPECT_TRUE(sim::DrawList().empty());
    EXPECT_EQ(menu.currentSubmenuId, 0);
    const sim::PromptRecord* select = sim::Prompts().Find(menu.selectPrompt);
    ASSERT_NE(select, nullptr);
    EXPECT_FALSE(select->shown);
    EXPECT_FALSE(select->enabled);
}

TEST_F(Controller, MenuKeyReleaseOpensAndClosesWithSoundsAndMenuState) {
    StandardPages();
    MakeMenu();
    ReleaseKey(kF9);
    Frame();
    EXPECT_TRUE(menu.isOpen);
    EXPECT_EQ(sim::Controls().LastMenuState(), 0);
    EXPECT_EQ(PlayedThisFrame(), Strings{"MENU_ENTER/HUD_PLAYER_MENU"});
    EXPECT_TRUE(sim::Sounds().Events().back().wasPrepared);
    // Released key: no chord query on that frame.
    for (const std::string& role : RolesThisFrame()) {
        EXPECT_NE(role, "PAD::IS_DISABLED_CONTROL_PRESSED");
    }
    EXPECT_FALSE(sim::DrawList().empty());
    EXPECT_TRUE(sim::Prompts().Find(menu.selectPrompt)->Active());
    EXPECT_TRUE(sim::Prompts().Find(menu.backPrompt)->Active());

    ReleaseKey(kF9);
    Frame();
    EXPECT_FALSE(menu.isOpen);
    EXPECT_EQ(sim::Controls().LastMenuState(), 1);
    EXPECT_EQ(PlayedThisFrame(), Strings{"MENU_CLOSE/HUD_PLAYER_MENU"});
    EXPECT_FALSE(sim::Prompts().Find(menu.selectPrompt)->Active());
    EXPECT_TRUE(sim::DrawList().empty());
}

TEST_F(Controller, MenuKeyFromTheSettingsAndStaleReleases) {
    StandardPages();
    MakeMenu();
    menuKey = 0x75;  // F6
    ReleaseKey(kF9);
    Frame();
    EXPECT_FALSE(menu.isOpen);
    ReleaseKey(0x75);
    game().AdvanceTick(200);  // too long ago
    Frame();
    EXPECT_FALSE(menu.isOpen);
    ReleaseKey(0x75);
    Frame();
    EXPECT_TRUE(menu.isOpen);
    menuKey = 300;  // no key of the table: only the chord opens
    ReleaseKey(kF9);
    Frame();
    EXPECT_TRUE(menu.isOpen);
}

TEST_F(Controller, GamepadChordNeedsBothControls) {
    StandardPages();
    MakeMenu();
    sim::Controls().SetGamepad(true);
    FrameWith({kChordSecond});
    EXPECT_FALSE(menu.isOpen);
    FrameWith({kChordFirst});
    EXPECT_FALSE(menu.isOpen);
    sim::Controls().Hold(kChordFirst);
    FrameWith({kChordSecond});
    EXPECT_TRUE(menu.isOpen);
    EXPECT_EQ(menu.controlGroup, 2);
    sim::Controls().Release(kChordFirst);
    // A gamepad's controls answer only in group 2, the group the menu asks.
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 1);
}

TEST_F(Controller, UpAndDownWrapAtTheEnds) {
    StandardPages();
    MakeMenu(1);
    Open();
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 11);
    EXPECT_EQ(PlayedThisFrame(), Strings{"NAV_UP/Ledger_Sounds"});
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 0);
    EXPECT_EQ(PlayedThisFrame(), Strings{"NAV_DOWN/Ledger_Sounds"});
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 1);
}

TEST_F(Controller, ShiftScrollsTenAndClampsInsteadOfWrapping) {
    StandardPages();
    MakeMenu(1);
    Open();
    menu.currentOption = 3;
    HoldKey(kShift);
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 0);
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 0);
    menu.currentOption = 5;
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 11);
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 11);
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 1);

    ReleaseKey(kShift);
    menu.currentOption = 11;
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 0);
}

TEST_F(Controller, MovesPassOverOneHeadingOnly) {
    Menu::AddSubmenu("T", "S", 0, 8, [](Submenu* page) {
        page->AddOption("A", "", [] {});
        page->AddHeading("One");
        page->AddOption("B", "", [] {});
        page->AddHeading("Two");
        page->AddHeading("Three");
        page->AddOption("C", "", [] {});
    });
    MakeMenu();
    Open();
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 2);
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 0);
    menu.currentOption = 2;
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 4);  // two headings in a row: only the first is passed
    menu.currentOption = 5;
    FrameWith({kUp});
    EXPECT_EQ(menu.currentOption, 3);
}

TEST_F(Controller, LeftAndRightOnOtherRowsAreSilent) {
    bool flag = false;
    int runs = 0;
    Menu::AddSubmenu("T", "S", 0, 8, [&](Submenu* page) {
        page->AddOption("Plain", "", [&runs] { ++runs; });
        page->AddBoolOption("Toggle", "", &flag, [&runs] { ++runs; });
        page->AddSubmenuOption("Link", "", 0);
        page->AddHeading("Heading");
    });
    MakeMenu();
    Open();
    for (int row = 0; row < 4; ++row) {
        menu.currentOption = row;
        FrameWith({kLeft, kRight});
        EXPECT_EQ(menu.currentOption, row);
        EXPECT_TRUE(PlayedThisFrame().empty());
    }
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(flag);
}

TEST_F(Controller, SelectRunsTheRowByKindAndAlwaysSounds) {
    bool flag = false;
    int plainRuns = 0;
    int toggleRuns = 0;
    Menu::AddSubmenu("T", "S", 0, 8, [&](Submenu* page) {
        page->AddOption("Plain", "", [&plainRuns] { ++plainRuns; });
        page->AddBoolOption("Toggle", "", &flag, [&toggleRuns] { ++toggleRuns; });
        page->AddHeading("Heading");
        page->AddSubmenuOption("Nowhere", "", 42);
        page->AddBoolOption("Unbound", "", nullptr, [&toggleRuns] { ++toggleRuns; });
    });
    MakeMenu();
    Open();
    FrameWith({kSelect});
    EXPECT_EQ(plainRuns, 1);
    EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});

    menu.currentOption = 1;
    FrameWith({kSelect});
    EXPECT_TRUE(flag);
    EXPECT_EQ(toggleRuns, 1);
    FrameWith({kSelect});
    EXPECT_FALSE(flag);
    EXPECT_EQ(toggleRuns, 2);

    menu.currentOption = 2;
    FrameWith({kSelect});
    EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});
    EXPECT_EQ(menu.currentOption, 2);

    menu.currentOption = 3;  // a link to a page that is not registered
    FrameWith({kSelect});
    EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});
    EXPECT_EQ(menu.currentSubmenu->id, 0);
    EXPECT_TRUE(menu.navigationStack.empty());
    EXPECT_EQ(Menu::submenuRegistry.count(42), 0u);

    menu.currentOption = 4;
    FrameWith({kSelect});
    EXPECT_EQ(toggleRuns, 3);
    EXPECT_EQ(plainRuns, 1);
}

TEST_F(Controller, LinkOpensAtRowZeroAndBackRestoresTheRow) {
    StandardPages();
    MakeMenu();
    Open();
    menu.currentOption = 2;
    FrameWith({kSelect});
    EXPECT_EQ(Title(), "Second");
    EXPECT_EQ(menu.currentOption, 0);
    EXPECT_EQ(menu.navigationStack, std::vector<std::int32_t>{0});
    EXPECT_EQ(menu.rememberedOption.at(0), 2);
    EXPECT_EQ(menu.currentSubmenuId, 1);
    FrameWith({kDown});
    FrameWith({kDown});
    EXPECT_EQ(menu.currentOption, 2);

    FrameWith({kBack});
    EXPECT_EQ(Title(), "Main");
    EXPECT_EQ(menu.currentOption, 2);
    EXPECT_TRUE(menu.navigationStack.empty());
    EXPECT_EQ(menu.rememberedOption.count(0), 0u);
    EXPECT_EQ(PlayedThisFrame(), Strings{"BACK/HUD_SHOP_SOUNDSET"});
    EXPECT_TRUE(menu.isOpen);
}

TEST_F(Controller, BackOnASubPageWithoutHistoryGoesToPageZero) {
    StandardPages();
    MakeMenu(1);
    Open();
    menu.currentOption = 7;
    FrameWith({kBack});
    EXPECT_EQ(Title(), "Main");
    EXPECT_EQ(menu.currentOption, 0);
    EXPECT_EQ(menu.rememberedOption.count(0), 1u);  // made with 0 and kept
}

TEST_F(Controller, BackOnPageZeroClosesAndEndsTheFrame) {
    StandardPages();
    MakeMenu();
    Open();
    menu.currentOption = 1;
    FrameWith({kBack, kDown});
    EXPECT_FALSE(menu.isOpen);
    EXPECT_EQ(menu.currentOption, 1);
    EXPECT_EQ(PlayedThisFrame(), (Strings{"BACK/HUD_SHOP_SOUNDSET", "MENU_CLOSE/HUD_PLAYER_MENU"}));
    EXPECT_EQ(sim::Controls().LastMenuState(), 1);
    EXPECT_TRUE(sim::DrawList().empty());
    EXPECT_TRUE(sim::Controls().Suppressed().empty());
}

TEST_F(Controller, ClosingOnASubPageReopensThere) {
    StandardPages();
    MakeMenu();
    Open();
    menu.currentOption = 2;
    FrameWith({kSelect});
    FrameWith({kDown});
    ReleaseKey(kF9);
    Frame();
    EXPECT_FALSE(menu.isOpen);
    ReleaseKey(kF9);
    Frame();
    EXPECT_TRUE(menu.isOpen);
    EXPECT_EQ(Title(), "Second");
    EXPECT_EQ(menu.currentOption, 1);
    bool drewSecond = false;
    for (const sim::TextEntry* text : sim::Drawing().Texts()) {
        drewSecond = drewSecond || text->text == "Second";
    }
    EXPECT_TRUE(drewSecond);
}

TEST_F(Controller, SelectThatOpensAPageIsFollowedByBackOnIt) {
    StandardPages();
    MakeMenu();
    Open();
    menu.currentOption = 2;
    FrameWith({kSelect, kBack, kDown});
    EXPECT_EQ(Title(), "Main");
    EXPECT_EQ(menu.currentOption, 3);  // back restored row 2, then down
    EXPECT_EQ(PlayedThisFrame(), (Strings{"SELECT/HUD_SHOP_SOUNDSET", "BACK/HUD_SHOP_SOUNDSET",
                                          "NAV_DOWN/Ledger_Sounds"}));
}

// The game counts a prompt valid from its creation on, so only its completion
// counts, even on the frame the menu opens; the completion taken restarts the
// prompt's modes, so one press is one event however long the game answers it.
TEST_F(Controller, PromptCompletionReplacesThePlainControlOncePerPress) {
    UnderBothReadings([this] {
        int runs = 0;
        Menu::AddSubmenu("T", "S", 0, 8, [&runs](Submenu* page) {
            page->AddOption("Plain", "", [&runs] { ++runs; });
        });
        // A Select prompt bound to another control tells completion from the plain control.
        constexpr std::uint32_t kOther = 0x12345678;
        menu.CreatePrompt(menu.selectPrompt, "Select", kOther);
        menu.CreatePrompt(menu.backPrompt, "Back", kBack);
        menu.currentSubmenu = &Menu::submenuRegistry[0];

        // Opening and selecting on one frame: the prompt was not on to complete.
        ReleaseKey(kF9);
        FrameWith({kSelect});
        EXPECT_TRUE(menu.isOpen);
        EXPECT_EQ(runs, 0);

        // The prompt is on: the plain control is still ignored.
        FrameWith({kSelect});
        EXPECT_EQ(runs, 0);
        EXPECT_TRUE(PlayedThisFrame().empty());
        EXPECT_TRUE(menu.selectPressed);
        EXPECT_FALSE(menu.selectConfirmed);

        // Its completion counts, once.
        FrameWith({kOther});
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});
        const Strings roles = RolesThisFrame();
        EXPECT_EQ(
            std::count(roles.begin(), roles.end(), "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED"),
            2);
        EXPECT_EQ(std::count(roles.begin(), roles.end(), "HUD::_UI_PROMPT_RESTART_MODES"), 1);
        Frame();
        Frame();
        EXPECT_EQ(runs, 1);
        EXPECT_TRUE(PlayedThisFrame().empty());
        EXPECT_EQ(sim::Prompts().Find(menu.selectPrompt)->clears, 1);
    });
}

TEST_F(Controller, BackPromptCompletesFromItsControlOncePerPress) {
    UnderBothReadings([this] {
        StandardPages();
        MakeMenu(1);
        Open();
        FrameWith({kBack});
        EXPECT_EQ(Title(), "Main");
        EXPECT_EQ(sim::Prompts().Find(menu.backPrompt)->completions, 1);
        // A Back acting again would close the menu from the main page.
        Frame();
        Frame();
        EXPECT_TRUE(menu.isOpen);
        EXPECT_EQ(Title(), "Main");
        EXPECT_TRUE(PlayedThisFrame().empty());
    });
}

TEST_F(Controller, KeyboardSuppressesElevenControlsInGroupZero) {
    StandardPages();
    MakeMenu();
    Open();
    const std::vector<std::uint32_t> expected = {0x0F39B3D4, 0xCF8A4ECA, 0x80F28E95, 0xF3830D8E,
                                                 0x4CC0E2FE, 0x5966D52A, 0x734C6E39, 0xE2B557A3,
                                                 0xCF0B11DE, 0xCC510E59, 0x580C4473};
    Frame();
    const auto& suppressed = sim::Controls().Suppressed();
    ASSERT_EQ(suppressed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(suppressed[i].group, 0);
        EXPECT_EQ(suppressed[i].control, expected[i]);
        EXPECT_EQ(suppressed[i].flag, 0);
    }
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 0u);
    for (const std::string& role : RolesThisFrame()) {
        EXPECT_NE(role, "global 1900699=2");
    }
}

TEST_F(Controller, GamepadWritesTheGlobalAndSuppressesTwoMore) {
    StandardPages();
    MakeMenu();
    sim::Controls().SetGamepad(true);
    Open();
    Frame();
    const auto& suppressed = sim::Controls().Suppressed();
    ASSERT_EQ(suppressed.size(), 13u);
    EXPECT_EQ(suppressed[0].control, 0x24978A28u);
    EXPECT_EQ(suppressed[1].control, 0xE7EB9185u);
    EXPECT_EQ(suppressed[2].control, 0x0F39B3D4u);
    EXPECT_EQ(suppressed[12].control, 0x580C4473u);
    for (const sim::Suppression& entry : suppressed) {
        EXPECT_EQ(entry.group, 2);
    }
    EXPECT_EQ(game().Global(sim::kMenuHudGlobal), 2u);
    // The global is written before the first suppression call.
    const Strings roles = RolesThisFrame();
    const auto write = std::find(roles.begin(), roles.end(), "global 1900699=2");
    const auto first = std::find(roles.begin(), roles.end(), "PAD::DISABLE_CONTROL_ACTION");
    ASSERT_NE(write, roles.end());
    EXPECT_LT(write, first);
}

TEST_F(Controller, SelectionStepsWrapWithOneMovedFlagInTheCallback) {
    std::vector<std::string> seen;
    Menu::AddSubmenu("T", "S", 0, 8, [](Submenu* page) {
        Append(page, SelectionOption("Colour", {"Red", "Green", "Blue"}));
    });
    Option& choice = Menu::submenuRegistry.at(0).options[0];
    choice.callback = [&seen, &choice] {
        seen.push_back(std::string(choice.movedLeft ? "L" : "-") + (choice.movedRight ? "R" : "-") +
                       " " + choice.valueText);
    };
    MakeMenu();
    Open();
    FrameWith({kLeft});
    EXPECT_EQ(PlayedThisFrame(), Strings{"NAV_LEFT/PAUSE_MENU_SOUNDSET"});
    FrameWith({kRight});
    EXPECT_EQ(PlayedThisFrame(), Strings{"NAV_RIGHT/PAUSE_MENU_SOUNDSET"});
    FrameWith({kRight});
    FrameWith({kSelect});
    EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});
    EXPECT_EQ(seen, (Strings{"L- Blue", "-R Red", "-R Green", "-R Blue"}));
    EXPECT_FALSE(choice.movedLeft);
    EXPECT_FALSE(choice.movedRight);
    EXPECT_EQ(choice.selectedValue, 2);
}

TEST_F(Controller, SelectionIndexOutsideItsValuesStepsBackInside) {
    Menu::AddSubmenu("T", "S", 0, 8, [](Submenu* page) {
        Append(page, SelectionOption("Colour", {"Red", "Green", "Blue"}));
    });
    Option& choice = Menu::submenuRegistry.at(0).options[0];
    MakeMenu();
    Open();
    choice.selectedValue = 10;
    FrameWith({kLeft});
    EXPECT_EQ(choice.selectedValue, 2);
    EXPECT_EQ(choice.valueText, "Blue");
    choice.selectedValue = -5;
    FrameWith({kRight});
    EXPECT_EQ(choice.selectedValue, 0);
    EXPECT_EQ(choice.valueText, "Red");
}

TEST_F(Controller, ToggledFlagShowsItsTickFromTheSameFrame) {
    bool flag = false;
    Menu::AddSubmenu("T", "S", 0, 8,
                     [&flag](Submenu* page) { page->AddBoolOption("Camera", "", &flag); });
    MakeMenu();
    Open();
    const std::string tick = "<img src='img://generic_textures/tick' height='30' width='30'/>";
    auto tickDrawn = [&tick] {
        for (const sim::TextEntry* text : sim::Drawing().Texts()) {
            if (text->text == tick) {
                return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(tickDrawn());
    FrameWith({kSelect});
    EXPECT_TRUE(flag);
    EXPECT_TRUE(tickDrawn());  // input is handled before the page is drawn
    Frame();
    EXPECT_TRUE(tickDrawn());
    FrameWith({kSelect});
    EXPECT_FALSE(tickDrawn());
}

TEST_F(Controller, SelectionWithoutValuesIsNeverStepped) {
    int runs = 0;
    Menu::AddSubmenu("T", "S", 0, 8,
                     [](Submenu* page) { Append(page, SelectionOption("Empty", {})); });
    Menu::submenuRegistry.at(0).options[0].callback = [&runs] { ++runs; };
    MakeMenu();
    Open();
    FrameWith({kLeft});
    EXPECT_TRUE(PlayedThisFrame().empty());
    FrameWith({kRight});
    EXPECT_TRUE(PlayedThisFrame().empty());
    FrameWith({kSelect});
    EXPECT_EQ(PlayedThisFrame(), Strings{"SELECT/HUD_SHOP_SOUNDSET"});
    EXPECT_EQ(runs, 0);
    const Option& empty = Menu::submenuRegistry.at(0).options[0];
    EXPECT_EQ(empty.selectedValue, 0);
    EXPECT_EQ(empty.valueText, "");
}

TEST_F(Controller, SelectedOptionIsNullOutsideThePage) {
    StandardPages();
    MakeMenu();
    EXPECT_EQ(menu.SelectedOption(), &Page(0).options[0]);
    menu.currentOption = 4;
    EXPECT_EQ(menu.SelectedOption()->label, "Row 4");
    menu.currentOption = 5;
    EXPECT_EQ(menu.SelectedOption(), nullptr);
    menu.currentOption = -1;
    EXPECT_EQ(menu.SelectedOption(), nullptr);

    // An out-of-range row takes no input; back still works on a sub-page.
    menu.currentSubmenu = &Page(1);
    menu.currentOption = 40;
    Open();
    FrameWith({kSelect, kUp, kDown});
    EXPECT_EQ(menu.currentOption, 40);
    EXPECT_TRUE(PlayedThisFrame().empty());
    FrameWith({kBack});
    EXPECT_EQ(Title(), "Main");
}

TEST_F(Controller, PageWithoutRowsOnlyTakesBack) {
    Menu::AddSubmenu("Main", "", 0, 8, [](Submenu* page) { AddRows(page, 2); });
    Menu::AddSubmenu("Empty", "", 3, 8, [](Submenu*) {});
    MakeMenu(3);
    Open();
    FrameWith({kUp, kDown, kLeft, kRight});
    EXPECT_EQ(menu.currentOption, 0);
    EXPECT_TRUE(PlayedThisFrame().empty());
    FrameWith({kSelect, kBack});
    EXPECT_EQ(Title(), "Empty");  // select ended the frame's handling
    FrameWith({kBack});
    EXPECT_EQ(Title(), "Main");
}

TEST_F(Controller, CreatePromptMakesAPromptThatStartsOff) {
    game().ClearTrace();
    std::int32_t handle = 0;
    menu.CreatePrompt(handle, "Save Outfit", 0x171910DC);
    EXPECT_NE(handle, 0);
    Strings roles;
    for (const sim::TraceEvent& event : game().Trace()) {
        roles.emplace_back(event.Name());
    }
    EXPECT_EQ(roles,
              (Strings{"HUD::_UI_PROMPT_REGISTER_BEGIN", "HUD::_UI_PROMPT_SET_CONTROL_ACTION",
                       "HUD::_UI_PROMPT_SET_PRIORITY", "MISC::VAR_STRING",
                       "HUD::_UI_PROMPT_SET_TEXT", "HUD::_UI_PROMPT_SET_STANDARD_MODE",
                       "HUD::_UI_PROMPT_SET_ATTRIBUTE", "HUD::_UI_PROMPT_REGISTER_END",
                       "HUD::_UI_PROMPT_SET_VISIBLE", "HUD::_UI_PROMPT_SET_ENABLED"}));
    const auto& trace = game().Trace();
    EXPECT_EQ(trace[2].hash, game_natives::kPromptPriorityNative.hash);
    EXPECT_EQ(trace[2].args, (std::vector<std::uint64_t>{static_cast<std::uint32_t>(handle), 2}));
    EXPECT_EQ(trace[3].texts, (Strings{"LITERAL_STRING", "Save Outfit"}));
    EXPECT_EQ(trace[3].args[0], 10u);
    EXPECT_EQ(trace[5].hash, game_natives::kPromptModeNative.hash);
    EXPECT_EQ(trace[6].hash, game_natives::kPromptGroupNative.hash);
    EXPECT_EQ(trace[6].args,
              (std::vector<std::uint64_t>{static_cast<std::uint32_t>(handle), 34, 1}));

    const sim::PromptRecord* prompt = sim::Prompts().Find(handle);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text, "Save Outfit");
    EXPECT_EQ(prompt->control, 0x171910DCu);
    EXPECT_TRUE(prompt->finished);
    EXPECT_FALSE(prompt->shown);
    EXPECT_FALSE(prompt->enabled);
}

TEST_F(Controller, SoundIsPreparedThenPlayed) {
    game().RunFrame();
    game().ClearTrace();
    menu.PlayMenuSound("NAV_UP", "Ledger_Sounds");
    const auto& trace = game().Trace();
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace[0].Name(), "AUDIO::_STOP_SOUND_WITH_NAME");
    EXPECT_EQ(trace[0].texts, (Strings{"NAV_UP", "Ledger_Sounds"}));
    EXPECT_EQ(trace[1].Name(), "AUDIO::PLAY_SOUND_FRONTEND");
    EXPECT_EQ(trace[1].texts, (Strings{"NAV_UP", "Ledger_Sounds"}));
    EXPECT_EQ(trace[1].args[2], 1u);
    EXPECT_EQ(trace[1].args[3], 0u);
}

}  // namespace
