// What one frame of the simulated game showed, read from the game's trace as
// the calls happen: the draw list (texts with their decoded markup, sprites),
// sounds, prompts, the light and the wardrobe camera; and the menu as a player
// reads it off the screen (open, page, row, labels).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/game.h"

namespace garbolt_sim {

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// One entry of the draw list, in drawing order.
struct Draw {
    enum class Kind { Text, Sprite };
    Kind kind = Kind::Text;
    Rgba colour;
    float x = 0, y = 0;  // screen fractions as handed to the game
    // Text
    std::string raw;       // the markup as the game read it when it drew the frame
    bool decoded = false;  // the markup had the menu's TEXTFORMAT shape
    int rightMargin = 0;
    std::string align;  // "Left", "Center", "Right"
    std::string font;
    int letterSpacing = 0;
    int size = 0;
    std::string text;
    // Sprite
    std::string dictionary, texture;
    float width = 0, height = 0;

    // Reference pixels (1920 x 1080) of the text's anchor: its left edge, its
    // centre or its right edge by alignment.
    float ReferenceX() const;
    float ReferenceY() const { return y * 1080.0f; }
};

struct Sound {
    std::string name, set;
};

struct Prompt {
    std::int32_t handle = 0;
    std::uint32_t control = 0;
    std::string text;
    bool enabled = false;  // the second prompt-state native
    bool shown = false;    // the first prompt-state native
    bool operator==(const Prompt& o) const {
        return handle == o.handle && control == o.control && text == o.text &&
               enabled == o.enabled && shown == o.shown;
    }
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

struct Camera {
    bool exists = false;     // created and not destroyed
    bool active = false;     // the camera-active native's last word
    bool rendering = false;  // script cameras are rendered
    std::optional<Vec3> position;
    bool operator==(const Camera& o) const {
        return exists == o.exists && active == o.active && rendering == o.rendering &&
               position == o.position;
    }
};

struct FrameRecord {
    std::uint64_t frame = 0;
    std::vector<Draw> draws;
    std::vector<Sound> sounds;
    std::vector<std::string> notifications;
    std::optional<Vec3> light;
    std::vector<sim::TraceEvent> unknown;
    std::vector<sim::TraceEvent> misuse;
    std::vector<sim::TraceEvent> trace;  // every event, kept only when asked for
};

// Follows the trace as it is recorded. Attach() installs it as the game's
// observer; TakeFrame(), once the frame has been drawn, hands over what the
// frame since the last call showed.
class TraceWatcher {
  public:
    void Attach(sim::Game& game, bool keepTrace);
    void OnEvent(const sim::TraceEvent& event);
    FrameRecord TakeFrame(std::uint64_t frame);

    const std::map<std::int32_t, Prompt>& Prompts() const { return prompts_; }
    const Camera& CurrentCamera() const { return camera_; }
    std::uint64_t UnknownCount() const { return unknownCount_; }
    std::uint64_t MisuseCount() const { return misuseCount_; }
    // A restart: the new plug-in creates its prompts and camera anew.
    void ForgetPlugin();

  private:
    void ReadDrawnTexts();

    bool keepTrace_ = false;
    FrameRecord current_;
    Rgba pendingColour_;
    std::map<std::int32_t, Prompt> prompts_;
    Camera camera_;
    std::uint32_t cameraHandle_ = 0;
    std::uint64_t unknownCount_ = 0;
    std::uint64_t misuseCount_ = 0;
};

// Splits the menu's TEXTFORMAT markup into its fields; false when it has another shape.
bool DecodeMarkup(const std::string& raw, Draw* text);

// The menu as the screen shows it.
struct MenuRow {
    int index = 0;  // option index on the page
    std::string label;
    bool heading = false;
    std::optional<std::string> value;  // a selection option's value text
    bool ticked = false;
};

struct MenuView {
    bool open = false;
    std::string title, subtitle;
    int page = -1;  // the page id its subtitle names, -1 when unknown
    int current = -1;
    int count = 0;
    int firstShown = 0;
    std::vector<MenuRow> rows;  // the rows on screen, top to bottom
    std::string description;

    const MenuRow* Row(int index) const;
};

MenuView ReadMenu(const FrameRecord& frame);

// The menu drawn as text (dump and the interactive mode).
std::string RenderMenuText(const MenuView& menu);

}  // namespace garbolt_sim
