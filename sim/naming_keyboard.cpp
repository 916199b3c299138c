#include "sim/naming_keyboard.h"

#include <cstring>

#include "host/native_hashes.h"
#include "host/onscreen_keyboard.h"
#include "sim/game.h"

namespace sim {

namespace {

using game_natives::kKeyboardDoneNative;
using game_natives::kKeyboardOpenNative;
using game_natives::kKeyboardResultNative;
using game_natives::kKeyboardStatusNative;
using game_natives::kTextNullNative;

std::string FirstCharacters(const std::string& text, std::int32_t count) {
    std::size_t end = 0;
    for (std::int32_t seen = 0; end < text.size() && seen < count; ++seen) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return text.substr(0, end);
}

}  // namespace

void NamingKeyboardState::Finish(const std::string& text) {
    FinishRaw(maxLength_ > 0 ? FirstCharacters(text, maxLength_) : text);
}

void NamingKeyboardState::FinishRaw(const std::string& text) {
    if (status_ != Status::Typing) {
        return;
    }
    pending_ = text;
    nullResult_ = false;
    status_ = Status::Finished;
}

void NamingKeyboardState::FinishNull() {
    if (status_ != Status::Typing) {
        return;
    }
    pending_.clear();
    nullResult_ = true;
    status_ = Status::Finished;
}

void NamingKeyboardState::Cancel() {
    if (status_ == Status::Typing) {
        status_ = Status::Cancelled;
    }
}

NamingKeyboardState& NamingKeyboard() {
    static NamingKeyboardState state;
    return state;
}

void RegisterNamingKeyboardNatives(Game& game) {
    NamingKeyboard() = NamingKeyboardState();
    // The result text lives until the frame after the one that handed it out,
    // so a plug-in that keeps the pointer reads freed memory.
    game.AddFrameHook([&game] {
        NamingKeyboardState& keyboard = NamingKeyboard();
        if (keyboard.result_ && keyboard.resultFrame_ < game.FrameNumber()) {
            const std::size_t size = std::strlen(keyboard.result_.get());
            std::memset(keyboard.result_.get(), 0x5A, size);
            keyboard.result_.reset();
        }
    });
    game.RegisterNative(kKeyboardOpenNative, [](NativeCall& call) {
        NamingKeyboardState& keyboard = NamingKeyboard();
        keyboard.status_ = NamingKeyboardState::Status::Typing;
        ++keyboard.opens_;
        keyboard.title_ = call.Text(1).value_or("");
        keyboard.initialText_ = call.Text(3).value_or("");
        keyboard.maxLength_ = call.Int(7);
        keyboard.pending_.clear();
        keyboard.nullResult_ = false;
    });
    game.RegisterNative(kKeyboardStatusNative, [](NativeCall& call) {
        switch (NamingKeyboard().status_) {
            case NamingKeyboardState::Status::Typing:
                call.ReturnInt(onscreen_keyboard::kTyping);
                break;
            case NamingKeyboardState::Status::Finished:
                call.ReturnInt(onscreen_keyboard::kFinished);
                break;
            case NamingKeyboardState::Status::Cancelled:
                call.ReturnInt(onscreen_keyboard::kCancelled);
                break;
            case NamingKeyboardState::Status::Hidden:
                call.ReturnInt(onscreen_keyboard::kHidden);
                break;
        }
    });
    game.RegisterNative(kKeyboardResultNative, [&game](NativeCall& call) {
        NamingKeyboardState& keyboard = NamingKeyboard();
        if (keyboard.status_ != NamingKeyboardState::Status::Finished || keyboard.nullResult_) {
            call.ReturnPointer(nullptr);
            return;
        }
        keyboard.result_ = std::make_unique<char[]>(keyboard.pending_.size() + 1);
        std::memcpy(keyboard.result_.get(), keyboard.pending_.c_str(),
                    keyboard.pending_.size() + 1);
        keyboard.resultFrame_ = game.FrameNumber();
        call.ReturnPointer(keyboard.result_.get());
    });
    game.RegisterNative(kKeyboardDoneNative, [](NativeCall&) {
        NamingKeyboard().status_ = NamingKeyboardState::Status::Hidden;
    });
    game.RegisterNative(kTextNullNative,
                        [](NativeCall& call) { call.ReturnBool(call.RawText(0) == nullptr); });
}

}  // namespace sim
