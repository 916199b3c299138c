// What one frame of the simulated game showed: the game's own observation of
// it (sim/observation.h) and, from the game's trace, the unknown natives and
// misuses among the frame's calls; and the menu as a player reads it off the
// screen (open, page, row, labels).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/game.h"
#include "sim/observation.h"

namespace garbolt_sim {

struct FrameRecord : sim::Observation {
    std::vector<sim::TraceEvent> unknown;
    std::vector<sim::TraceEvent> misuse;
    std::vector<sim::TraceEvent> trace;  // every event, kept only when asked for
};

// Follows the trace as it is recorded, for what no module of the game keeps:
// every call (when asked), the unknown natives and the misuses. Attach()
// installs it as the game's observer; TakeFrame(), once the frame has been
// drawn, hands over the frame as observed with the events since the last call.
class TraceWatcher {
  public:
    void Attach(sim::Game& game, bool keepTrace);
    void OnEvent(const sim::TraceEvent& event);
    FrameRecord TakeFrame();

    std::uint64_t UnknownCount() const { return unknownCount_; }
    std::uint64_t MisuseCount() const { return misuseCount_; }

  private:
    bool keepTrace_ = false;
    FrameRecord current_;
    std::uint64_t unknownCount_ = 0;
    std::uint64_t misuseCount_ = 0;
};

// Reference pixels (1920 x 1080) of an entry's anchor: a sprite's centre; a
// text's left edge, centre or right edge by its alignment.
float ReferenceX(const sim::DrawEntry& entry);
float ReferenceY(const sim::DrawEntry& entry);
// A decoded text's right margin in reference pixels (0 when it is no number).
int RightMargin(const sim::TextEntry& text);

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

MenuView ReadMenu(const sim::Observation& frame);

// The menu drawn as text (dump and the interactive mode).
std::string RenderMenuText(const MenuView& menu);

}  // namespace garbolt_sim
