// Screenshots: a frame's draw list painted into a PNG the way a player would
// see the menu, with boxes in the sprites' colours standing for the game's
// art, and over it what else the game shows (shot_overlay.h).
#pragma once

#include <string>
#include <vector>

#include "frame.h"
#include "look.h"

namespace garbolt_sim {

// What the player sees: the frame as observed (draw list, prompts, naming
// keyboard, camera, light), the character dressed as `look` says, and the
// notifications still on screen, oldest first (one stays a while after its frame).
struct Screen {
    const sim::Observation& frame;
    const CharacterLook& look;
    const std::vector<std::string>& notifications;
};

// Paints the screen at `width` x width * 9 / 16 pixels into a PNG at path.
bool RenderShot(const Screen& screen, int width, const std::string& path, std::string* error);

// Releases what the font machinery keeps for later pictures (at the end of a run).
void ReleaseShotCaches();

}  // namespace garbolt_sim
