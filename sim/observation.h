// What the player sees and hears on a frame of the simulated game, read from
// the game's own modules: the draw list (texts with their markup decoded,
// sprites), the sounds played, the prompts with their state, the scripted
// camera, the light, the notifications, the naming keyboard and the clothes
// worn. Whoever wants to know what the screen showed asks here rather than
// reading the natives' calls again: garbolt-sim's transcript, JSON, screenshots
// and interactive screen, and the test fixtures.
//
//   sim::TheGame().RunFrame();
//   const sim::Observation seen = sim::Observe();
//   for (const sim::DrawEntry& entry : seen.draws) { ... }
//   seen.camera.On();  seen.light;  seen.keyboard.open;  seen.worn[0].item;
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/draw_list.h"
#include "sim/game_text.h"

namespace sim {

struct HeardSound {
    std::string name;
    std::string set;
};

// A prompt the plug-in has made and not dropped.
struct ShownPrompt {
    std::int32_t handle = 0;
    std::uint32_t control = 0;
    std::string text;      // as the game last read it
    bool enabled = false;  // the second prompt-state native
    bool shown = false;    // the first prompt-state native
    // On screen for the player to complete.
    bool On() const { return enabled && shown; }
    bool operator==(const ShownPrompt& o) const {
        return handle == o.handle && control == o.control && text == o.text &&
               enabled == o.enabled && shown == o.shown;
    }
};

// The scripted camera the plug-in made last, while it exists.
struct CameraView {
    bool exists = false;
    bool active = false;           // the camera-active native's last word for it
    bool rendering = false;        // the game shows scripted cameras
    std::optional<Vec3> position;  // set while the camera exists
    bool On() const { return exists && active; }
    bool operator==(const CameraView& o) const {
        return exists == o.exists && active == o.active && rendering == o.rendering &&
               position == o.position;
    }
};

struct KeyboardView {
    int opens = 0;  // how often the plug-in has opened it
    bool open = false;
    // What the last opening asked for.
    std::string title;
    std::string initialText;
    std::int32_t maxLength = 0;
};

struct Observation {
    std::uint64_t frame = 0;
    std::vector<DrawEntry> draws;    // in drawing order
    std::vector<HeardSound> sounds;  // played on the frame, in order
    // Shown on the frame, in order, as the plug-in gave them: ReadGameText
    // (sim/game_text.h) reads one as the player sees it.
    std::vector<std::string> notifications;
    std::vector<ShownPrompt> prompts;  // by handle
    CameraView camera;
    std::optional<Vec3> light;  // where the light was last drawn on the frame
    KeyboardView keyboard;
    OutfitEntries worn{};  // what the character wears, in entry order
};

// The frame the game ran last (or the one in progress), as the player has it.
Observation Observe();

// The markup as the game read it, or "(not a game string)" for a value that was none.
std::string DrawnMarkup(const TextEntry& text);
// What the screen shows of a text: its markup read as the game reads it
// (sim/game_text.h), lines joined by '\n', a picture as its tag.
std::string ShownText(const TextEntry& text);

}  // namespace sim
