// The runner's side of the commands for files beside the game and for the
// screen in detail (parsed in scenario_checks.inc): the player's own file,
// another program holding one, exact bytes, the folder's names, prompts,
// sounds, text sizes and the failures shown.
#include <algorithm>
#include <filesystem>

#include "runner.h"
#include "sim/observation.h"
#include "sim/play/game_folder.h"
#include "sim/prompts.h"

namespace garbolt_sim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFailurePrefix = "~COLOR_RED~";

// The texts of a frame's draw list, in drawing order.
std::vector<const sim::TextEntry*> TextsOf(const sim::Observation& frame) {
    std::vector<const sim::TextEntry*> texts;
    for (const sim::DrawEntry& entry : frame.draws) {
        if (entry.kind == sim::DrawEntry::Kind::Text) {
            texts.push_back(&entry.text);
        }
    }
    return texts;
}

std::string Sizes(const std::vector<const sim::TextEntry*>& texts) {
    std::string list;
    for (const sim::TextEntry* text : texts) {
        list += (list.empty() ? "" : ", ") + std::to_string(text->size);
    }
    return list.empty() ? "none" : list;
}

}  // namespace

int Runner::FailuresIn(const std::vector<std::string>& notifications) {
    return static_cast<int>(
        std::count_if(notifications.begin(), notifications.end(),
                      [](const std::string& text) { return text.rfind(kFailurePrefix, 0) == 0; }));
}

bool Runner::DoWrite(const Command& command) {
    if (!folder_->Write(command.path, command.text)) {
        return Fail(command, "cannot write " + command.path);
    }
    Line("  file " + command.path + " put there (" + std::to_string(command.text.size()) +
         " bytes)");
    // Not a write of the plug-in's: the next frame reports none.
    files_->Accept();
    return true;
}

bool Runner::DoHold(const Command& command) {
    // One hold at a time: a new one ends the one before.
    hold_.reset();
    std::string error;
    const std::string path = (fs::u8path(folder_->Path()) / fs::u8path(command.path)).u8string();
    hold_ = FileHold::Start(path, static_cast<std::uint32_t>(command.number), &error);
    if (!hold_) {
        return Fail(command, error);
    }
    Line("  " + command.path + " held by another program for " + std::to_string(command.number) +
         " ms");
    return true;
}

bool Runner::CheckFileIs(const Command& command) {
    if (!folder_->Exists(command.path)) {
        return Fail(command, "there is no " + command.path);
    }
    const std::string bytes = folder_->Read(command.path);
    if (bytes != command.text) {
        return Fail(command, command.path + " holds " + Quote(bytes));
    }
    return true;
}

bool Runner::CheckFiles(const Command& command) {
    const std::vector<std::string> names = folder_->List(command.path);
    if (names != command.names) {
        std::string list;
        for (const std::string& name : names) {
            list += (list.empty() ? "" : " ") + name;
        }
        return Fail(command, command.path + " holds " + (list.empty() ? "nothing" : list));
    }
    return true;
}

bool Runner::CheckPrompt(const Command& command) {
    const sim::PromptRecord* prompt = sim::Prompts().FindByText(command.text);
    if (prompt == nullptr || !prompt->finished) {
        return Fail(command, "the plug-in has made no prompt " + Quote(command.text));
    }
    if (prompt->shown != command.flag) {
        return Fail(command, "the prompt is " + std::string(prompt->shown ? "shown" : "hidden"));
    }
    return true;
}

bool Runner::CheckSound(const Command& command) {
    for (const sim::HeardSound& sound : last_.sounds) {
        if (sound.name == command.text) {
            return true;
        }
    }
    return Fail(command,
                "frame " + std::to_string(last_.frame) + " played no " + Quote(command.text));
}

bool Runner::CheckTextSize(const Command& command) {
    const std::vector<const sim::TextEntry*> texts = TextsOf(last_);
    const auto sized = [&command](const sim::TextEntry* text) {
        return text->size == command.number;
    };
    const bool holds = command.flag
                           ? !texts.empty() && std::all_of(texts.begin(), texts.end(), sized)
                           : std::any_of(texts.begin(), texts.end(), sized);
    if (!holds) {
        return Fail(command, "frame " + std::to_string(last_.frame) + " drew texts of sizes " +
                                 Sizes(texts));
    }
    return true;
}

bool Runner::CheckFailures(const Command& command) {
    if (failuresShown_ != command.number) {
        return Fail(command, std::to_string(failuresShown_) + " failure messages were shown");
    }
    return true;
}

}  // namespace garbolt_sim
