// What a screenshot paints over the game's draw list, as the game itself
// would show it: the notifications at the top, the prompts at the bottom
// right, and the naming keyboard in the middle. Also the game's inline
// colour codes (~COLOR_RED~ ... ~s~), read the same way for every text.
#pragma once

#include <string>
#include <vector>

#include "sim/observation.h"

#if defined(GARBOLT_SIM_HAS_CAIRO)
#include <cairo.h>
#endif

namespace garbolt_sim {

// A run of text in one colour: `red` after ~COLOR_RED~, the text's own colour
// after ~s~ or at the start. Other codes are dropped.
struct ColourSpan {
    std::string text;
    bool red = false;
};
std::vector<ColourSpan> ColourSpans(const std::string& text);

#if defined(GARBOLT_SIM_HAS_CAIRO)
// Each paints its part at `width` x `height` pixels.
void DrawNotifications(cairo_t* cr, const std::vector<std::string>& notifications, double width,
                       double height);
void DrawPrompts(cairo_t* cr, const std::vector<sim::ShownPrompt>& prompts, double width,
                 double height);
void DrawNamingKeyboard(cairo_t* cr, const sim::KeyboardView& keyboard, double width,
                        double height);
#endif

}  // namespace garbolt_sim
