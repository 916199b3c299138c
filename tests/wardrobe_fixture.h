// The wardrobe's sources linked into this test program, driven frame by frame
// against the simulated game in a temporary game folder, plus helpers to read
// the trace.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/float_bits.h"
#include "host/keyboard.h"
#include "host/natives.h"
#include "menu/menu.h"
#include "settings/settings.h"
#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/controls.h"
#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/prompts.h"
#include "sim/scene.h"
#include "support/misuse.h"
#include "support/plugin_state.h"
#include "support/session.h"
#include "wardrobe/outfits.h"
#include "wardrobe/pages.h"
#include "wardrobe/scene.h"
#include "wardrobe/store.h"

namespace wardrobe_testing {

using namespace testing_support::controls;
constexpr std::uint32_t kSaveControl = kSave;
constexpr const char* kOutfitFile = "Garbolt/SavedOutfits.xml";
constexpr const char* kRootOnly = "<?xml version=\"1.0\"?>\n<Garbolt />\n";

// One entry of an outfit file as the plug-in writes it.
inline std::string HashList(const char* element, const std::vector<int>& values) {
    if (values.empty()) {
        return std::string("\t\t<") + element + " />\n";
    }
    std::string xml = std::string("\t\t<") + element + ">\n";
    for (int value : values) {
        xml += "\t\t\t<Hash>" + std::to_string(value) + "</Hash>\n";
    }
    return xml + "\t\t</" + element + ">\n";
}

inline std::string OutfitXml(const std::string& name, int slot, const std::vector<int>& items,
                             const std::vector<int>& states) {
    return "\t<Outfit>\n\t\t<Name>" + name + "</Name>\n\t\t<Slot>" + std::to_string(slot) +
           "</Slot>\n" + HashList("Components", items) + HashList("Wearables", states) +
           "\t</Outfit>\n";
}

inline std::string FileWith(const std::string& outfits) {
    return outfits.empty() ? kRootOnly
                           : "<?xml version=\"1.0\"?>\n<Garbolt>\n" + outfits + "</Garbolt>\n";
}

// The worn outfit (record 0) as the file holds it: signed decimals.
inline std::vector<int> WornItems() {
    std::vector<int> items;
    for (const sim::ClothingItem& entry : sim::Wardrobe().Worn()) {
        items.push_back(static_cast<int>(entry.item));
    }
    return items;
}
inline std::vector<int> WornStates() {
    std::vector<int> states;
    for (const sim::ClothingItem& entry : sim::Wardrobe().Worn()) {
        states.push_back(static_cast<int>(entry.state));
    }
    return states;
}

inline std::string Float(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

// "NAMESPACE::NAME arg,arg,..." with arguments shown as the native table reads them.
inline std::string Describe(const sim::TraceEvent& event) {
    if (event.kind == sim::TraceEvent::Kind::GlobalWrite) {
        return "global " + std::to_string(event.globalIndex) + "=" + std::to_string(event.after);
    }
    std::string line = event.unknown ? "unknown" : std::string(event.Name());
    std::size_t text = 0;
    for (std::size_t i = 0; i < event.args.size(); ++i) {
        line += i == 0 ? " " : ",";
        const char kind = event.native != nullptr ? event.native->KindAt(i) : 0;
        const std::uint64_t word = event.args[i];
        switch (kind) {
            case sim::arg_kind::kInt:
                line += std::to_string(static_cast<std::int32_t>(word));
                break;
            case sim::arg_kind::kBool:
                line += static_cast<std::uint32_t>(word) != 0 ? "1" : "0";
                break;
            case sim::arg_kind::kFloat:
                line += Float(float_bits::FromWord(word));
                break;
            case sim::arg_kind::kText:
            case sim::arg_kind::kTextOrNull:
                if (word == 0) {
                    line += "null";
                    ++text;
                } else {
                    line += text < event.texts.size() ? "'" + event.texts[text++] + "'" : "?";
                }
                break;
            case sim::arg_kind::kPointer:
            case sim::arg_kind::kGameText:
                line += word == 0 ? "null" : "ptr";
                break;
            default:  // a Hash, or an argument the table does not describe
                line += std::to_string(static_cast<std::uint32_t>(word));
        }
    }
    return line;
}

// The trace from event `from` on, without the notification natives (the
// game's cached-objective log) unless asked, one line each. Misuse is checked
// at the end of each test.
inline std::vector<std::string> TraceFrom(std::size_t from, bool withNotifications = false) {
    std::vector<std::string> lines;
    const auto& trace = sim::TheGame().Trace();
    for (std::size_t i = from; i < trace.size(); ++i) {
        if (trace[i].kind == sim::TraceEvent::Kind::Misuse ||
            (!withNotifications && trace[i].Name().rfind("UILOG::", 0) == 0)) {
            continue;
        }
        lines.push_back(Describe(trace[i]));
    }
    return lines;
}

inline std::size_t TraceMark() {
    return sim::TheGame().Trace().size();
}

// The wardrobe as the script routine runs it, with the frames driven here.
class WardrobeFixture : public ::testing::Test {
  protected:
    // The test runs the script loop's frame itself, so it plays the script routine.
    void SetUp() override {
        sim::TheGame().Reset();
        sim::TheGame().AdoptScriptContext();
        ResetPluginState();
        folder_ = std::make_unique<testing_support::GameFolder>();
    }
    void TearDown() override {
        testing_support::ExpectNoMisuse();
        ResetPluginState();
        folder_.reset();
    }

    sim::Game& game() { return sim::TheGame(); }
    testing_support::GameFolder& folder() { return *folder_; }

    // The start-up of the script routine, with the outfit file given.
    void StartUp(const std::string& outfitFile = kRootOnly) {
        folder().Write(kOutfitFile, outfitFile);
        activeMenu = std::make_unique<Menu>();
        Menu& menu = *activeMenu;
        menu.CreatePrompt(menu.selectPrompt, "Select", kSelect);
        menu.CreatePrompt(menu.backPrompt, "Back", kBack);
        menu.CreatePrompt(menu.savePrompt, "Save Outfit", kSaveControl);
        InitializeMenu();
        menu.currentSubmenu = &Menu::submenuRegistry[0];
        LoadCustomOutfitNames();
    }
    Menu& menu() { return *activeMenu; }

    // One frame of the script loop.
    void Frame() {
        game().RunFrame();
        ShowFinishedStoreWork();
        activeMenu->Update();
        UpdateWardrobe();
    }
    void FrameWith(std::uint32_t control) {
        sim::Controls().Press(control);
        Frame();
    }
    void OpenMenu() {
        OnKeyboardMessage(kF9, 1, 0, 0, 0, 1, 1);
        Frame();
        ASSERT_TRUE(menu().isOpen);
    }
    // Page 1 with the cursor on `row`, as if the player had walked there.
    void OnSavedOutfitsRow(std::int32_t row) {
        menu().currentSubmenu = &Menu::submenuRegistry[1];
        menu().currentSubmenuId = 1;
        menu().currentOption = row;
    }
    Option& Row(std::int32_t page, std::int32_t row) {
        return Menu::submenuRegistry[page].options[static_cast<std::size_t>(row)];
    }
    std::string Label(std::int32_t row) { return Row(1, row).label; }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const sim::Notification& note : game().Notifications()) {
            texts.push_back(note.text);
        }
        return texts;
    }
    std::string LastMessage() {
        return game().Notifications().empty() ? "" : game().Notifications().back().text;
    }

  private:
    std::unique_ptr<testing_support::GameFolder> folder_;
};

}  // namespace wardrobe_testing
