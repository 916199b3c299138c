#include "game_side.h"

#if __has_include("sim/controls.h")
#include "sim/controls.h"
#define GARBOLT_SIM_HAS_CONTROLS 1
#endif
#if __has_include("sim/character.h")
#include "sim/character.h"
#define GARBOLT_SIM_HAS_CHARACTER 1
#endif
#if __has_include("sim/clothing.h")
#include "sim/clothing.h"
#define GARBOLT_SIM_HAS_CLOTHING 1
#endif
#if __has_include("sim/keyboard_ui.h")
#include "sim/keyboard_ui.h"
#define GARBOLT_SIM_HAS_NAMING_KEYBOARD 1
#endif

namespace garbolt_sim::game_side {

namespace {

const char kNoControls[] = "this build of the simulated game has no controls";
const char kNoCharacter[] = "this build of the simulated game has no character";
const char kNoClothing[] = "this build of the simulated game has no clothing";
const char kNoKeyboard[] = "this build of the simulated game has no naming keyboard";

#if defined(GARBOLT_SIM_HAS_CONTROLS)
// The game's control hashes behind the scenario's control names.
constexpr std::uint32_t kSelectControl = 0x43DBF61F;
constexpr std::uint32_t kBackControl = 0x308588E6;
constexpr std::uint32_t kUpControl = 0x911CB09E;
constexpr std::uint32_t kDownControl = 0x4403F97F;
constexpr std::uint32_t kLeftControl = 0xAD7FCC5B;
constexpr std::uint32_t kRightControl = 0x65F9EC5B;
constexpr std::uint32_t kSaveControl = 0x171910DC;
constexpr std::uint32_t kFirstOpenChordControl = 0x17BEC168;
constexpr std::uint32_t kSecondOpenChordControl = 0x5181713D;
#endif

#if defined(GARBOLT_SIM_HAS_CLOTHING)
std::vector<sim::ClothingItem> ToGame(const std::vector<ClothingItem>& items) {
    std::vector<sim::ClothingItem> entries;
    for (const ClothingItem& item : items) {
        entries.push_back({item.item, item.state});
    }
    return entries;
}
#endif

}  // namespace

std::string PressControl(const std::string& control) {
#if defined(GARBOLT_SIM_HAS_CONTROLS)
    sim::ControlInput& controls = sim::Controls();
    if (control == "open-chord") {
        controls.Press(kFirstOpenChordControl);
        controls.Press(kSecondOpenChordControl);
        return {};
    }
    const std::uint32_t hash = control == "select"  ? kSelectControl
                               : control == "back"  ? kBackControl
                               : control == "up"    ? kUpControl
                               : control == "down"  ? kDownControl
                               : control == "left"  ? kLeftControl
                               : control == "right" ? kRightControl
                               : control == "save"  ? kSaveControl
                                                    : 0;
    if (hash == 0) {
        return "unknown control " + control;
    }
    controls.Press(hash);
    return {};
#else
    (void)control;
    return kNoControls;
#endif
}

std::string SetGamepad(bool gamepad) {
#if defined(GARBOLT_SIM_HAS_CONTROLS)
    sim::Controls().SetGamepad(gamepad);
    return {};
#else
    (void)gamepad;
    return kNoControls;
#endif
}

bool KeyboardOpen() {
#if defined(GARBOLT_SIM_HAS_NAMING_KEYBOARD)
    return sim::NamingKeyboard().IsOpen();
#else
    return false;
#endif
}

std::string KeyboardFinish(const std::string& text) {
#if defined(GARBOLT_SIM_HAS_NAMING_KEYBOARD)
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().Finish(text);
    return {};
#else
    (void)text;
    return kNoKeyboard;
#endif
}

std::string KeyboardCancel() {
#if defined(GARBOLT_SIM_HAS_NAMING_KEYBOARD)
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().Cancel();
    return {};
#else
    return kNoKeyboard;
#endif
}

std::string KeyboardFinishNull() {
#if defined(GARBOLT_SIM_HAS_NAMING_KEYBOARD)
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().FinishWithNull();
    return {};
#else
    return kNoKeyboard;
#endif
}

std::string SetModel(const std::string& model) {
#if defined(GARBOLT_SIM_HAS_CHARACTER)
    sim::Character().SetModel(model == "john" ? sim::CharacterModel::John
                                              : sim::CharacterModel::Arthur);
    return {};
#else
    (void)model;
    return kNoCharacter;
#endif
}

std::string SetCharacterCheck(bool on) {
#if defined(GARBOLT_SIM_HAS_CHARACTER)
    sim::Character().SetCharacterCheck(on);
    return {};
#else
    (void)on;
    return kNoCharacter;
#endif
}

std::string Wear(const std::vector<ClothingItem>& items) {
#if defined(GARBOLT_SIM_HAS_CLOTHING)
    sim::Wardrobe().Wear(ToGame(items));
    return {};
#else
    (void)items;
    return kNoClothing;
#endif
}

std::string SetGameOutfit(int slot, const std::vector<ClothingItem>& items, bool empty) {
#if defined(GARBOLT_SIM_HAS_CLOTHING)
    if (empty) {
        sim::Wardrobe().EmptyGameOutfit(slot);
    } else {
        sim::Wardrobe().FillGameOutfit(slot, ToGame(items));
    }
    return {};
#else
    (void)slot;
    (void)items;
    (void)empty;
    return kNoClothing;
#endif
}

}  // namespace garbolt_sim::game_side
