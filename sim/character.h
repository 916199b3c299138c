// The player and the player's character in the simulated game: the handle,
// the model (Arthur or John), where the character stands and faces, the
// character check that forces the wardrobe shut, and the switches and
// character natives the wardrobe scene sets.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

class Game;

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

enum class CharacterModel { Arthur, John };

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
    // What the player-id native answers.
    std::int32_t PlayerId() const { return playerId_; }
    CharacterModel Model() const { return model_; }
    void SetModel(CharacterModel model) { model_ = model; }
    std::uint32_t ModelHash() const { return sim::ModelHash(model_); }

    // --- Placement -------------------------------------------------------------
    Vec3 Position() const { return position_; }
    void SetPosition(Vec3 position) { position_ = position; }
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

  private:
    friend void RegisterCharacterNatives(Game& game);

    std::int32_t handle_ = 0x2A11;
    std::int32_t playerId_ = 0;
    CharacterModel model_ = CharacterModel::Arthur;
    Vec3 position_{-250.0f, 800.0f, 118.5f};
    Vec3 forward_{0.0f, 1.0f, 0.0f};
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
