// The player and the player's character in the simulated game: the handle,
// the model (Arthur or John), where the character stands and faces, the
// character check that forces the wardrobe shut, and the switches and
// character natives the wardrobe scene sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class Game;
class NativeCall;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vec3& o) const { return x == o.x && y == o.y && z == o.z; }
};

enum class CharacterModel { Arthur, John };

// A native given something else where it takes the character (a ped or
// entity) or the player: the game would act on another ped or player, or on
// none. The native does nothing then.
struct WrongTarget {
    std::uint64_t frame = 0;
    std::uint64_t hash = 0;
    bool wantedPlayer = false;  // the player was wanted, else the character
    std::int32_t given = 0;
    std::int32_t wanted = 0;
};

// The game's model names; the model hash is their name hash.
constexpr const char* kArthurModelName = "player_zero";
constexpr const char* kJohnModelName = "player_three";

std::uint32_t ModelHash(CharacterModel model);

class CharacterState {
  public:
    // --- Identity ------------------------------------------------------------
    // What the player-character native answers (a different handle stands for
    // a respawned character).
    std::int32_t Handle() const { return handle_; }
    void SetHandle(std::int32_t handle) { handle_ = handle; }
    // What the player-id native answers: not 0 and not the character's
    // handle, so a constant or the character given for the player shows.
    std::int32_t PlayerId() const { return playerId_; }
    CharacterModel Model() const { return model_; }
    void SetModel(CharacterModel model) { model_ = model; }
    std::uint32_t ModelHash() const { return sim::ModelHash(model_); }

    // --- Placement -------------------------------------------------------------
    // The entity-position native answers Position() when its last argument
    // (realCoords) is 1 and DrawnPosition() when it is 0. The drawn position
    // follows the real one, kDrawnDrop lower, unless set on its own.
    static constexpr float kDrawnDrop = 0.25f;
    Vec3 Position() const { return position_; }
    Vec3 DrawnPosition() const { return drawnPosition_; }
    void SetPosition(Vec3 position) {
        position_ = position;
        drawnPosition_ = {position.x, position.y, position.z - kDrawnDrop};
    }
    void SetDrawnPosition(Vec3 position) { drawnPosition_ = position; }
    Vec3 Forward() const { return forward_; }
    void SetForward(Vec3 forward) { forward_ = forward; }

    // --- The character check: nonzero forces the wardrobe shut ---------------------
    bool CharacterCheck() const { return characterCheck_; }
    void SetCharacterCheck(bool on) { characterCheck_ = on; }

    // --- What the wardrobe scene set --------------------------------------------------
    // Last value given to the character switch native and the two player switches.
    bool CharacterSwitch() const { return characterSwitch_; }
    bool PlayerSwitchA() const { return playerSwitchA_; }
    bool PlayerSwitchB() const { return playerSwitchB_; }
    // How often character natives A to D ran.
    int CharacterNativeCalls(char which) const;

    // --- Wrong targets ------------------------------------------------------------
    // Every call since the reset that was given a wrong character or player.
    const std::vector<WrongTarget>& WrongTargets() const { return wrongTargets_; }
    // Whether argument `index` of the call of native `hash` is the
    // character's handle or the player id; a wrong one is recorded. The
    // handlers of every native that takes the character or the player ask
    // this before acting.
    bool TakesCharacter(std::uint64_t hash, const NativeCall& call, std::size_t index = 0);
    bool TakesPlayer(std::uint64_t hash, const NativeCall& call, std::size_t index = 0);

  private:
    friend void RegisterCharacterNatives(Game& game);

    bool Takes(std::uint64_t hash, const NativeCall& call, std::size_t index, bool player);

    std::int32_t handle_ = 0x2A11;
    std::int32_t playerId_ = 0x1D;
    CharacterModel model_ = CharacterModel::Arthur;
    Vec3 position_{-250.0f, 800.0f, 118.5f};
    Vec3 drawnPosition_{-250.0f, 800.0f, 118.25f};
    // A unit vector with all three parts nonzero (the character stands on a
    // slope), so a dropped part of a placement shows.
    Vec3 forward_{0.6f, 0.64f, 0.48f};
    std::vector<WrongTarget> wrongTargets_;
    bool characterCheck_ = false;
    bool characterSwitch_ = false;
    bool playerSwitchA_ = false;
    bool playerSwitchB_ = false;
    int nativeCalls_[4] = {0, 0, 0, 0};
};

// The one player character of the simulated game; reset with the game.
CharacterState& Character();

void RegisterCharacterNatives(Game& game);

}  // namespace sim
