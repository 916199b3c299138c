#include "sim/character.h"

#include "host/native_hashes.h"
#include "sim/game.h"

namespace sim {

namespace {

using game_natives::kCharacterCheckNative;
using game_natives::kCharacterNativeA;
using game_natives::kCharacterNativeB;
using game_natives::kCharacterNativeC;
using game_natives::kCharacterNativeD;
using game_natives::kEntityForwardNative;
using game_natives::kEntityModelNative;
using game_natives::kEntityPositionNative;
using game_natives::kPlayerCharacterNative;
using game_natives::kPlayerIdNative;
constexpr NativeId kCharacterNatives[4] = {kCharacterNativeA, kCharacterNativeB, kCharacterNativeC,
                                           kCharacterNativeD};
using game_natives::kCharacterSwitchNative;
using game_natives::kPlayerSwitchNativeA;
using game_natives::kPlayerSwitchNativeB;

}  // namespace

std::uint32_t ModelHash(CharacterModel model) {
    return NameHash(model == CharacterModel::Arthur ? kArthurModelName : kJohnModelName);
}

int CharacterState::CharacterNativeCalls(char which) const {
    const int index = which - 'A';
    return index >= 0 && index < 4 ? nativeCalls_[index] : 0;
}

bool CharacterState::Takes(std::uint64_t hash, const NativeCall& call, std::size_t index,
                           bool player) {
    const std::int32_t wanted = player ? playerId_ : handle_;
    const std::int32_t given = call.Int(index);
    if (given == wanted) {
        return true;
    }
    wrongTargets_.push_back({TheGame().FrameNumber(), hash, player, given, wanted});
    return false;
}

bool CharacterState::TakesCharacter(std::uint64_t hash, const NativeCall& call, std::size_t index) {
    return Takes(hash, call, index, false);
}

bool CharacterState::TakesPlayer(std::uint64_t hash, const NativeCall& call, std::size_t index) {
    return Takes(hash, call, index, true);
}

CharacterState& Character() {
    static CharacterState state;
    return state;
}

void RegisterCharacterNatives(Game& game) {
    CharacterState& me = Character();
    me = CharacterState();
    // Each native that takes the character acts only on it; a wrong one is recorded.
    auto isCharacter = [](NativeCall& call, std::uint64_t hash) {
        return Character().TakesCharacter(hash, call);
    };

    game.RegisterNative(kPlayerCharacterNative,
                        [](NativeCall& call) { call.ReturnInt(Character().Handle()); });
    game.RegisterNative(kPlayerIdNative,
                        [](NativeCall& call) { call.ReturnInt(Character().PlayerId()); });
    game.RegisterNative(kEntityModelNative, [isCharacter](NativeCall& call) {
        const bool character = isCharacter(call, kEntityModelNative);
        call.ReturnUint(character ? Character().ModelHash() : 0);
    });
    game.RegisterNative(kEntityPositionNative, [isCharacter](NativeCall& call) {
        // The last argument picks the real position (1) or the drawn one (0).
        const bool character = isCharacter(call, kEntityPositionNative);
        const Vec3 p = !character     ? Vec3{}
                       : call.Bool(2) ? Character().Position()
                                      : Character().DrawnPosition();
        call.ReturnVector(p.x, p.y, p.z);
    });
    game.RegisterNative(kEntityForwardNative, [isCharacter](NativeCall& call) {
        const bool character = isCharacter(call, kEntityForwardNative);
        const Vec3 f = character ? Character().Forward() : Vec3{};
        call.ReturnVector(f.x, f.y, f.z);
    });
    game.RegisterNative(kCharacterCheckNative, [isCharacter](NativeCall& call) {
        const bool character = isCharacter(call, kCharacterCheckNative);
        call.ReturnBool(character && Character().CharacterCheck());
    });
    for (int i = 0; i < 4; ++i) {
        game.RegisterNative(kCharacterNatives[i], [i](NativeCall& call) {
            const std::uint64_t hash = kCharacterNatives[i];
            CharacterState& character = Character();
            // C copies the character onto a target: the character again.
            const bool target =
                hash != kCharacterNativeC || character.TakesCharacter(hash, call, 1);
            if (character.TakesCharacter(hash, call) && target) {
                ++character.nativeCalls_[i];
            }
        });
    }
    game.RegisterNative(kCharacterSwitchNative, [isCharacter](NativeCall& call) {
        if (isCharacter(call, kCharacterSwitchNative)) {
            Character().characterSwitch_ = call.Bool(1);
        }
    });
    game.RegisterNative(kPlayerSwitchNativeA, [](NativeCall& call) {
        if (Character().TakesPlayer(kPlayerSwitchNativeA, call)) {
            Character().playerSwitchA_ = call.Bool(1);
        }
    });
    game.RegisterNative(kPlayerSwitchNativeB, [](NativeCall& call) {
        if (Character().TakesPlayer(kPlayerSwitchNativeB, call)) {
            Character().playerSwitchB_ = call.Bool(1);
        }
    });
}

}  // namespace sim
