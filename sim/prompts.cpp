#include "sim/prompts.h"

#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/game.h"

namespace sim {

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
    return prompt != nullptr && prompt->completedFrame != 0 && prompt->completedFrame == frame;
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
            prompt.completedFrame = frame;
            ++prompt.completions;
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
            prompt->text = Drawing().ResolveGameString(call.Word(1)).value_or("(invalid)");
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
    game.RegisterNative(kPromptPriorityNative,
                        setup(kPromptPriorityNative, 1));
    game.RegisterNative(kPromptModeNative,
                        setup(kPromptModeNative, 1));
    game.RegisterNative(kPromptGroupNative,
                        setup(kPromptGroupNative, 2));
    game.RegisterNative(kPromptFinishNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->finished = true;
        }
    });
    game.RegisterNative(kFirstPromptStateNative,
                        [](NativeCall& call) {
                            if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
                                prompt->shown = call.Bool(1);
                            }
                        });
    game.RegisterNative(kSecondPromptStateNative,
                        [](NativeCall& call) {
                            if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
                                prompt->enabled = call.Bool(1);
                            }
                        });
    game.RegisterNative(kPromptActiveNative, [](NativeCall& call) {
        const PromptRecord* prompt = Prompts().Find(call.Int(0));
        call.ReturnInt(prompt != nullptr && prompt->Active() ? 1 : 0);
    });
    game.RegisterNative(
        kPromptCompletedNative, [&game](NativeCall& call) {
            call.ReturnInt(Prompts().CompletedOn(call.Int(0), game.FrameNumber()) ? 1 : 0);
        });
    game.RegisterNative(kPromptClearNative, [](NativeCall& call) {
        if (PromptRecord* prompt = Prompts().Mutable(call.Int(0))) {
            prompt->completedFrame = 0;
            ++prompt->clears;
        }
    });
    game.AddFrameHook([&game] { Prompts().BeginFrame(game.FrameNumber()); });
}

}  // namespace sim
