#include "game_side.h"

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/controls.h"
#include "sim/naming_keyboard.h"

namespace garbolt_sim::game_side {

namespace {

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

std::vector<sim::ClothingItem> ToGame(const std::vector<ClothingItem>& items) {
    std::vector<sim::ClothingItem> entries;
    for (const ClothingItem& item : items) {
        entries.push_back({item.item, item.state});
    }
    return entries;
}

}  // namespace

std::string PressControl(const std::string& control) {
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
}

std::string SetGamepad(bool gamepad) {
    sim::Controls().SetGamepad(gamepad);
    return {};
}

bool KeyboardOpen() {
    return sim::NamingKeyboard().IsOpen();
}

KeyboardShown Keyboard() {
    const sim::NamingKeyboardState& keyboard = sim::NamingKeyboard();
    return {keyboard.Opens(), keyboard.IsOpen(), keyboard.Title(), keyboard.InitialText(),
            keyboard.MaxLength()};
}

std::string KeyboardFinish(const std::string& text) {
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().Finish(text);
    return {};
}

std::string KeyboardCancel() {
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().Cancel();
    return {};
}

std::string KeyboardFinishNull() {
    if (!sim::NamingKeyboard().IsOpen()) {
        return "the naming keyboard is not open";
    }
    sim::NamingKeyboard().FinishNull();
    return {};
}

std::string SetModel(const std::string& model) {
    sim::Character().SetModel(model == "john" ? sim::CharacterModel::John
                                              : sim::CharacterModel::Arthur);
    return {};
}

std::string SetCharacterCheck(bool on) {
    sim::Character().SetCharacterCheck(on);
    return {};
}

std::string Wear(const std::vector<ClothingItem>& items) {
    sim::Wardrobe().Wear(ToGame(items));
    return {};
}

std::vector<ClothingItem> Worn() {
    std::vector<ClothingItem> worn;
    for (const sim::ClothingItem& entry : sim::Wardrobe().Worn()) {
        worn.push_back({entry.item, entry.state});
    }
    return worn;
}

std::string SetGameOutfit(int slot, const std::vector<ClothingItem>& items, bool empty) {
    if (empty) {
        sim::Wardrobe().EmptyGameOutfit(slot);
    } else {
        sim::Wardrobe().FillGameOutfit(slot, ToGame(items));
    }
    return {};
}

}  // namespace garbolt_sim::game_side
