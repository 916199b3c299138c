// The game-side controls a scenario has: pressing the game's controls, the
// input source, the naming keyboard, the character, its clothing and the
// game's saved outfits. Each part of the simulated game grows its own
// interface; this file is the one place that knows them. Each call answers an
// empty text when it was done, or why it could not be.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scenario.h"

namespace garbolt_sim::game_side {

// Makes the named control (see ControlNames) fire on the next frame.
std::string PressControl(const std::string& control);
std::string SetGamepad(bool gamepad);

// The naming keyboard's three ways to end.
std::string KeyboardFinish(const std::string& text);
std::string KeyboardCancel();
std::string KeyboardFinishNull();

std::string SetModel(const std::string& model);
std::string SetCharacterCheck(bool on);
// The clothing worn: entries in order, the rest emptied.
std::string Wear(const std::vector<ClothingItem>& items);
// Game saved outfit 1 to 5: filled with these entries, or emptied.
std::string SetGameOutfit(int slot, const std::vector<ClothingItem>& items, bool empty);

}  // namespace garbolt_sim::game_side
