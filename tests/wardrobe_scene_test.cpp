// The wardrobe's per-frame work: the scene's opening, keeping and closing
// with and without the camera, the forced close, the light, the save prompt
// and the naming keyboard.
//
// In this order:
//   the fixture, which keeps each frame's wardrobe calls in `calls`;
//   opening with and without the camera, the forced closes, the light;
//   the save prompt: where it is offered, saving a named outfit;
//   naming: name lengths, null result and cancel, the menu closed while typing;
//   the row the prompt showed, completions that are ignored, the text cap.
#include <algorithm>

#include "wardrobe/outfit_file.h"
#include "wardrobe_fixture.h"

namespace {

using namespace wardrobe_testing;

class WardrobeScene : public WardrobeFixture {
  protected:
    void SetUp() override {
        WardrobeFixture::SetUp();
        StartUp(kRootOnly);
        me = std::to_string(sim::Character().Handle());
        save = std::to_string(menu().savePrompt);
        sim::Character().SetPosition(kReal);
        sim::Character().SetDrawnPosition(kDrawn);
        sim::Character().SetForward(kForward);
        game().ClearNotifications();
    }
    // Where the character stands by its real position (entity-position flag
    // 1) and as drawn (flag 0), and where it faces: every part nonzero and
    // each position unlike the other, so a dropped part or a swapped flag
    // shows in the placements.
    static constexpr sim::Vec3 kReal{10.0f, 20.0f, 30.0f};
    static constexpr sim::Vec3 kDrawn{10.5f, 19.5f, 29.75f};
    static constexpr sim::Vec3 kForward{0.36f, 0.48f, 0.8f};
    // P + 1.7 x F, part by part, then `rise` added to z, as the trace shows it.
    static std::string Ahead(const sim::Vec3& p, float rise = 0.0f) {
        return Float(p.x + 1.7f * kForward.x) + "," + Float(p.y + 1.7f * kForward.y) + "," +
               Float(p.z + 1.7f * kForward.z + rise);
    }
    // One frame; the wardrobe's calls of that frame are kept in `calls`.
    void WardrobeFrame() {
        game().RunFrame();
        activeMenu->Update();
        const std::size_t mark = TraceMark();
        UpdateWardrobe();
        calls = TraceFrom(mark);
    }
    void WardrobeFrameWith(std::uint32_t control) {
        sim::Controls().Press(control);
        WardrobeFrame();
    }
    // The game counts the prompt valid from its creation, so its completion is asked too.
    std::vector<std::string> PromptOff() {
        return {"prompt-active native " + save, "prompt-completed native " + save + ",0",
                "first prompt-state native " + save + ",0",
                "second prompt-state native " + save + ",0"};
    }
    std::vector<std::string> PromptText(const char* text) {
        return {"variable-string native 10,'LITERAL_STRING','" + std::string(text) + "'",
                "prompt-text native " + save + ",ptr"};
    }
    std::vector<std::string> CharacterCheck() {
        return {"player-character native", "character-check native " + me};
    }
    // "controls-on" stands for the six menu controls turned back on, in order.
    static void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
        for (const std::string& line : more) {
            if (line != "controls-on") {
                to.push_back(line);
                continue;
            }
            for (std::uint32_t control : {kSelect, kBack, kUp, kDown, 0xAD7FCC5Bu, 0x65F9EC5Bu}) {
                to.push_back("control-on native 0," + std::to_string(control) + ",0");
            }
        }
    }
    std::int32_t AreaHandle() const {
        return sim::Scene().Areas().empty() ? 0 : sim::Scene().Areas().begin()->first;
    }
    // Walks onto a custom row of page 1 with the menu open, and lets the prompt come on.
    void OpenOnRow(std::int32_t row) {
        OpenMenu();
        OnSavedOutfitsRow(row);
        WardrobeFrame();
    }
    // Completes the save prompt and types a name.
    void SaveAs(const std::string& name) {
        WardrobeFrameWith(kSaveControl);
        ASSERT_TRUE(sim::NamingKeyboard().IsOpen());
        sim::NamingKeyboard().Finish(name);
        WardrobeFrame();
    }

    std::string me;
    std::string save;
    std::vector<std::string> calls;
};

TEST_F(WardrobeScene, OpeningWithoutCameraMakesOnlyTheArea) {
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    ASSERT_TRUE(menu().isOpen);
    std::vector<std::string> expected = PromptOff();
    Append(expected, {"player-character native", "entity-position native " + me + ",1,1",
                      "area-exists native 0", "companion-exists native 0",
                      "box-area native 10,20,30,0,0,0,15,15,15"});
    const std::string area = std::to_string(AreaHandle());
    Append(expected, {"area-setup native " + area + ",10208,8192,0,-1,-1,0",
                      "area-option native " + area + ",7", "area-companion native " + area + ",0,7",
                      "scene-frame native A", "scene-frame native B"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, CharacterCheck());
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(wardrobe.sceneActive);
    EXPECT_FALSE(wardrobe.cameraActive);
    EXPECT_TRUE(sim::Scene().Cameras().empty());
    EXPECT_TRUE(sim::Scene().HudContexts().empty());

    // Kept: the frame natives, the prompt text and the check; no controls turned off.
    WardrobeFrame();
    expected = PromptOff();
    Append(expected, {"scene-frame native A", "scene-frame native B"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, CharacterCheck());
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(sim::Scene().ControlsOffInFrame(game().FrameNumber()));

    // Closed with the menu key: the area goes.
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    ASSERT_FALSE(menu().isOpen);
    const std::string companion = std::to_string(wardrobe.areaCompanion);
    expected = PromptOff();
    Append(expected, {"scene-frame native A", "scene-frame native B"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, {"area-exists native " + area, "area-release native A " + area,
                      "area-release native B " + area,
                      "companion-remove native " + companion + ",0", "delete-area native " + area});
    Append(expected, CharacterCheck());
    EXPECT_EQ(calls, expected);
    EXPECT_FALSE(wardrobe.sceneActive);
    EXPECT_TRUE(sim::Scene().Areas().empty());
    EXPECT_TRUE(sim::Scene().Companions().empty());

    // Closed: only the prompt is looked after.
    WardrobeFrame();
    EXPECT_EQ(calls, PromptOff());
}

TEST_F(WardrobeScene, OpeningWithCameraFacesTheCharacter) {
    useCamera = true;
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    const std::int32_t camera = wardrobe.wardrobeCamera;
    const std::string cam = std::to_string(camera);
    const std::string player = std::to_string(sim::Character().PlayerId());
    std::vector<std::string> expected = PromptOff();
    Append(
        expected,
        {"player-character native",
         "entity-position native " + me + ",1,1",
         "scene-open native",
         "effect-query native 'CamTransition01'",
         "effect native A 'CamTransition01'",
         "effect-query native 'CamTransition01'",
         "effect native B 'CamTransition01'",
         "camera-exists native 0",
         "name-hash 'default_scripted_camera'",
         "create-camera native " + std::to_string(sim::NameHash("default_scripted_camera")) + ",1",
         "camera-active native " + cam + ",1",
         "script-camera-render native 1,0,3000,1,0,1",
         "name-hash 'HUD_CTX_IN_CAMP_WARDROBE'",
         "hud-context-on native " + std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
         "player-character native",
         "character native A " + me + ",0,1",
         "player-character native",
         "character native B " + me + ",0",
         "player-character native",
         "character switch native " + me + ",1",
         "player-id native",
         "player switch native A " + player + ",1",
         "player-id native",
         "player switch native B " + player + ",1",
         "player-character native",
         "player-character native",
         "character native C " + me + "," + me,
         "player-character native",
         "entity-position native " + me + ",1,1",
         "player-character native",
         "entity-forward native " + me,
         "camera-position native " + cam + "," + Ahead(kReal, 0.5f),
         "player-character native",
         "camera-point-at native " + cam + "," + me + ",0,-0.300000012,0,1",
         "area-exists native 0",
         "companion-exists native 0",
         "box-area native " + Ahead(kReal) + ",0,0,0,15,15,15"});
    const std::string area = std::to_string(AreaHandle());
    Append(expected, {"area-setup native " + area + ",10208,8192,0,-1,-1,0",
                      "area-option native " + area + ",7", "area-companion native " + area + ",0,7",
                      "scene-frame native A", "scene-frame native B", "controls-off native 0",
                      "controls-on"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, CharacterCheck());
    EXPECT_EQ(calls, expected);
    const sim::SimCamera* made = sim::Scene().Camera(camera);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->active);
    EXPECT_EQ(made->pointAtEntity, sim::Character().Handle());
    EXPECT_TRUE(sim::Scene().ScriptCameraRendering());
    EXPECT_TRUE(sim::Scene().HudContextOn("HUD_CTX_IN_CAMP_WARDROBE"));
    EXPECT_TRUE(sim::Character().CharacterSwitch());
    EXPECT_TRUE(sim::Character().PlayerSwitchA());

    // The settings flag switched off meanwhile: the closing still undoes the camera.
    useCamera = false;
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    const std::string companion = std::to_string(wardrobe.areaCompanion);
    expected = PromptOff();
    Append(expected, {"scene-frame native A", "scene-frame native B", "controls-off native 0",
                      "controls-on"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected,
           {"camera-exists native " + cam,
            "effect-query native 'CamTransition01'",
            "effect-query native 'CamTransition01'",
            "effect native B 'CamTransition01'",
            "effect-query native 'CamTransition01'",
            "effect native C 'CamTransition01'",
            "camera-exists native " + cam,
            "camera-active native " + cam + ",0",
            "script-camera-render native 0,0,3000,1,0,1",
            "destroy-camera native " + cam + ",1",
            "name-hash 'HUD_CTX_IN_CAMP_WARDROBE'",
            "hud-context-off native " + std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
            "player-character native",
            "character native A " + me + ",0,1",
            "player-character native",
            "character native B " + me + ",0",
            "player-character native",
            "character switch native " + me + ",0",
            "player-character native",
            "character native D " + me + ",0,0",
            "player-id native",
            "player switch native A " + player + ",0",
            "player-id native",
            "player switch native B " + player + ",0",
            "area-exists native " + area,
            "area-release native A " + area,
            "area-release native B " + area,
            "companion-remove native " + companion + ",0",
            "delete-area native " + area});
    Append(expected, CharacterCheck());
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(sim::Scene().Cameras().empty());
    EXPECT_FALSE(sim::Scene().ScriptCameraRendering());
    EXPECT_TRUE(sim::Scene().HudContexts().empty());
    EXPECT_FALSE(sim::Character().CharacterSwitch());
    EXPECT_FALSE(sim::Character().PlayerSwitchB());
    EXPECT_FALSE(wardrobe.cameraActive);
    EXPECT_TRUE(sim::Character().WrongTargets().empty());

    // The closing set the effect to unload, so the next opening loads it again.
    useCamera = true;
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "effect native A 'CamTransition01'"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "effect native B 'CamTransition01'"), 1);
}

TEST_F(WardrobeScene, ForcedCloseWithCameraLeavesTheAreaUntilTheNextOpening) {
    useCamera = true;
    OpenMenu();
    const std::string cam = std::to_string(wardrobe.wardrobeCamera);
    const std::int32_t area = AreaHandle();
    const std::string player = std::to_string(sim::Character().PlayerId());
    sim::Character().SetCharacterCheck(true);
    WardrobeFrame();
    EXPECT_FALSE(menu().isOpen);
    EXPECT_FALSE(wardrobe.sceneActive);
    std::vector<std::string> tail(calls.end() - 17, calls.end() - 1);
    EXPECT_EQ(
        tail,
        (std::vector<std::string>{
            "player-character native", "character-check native " + me,
            "camera-exists native " + cam, "effect-query native 'CamTransition01'",
            "effect native C 'CamTransition01'", "camera-exists native " + cam,
            "camera-active native " + cam + ",0", "script-camera-render native 0,0,3000,1,0,1",
            "destroy-camera native " + cam + ",1", "name-hash 'HUD_CTX_IN_CAMP_WARDROBE'",
            "hud-context-off native " + std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
            "player-id native", "player switch native A " + player + ",0", "player-id native",
            "player switch native B " + player + ",0", "player-character native"}));
    EXPECT_EQ(calls.back(), "character switch native " + me + ",0");
    EXPECT_EQ(sim::Scene().Areas().count(area), 1u);
    EXPECT_TRUE(sim::Scene().Cameras().empty());

    // The next opening takes the old area down first.
    sim::Character().SetCharacterCheck(false);
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "delete-area native " + std::to_string(area)),
              calls.end());
    EXPECT_EQ(sim::Scene().Areas().count(area), 0u);
    EXPECT_EQ(sim::Scene().Areas().size(), 1u);
}

TEST_F(WardrobeScene, ForcedCloseWithoutCameraRemovesTheArea) {
    OpenMenu();
    const std::string area = std::to_string(AreaHandle());
    sim::Character().SetCharacterCheck(true);
    WardrobeFrame();
    EXPECT_FALSE(menu().isOpen);
    std::vector<std::string> tail(calls.end() - 7, calls.end() - 1);
    EXPECT_EQ(
        tail,
        (std::vector<std::string>{
            "player-character native", "character-check native " + me, "area-exists native " + area,
            "area-release native A " + area, "area-release native B " + area,
            "companion-remove native " + std::to_string(wardrobe.areaCompanion) + ",0"}));
    EXPECT_TRUE(sim::Scene().Areas().empty());
}

TEST_F(WardrobeScene, LightFollowsTheSettingFromTheNextFrame) {
    OpenMenu();
    drawLight = true;  // as the settings toggle does during the menu's update
    EXPECT_TRUE(sim::Scene().LightsInFrame(game().FrameNumber()).empty());
    WardrobeFrame();
    const auto lights = sim::Scene().LightsInFrame(game().FrameNumber());
    ASSERT_EQ(lights.size(), 1u);
    EXPECT_EQ(lights[0].position.x, kDrawn.x + 1.7f * kForward.x);
    EXPECT_EQ(lights[0].position.y, kDrawn.y + 1.7f * kForward.y);
    EXPECT_EQ(lights[0].position.z, kDrawn.z + 1.7f * kForward.z);
    EXPECT_EQ(lights[0].red, 255);
    EXPECT_EQ(lights[0].blue, 255);
    EXPECT_FLOAT_EQ(lights[0].range, 5.0f);
    EXPECT_FLOAT_EQ(lights[0].intensity, 2.5f);
    std::vector<std::string> tail(calls.end() - 5, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "player-character native", "entity-position native " + me + ",1,0",
                        "player-character native", "entity-forward native " + me,
                        "draw-light native " + Ahead(kDrawn) + ",255,255,255,5,2.5"}));
    WardrobeFrame();
    EXPECT_EQ(sim::Scene().LightsInFrame(game().FrameNumber()).size(), 1u);
    drawLight = false;
    WardrobeFrame();
    EXPECT_TRUE(sim::Scene().LightsInFrame(game().FrameNumber()).empty());
    // Without the wardrobe open there is no light.
    drawLight = true;
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    WardrobeFrame();
    EXPECT_TRUE(sim::Scene().LightsInFrame(game().FrameNumber()).empty());
}

TEST_F(WardrobeScene, SavePromptIsOfferedOnlyOnCustomRowsWhileOpen) {
    auto offered = [&] {
        const sim::PromptRecord* prompt = sim::Prompts().Find(menu().savePrompt);
        return prompt != nullptr && prompt->shown && prompt->enabled;
    };
    OpenMenu();
    EXPECT_FALSE(offered());  // page 0
    for (std::int32_t row : {0, 4, 6, 13, 20}) {
        OnSavedOutfitsRow(row);
        WardrobeFrame();
        EXPECT_EQ(offered(), row >= 6) << row;
        const std::string on = row >= 6 ? "1" : "0";
        EXPECT_EQ(calls[calls.size() - 1 - 6], "second prompt-state native " + save + "," + on)
            << row;
    }
    menu().currentSubmenu = &Menu::submenuRegistry[2];
    menu().currentSubmenuId = 2;
    menu().currentOption = 7;
    WardrobeFrame();
    EXPECT_FALSE(offered());
    OnSavedOutfitsRow(6);
    WardrobeFrame();
    EXPECT_TRUE(offered());
    menu().isOpen = false;
    WardrobeFrame();
    EXPECT_FALSE(offered());
}

TEST_F(WardrobeScene, SavingANamedOutfitFromThePrompt) {
    OpenOnRow(6);
    WardrobeFrameWith(kSaveControl);
    EXPECT_TRUE(wardrobe.naming);
    EXPECT_EQ(sim::NamingKeyboard().Title(), "STABLE_RENAME_MOUNT_PROMPT");
    EXPECT_EQ(sim::NamingKeyboard().InitialText(), "Saved Custom Outfit Six");
    EXPECT_EQ(sim::NamingKeyboard().MaxLength(), 30);
    EXPECT_EQ(calls[0], "prompt-active native " + save);
    EXPECT_EQ(calls[1], "prompt-completed native " + save + ",0");
    EXPECT_EQ(calls[2], "prompt-clear native " + save);
    EXPECT_EQ(calls[3],
              "keyboard-open native 0,'STABLE_RENAME_MOUNT_PROMPT','','Saved Custom "
              "Outfit Six','','','',30");
    // While typing the keyboard is polled and the game's controls are off.
    WardrobeFrame();
    EXPECT_EQ(calls[4], "keyboard-status native");
    EXPECT_EQ(calls[5], "controls-off native 0");
    EXPECT_TRUE(wardrobe.naming);
    sim::NamingKeyboard().Finish("Abc");
    WardrobeFrame();
    EXPECT_FALSE(wardrobe.naming);
    EXPECT_EQ(wardrobe.keyboardStatus, -1);
    EXPECT_EQ(calls[4], "keyboard-status native");
    EXPECT_EQ(calls[5], "controls-off native 0");
    EXPECT_EQ(calls[6], "keyboard-result native");
    EXPECT_EQ(calls[7], "keyboard-done native");
    EXPECT_EQ(calls[8], "text-null native ptr");
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");
    EXPECT_EQ(Label(6), "Abc");
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{6});
    // The prompt now offers to delete, and deleting needs no keyboard.
    EXPECT_EQ(calls[calls.size() - 3], "prompt-text native " + save + ",ptr");
    EXPECT_EQ(calls[calls.size() - 4],
              "variable-string native 10,'LITERAL_STRING','Delete Outfit'");
    EXPECT_TRUE(wardrobe.deleteMode);
    const int opens = sim::NamingKeyboard().Opens();
    WardrobeFrameWith(kSaveControl);
    EXPECT_EQ(sim::NamingKeyboard().Opens(), opens);
    EXPECT_EQ(LastMessage(), "Successfully deleted outfit");
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    EXPECT_TRUE(savedSlots.empty());
    EXPECT_EQ(folder().Read(kOutfitFile), kRootOnly);
}

TEST_F(WardrobeScene, NamesOfTwoThreeAndThirtyBytes) {
    OpenOnRow(7);
    SaveAs("ab");
    EXPECT_EQ(LastMessage(), "Outfit name was too short");
    EXPECT_TRUE(savedSlots.empty());
    EXPECT_EQ(Label(7), "Saved Custom Outfit Seven");
    EXPECT_EQ(folder().Read(kOutfitFile), kRootOnly);
    SaveAs("abc");
    EXPECT_EQ(Label(7), "abc");
    OnSavedOutfitsRow(8);
    WardrobeFrame();
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    SaveAs(thirty);
    EXPECT_EQ(Label(8), thirty);
    EXPECT_EQ(savedSlots, (std::vector<std::int32_t>{7, 8}));
    EXPECT_NE(folder().Read(kOutfitFile).find("<Name>" + thirty + "</Name>"), std::string::npos);
}

TEST_F(WardrobeScene, NullResultAndCancelSaveNothing) {
    OpenOnRow(6);
    WardrobeFrameWith(kSaveControl);
    sim::NamingKeyboard().FinishNull();
    WardrobeFrame();
    EXPECT_EQ(LastMessage(), "Outfit name was null");
    EXPECT_FALSE(wardrobe.naming);
    EXPECT_EQ(calls[8], "text-null native null");
    game().ClearNotifications();
    WardrobeFrameWith(kSaveControl);
    sim::NamingKeyboard().Cancel();
    WardrobeFrame();
    EXPECT_FALSE(wardrobe.naming);
    EXPECT_EQ(wardrobe.keyboardStatus, -1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(folder().Read(kOutfitFile), kRootOnly);
    EXPECT_TRUE(savedSlots.empty());
}

TEST_F(WardrobeScene, MenuClosedWhileTypingStillSavesToTheRowBeingNamed) {
    OpenOnRow(9);
    WardrobeFrameWith(kSaveControl);
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    EXPECT_FALSE(menu().isOpen);
    EXPECT_TRUE(wardrobe.naming);
    menu().currentOption = 0;  // the cursor went elsewhere meanwhile
    WardrobeFrame();
    EXPECT_EQ(calls[4], "keyboard-status native");
    sim::NamingKeyboard().Finish("Closed Menu");
    WardrobeFrame();
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");
    EXPECT_EQ(Label(9), "Closed Menu");
    EXPECT_EQ(Label(0), "Saved Custom Outfit One");
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{9});
    EXPECT_NE(folder().Read(kOutfitFile).find("<Slot>9</Slot>"), std::string::npos);
}

// The menu's update runs before the wardrobe's, so the cursor may already
// have moved when the prompt completes: the row the prompt showed counts.
TEST_F(WardrobeScene, PromptActsOnTheRowItShowed) {
    OpenOnRow(6);
    sim::Controls().Press(kDown);
    WardrobeFrameWith(kSaveControl);
    EXPECT_EQ(menu().currentOption, 7);
    EXPECT_EQ(sim::NamingKeyboard().InitialText(), "Saved Custom Outfit Six");
    sim::NamingKeyboard().Finish("Sixth");
    WardrobeFrame();
    EXPECT_EQ(Label(6), "Sixth");
    EXPECT_EQ(Label(7), "Saved Custom Outfit Seven");
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{6});

    // Delete on row 6 while the cursor moves to row 7 deletes row 6.
    menu().currentOption = 6;
    WardrobeFrame();
    sim::Controls().Press(kDown);
    WardrobeFrameWith(kSaveControl);
    EXPECT_EQ(LastMessage(), "Successfully deleted outfit");
    EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
    EXPECT_TRUE(savedSlots.empty());

    // Up from row 6 lands on row 4 (past the heading); the prompt showed row 6 before.
    menu().currentOption = 6;
    WardrobeFrame();
    sim::Controls().Press(kUp);
    WardrobeFrameWith(kSaveControl);
    EXPECT_EQ(menu().currentOption, 4);
    EXPECT_EQ(sim::NamingKeyboard().InitialText(), "Saved Custom Outfit Six");
    sim::NamingKeyboard().Finish("Still six");
    WardrobeFrame();
    EXPECT_EQ(Label(6), "Still six");
    EXPECT_EQ(Label(4), "Saved Custom Outfit Five");
}

TEST_F(WardrobeScene, CompletionWhileNamingOrClosedIsIgnored) {
    OpenOnRow(6);
    WardrobeFrameWith(kSaveControl);
    const int opens = sim::NamingKeyboard().Opens();
    WardrobeFrameWith(kSaveControl);
    EXPECT_EQ(sim::NamingKeyboard().Opens(), opens);
    sim::NamingKeyboard().Finish("Once");
    WardrobeFrame();
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{6});

    // Closed with the menu key on the same frame as the completion: nothing happens.
    OnSavedOutfitsRow(7);
    WardrobeFrame();
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrameWith(kSaveControl);
    EXPECT_FALSE(menu().isOpen);
    EXPECT_EQ(sim::NamingKeyboard().Opens(), opens);
}

TEST_F(WardrobeScene, KeyboardTextIsCopiedWithACap) {
    OpenOnRow(6);
    WardrobeFrameWith(kSaveControl);
    // A keyboard that hands back more than it was asked for: 40 characters,
    // some of them two bytes long.
    std::string typed;
    for (int i = 0; i < 20; ++i) {
        typed += "a\xC3\xA9";
    }
    sim::NamingKeyboard().FinishRaw(typed);
    WardrobeFrame();
    EXPECT_EQ(Label(6), typed.substr(0, 45));  // 30 characters: 15 x "aé"
    EXPECT_EQ(wardrobe.enteredName, typed.substr(0, 45));
    // The game's text is gone on the next frame; the plug-in's copy is not.
    WardrobeFrame();
    EXPECT_TRUE(sim::NamingKeyboard().ResultReclaimed());
    EXPECT_EQ(wardrobe.enteredName, typed.substr(0, 45));

    std::string out;
    outfit_file::CopyCutName(std::string(500, '\x80').c_str(), out);
    EXPECT_EQ(out.size(), outfit_file::kMaxNameBytes);
    outfit_file::CopyCutName(nullptr, out);
    EXPECT_TRUE(out.empty());
}

}  // namespace
