#include "sim/scene.h"

#include "sim/controls.h"
#include "sim/game.h"

namespace sim {

namespace {

constexpr std::uint64_t kCameraExistsNative = 0x153AD457764FD704;
constexpr std::uint64_t kCreateCameraNative = 0x57CDF879EA466C46;
constexpr std::uint64_t kCameraActiveNative = 0x87295BCA613800C8;
constexpr std::uint64_t kScriptCameraRenderNative = 0x33281167E4942E4F;
constexpr std::uint64_t kDestroyCameraNative = 0x4E67E0B6D7FD5145;
constexpr std::uint64_t kCameraPositionNative = 0xF9EE7D419EE49DE6;
constexpr std::uint64_t kCameraPointAtNative = 0xFC2867E6074D3A61;
constexpr std::uint64_t kHudContextOnNative = 0x4CC5F2FC1332577F;
constexpr std::uint64_t kHudContextOffNative = 0x8BC7C1F929D07BF3;
constexpr std::uint64_t kEffectQueryNative = 0xBF2DD155B2ADCD0A;
constexpr std::uint64_t kEffectNativeA = 0x5199405EABFBD7F0;
constexpr std::uint64_t kEffectNativeB = 0x4102732DF6B4005F;
constexpr std::uint64_t kEffectNativeC = 0x37D7BDBA89F13959;
constexpr std::uint64_t kSceneOpenNative = 0x66560A0D4C64FD21;
constexpr std::uint64_t kBoxAreaNative = 0xB3FB80A32BAE3065;
constexpr std::uint64_t kAreaExistsNative = 0x92A78D0BEDB332A3;
constexpr std::uint64_t kAreaSetupNative = 0xB56D41A694E42E86;
constexpr std::uint64_t kAreaOptionNative = 0x19C7567D2F2287D6;
constexpr std::uint64_t kAreaCompanionNative = 0x4C39C95AE5DB1329;
constexpr std::uint64_t kCompanionExistsNative = 0x91A5F9CBEBB9D936;
constexpr std::uint64_t kCompanionRemoveNative = 0x31D16B74C6E29D66;
constexpr std::uint64_t kAreaReleaseNativeA = 0x74C2B3DC0B294102;
constexpr std::uint64_t kAreaReleaseNativeB = 0x2C87C3E1C7B96EE2;
constexpr std::uint64_t kDeleteAreaNative = 0x43F867EF5C463A53;
constexpr std::uint64_t kSceneFrameNativeA = 0x9C473089A934C930;
constexpr std::uint64_t kSceneFrameNativeB = 0x8370D34BD2E60B73;
constexpr std::uint64_t kControlsOffNative = 0x5F4B6931816E599B;
constexpr std::uint64_t kControlOnNative = 0x351220255D64C155;
constexpr std::uint64_t kDrawLightNative = 0xD2D9E04C0DF927F4;

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

void RegisterSceneNatives(Game& game) {
    Scene() = SceneState();

    // --- Cameras ---
    game.RegisterNative(kCameraExistsNative, [](NativeCall& call) {
        call.ReturnBool(Scene().CameraExists(call.Int(0)));
    });
    game.RegisterNative(kCreateCameraNative, [](NativeCall& call) {
        SceneState& scene = Scene();
        const std::int32_t handle = scene.nextCamera_++;
        SimCamera camera;
        camera.nameHash = call.Uint(0);
        scene.cameras_[handle] = camera;
        ++scene.camerasCreated_;
        call.ReturnInt(handle);
    });
    game.RegisterNative(kCameraActiveNative, [](NativeCall& call) {
        auto found = Scene().cameras_.find(call.Int(0));
        if (found != Scene().cameras_.end()) {
            found->second.active = call.Bool(1);
        }
    });
    game.RegisterNative(kScriptCameraRenderNative,
                        [](NativeCall& call) { Scene().scriptCameraRendering_ = call.Bool(0); });
    game.RegisterNative(kDestroyCameraNative,
                        [](NativeCall& call) { Scene().cameras_.erase(call.Int(0)); });
    game.RegisterNative(kCameraPositionNative, [](NativeCall& call) {
        auto found = Scene().cameras_.find(call.Int(0));
        if (found != Scene().cameras_.end()) {
            found->second.position = VectorAt(call, 1);
        }
    });
    game.RegisterNative(kCameraPointAtNative, [](NativeCall& call) {
        auto found = Scene().cameras_.find(call.Int(0));
        if (found != Scene().cameras_.end() &&
            Character().TakesCharacter(kCameraPointAtNative, call, 1)) {
            found->second.pointing = true;
            found->second.pointAtEntity = call.Int(1);
            found->second.pointAtOffset = VectorAt(call, 2);
        }
    });

    // --- HUD contexts, effects, scene ---
    game.RegisterNative(kHudContextOnNative,
                        [](NativeCall& call) { Scene().hudContexts_.insert(call.Uint(0)); });
    game.RegisterNative(kHudContextOffNative,
                        [](NativeCall& call) { Scene().hudContexts_.erase(call.Uint(0)); });
    // The query asks whether the named effect has loaded: from its preload
    // until it is set to unload. Playing and stopping leave it loaded.
    game.RegisterNative(kEffectQueryNative, [](NativeCall& call) {
        call.ReturnBool(Scene().effects_[call.Text(0).value_or("")].loaded);
    });
    game.RegisterNative(kEffectNativeA, [](NativeCall& call) {
        Scene().effects_[call.Text(0).value_or("")].loaded = true;
    });
    game.RegisterNative(kEffectNativeB, [](NativeCall& call) {
        ScreenEffect& effect = Scene().effects_[call.Text(0).value_or("")];
        if (effect.loaded) {
            effect.playing = true;
            ++effect.plays;
        }
    });
    game.RegisterNative(kEffectNativeC, [](NativeCall& call) {
        ScreenEffect& effect = Scene().effects_[call.Text(0).value_or("")];
        effect.loaded = false;
        effect.playing = false;
        ++effect.stops;
    });
    game.RegisterNative(kSceneOpenNative, [](NativeCall&) {
        // Stops every effect that plays; what is loaded stays loaded.
        SceneState& scene = Scene();
        ++scene.sceneOpens_;
        for (auto& [name, effect] : scene.effects_) {
            effect.playing = false;
        }
    });
    game.RegisterNative(kSceneFrameNativeA, nullptr);
    game.RegisterNative(kSceneFrameNativeB, [](NativeCall&) { ++Scene().sceneFrames_; });

    // --- Area and companion ---
    game.RegisterNative(kBoxAreaNative, [](NativeCall& call) {
        SceneState& scene = Scene();
        const std::int32_t handle = scene.nextArea_++;
        BoxArea area;
        area.centre = VectorAt(call, 0);
        area.rotation = VectorAt(call, 3);
        area.size = VectorAt(call, 6);
        scene.areas_[handle] = area;
        ++scene.areasCreated_;
        call.ReturnInt(handle);
    });
    game.RegisterNative(kAreaExistsNative, [](NativeCall& call) {
        call.ReturnBool(Scene().areas_.count(call.Int(0)) != 0);
    });
    game.RegisterNative(kAreaSetupNative, [](NativeCall& call) {
        auto found = Scene().areas_.find(call.Int(0));
        if (found != Scene().areas_.end()) {
            found->second.setup.clear();
            for (std::size_t i = 1; i < 7; ++i) {
                found->second.setup.push_back(call.Int(i));
            }
        }
    });
    game.RegisterNative(kAreaOptionNative, [](NativeCall& call) {
        auto found = Scene().areas_.find(call.Int(0));
        if (found != Scene().areas_.end()) {
            found->second.option = call.Int(1);
        }
    });
    game.RegisterNative(kAreaCompanionNative, [](NativeCall& call) {
        SceneState& scene = Scene();
        if (scene.areas_.count(call.Int(0)) == 0) {
            call.ReturnInt(0);
            return;
        }
        const std::int32_t handle = scene.nextCompanion_++;
        scene.companions_.insert(handle);
        scene.companionOfArea_[handle] = call.Int(0);
        call.ReturnInt(handle);
    });
    game.RegisterNative(kCompanionExistsNative, [](NativeCall& call) {
        call.ReturnBool(Scene().companions_.count(call.Int(0)) != 0);
    });
    game.RegisterNative(kCompanionRemoveNative, [](NativeCall& call) {
        Scene().companions_.erase(call.Int(0));
        Scene().companionOfArea_.erase(call.Int(0));
    });
    auto release = [](NativeCall& call) {
        auto found = Scene().areas_.find(call.Int(0));
        if (found != Scene().areas_.end()) {
            ++found->second.releases;
        }
    };
    game.RegisterNative(kAreaReleaseNativeA, release);
    game.RegisterNative(kAreaReleaseNativeB, release);
    game.RegisterNative(kDeleteAreaNative,
                        [](NativeCall& call) { Scene().areas_.erase(call.Int(0)); });

    // --- Controls and light ---
    game.RegisterNative(kControlsOffNative, [&game](NativeCall&) {
        Scene().controlsOn_[game.FrameNumber()];
        Controls().DisableAll();
    });
    game.RegisterNative(kControlOnNative, [&game](NativeCall& call) {
        auto found = Scene().controlsOn_.find(game.FrameNumber());
        if (found != Scene().controlsOn_.end()) {
            found->second.push_back(call.Uint(1));
        }
        Controls().Enable(call.Uint(1));
    });
    game.RegisterNative(kDrawLightNative, [&game](NativeCall& call) {
        LightDraw light;
        light.frame = game.FrameNumber();
        light.position = VectorAt(call, 0);
        light.red = call.Int(3);
        light.green = call.Int(4);
        light.blue = call.Int(5);
        light.range = call.Float(6);
        light.intensity = call.Float(7);
        Scene().lights_.push_back(light);
    });
}

}  // namespace sim
