#include "wardrobe/scene.h"

#include <algorithm>

#include "host/controls.h"
#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/notification.h"
#include "host/onscreen_keyboard.h"
#include "menu/menu.h"
#include "settings/settings.h"
#include "wardrobe/layout.h"
#include "wardrobe/outfit_file.h"
#include "wardrobe/outfits.h"
#include "wardrobe/store.h"
#include "wardrobe/typed_name.h"

WardrobeState wardrobe;

namespace {

using namespace game_natives;

constexpr const char* kTransitionEffect = "CamTransition01";
constexpr const char* kCameraName = "default_scripted_camera";
constexpr const char* kWardrobeHudContext = "HUD_CTX_IN_CAMP_WARDROBE";
constexpr const char* kKeyboardTitle = "STABLE_RENAME_MOUNT_PROMPT";
constexpr std::int32_t kKeyboardMaxLength = 30;
constexpr const char* kLiteralString = "LITERAL_STRING";
constexpr std::int32_t kLiteralStringKind = 10;
constexpr const char* kSaveOutfitText = "Save Outfit";
constexpr const char* kDeleteOutfitText = "Delete Outfit";
constexpr const char* kNullNameMessage = "Outfit name was null";
constexpr const char* kShortNameMessage = "Outfit name was too short";

using wardrobe_layout::IsCustomRow;
using wardrobe_layout::kHeadingRow;
using wardrobe_layout::kSavedOutfitsPage;
using wardrobe_layout::SlotOfRow;

constexpr float kStandOff = 1.7f;      // camera and light, along the character's forward vector
constexpr float kCameraRise = 0.5f;    // the camera above that point
constexpr float kLookOffsetY = -0.3f;  // where on the character the camera looks
constexpr std::int32_t kCameraSwitchTime = 3000;
constexpr float kAreaSize = 15.0f;
constexpr std::int32_t kLightColour = 255;
constexpr float kLightRange = 5.0f;
constexpr float kLightIntensity = 2.5f;

std::int32_t Player() {
    return CallNative<std::int32_t>(kPlayerIdNative);
}

Vector3 Ahead(const Vector3& position, const Vector3& forward) {
    return Vector3{position.x + kStandOff * forward.x, position.y + kStandOff * forward.y,
                   position.z + kStandOff * forward.z};
}

bool EffectLoaded() {
    return CallNative<bool>(kEffectQueryNative, kTransitionEffect);
}

void SetRenderingScriptCamera(bool on) {
    CallNativeSix(kScriptCameraRenderNative, on ? 1 : 0, 0, kCameraSwitchTime, 0, 1);
}

// The prompt completed: act on the row whose text it showed last frame, and
// only while the menu is open and no name is being typed already.
void OnSavePromptCompleted(const Menu& menu) {
    const std::int32_t row = wardrobe.promptRow;
    if (wardrobe.naming || !menu.isOpen || !IsCustomRow(row)) {
        return;
    }
    if (wardrobe.deleteMode) {
        DeleteCustomOutfit(SlotOfRow(row));
        return;
    }
    const Option* option = SavedOutfitsRow(row);
    wardrobe.naming = true;
    wardrobe.namingRow = row;
    // The keyboard edits its text, it does not draw it as markup, and hands
    // back what it holds: the label goes in as it is (never as PlainText,
    // whose entities a confirmed name would keep).
    OpenNamingKeyboard(option != nullptr ? option->label.c_str() : "");
}

// The game counts a prompt valid from its creation on, shown or not, so the
// prompt is switched on or off by page and row every frame.
void UpdateSavePrompt(const Menu& menu) {
    if (!CallNative<bool>(kPromptActiveNative, menu.savePrompt)) {
        return;
    }
    if (CallNative<bool>(kPromptCompletedNative, menu.savePrompt, 0)) {
        CallNative(kPromptClearNative, menu.savePrompt);
        OnSavePromptCompleted(menu);
    }
    const bool offered = menu.currentOption > kHeadingRow &&
                         menu.currentSubmenuId == kSavedOutfitsPage && menu.isOpen;
    CallNative(kFirstPromptStateNative, menu.savePrompt, offered);
    CallNative(kSecondPromptStateNative, menu.savePrompt, offered);
}

void UpdateNamingKeyboard() {
    if (!wardrobe.naming) {
        return;
    }
    wardrobe.keyboardStatus = CallNative<std::int32_t>(kKeyboardStatusNative);
    CallNative(kControlsOffNative, 0);
    if (wardrobe.keyboardStatus == onscreen_keyboard::kFinished) {
        // The game's text is copied at once and the pointer goes no further than this frame.
        const char* result = CallNative<const char*>(kKeyboardResultNative);
        outfit_file::CopyCutName(result, wardrobe.enteredName);
        DropUnstorableCharacters(wardrobe.enteredName);
        CallNative(kKeyboardDoneNative);
        wardrobe.naming = false;
        wardrobe.keyboardStatus = -1;
        const std::int32_t row = wardrobe.namingRow;
        wardrobe.namingRow = -1;
        if (CallNative<bool>(kTextNullNative, result) || result == nullptr) {
            ShowNotification(kNullNameMessage);
            wardrobe.enteredName.clear();
        } else if (wardrobe.enteredName.size() < outfit_file::kMinNameBytes) {
            ShowNotification(kShortNameMessage);
            wardrobe.enteredName.clear();
        } else {
            SaveCustomOutfit(wardrobe.enteredName.c_str(), SlotOfRow(row));
        }
    } else if (wardrobe.keyboardStatus > onscreen_keyboard::kFinished) {
        // Cancelled, or taken away by the game: no name comes.
        wardrobe.naming = false;
        wardrobe.keyboardStatus = -1;
        wardrobe.namingRow = -1;
        wardrobe.enteredName.clear();
    }
}

void UpdatePromptText(const Menu& menu) {
    const bool taken =
        std::find(savedSlots.begin(), savedSlots.end(), menu.currentOption) != savedSlots.end();
    wardrobe.deleteMode = taken;
    const auto text =
        CallNative<std::uint64_t>(kVariableStringNative, kLiteralStringKind, kLiteralString,
                                  taken ? kDeleteOutfitText : kSaveOutfitText);
    CallNative(kPromptTextNative, menu.savePrompt, text);
    wardrobe.promptRow =
        menu.isOpen && menu.currentSubmenuId == kSavedOutfitsPage && IsCustomRow(menu.currentOption)
            ? menu.currentOption
            : -1;
}

void DrawWardrobeLight() {
    const Vector3 position = CallNative<Vector3>(kEntityPositionNative, PlayerCharacter(), 1, 0);
    const Vector3 forward = CallNative<Vector3>(kEntityForwardNative, PlayerCharacter());
    const Vector3 light = Ahead(position, forward);
    CallNative(kDrawLightNative, light.x, light.y, light.z, kLightColour, kLightColour,
               kLightColour, kLightRange, kLightIntensity);
}

}  // namespace

void ResetWardrobeState() {
    wardrobe = WardrobeState();
    ResetStore();
}

void OpenNamingKeyboard(const char* initialText) {
    CallNative(kKeyboardOpenNative, 0, kKeyboardTitle, "", initialText, "", "", "",
               kKeyboardMaxLength);
}

void RemoveWardrobeCamera() {
    if (!CallNative<bool>(kCameraExistsNative, wardrobe.wardrobeCamera)) {
        return;
    }
    CallNative(kCameraActiveNative, wardrobe.wardrobeCamera, 0);
    SetRenderingScriptCamera(false);
    CallNative(kDestroyCameraNative, wardrobe.wardrobeCamera, 1);
}

void OpenWardrobeScene() {
    wardrobe.sceneActive = true;
    Vector3 centre = CallNative<Vector3>(kEntityPositionNative, PlayerCharacter(), 1, 1);
    if (useCamera) {
        wardrobe.cameraActive = true;
        CallNative(kSceneOpenNative);
        if (!EffectLoaded()) {
            CallNative(kEffectNativeA, kTransitionEffect);
        }
        if (EffectLoaded()) {
            CallNative(kEffectNativeB, kTransitionEffect);
        }
        RemoveWardrobeCamera();
        wardrobe.wardrobeCamera =
            CallNative<std::int32_t>(kCreateCameraNative, GameNameHash(kCameraName), 1);
        CallNative(kCameraActiveNative, wardrobe.wardrobeCamera, 1);
        SetRenderingScriptCamera(true);
        CallNative(kHudContextOnNative, GameNameHash(kWardrobeHudContext));
        CallNative(kCharacterNativeA, PlayerCharacter(), 0, 1);
        CallNative(kCharacterNativeB, PlayerCharacter(), 0);
        CallNative(kCharacterSwitchNative, PlayerCharacter(), 1);
        CallNative(kPlayerSwitchNativeA, Player(), 1);
        CallNative(kPlayerSwitchNativeB, Player(), 1);
        CallNative(kCharacterNativeC, PlayerCharacter(), PlayerCharacter());
        const Vector3 position =
            CallNative<Vector3>(kEntityPositionNative, PlayerCharacter(), 1, 1);
        const Vector3 forward = CallNative<Vector3>(kEntityForwardNative, PlayerCharacter());
        const Vector3 ahead = Ahead(position, forward);
        CallNative(kCameraPositionNative, wardrobe.wardrobeCamera, ahead.x, ahead.y,
                   ahead.z + kCameraRise);
        CallNative(kCameraPointAtNative, wardrobe.wardrobeCamera, PlayerCharacter(), 0.0f,
                   kLookOffsetY, 0.0f, 1);
        centre = ahead;
    }
    if (CallNative<bool>(kAreaExistsNative, wardrobe.wardrobeArea)) {
        CallNative(kDeleteAreaNative, wardrobe.wardrobeArea);
    }
    if (CallNative<bool>(kCompanionExistsNative, wardrobe.areaCompanion)) {
        CallNative(kCompanionRemoveNative, wardrobe.areaCompanion, 0);
    }
    wardrobe.wardrobeArea =
        CallNative<std::int32_t>(kBoxAreaNative, centre.x, centre.y, centre.z, 0.0f, 0.0f, 0.0f,
                                 kAreaSize, kAreaSize, kAreaSize);
    CallNative(kAreaSetupNative, wardrobe.wardrobeArea, 10208, 8192, 0, -1, -1, 0);
    CallNative(kAreaOptionNative, wardrobe.wardrobeArea, 7);
    wardrobe.areaCompanion =
        CallNative<std::int32_t>(kAreaCompanionNative, wardrobe.wardrobeArea, 0, 7);
}

// Every closing undoes the camera part of its own opening (cameraActive),
// whatever the setting says now.
void CloseWardrobeScene(bool forced) {
    wardrobe.promptRow = -1;
    if (wardrobe.cameraActive && CallNative<bool>(kCameraExistsNative, wardrobe.wardrobeCamera)) {
        if (forced) {
            if (EffectLoaded()) {
                CallNative(kEffectNativeC, kTransitionEffect);
            }
            RemoveWardrobeCamera();
            CallNative(kHudContextOffNative, GameNameHash(kWardrobeHudContext));
            CallNative(kPlayerSwitchNativeA, Player(), 0);
            CallNative(kPlayerSwitchNativeB, Player(), 0);
            CallNative(kCharacterSwitchNative, PlayerCharacter(), 0);
            // The area stays until the next opening removes it.
            wardrobe.sceneActive = false;
            wardrobe.cameraActive = false;
            return;
        }
        if (!EffectLoaded()) {
            CallNative(kEffectNativeA, kTransitionEffect);
        }
        if (EffectLoaded()) {
            CallNative(kEffectNativeB, kTransitionEffect);
        }
        if (EffectLoaded()) {
            CallNative(kEffectNativeC, kTransitionEffect);
        }
        RemoveWardrobeCamera();
        CallNative(kHudContextOffNative, GameNameHash(kWardrobeHudContext));
        CallNative(kCharacterNativeA, PlayerCharacter(), 0, 1);
        CallNative(kCharacterNativeB, PlayerCharacter(), 0);
        CallNative(kCharacterSwitchNative, PlayerCharacter(), 0);
        CallNative(kCharacterNativeD, PlayerCharacter(), 0, 0);
        CallNative(kPlayerSwitchNativeA, Player(), 0);
        CallNative(kPlayerSwitchNativeB, Player(), 0);
    }
    if (CallNative<bool>(kAreaExistsNative, wardrobe.wardrobeArea)) {
        CallNative(kFirstAreaReleaseNative, wardrobe.wardrobeArea);
        CallNative(kSecondAreaReleaseNative, wardrobe.wardrobeArea);
        CallNative(kCompanionRemoveNative, wardrobe.areaCompanion, 0);
        CallNative(kDeleteAreaNative, wardrobe.wardrobeArea);
    }
    wardrobe.sceneActive = false;
    wardrobe.cameraActive = false;
}

void UpdateWardrobe() {
    if (!activeMenu) {
        return;
    }
    Menu& menu = *activeMenu;
    UpdateSavePrompt(menu);
    UpdateNamingKeyboard();
    if (menu.isOpen && !wardrobe.sceneActive) {
        OpenWardrobeScene();
    }
    if (!wardrobe.sceneActive) {
        return;
    }
    CallNative(kFirstSceneFrameNative);
    CallNative(kSecondSceneFrameNative);
    if (wardrobe.cameraActive) {
        CallNative(kControlsOffNative, 0);
        // The menu's own controls are let through while the camera holds the others off.
        for (std::uint32_t control : game_controls::kMenuNavigation) {
            CallNative(kControlOnNative, 0, control, 0);
        }
    }
    UpdatePromptText(menu);
    if (!menu.isOpen) {
        CloseWardrobeScene(false);
    }
    if (CallNative<bool>(kCharacterCheckNative, PlayerCharacter())) {
        menu.isOpen = false;
        CloseWardrobeScene(true);
    }
    if (drawLight) {
        DrawWardrobeLight();
    }
}
