#include "sim/prompts.h"

#include <cstdlib>

#include "host/native_hashes.h"
#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"

namespace sim {

using game_natives::kFirstPromptStateNative;
using game_natives::kPromptActiveNative;
using game_natives::kPromptClearNative;
using game_natives::kPromptCompletedNative;
using game_natives::kPromptControlNative;
using game_natives::kPromptCreateNative;
using game_natives::kPromptFinishNative;
using game_natives::kPromptGroupNative;
using game_natives::kPromptModeNative;
using game_natives::kPromptPriorityNative;
using game_natives::kPromptTextNative;
using game_natives::kSecondPromptStateNative;

bool ParsePromptCompletion(const std::string& word, PromptCompletion* reading) {
    if (word == "latched") {
        *reading = PromptCompletion::Latched;
    } else if (word == "one-frame") {
        *reading = PromptCompletion::OneFrame;
    } else {
        return false;
    }
    return true;
}

const char* PromptCompletionName(PromptCompletion reading) {
    return reading == PromptCompletion::OneFrame ? "one-frame" : "latched";
}

PromptCompletion PromptCompletionFromEnvironment() {
    PromptCompletion reading = PromptCompletion::Latched;
    if (const char* word = std::getenv("GARBOLT_PROMPT_COMPLETION")) {
        ParsePromptCompletion(word, &reading);
    }
    return reading;
}

PromptBoard& Prompts() {
    static PromptBoard prompts;
    return prompts;
}

const PromptRecord* PromptBoard::Find(std::int32_t handle) const {
    auto found = prompts_.find(handle);
    return found == prompts_.end() ? nullptr : &found->second;
}

const PromptRecord* PromptBoard::FindByText(const std::string& text) const {
    const PromptRecord* latest = nullptr;
    for (const auto& [handle, prompt] : prompts_) {
        if (prompt.hasText && prompt.text == text) {
            latest = &prompt;
        }
    }
    return latest;
}

bool PromptBoard::CompletedOn(std::int32_t handle, std::uint64_t frame) const {
    const PromptRecord* prompt = Find(handle);
    if (prompt == nullptr || !prompt->completed) {
        return false;
    }
    return reading_ == PromptCompletion::Latched || prompt->completedFrame == frame;
}

void PromptBoard::Reset() {
    *this = PromptBoard();
    reading_ = PromptCompletionFromEnvironment();
}

std::int32_t PromptBoard::Create(std::uint64_t frame) {
    const std::int32_t handle = nextHandle_++;
    PromptRecord& prompt = prompts_[handle];
    prompt.handle = handle;
    prompt.createdFrame = frame;
    return handle;
}

PromptRecord* PromptBoard::Mutable(std::int32_t handle) {
    auto found = prompts_.find(handle);
    return found == prompts_.end() ? nullptr : &found->second;
}

void PromptBoard::BeginFrame(std::uint64_t frame) {
    for (auto& [handle, prompt] : prompts_) {
        if (prompt.Active() && prompt.hasControl && Controls().Fires(prompt.control)) {
            prompt.completed = true;
            prompt.completedFrame = frame;
            ++prompt.completions;
        }
    }
}

void PromptBoard::ReadShownTexts() {
    for (auto& [handle, prompt] : prompts_) {
        if (prompt.shown && prompt.textSource != nullptr) {
            prompt.text = prompt.textSource;
        }
    }
}

void RegisterPrompts(Game& game) {
    Prompts().Reset();
    game.RegisterNative(kPromptCreateNative, [&game](NativeCall& call) {
        call.ReturnInt(Prompts().Create(game.FrameNumber()));
    });
    game.RegisterNative(kPromptControlNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->control = call.Uint(1);
            prompt->hasControl = true;
        }
    });
    game.RegisterNative(kPromptTextNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            const std::optional<const char*> source = Drawing().GameStringSource(call.Word(1));
            prompt->textSource = source ? *source : nullptr;
            prompt->text = !source ? "(invalid)" : *source != nullptr ? *source : "";
            prompt->hasText = true;
        }
    });
    auto setup = [](std::uint64_t native, std::size_t count) {
        return [native, count](NativeCall& call) {
            if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
                PromptSetup entry{native, {}};
                for (std::size_t i = 1; i <= count; ++i) {
                    entry.args.push_back(call.Int(i));
                }
                prompt->setups.push_back(std::move(entry));
            }
        };
    };
    game.RegisterNative(kPromptPriorityNative, setup(kPromptPriorityNative, 1));
    game.RegisterNative(kPromptModeNative, setup(kPromptModeNative, 1));
    game.RegisterNative(kPromptGroupNative, setup(kPromptGroupNative, 2));
    game.RegisterNative(kPromptFinishNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->finished = true;
        }
    });
    game.RegisterNative(kFirstPromptStateNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->shown = call.Bool(1);
        }
    });
    game.RegisterNative(kSecondPromptStateNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->enabled = call.Bool(1);
        }
    });
    game.RegisterNative(kPromptActiveNative, [](NativeCall& call) {
        call.ReturnInt(Prompts().Find(call.Int(0)) != nullptr ? 1 : 0);
    });
    game.RegisterNative(kPromptCompletedNative, [&game](NativeCall& call) {
        call.ReturnInt(Prompts().CompletedOn(call.Int(0), game.FrameNumber()) ? 1 : 0);
    });
    game.RegisterNative(kPromptClearNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->completed = false;
            prompt->completedFrame = 0;
            ++prompt->clears;
        }
    });
    game.AddFrameHook([&game] { Prompts().BeginFrame(game.FrameNumber()); });
    game.AddDrawHook([] { Prompts().ReadShownTexts(); });
}

}  // namespace sim
