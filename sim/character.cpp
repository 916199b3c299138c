#include "sim/character.h"

#include "sim/game.h"

namespace sim {

namespace {

constexpr std::uint64_t kPlayerCharacterNative = 0x096275889B8E0EE0;
constexpr std::uint64_t kPlayerIdNative = 0x217E9DC48139933D;
constexpr std::uint64_t kEntityModelNative = 0xDA76A9F39210D365;
constexpr std::uint64_t kEntityPositionNative = 0xA86D5F069399F44D;
constexpr std::uint64_t kEntityForwardNative = 0x2412D9C05BB09B97;
constexpr std::uint64_t kCharacterCheckNative = 0x7D5B1F88E7504BBA;
constexpr std::uint64_t kCharacterNativeA = 0xAAA34F8A7CB32098;
constexpr std::uint64_t kCharacterNativeB = 0x9587913B9E772D29;
constexpr std::uint64_t kCharacterNativeC = 0xE952D6431689AD9A;
constexpr std::uint64_t kCharacterNativeD = 0x2208438012482A1A;
constexpr std::uint64_t kCharacterNatives[4] = {kCharacterNativeA, kCharacterNativeB,
                                                kCharacterNativeC, kCharacterNativeD};
constexpr std::uint64_t kCharacterSwitchNative = 0x7D9EFB7AD6B19754;
constexpr std::uint64_t kPlayerSwitchNativeA = 0x34630A768925B852;
constexpr std::uint64_t kPlayerSwitchNativeB = 0xFEBEEBC9CBDF4B12;

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
    const std::uint64_t characterNatives[4] = {kCharacterNativeA, kCharacterNativeB,
                                               kCharacterNativeC, kCharacterNativeD};
    for (int i = 0; i < 4; ++i) {
        game.RegisterNative(characterNatives[i], [i](NativeCall& call) {
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
