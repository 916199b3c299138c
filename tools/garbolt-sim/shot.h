// Screenshots: a frame's draw list painted into a PNG the way a player would
// see the menu, with boxes in the sprites' colours standing for the game's art.
#pragma once

#include <string>

#include "frame.h"
#include "look.h"

namespace garbolt_sim {

// Paints the frame at `width` x width * 9 / 16 pixels into a PNG at path,
// with the character dressed as `look` says and the camera and light as observed.
bool RenderShot(const sim::Observation& frame, int width, const std::string& path,
                std::string* error, const CharacterLook& look = CharacterLook{});

// Releases what the font machinery keeps for later pictures (at the end of a run).
void ReleaseShotCaches();

}  // namespace garbolt_sim
