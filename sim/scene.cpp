#include "sim/scene.h"

#include "host/native_hashes.h"
#include "sim/controls.h"
#include "sim/game.h"

namespace sim {

namespace {

using game_natives::kAreaCompanionNative;
using game_natives::kAreaExistsNative;
using game_natives::kAreaOptionNative;
using game_natives::kAreaSetupNative;
using game_natives::kBoxAreaNative;
using game_natives::kCameraActiveNative;
using game_natives::kCameraExistsNative;
using game_natives::kCameraPointAtNative;
using game_natives::kCameraPositionNative;
using game_natives::kCompanionExistsNative;
using game_natives::kCompanionRemoveNative;
using game_natives::kControlOnNative;
using game_natives::kControlsOffNative;
using game_natives::kCreateCameraNative;
using game_natives::kDeleteAreaNative;
using game_natives::kDestroyCameraNative;
using game_natives::kDrawLightNative;
using game_natives::kEffectNativeA;
using game_natives::kEffectNativeB;
using game_natives::kEffectNativeC;
using game_natives::kEffectQueryNative;
using game_natives::kFirstAreaReleaseNative;
using game_natives::kFirstSceneFrameNative;
using game_natives::kHudContextOffNative;
using game_natives::kHudContextOnNative;
using game_natives::kSceneOpenNative;
using game_natives::kScriptCameraRenderNative;
using game_natives::kSecondAreaReleaseNative;
using game_natives::kSecondSceneFrameNative;

Vec3 VectorAt(NativeCall& call, std::size_t first) {
    return Vec3{call.Float(first), call.Float(first + 1), call.Float(first + 2)};
}

}  // namespace

const SimCamera* SceneState::Camera(std::int32_t handle) const {
    auto found = cameras_.find(handle);
    return found == cameras_.end() ? nullptr : &found->second;
}

bool SceneState::HudContextOn(const std::string& name) const {
    return hudContexts_.count(NameHash(name)) != 0;
}

bool SceneState::ControlsOffInFrame(std::uint64_t frame) const {
    return controlsOn_.count(frame) != 0;
}

std::vector<std::uint32_t> SceneState::ControlsOnInFrame(std::uint64_t frame) const {
    auto found = controlsOn_.find(frame);
    return found == controlsOn_.end() ? std::vector<std::uint32_t>{} : found->second;
}

std::vector<LightDraw> SceneState::LightsInFrame(std::uint64_t frame) const {
    std::vector<LightDraw> drawn;
    for (const LightDraw& light : lights_) {
        if (light.frame == frame) {
            drawn.push_back(light);
        }
    }
    return drawn;
}

SceneState& Scene() {
    static SceneState state;
    return state;
}

// The scene natives' handlers, each acting on the scene state (whose
// insides they may touch).
struct SceneNatives {
    using Handler = void (*)(Game& game, NativeCall& call);

    static SimCamera* FindCamera(std::int32_t handle) {
        auto found = Scene().cameras_.find(handle);
        return found == Scene().cameras_.end() ? nullptr : &found->second;
    }
    static BoxArea* FindArea(std::int32_t handle) {
        auto found = Scene().areas_.find(handle);
        return found == Scene().areas_.end() ? nullptr : &found->second;
    }
    static ScreenEffect& EffectNamed(NativeCall& call) {
        return Scene().effects_[call.Text(0).value_or("")];
    }

    // --- Cameras ---
    static void CameraExists(Game&, NativeCall& call) {
        call.ReturnBool(Scene().CameraExists(call.Int(0)));
    }
    static void CreateCamera(Game&, NativeCall& call) {
        SceneState& scene = Scene();
        const std::int32_t handle = scene.nextCamera_++;
        SimCamera camera;
        camera.nameHash = call.Uint(0);
        scene.cameras_[handle] = camera;
        ++scene.camerasCreated_;
        call.ReturnInt(handle);
    }
    static void CameraActive(Game&, NativeCall& call) {
        if (SimCamera* camera = FindCamera(call.Int(0))) {
            camera->active = call.Bool(1);
        }
    }
    static void ScriptCameraRender(Game&, NativeCall& call) {
        Scene().scriptCameraRendering_ = call.Bool(0);
    }
    static void DestroyCamera(Game&, NativeCall& call) { Scene().cameras_.erase(call.Int(0)); }
    static void CameraPosition(Game&, NativeCall& call) {
        if (SimCamera* camera = FindCamera(call.Int(0))) {
            camera->position = VectorAt(call, 1);
        }
    }
    static void CameraPointAt(Game&, NativeCall& call) {
        SimCamera* camera = FindCamera(call.Int(0));
        if (camera != nullptr && Character().TakesCharacter(kCameraPointAtNative, call, 1)) {
            camera->pointing = true;
            camera->pointAtEntity = call.Int(1);
            camera->pointAtOffset = VectorAt(call, 2);
        }
    }

    // --- HUD contexts, effects, scene ---
    static void HudContextOn(Game&, NativeCall& call) { Scene().hudContexts_.insert(call.Uint(0)); }
    static void HudContextOff(Game&, NativeCall& call) { Scene().hudContexts_.erase(call.Uint(0)); }
    // The query asks whether the named effect has loaded: from its preload
    // until it is set to unload. Playing and stopping leave it loaded.
    static void EffectQuery(Game&, NativeCall& call) { call.ReturnBool(EffectNamed(call).loaded); }
    static void EffectPreload(Game&, NativeCall& call) { EffectNamed(call).loaded = true; }
    static void EffectPlay(Game&, NativeCall& call) {
        ScreenEffect& effect = EffectNamed(call);
        if (effect.loaded) {
            effect.playing = true;
            ++effect.plays;
        }
    }
    static void EffectStop(Game&, NativeCall& call) {
        ScreenEffect& effect = EffectNamed(call);
        effect.loaded = false;
        effect.playing = false;
        ++effect.stops;
    }
    // Stops every effect that plays; what is loaded stays loaded.
    static void SceneOpen(Game&, NativeCall&) {
        SceneState& scene = Scene();
        ++scene.sceneOpens_;
        for (auto& [name, effect] : scene.effects_) {
            effect.playing = false;
        }
    }
    static void SceneFrame(Game&, NativeCall&) { ++Scene().sceneFrames_; }

    // --- Area and companion ---
    static void BoxAreaCreate(Game&, NativeCall& call) {
        SceneState& scene = Scene();
        const std::int32_t handle = scene.nextArea_++;
        BoxArea area;
        area.centre = VectorAt(call, 0);
        area.rotation = VectorAt(call, 3);
        area.size = VectorAt(call, 6);
        scene.areas_[handle] = area;
        ++scene.areasCreated_;
        call.ReturnInt(handle);
    }
    static void AreaExists(Game&, NativeCall& call) {
        call.ReturnBool(Scene().areas_.count(call.Int(0)) != 0);
    }
    static void AreaSetup(Game&, NativeCall& call) {
        if (BoxArea* area = FindArea(call.Int(0))) {
            area->setup.clear();
            for (std::size_t i = 1; i < 7; ++i) {
                area->setup.push_back(call.Int(i));
            }
        }
    }
    static void AreaOption(Game&, NativeCall& call) {
        if (BoxArea* area = FindArea(call.Int(0))) {
            area->option = call.Int(1);
        }
    }
    static void AreaCompanion(Game&, NativeCall& call) {
        SceneState& scene = Scene();
        if (scene.areas_.count(call.Int(0)) == 0) {
            call.ReturnInt(0);
            return;
        }
        const std::int32_t handle = scene.nextCompanion_++;
        scene.companions_.insert(handle);
        scene.companionOfArea_[handle] = call.Int(0);
        call.ReturnInt(handle);
    }
    static void CompanionExists(Game&, NativeCall& call) {
        call.ReturnBool(Scene().companions_.count(call.Int(0)) != 0);
    }
    static void CompanionRemove(Game&, NativeCall& call) {
        Scene().companions_.erase(call.Int(0));
        Scene().companionOfArea_.erase(call.Int(0));
    }
    static void AreaRelease(Game&, NativeCall& call) {
        if (BoxArea* area = FindArea(call.Int(0))) {
            ++area->releases;
        }
    }
    static void DeleteArea(Game&, NativeCall& call) { Scene().areas_.erase(call.Int(0)); }

    // --- Controls and light ---
    static void ControlsOff(Game& game, NativeCall&) {
        Scene().controlsOn_[game.FrameNumber()];
        Controls().DisableAll();
    }
    static void ControlOn(Game& game, NativeCall& call) {
        auto found = Scene().controlsOn_.find(game.FrameNumber());
        if (found != Scene().controlsOn_.end()) {
            found->second.push_back(call.Uint(1));
        }
        Controls().Enable(call.Uint(1));
    }
    static void DrawLight(Game& game, NativeCall& call) {
        LightDraw light;
        light.frame = game.FrameNumber();
        light.position = VectorAt(call, 0);
        light.red = call.Int(3);
        light.green = call.Int(4);
        light.blue = call.Int(5);
        light.range = call.Float(6);
        light.intensity = call.Float(7);
        Scene().lights_.push_back(light);
    }
};

namespace {

struct SceneNative {
    NativeId native;
    SceneNatives::Handler handler;  // null: does nothing, answers zeros
};

constexpr SceneNative kSceneNatives[] = {
    {kCameraExistsNative, SceneNatives::CameraExists},
    {kCreateCameraNative, SceneNatives::CreateCamera},
    {kCameraActiveNative, SceneNatives::CameraActive},
    {kScriptCameraRenderNative, SceneNatives::ScriptCameraRender},
    {kDestroyCameraNative, SceneNatives::DestroyCamera},
    {kCameraPositionNative, SceneNatives::CameraPosition},
    {kCameraPointAtNative, SceneNatives::CameraPointAt},
    {kHudContextOnNative, SceneNatives::HudContextOn},
    {kHudContextOffNative, SceneNatives::HudContextOff},
    {kEffectQueryNative, SceneNatives::EffectQuery},
    {kEffectNativeA, SceneNatives::EffectPreload},
    {kEffectNativeB, SceneNatives::EffectPlay},
    {kEffectNativeC, SceneNatives::EffectStop},
    {kSceneOpenNative, SceneNatives::SceneOpen},
    {kFirstSceneFrameNative, nullptr},
    {kSecondSceneFrameNative, SceneNatives::SceneFrame},
    {kBoxAreaNative, SceneNatives::BoxAreaCreate},
    {kAreaExistsNative, SceneNatives::AreaExists},
    {kAreaSetupNative, SceneNatives::AreaSetup},
    {kAreaOptionNative, SceneNatives::AreaOption},
    {kAreaCompanionNative, SceneNatives::AreaCompanion},
    {kCompanionExistsNative, SceneNatives::CompanionExists},
    {kCompanionRemoveNative, SceneNatives::CompanionRemove},
    {kFirstAreaReleaseNative, SceneNatives::AreaRelease},
    {kSecondAreaReleaseNative, SceneNatives::AreaRelease},
    {kDeleteAreaNative, SceneNatives::DeleteArea},
    {kControlsOffNative, SceneNatives::ControlsOff},
    {kControlOnNative, SceneNatives::ControlOn},
    {kDrawLightNative, SceneNatives::DrawLight},
};

}  // namespace

void RegisterSceneNatives(Game& game) {
    Scene() = SceneState();
    for (const SceneNative& native : kSceneNatives) {
        NativeHandler handler;
        if (native.handler != nullptr) {
            handler = [&game, act = native.handler](NativeCall& call) { act(game, call); };
        }
        game.RegisterNative(native.native, std::move(handler));
    }
}

}  // namespace sim
