// Drives a Menu of the plug-in's sources linked into this test program,
// frame by frame, against the simulated game.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/keyboard.h"
#include "host/window.h"
#include "menu/menu.h"
#include "settings/settings.h"
#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"
#include "sim/observation.h"
#include "sim/prompts.h"
#include "sim/sounds.h"
#include "support/misuse.h"
#include "support/plugin_state.h"

namespace menu_testing {

using namespace testing_support::controls;

inline std::string Float(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

inline std::string Rgba(const sim::Colour& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + "," +
           std::to_string(c.a);
}

// One line per draw entry, every float exact.
inline std::string Describe(const sim::DrawEntry& entry) {
    if (entry.kind == sim::DrawEntry::Kind::Sprite) {
        const sim::SpriteEntry& s = entry.sprite;
        return "sprite " + s.dictionary + "/" + s.texture + " x=" + Float(s.x) +
               " y=" + Float(s.y) + " w=" + Float(s.width) + " h=" + Float(s.height) +
               " heading=" + Float(s.heading) + " rgba=" + Rgba(s.colour) +
               " last=" + std::to_string(s.last);
    }
    const sim::TextEntry& t = entry.text;
    if (!t.decoded) {
        return "text (undecoded) " + t.markup;
    }
    return "text '" + t.text + "' " + t.fontFace + " " + t.alignment + " margin=" + t.rightMargin +
           " size=" + std::to_string(t.size) + " spacing=" + std::to_string(t.letterSpacing) +
           " x=" + Float(t.x) + " y=" + Float(t.y) + " rgba=" + Rgba(t.colour);
}

inline std::vector<std::string> DescribeDrawList() {
    std::vector<std::string> lines;
    for (const sim::DrawEntry& entry : sim::Observe().draws) {
        lines.push_back(Describe(entry));
    }
    return lines;
}

inline std::string Sprite(const std::string& dictionary, const std::string& texture, float x,
                          float y, float w, float h, sim::Colour colour = {}) {
    sim::DrawEntry entry;
    entry.kind = sim::DrawEntry::Kind::Sprite;
    entry.sprite = {dictionary, texture, x, y, w, h, 0.0f, colour, 0};
    return Describe(entry);
}

inline std::string Text(const std::string& text, const std::string& font,
                        const std::string& alignment, const std::string& margin, int size,
                        int spacing, float x, float y, sim::Colour colour = {}) {
    sim::DrawEntry entry;
    entry.kind = sim::DrawEntry::Kind::Text;
    entry.text.decoded = true;
    entry.text.text = text;
    entry.text.fontFace = font;
    entry.text.alignment = alignment;
    entry.text.rightMargin = margin;
    entry.text.size = size;
    entry.text.letterSpacing = spacing;
    entry.text.x = x;
    entry.text.y = y;
    entry.text.colour = colour;
    return Describe(entry);
}

// A selection option built by hand, as the add operations make none.
inline Option SelectionOption(const std::string& label, std::vector<std::string> values) {
    Option option(false, false, false, false);
    option.isSelection = true;
    option.values = std::move(values);
    option.SetText(label);
    return option;
}

inline void Append(Submenu* page, Option option) {
    option.index = static_cast<std::int32_t>(page->options.size());
    page->options.push_back(std::move(option));
    ++page->optionCount;
}

// A page of `count` regular rows "Row 0", "Row 1", ... with descriptions "About i".
inline void AddRows(Submenu* page, int count) {
    for (int i = 0; i < count; ++i) {
        page->AddOption("Row " + std::to_string(i), "About " + std::to_string(i), [] {});
    }
}

class MenuFixture : public ::testing::Test {
  protected:
    // The test runs the menu's frame itself, so it plays the script routine.
    void SetUp() override {
        sim::TheGame().Reset();
        sim::TheGame().AdoptScriptContext();
        ResetPluginState();
    }
    void TearDown() override {
        testing_support::ExpectNoMisuse();
        ResetPluginState();
    }

    sim::Game& game() { return sim::TheGame(); }

    // Runs `body` under each reading of how long a prompt's completion lasts,
    // each time from a fresh game, plug-in state and menu.
    template <typename Body>
    void UnderBothReadings(Body body) {
        for (const sim::PromptCompletion reading :
             {sim::PromptCompletion::Latched, sim::PromptCompletion::OneFrame}) {
            SCOPED_TRACE(sim::PromptCompletionName(reading));
            game().Reset();
            game().AdoptScriptContext();
            ResetPluginState();
            menu = Menu();
            sim::Prompts().SetReading(reading);
            body();
        }
    }

    // A menu on page `page`, with its Select and Back prompts, as the start-up makes it.
    void MakeMenu(std::int32_t page = 0) {
        menu.CreatePrompt(menu.selectPrompt, "Select", kSelect);
        menu.CreatePrompt(menu.backPrompt, "Back", kBack);
        menu.currentSubmenu = &Menu::submenuRegistry[page];
    }

    // One game frame with the menu's update in it.
    void Frame() {
        game().RunFrame();
        menu.Update();
    }
    void FrameWith(std::initializer_list<std::uint32_t> controls) {
        for (std::uint32_t control : controls) {
            sim::Controls().Press(control);
        }
        Frame();
    }
    // The menu key released just before the frame.
    void ReleaseKey(std::uint32_t key) { OnKeyboardMessage(key, 1, 0, 0, 0, 1, 1); }
    void HoldKey(std::uint32_t key) { OnKeyboardMessage(key, 1, 0, 0, 0, 0, 0); }

    // Opens the menu with the menu key and lets the prompts come on.
    void Open() {
        ReleaseKey(kF9);
        Frame();
        ASSERT_TRUE(menu.isOpen);
    }

    // Played on the frame that ran last, as "name/set".
    std::vector<std::string> PlayedThisFrame() {
        std::vector<std::string> played;
        for (const sim::HeardSound& sound : sim::Observe().sounds) {
            played.push_back(sound.name + "/" + sound.set);
        }
        return played;
    }

    // Natives (NAMESPACE::NAME) and global writes recorded on the frame that ran last.
    std::vector<std::string> RolesThisFrame() {
        std::vector<std::string> roles;
        for (const sim::TraceEvent& event : game().Trace()) {
            if (event.frame != game().FrameNumber() ||
                event.kind == sim::TraceEvent::Kind::Misuse) {
                continue;
            }
            if (event.kind == sim::TraceEvent::Kind::GlobalWrite) {
                roles.push_back("global " + std::to_string(event.globalIndex) + "=" +
                                std::to_string(event.after));
            } else {
                roles.push_back(event.unknown ? "unknown" : std::string(event.Name()));
            }
        }
        return roles;
    }

    Menu menu;
};

}  // namespace menu_testing
