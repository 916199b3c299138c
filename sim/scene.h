// The world around the wardrobe in the simulated game: scripted cameras, the
// script-camera switch, HUD contexts, screen effects, the box area and its
// companion, the scene natives, the controls-off/on natives and the light,
// which the game draws for one frame per call.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/character.h"

namespace sim {

class Game;

struct SimCamera {
    std::uint32_t nameHash = 0;
    bool active = false;
    Vec3 position;
    bool pointing = false;
    std::int32_t pointAtEntity = 0;
    Vec3 pointAtOffset;
};

struct BoxArea {
    Vec3 centre;
    Vec3 rotation;
    Vec3 size;
    std::vector<std::int32_t> setup;  // the six values after the area
    std::int32_t option = 0;
    int releases = 0;  // area-release natives received
};

struct ScreenEffect {
    // What the effect-query native answers: loaded by effect native A, no
    // longer once effect native C sets it to unload.
    bool loaded = false;
    bool playing = false;  // from effect native B until C or the stop-all (scene-open) native
    int plays = 0;
    int stops = 0;
};

struct LightDraw {
    std::uint64_t frame = 0;
    Vec3 position;
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    float range = 0.0f;
    float intensity = 0.0f;
};

class SceneState {
  public:
    // --- Cameras ---------------------------------------------------------------
    const std::map<std::int32_t, SimCamera>& Cameras() const { return cameras_; }
    bool CameraExists(std::int32_t handle) const { return cameras_.count(handle) != 0; }
    const SimCamera* Camera(std::int32_t handle) const;
    // The last value given to the script-camera-render native: the game shows
    // the scripted camera while it is on.
    bool ScriptCameraRendering() const { return scriptCameraRendering_; }
    int CamerasCreated() const { return camerasCreated_; }

    // --- HUD contexts and effects -----------------------------------------------------
    const std::set<std::uint32_t>& HudContexts() const { return hudContexts_; }
    bool HudContextOn(const std::string& name) const;
    const ScreenEffect& Effect(const std::string& name) { return effects_[name]; }
    int SceneOpens() const { return sceneOpens_; }
    // Frames on which both scene-frame natives ran.
    int SceneFrames() const { return sceneFrames_; }

    // --- Area and companion -------------------------------------------------------------
    const std::map<std::int32_t, BoxArea>& Areas() const { return areas_; }
    const std::set<std::int32_t>& Companions() const { return companions_; }
    int AreasCreated() const { return areasCreated_; }

    // --- Controls -------------------------------------------------------------------------
    // Whether the controls-off native ran on this frame, and which controls were
    // turned back on after it.
    bool ControlsOffInFrame(std::uint64_t frame) const;
    std::vector<std::uint32_t> ControlsOnInFrame(std::uint64_t frame) const;

    // --- The light --------------------------------------------------------------------------
    const std::vector<LightDraw>& Lights() const { return lights_; }
    std::vector<LightDraw> LightsInFrame(std::uint64_t frame) const;

  private:
    friend struct SceneNatives;  // the natives' handlers (scene.cpp)

    std::map<std::int32_t, SimCamera> cameras_;
    std::int32_t nextCamera_ = 0x3E01;
    int camerasCreated_ = 0;
    bool scriptCameraRendering_ = false;
    std::set<std::uint32_t> hudContexts_;
    std::map<std::string, ScreenEffect> effects_;
    int sceneOpens_ = 0;
    int sceneFrames_ = 0;
    std::map<std::int32_t, BoxArea> areas_;
    std::int32_t nextArea_ = 0x5A01;
    int areasCreated_ = 0;
    std::set<std::int32_t> companions_;
    std::map<std::int32_t, std::int32_t> companionOfArea_;
    std::int32_t nextCompanion_ = 0x6C01;
    std::map<std::uint64_t, std::vector<std::uint32_t>> controlsOn_;  // by frame with controls off
    std::vector<LightDraw> lights_;
};

// The scene state of the simulated game; reset with the game.
SceneState& Scene();

void RegisterSceneNatives(Game& game);

}  // namespace sim
