#include "sim/sounds.h"

#include "host/native_hashes.h"
#include "sim/game.h"

namespace sim {

using game_natives::kSoundPlayNative;
using game_natives::kSoundPrepareNative;

SoundLog& Sounds() {
    static SoundLog sounds;
    return sounds;
}

std::vector<std::string> SoundLog::Played() const {
    std::vector<std::string> played;
    for (const SoundEvent& event : events_) {
        if (event.kind == SoundEvent::Kind::Play) {
            played.push_back(event.name + "/" + event.set);
        }
    }
    return played;
}

std::vector<std::string> SoundLog::PlayedOnFrame(std::uint64_t frame) const {
    std::vector<std::string> played;
    for (const SoundEvent& event : events_) {
        if (event.kind == SoundEvent::Kind::Play && event.frame == frame) {
            played.push_back(event.name + "/" + event.set);
        }
    }
    return played;
}

void SoundLog::Record(SoundEvent event) {
    if (event.kind == SoundEvent::Kind::Play) {
        // The most recent unconsumed prepare of the same sound counts for this play.
        for (auto it = events_.rbegin(); it != events_.rend(); ++it) {
            if (it->name != event.name || it->set != event.set) {
                continue;
            }
            event.wasPrepared = it->kind == SoundEvent::Kind::Prepare;
            break;
        }
    }
    events_.push_back(std::move(event));
}

namespace {

// Both sound natives take the sound's name and its set first.
SoundEvent EventOf(SoundEvent::Kind kind, const Game& game, const NativeCall& call) {
    SoundEvent event;
    event.kind = kind;
    event.frame = game.FrameNumber();
    event.name = call.Text(0).value_or("");
    event.set = call.Text(1).value_or("");
    return event;
}

}  // namespace

void RegisterSounds(Game& game) {
    Sounds().Reset();
    game.RegisterNative(kSoundPrepareNative, [&game](NativeCall& call) {
        Sounds().Record(EventOf(SoundEvent::Kind::Prepare, game, call));
    });
    game.RegisterNative(kSoundPlayNative, [&game](NativeCall& call) {
        SoundEvent event = EventOf(SoundEvent::Kind::Play, game, call);
        event.third = call.Int(2);
        event.fourth = call.Int(3);
        Sounds().Record(std::move(event));
    });
}

}  // namespace sim
