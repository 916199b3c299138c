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
#include <optional>

#include "sim/observation.h"
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
        return {"HUD::_UI_PROMPT_IS_VALID " + save,
                "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED " + save + ",0",
                "HUD::_UI_PROMPT_SET_VISIBLE " + save + ",0",
                "HUD::_UI_PROMPT_SET_ENABLED " + save + ",0"};
    }
    std::vector<std::string> PromptText(const char* text) {
        return {"MISC::VAR_STRING 10,'LITERAL_STRING','" + std::string(text) + "'",
                "HUD::_UI_PROMPT_SET_TEXT " + save + ",ptr"};
    }
    std::vector<std::string> CharacterCheck() {
        return {"PLAYER::PLAYER_PED_ID", "ENTITY::IS_ENTITY_DEAD " + me};
    }
    // What the scene blocks in the area it has just made, and how it lets it go.
    static std::vector<std::string> AreaBlocking(const std::string& area) {
        return {"POPULATION::_ADD_AMBIENT_AVOIDANCE_RESTRICTION " + area +
                    ",10208,8192,0,4294967295,4294967295,0",
                "PATHFIND::_ADD_NAVMESH_BLOCKING_VOLUME " + area + ",7",
                "PED::_ADD_SCENARIO_BLOCKING_VOLUME " + area + ",0,7"};
    }
    static std::vector<std::string> AreaRemoval(const std::string& area,
                                                const std::string& companion) {
        return {"VOLUME::DOES_VOLUME_EXIST " + area,
                "POPULATION::_REMOVE_AMBIENT_AVOIDANCE_RESTRICTION " + area,
                "PATHFIND::_REMOVE_NAVMESH_BLOCKING_VOLUME " + area,
                "PED::REMOVE_SCENARIO_BLOCKING_AREA " + companion + ",0",
                "VOLUME::DELETE_VOLUME " + area};
    }
    // "controls-on" stands for the six menu controls turned back on, in order.
    static void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
        for (const std::string& line : more) {
            if (line != "controls-on") {
                to.push_back(line);
                continue;
            }
            for (std::uint32_t control : game_controls::kMenuNavigation) {
                to.push_back("PAD::ENABLE_CONTROL_ACTION 0," + std::to_string(control) + ",0");
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
    Append(expected, {"PLAYER::PLAYER_PED_ID", "ENTITY::GET_ENTITY_COORDS " + me + ",1,1",
                      "VOLUME::DOES_VOLUME_EXIST 0", "PED::_IS_SCENARIO_BLOCKING_AREA_VALID 0",
                      "VOLUME::CREATE_VOLUME_SPHERE 10,20,30,0,0,0,15,15,15"});
    const std::string area = std::to_string(AreaHandle());
    Append(expected, AreaBlocking(area));
    Append(expected, {"CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE",
                      "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME"});
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
    Append(expected, {"CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE",
                      "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME"});
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
    Append(expected, {"CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE",
                      "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, AreaRemoval(area, companion));
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
    Append(expected,
           {"PLAYER::PLAYER_PED_ID",
            "ENTITY::GET_ENTITY_COORDS " + me + ",1,1",
            "GRAPHICS::ANIMPOSTFX_STOP_ALL",
            "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
            "GRAPHICS::_ANIMPOSTFX_PRELOAD_POSTFX 'CamTransition01'",
            "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
            "GRAPHICS::ANIMPOSTFX_PLAY 'CamTransition01'",
            "CAM::DOES_CAM_EXIST 0",
            "MISC::GET_HASH_KEY 'default_scripted_camera'",
            "CAM::CREATE_CAMERA " + std::to_string(sim::NameHash("default_scripted_camera")) + ",1",
            "CAM::SET_CAM_ACTIVE " + cam + ",1",
            "CAM::RENDER_SCRIPT_CAMS 1,0,3000,1,0,1",
            "MISC::GET_HASH_KEY 'HUD_CTX_IN_CAMP_WARDROBE'",
            "HUD::_ENABLE_HUD_CONTEXT " + std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
            "PLAYER::PLAYER_PED_ID",
            "TASK::CLEAR_PED_TASKS_IMMEDIATELY " + me + ",0,1",
            "PLAYER::PLAYER_PED_ID",
            "ENTITY::PLACE_ENTITY_ON_GROUND_PROPERLY " + me + ",0",
            "PLAYER::PLAYER_PED_ID",
            "ENTITY::FREEZE_ENTITY_POSITION " + me + ",1",
            "PLAYER::PLAYER_ID",
            "PLAYER::SET_EVERYONE_IGNORE_PLAYER " + player + ",1",
            "PLAYER::PLAYER_ID",
            "PLAYER::SET_PLAYER_INVINCIBLE " + player + ",1",
            "PLAYER::PLAYER_PED_ID",
            "PLAYER::PLAYER_PED_ID",
            "PED::CLONE_PED_TO_TARGET " + me + "," + me,
            "PLAYER::PLAYER_PED_ID",
            "ENTITY::GET_ENTITY_COORDS " + me + ",1,1",
            "PLAYER::PLAYER_PED_ID",
            "ENTITY::GET_ENTITY_FORWARD_VECTOR " + me,
            "CAM::SET_CAM_COORD " + cam + "," + Ahead(kReal, 0.5f),
            "PLAYER::PLAYER_PED_ID",
            "CAM::POINT_CAM_AT_ENTITY " + cam + "," + me + ",0,-0.300000012,0,1",
            "VOLUME::DOES_VOLUME_EXIST 0",
            "PED::_IS_SCENARIO_BLOCKING_AREA_VALID 0",
            "VOLUME::CREATE_VOLUME_SPHERE " + Ahead(kReal) + ",0,0,0,15,15,15"});
    const std::string area = std::to_string(AreaHandle());
    Append(expected, AreaBlocking(area));
    Append(expected, {"CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE",
                      "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME",
                      "PAD::DISABLE_ALL_CONTROL_ACTIONS 0", "controls-on"});
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
    Append(expected, {"CAM::DISABLE_ON_FOOT_FIRST_PERSON_VIEW_THIS_UPDATE",
                      "CAM::_FORCE_THIRD_PERSON_CAM_THIS_FRAME",
                      "PAD::DISABLE_ALL_CONTROL_ACTIONS 0", "controls-on"});
    Append(expected, PromptText("Save Outfit"));
    Append(expected, {"CAM::DOES_CAM_EXIST " + cam,
                      "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
                      "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
                      "GRAPHICS::ANIMPOSTFX_PLAY 'CamTransition01'",
                      "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
                      "GRAPHICS::_ANIMPOSTFX_SET_TO_UNLOAD 'CamTransition01'",
                      "CAM::DOES_CAM_EXIST " + cam,
                      "CAM::SET_CAM_ACTIVE " + cam + ",0",
                      "CAM::RENDER_SCRIPT_CAMS 0,0,3000,1,0,1",
                      "CAM::DESTROY_CAM " + cam + ",1",
                      "MISC::GET_HASH_KEY 'HUD_CTX_IN_CAMP_WARDROBE'",
                      "HUD::_DISABLE_HUD_CONTEXT " +
                          std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
                      "PLAYER::PLAYER_PED_ID",
                      "TASK::CLEAR_PED_TASKS_IMMEDIATELY " + me + ",0,1",
                      "PLAYER::PLAYER_PED_ID",
                      "ENTITY::PLACE_ENTITY_ON_GROUND_PROPERLY " + me + ",0",
                      "PLAYER::PLAYER_PED_ID",
                      "ENTITY::FREEZE_ENTITY_POSITION " + me + ",0",
                      "PLAYER::PLAYER_PED_ID",
                      "PED::FORCE_PED_AI_AND_ANIMATION_UPDATE " + me + ",0,0",
                      "PLAYER::PLAYER_ID",
                      "PLAYER::SET_EVERYONE_IGNORE_PLAYER " + player + ",0",
                      "PLAYER::PLAYER_ID",
                      "PLAYER::SET_PLAYER_INVINCIBLE " + player + ",0"});
    Append(expected, AreaRemoval(area, companion));
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
    EXPECT_EQ(std::count(calls.begin(), calls.end(),
                         "GRAPHICS::_ANIMPOSTFX_PRELOAD_POSTFX 'CamTransition01'"),
              1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GRAPHICS::ANIMPOSTFX_PLAY 'CamTransition01'"),
              1);
}

TEST_F(WardrobeScene, ForcedCloseWithCameraLeavesTheAreaUntilTheNextOpening) {
    useCamera = true;
    OpenMenu();
    // The player sees through the camera the wardrobe made, ahead of the character.
    const sim::CameraView seen = sim::Observe().camera;
    EXPECT_TRUE(seen.On());
    EXPECT_TRUE(seen.rendering);
    ASSERT_TRUE(seen.position);
    EXPECT_EQ(seen.position->x, sim::Scene().Camera(wardrobe.wardrobeCamera)->position.x);
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
            "PLAYER::PLAYER_PED_ID", "ENTITY::IS_ENTITY_DEAD " + me, "CAM::DOES_CAM_EXIST " + cam,
            "GRAPHICS::_ANIMPOSTFX_HAS_LOADED 'CamTransition01'",
            "GRAPHICS::_ANIMPOSTFX_SET_TO_UNLOAD 'CamTransition01'", "CAM::DOES_CAM_EXIST " + cam,
            "CAM::SET_CAM_ACTIVE " + cam + ",0", "CAM::RENDER_SCRIPT_CAMS 0,0,3000,1,0,1",
            "CAM::DESTROY_CAM " + cam + ",1", "MISC::GET_HASH_KEY 'HUD_CTX_IN_CAMP_WARDROBE'",
            "HUD::_DISABLE_HUD_CONTEXT " +
                std::to_string(sim::NameHash("HUD_CTX_IN_CAMP_WARDROBE")),
            "PLAYER::PLAYER_ID", "PLAYER::SET_EVERYONE_IGNORE_PLAYER " + player + ",0",
            "PLAYER::PLAYER_ID", "PLAYER::SET_PLAYER_INVINCIBLE " + player + ",0",
            "PLAYER::PLAYER_PED_ID"}));
    EXPECT_EQ(calls.back(), "ENTITY::FREEZE_ENTITY_POSITION " + me + ",0");
    EXPECT_EQ(sim::Scene().Areas().count(area), 1u);
    EXPECT_TRUE(sim::Scene().Cameras().empty());
    EXPECT_EQ(sim::Observe().camera, sim::CameraView{});

    // The next opening takes the old area down first.
    sim::Character().SetCharacterCheck(false);
    OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
    WardrobeFrame();
    EXPECT_NE(
        std::find(calls.begin(), calls.end(), "VOLUME::DELETE_VOLUME " + std::to_string(area)),
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
    EXPECT_EQ(tail,
              (std::vector<std::string>{"PLAYER::PLAYER_PED_ID", "ENTITY::IS_ENTITY_DEAD " + me,
                                        "VOLUME::DOES_VOLUME_EXIST " + area,
                                        "POPULATION::_REMOVE_AMBIENT_AVOIDANCE_RESTRICTION " + area,
                                        "PATHFIND::_REMOVE_NAVMESH_BLOCKING_VOLUME " + area,
                                        "PED::REMOVE_SCENARIO_BLOCKING_AREA " +
                                            std::to_string(wardrobe.areaCompanion) + ",0"}));
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
    EXPECT_EQ(sim::Observe().light, std::optional<sim::Vec3>(lights[0].position));
    std::vector<std::string> tail(calls.end() - 5, calls.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{
                  "PLAYER::PLAYER_PED_ID", "ENTITY::GET_ENTITY_COORDS " + me + ",1,0",
                  "PLAYER::PLAYER_PED_ID", "ENTITY::GET_ENTITY_FORWARD_VECTOR " + me,
                  "GRAPHICS::DRAW_LIGHT_WITH_RANGE " + Ahead(kDrawn) + ",255,255,255,5,2.5"}));
    WardrobeFrame();
    EXPECT_EQ(sim::Scene().LightsInFrame(game().FrameNumber()).size(), 1u);
    drawLight = false;
    WardrobeFrame();
    EXPECT_TRUE(sim::Scene().LightsInFrame(game().FrameNumber()).empty());
    EXPECT_FALSE(sim::Observe().light);
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
        EXPECT_EQ(calls[calls.size() - 1 - 6], "HUD::_UI_PROMPT_SET_ENABLED " + save + "," + on)
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
    EXPECT_EQ(calls[0], "HUD::_UI_PROMPT_IS_VALID " + save);
    EXPECT_EQ(calls[1], "HUD::_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED " + save + ",0");
    EXPECT_EQ(calls[2], "HUD::_UI_PROMPT_RESTART_MODES " + save);
    EXPECT_EQ(calls[3],
              "MISC::DISPLAY_ONSCREEN_KEYBOARD 0,'STABLE_RENAME_MOUNT_PROMPT','','Saved Custom "
              "Outfit Six','','','',30");
    // While typing the keyboard is polled and the game's controls are off.
    WardrobeFrame();
    EXPECT_EQ(calls[4], "MISC::UPDATE_ONSCREEN_KEYBOARD");
    EXPECT_EQ(calls[5], "PAD::DISABLE_ALL_CONTROL_ACTIONS 0");
    EXPECT_TRUE(wardrobe.naming);
    sim::NamingKeyboard().Finish("Abc");
    WardrobeFrame();
    EXPECT_FALSE(wardrobe.naming);
    EXPECT_EQ(wardrobe.keyboardStatus, -1);
    EXPECT_EQ(calls[4], "MISC::UPDATE_ONSCREEN_KEYBOARD");
    EXPECT_EQ(calls[5], "PAD::DISABLE_ALL_CONTROL_ACTIONS 0");
    EXPECT_EQ(calls[6], "MISC::GET_ONSCREEN_KEYBOARD_RESULT");
    EXPECT_EQ(calls[7], "MISC::CANCEL_ONSCREEN_KEYBOARD");
    EXPECT_EQ(calls[8], "MISC::IS_STRING_NULL_OR_EMPTY_OR_SPACES 'Abc'");
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");
    EXPECT_EQ(Label(6), "Abc");
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{6});
    // The prompt now offers to delete, and deleting needs no keyboard.
    EXPECT_EQ(calls[calls.size() - 3], "HUD::_UI_PROMPT_SET_TEXT " + save + ",ptr");
    EXPECT_EQ(calls[calls.size() - 4], "MISC::VAR_STRING 10,'LITERAL_STRING','Delete Outfit'");
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
    EXPECT_EQ(calls[8], "MISC::IS_STRING_NULL_OR_EMPTY_OR_SPACES null");
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
    EXPECT_EQ(calls[4], "MISC::UPDATE_ONSCREEN_KEYBOARD");
    sim::NamingKeyboard().Finish("Closed Menu");
    WardrobeFrame();
    EXPECT_EQ(LastMessage(), "Successfully saved outfit");
    EXPECT_EQ(Label(9), "Closed Menu");
    EXPECT_EQ(Label(0), "Saved Custom Outfit One");
    EXPECT_EQ(savedSlots, std::vector<std::int32_t>{9});
    EXPECT_NE(folder().Read(kOutfitFile).find("<Slot>9</Slot>"), std::string::npos);
}

// The menu's update runs before the wardrobe's, so the cursor may already
// have moved when the prompt completes: the row the prompt showed counts,
// for a save and for a delete alike.
TEST_F(WardrobeScene, PromptActsOnTheRowItShowed) {
    struct Move {
        std::uint32_t control;
        std::int32_t landsOn;  // up from row 6 passes the heading
        const char* landedLabel;
    };
    const Move moves[] = {{kDown, 7, "Saved Custom Outfit Seven"},
                          {kUp, 4, "Saved Custom Outfit Five"}};
    OpenOnRow(6);
    const auto completeWhileLeavingRowSix = [&](std::uint32_t control) {
        menu().currentOption = 6;
        WardrobeFrame();
        sim::Controls().Press(control);
        WardrobeFrameWith(kSaveControl);
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.landedLabel);
        completeWhileLeavingRowSix(move.control);
        EXPECT_EQ(menu().currentOption, move.landsOn);
        EXPECT_EQ(sim::NamingKeyboard().InitialText(), "Saved Custom Outfit Six");
        sim::NamingKeyboard().Finish("Sixth");
        WardrobeFrame();
        EXPECT_EQ(Label(6), "Sixth");
        EXPECT_EQ(Label(move.landsOn), move.landedLabel);
        EXPECT_EQ(savedSlots, std::vector<std::int32_t>{6});

        completeWhileLeavingRowSix(move.control);
        EXPECT_EQ(LastMessage(), "Successfully deleted outfit");
        EXPECT_EQ(Label(6), "Saved Custom Outfit Six");
        EXPECT_TRUE(savedSlots.empty());
    }
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
