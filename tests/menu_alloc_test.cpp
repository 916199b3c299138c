// A warm menu allocates nothing per frame: every operator new of this test
// program is counted while the count is on, except the simulated game's own.
#include <gtest/gtest.h>

#include "menu_fixture.h"
#include "sim/game_code.h"
#include "sim/play/counting_new.h"
#include "wardrobe_fixture.h"

namespace {

using namespace menu_testing;

class Allocations : public MenuFixture {
  protected:
    // A full page like the saved-outfits page, with every kind of row the
    // drawing knows, long descriptions included, and names that look like
    // markup, which are shown as words.
    void BuildPages() {
        Menu::AddSubmenu(
            "Saved Outfits", "Outfits you have put together", 0, 21, [this](Submenu* page) {
                for (int i = 1; i <= 5; ++i) {
                    page->AddOption("Game Outfit " + std::to_string(i),
                                    "Put on the game's saved outfit number " + std::to_string(i) +
                                        " of this character",
                                    [] {});
                }
                page->AddHeading("Custom Outfits");
                page->AddOption("~COLOR_RED~Red & <b>Bold</b>~s~~n~", "Fish & Chips", [] {});
                for (int i = 2; i <= 11; ++i) {
                    page->AddOption("Custom Slot " + std::to_string(i),
                                    "An empty slot: save what you wear here", [] {});
                }
                page->AddBoolOption("Wardrobe Camera", "Face the character", &flag);
                page->AddBoolOption("Light", "", &light);
                Append(page, SelectionOption("Weather", {"Sunny", "Overcast & <rainy>", "Fog"}));
                page->AddSubmenuOption("Settings", "Camera and light", 1);
            });
        Menu::AddSubmenu("Settings", "", 1, 12, [](Submenu* page) { AddRows(page, 3); });
    }

    // One frame with the game's side excluded and the menu's update counted.
    long CountedFrame() {
        {
            sim::GameCodeScope game;
            TheGameFrame();
        }
        play::StartCountingAllocations(sim::InGameCode);
        menu.Update();
        return play::StopCountingAllocations();
    }
    void TheGameFrame() { game().RunFrame(); }

    // Input that walks the whole page and steps the selection both ways.
    void InputFor(int frame) {
        switch (frame % 4) {
            case 0:
                sim::Controls().Press(kDown);
                break;
            case 1:
                sim::Controls().Press(kLeft);
                break;
            case 2:
                sim::Controls().Press(kRight);
                break;
            default:
                if (frame % 40 == 3) {
                    sim::Controls().Press(kUp);
                }
                break;
        }
        if (frame % 97 == 0) {
            sim::Controls().SetGamepad(!sim::Controls().Gamepad());
        }
    }

    bool flag = true;
    bool light = false;
};

TEST_F(Allocations, WarmOpenMenuAllocatesNothingPerFrame) {
    BuildPages();
    MakeMenu();
    Open();
    // Warm-up: every row current once and every value shown once, with both inputs.
    for (int frame = 0; frame < 400; ++frame) {
        InputFor(frame);
        CountedFrame();
    }
    long total = 0;
    for (int frame = 0; frame < 1000; ++frame) {
        InputFor(frame);
        total += CountedFrame();
    }
    EXPECT_TRUE(menu.isOpen);
    EXPECT_EQ(total, 0);
    EXPECT_FALSE(sim::DrawList().empty());
}

TEST_F(Allocations, LinkAndBackAllocateNothingOnceWarm) {
    BuildPages();
    MakeMenu();
    Open();
    menu.currentOption = 20;
    for (int round = 0; round < 3; ++round) {
        sim::Controls().Press(kSelect);
        CountedFrame();
        sim::Controls().Press(kBack);
        CountedFrame();
    }
    long total = 0;
    for (int round = 0; round < 100; ++round) {
        sim::Controls().Press(kSelect);
        total += CountedFrame();
        EXPECT_EQ(menu.currentSubmenuId, 1);
        sim::Controls().Press(kBack);
        total += CountedFrame();
        EXPECT_EQ(menu.currentSubmenuId, 0);
    }
    EXPECT_EQ(total, 0);
}

TEST_F(Allocations, ClosedMenuAllocatesNothing) {
    BuildPages();
    MakeMenu();
    CountedFrame();
    long total = 0;
    for (int frame = 0; frame < 1000; ++frame) {
        total += CountedFrame();
    }
    EXPECT_EQ(total, 0);
}

TEST_F(Allocations, CounterSeesThePluginsOwnAllocations) {
    play::StartCountingAllocations(sim::InGameCode);
    Menu::AddSubmenu("A page with a long enough title to leave the small buffer", "", 7, 8,
                     [](Submenu* page) { AddRows(page, 2); });
    EXPECT_GT(play::StopCountingAllocations(), 0);
}

TEST_F(Allocations, KeyboardHandlerAllocatesNothing) {
    play::StartCountingAllocations(sim::InGameCode);
    for (std::uint32_t key = 0; key < 300; ++key) {
        OnKeyboardMessage(key, 1, 0, 0, 0, 0, 0);
        OnKeyboardMessage(key, 1, 0, 0, 0, 1, 1);
    }
    EXPECT_EQ(play::StopCountingAllocations(), 0);
    EXPECT_TRUE(KeyJustReleased(kF9));
}

}  // namespace

namespace wardrobe_allocations {

// The script loop's two per-frame calls with the wardrobe scene open.
class WardrobeAllocations : public wardrobe_testing::WardrobeFixture {
  protected:
    long CountedFrame() {
        {
            sim::GameCodeScope gameCode;
            game().RunFrame();
        }
        play::StartCountingAllocations(sim::InGameCode);
        activeMenu->Update();
        UpdateWardrobe();
        return play::StopCountingAllocations();
    }
    // Down every frame walks the whole saved-outfits page again and again, so
    // the save prompt reads "Save Outfit" and "Delete Outfit" in turn.
    long CountedFrameDown() {
        sim::Controls().Press(wardrobe_testing::kDown);
        return CountedFrame();
    }
};

TEST_F(WardrobeAllocations, OpenSceneWithCameraAndLightAllocatesNothingPerFrame) {
    using wardrobe_testing::FileWith;
    using wardrobe_testing::OutfitXml;
    StartUp(FileWith(OutfitXml("~n~Riding &amp; &lt;b&gt;", 6, {11}, {12}) +
                     OutfitXml("Town", 9, {13}, {14})));
    ASSERT_EQ(savedSlots, (std::vector<std::int32_t>{6, 9}));
    useCamera = true;
    drawLight = true;
    OpenMenu();
    sim::Controls().Press(wardrobe_testing::kSelect);  // row 0 of page 0 opens page 1
    CountedFrame();
    ASSERT_EQ(menu().currentSubmenuId, 1);
    ASSERT_TRUE(wardrobe.sceneActive);
    ASSERT_TRUE(wardrobe.cameraActive);

    for (int frame = 0; frame < 100; ++frame) {
        CountedFrameDown();
    }
    long total = 0;
    bool sawDelete = false;
    bool sawSave = false;
    for (int frame = 0; frame < 1000; ++frame) {
        total += CountedFrameDown();
        sawDelete = sawDelete || wardrobe.deleteMode;
        sawSave = sawSave || (wardrobe.promptRow >= 0 && !wardrobe.deleteMode);
    }
    EXPECT_EQ(total, 0);
    EXPECT_TRUE(menu().isOpen);
    EXPECT_EQ(menu().currentSubmenuId, 1);
    EXPECT_TRUE(wardrobe.sceneActive);
    EXPECT_EQ(sim::Scene().Cameras().size(), 1u);
    EXPECT_EQ(sim::Scene().LightsInFrame(game().FrameNumber()).size(), 1u);
    EXPECT_TRUE(sawDelete);
    EXPECT_TRUE(sawSave);
}

}  // namespace wardrobe_allocations
