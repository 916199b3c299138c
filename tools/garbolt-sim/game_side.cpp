#include "game_side.h"

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/controls.h"
#include "sim/play/player.h"

namespace garbolt_sim::game_side {

namespace {

std::vector<sim::ClothingItem> ToGame(const std::vector<ClothingItem>& items) {
    std::vector<sim::ClothingItem> entries;
    for (const ClothingItem& item : items) {
        entries.push_back({item.item, item.state});
    }
    return entries;
}

}  // namespace

std::string PressControl(const std::string& control) {
    return play::PressNamed(control) ? std::string() : "unknown control " + control;
}

std::string SetGamepad(bool gamepad) {
    sim::Controls().SetGamepad(gamepad);
    return {};
}

std::string KeyboardFinish(const std::string& text) {
    return play::Type(text);
}

std::string KeyboardCancel() {
    return play::TypeCancel();
}

std::string KeyboardFinishNull() {
    return play::TypeNull();
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

std::string SetGameOutfit(int slot, const std::vector<ClothingItem>& items, bool empty) {
    if (empty) {
        sim::Wardrobe().EmptyGameOutfit(slot);
    } else {
        sim::Wardrobe().FillGameOutfit(slot, ToGame(items));
    }
    return {};
}

}  // namespace garbolt_sim::game_side
