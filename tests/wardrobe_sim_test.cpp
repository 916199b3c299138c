// The simulated game's wardrobe side: what the clothing, keyboard and scene
// natives do, seen through the plug-in's own native bridge.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/game.h"
#include "sim/naming_keyboard.h"
#include "sim/scene.h"
#include "support/misuse.h"

namespace {

using game_natives::kCharacterSwitchNative;
using game_natives::kClothingResetNative;
using game_natives::kEntityModelNative;
using game_natives::kEntityPositionNative;
using game_natives::kItemStateNative;
using game_natives::kKeyboardDoneNative;
using game_natives::kKeyboardOpenNative;
using game_natives::kKeyboardResultNative;
using game_natives::kKeyboardStatusNative;
using game_natives::kOutfitCheckNative;
using game_natives::kPlayerCharacterNative;
using game_natives::kPlayerIdNative;
using game_natives::kPlayerSwitchNativeA;
using game_natives::kPutOnItemNative;

class SimWardrobe : public ::testing::Test {
  protected:
    // The test calls the natives itself, as the script routine would.
    void SetUp() override {
        sim::TheGame().Reset();
        sim::TheGame().AdoptScriptContext();
    }
    void TearDown() override { testing_support::ExpectNoMisuse(); }
    std::int32_t Me() { return CallNative<std::int32_t>(kPlayerCharacterNative); }
};

TEST_F(SimWardrobe, RecordZeroMirrorsWhatTheCharacterWears) {
    sim::Game& game = sim::TheGame();
    sim::Wardrobe().Wear({{0x11, 1}, {0x80000022u, 0xFFFFFFFFu}});
    EXPECT_EQ(game.Global(26826), 0x11u);
    EXPECT_EQ(game.Global(26829), 0x80000022u);
    EXPECT_EQ(game.Global(26830), 0xFFFFFFFFu);
    EXPECT_EQ(game.Global(26832), 0u);

    CallNative(kClothingResetNative, Me());
    EXPECT_EQ(game.Global(26826), 0u);
    // Items go back to the entry the game keeps them in; a new one takes the first free entry.
    CallNative(kPutOnItemNative, Me(), 0x80000022u, 0, 0, 0);
    CallNative(kItemStateNative, Me(), 0x80000022u, 7u, 0, 0, 1);
    CallNative(kPutOnItemNative, Me(), 0x99u, 1, 0, 0);
    EXPECT_EQ(game.Global(26829), 0x80000022u);
    EXPECT_EQ(game.Global(26830), 7u);
    EXPECT_EQ(game.Global(26826), 0x99u);
    EXPECT_EQ(sim::Wardrobe().Worn()[1], (sim::ClothingItem{0x80000022u, 7u}));
}

// The player and the character are two different values, neither 0: a
// native given the character, or a constant, for the player (or the other
// way round) does nothing and the wrong target is recorded.
TEST_F(SimWardrobe, PlayerNativesTakeOnlyThePlayerAndCharacterNativesOnlyTheCharacter) {
    const auto player = CallNative<std::int32_t>(kPlayerIdNative);
    EXPECT_NE(player, 0);
    EXPECT_NE(player, Me());
    CallNative(kPlayerSwitchNativeA, 0, true);
    CallNative(kPlayerSwitchNativeA, Me(), true);
    EXPECT_FALSE(sim::Character().PlayerSwitchA());
    CallNative(kCharacterSwitchNative, player, true);
    EXPECT_FALSE(sim::Character().CharacterSwitch());
    const auto& wrong = sim::Character().WrongTargets();
    ASSERT_EQ(wrong.size(), 3u);
    EXPECT_EQ(wrong[0].hash, kPlayerSwitchNativeA);
    EXPECT_TRUE(wrong[0].wantedPlayer);
    EXPECT_EQ(wrong[0].given, 0);
    EXPECT_EQ(wrong[1].given, Me());
    EXPECT_EQ(wrong[1].wanted, player);
    EXPECT_EQ(wrong[2].hash, kCharacterSwitchNative);
    EXPECT_FALSE(wrong[2].wantedPlayer);
    EXPECT_EQ(wrong[2].given, player);

    CallNative(kPlayerSwitchNativeA, player, true);
    CallNative(kCharacterSwitchNative, Me(), true);
    EXPECT_TRUE(sim::Character().PlayerSwitchA());
    EXPECT_TRUE(sim::Character().CharacterSwitch());
    EXPECT_EQ(wrong.size(), 3u);
}

// The position native's last argument picks the real position (1) or the
// drawn one (0); the forward vector has a nonzero height.
TEST_F(SimWardrobe, PositionFollowsItsFlagAndTheForwardVectorClimbs) {
    sim::Character().SetPosition({1.0f, 2.0f, 3.0f});
    const Vector3 real = CallNative<Vector3>(kEntityPositionNative, Me(), 1, 1);
    const Vector3 drawn = CallNative<Vector3>(kEntityPositionNative, Me(), 1, 0);
    EXPECT_EQ(real.z, 3.0f);
    EXPECT_EQ(drawn.z, 3.0f - sim::CharacterState::kDrawnDrop);
    EXPECT_EQ(drawn.x, 1.0f);
    EXPECT_NE(sim::Character().Forward().z, 0.0f);
}

TEST_F(SimWardrobe, PresetsBelongToArthur) {
    const std::uint32_t cool = sim::NameHash("META_OUTFIT_COOL_WEATHER");
    auto model = [&] { return CallNative<std::uint32_t>(kEntityModelNative, Me()); };
    EXPECT_EQ(model(), sim::NameHash("player_zero"));
    EXPECT_TRUE(CallNative<bool>(kOutfitCheckNative, cool, model()));
    EXPECT_TRUE(CallNative<bool>(kOutfitCheckNative, 0x07C7B5D8u, model()));
    EXPECT_FALSE(CallNative<bool>(kOutfitCheckNative, 0x12345678u, model()));
    sim::Character().SetModel(sim::CharacterModel::John);
    EXPECT_EQ(model(), sim::NameHash("player_three"));
    EXPECT_FALSE(CallNative<bool>(kOutfitCheckNative, cool, model()));
}

TEST_F(SimWardrobe, GameOutfitsCanBeFilledOrEmptied) {
    sim::Game& game = sim::TheGame();
    game.SetGlobal(outfit_globals::FlagsGlobal(4), 0xF0);
    sim::Wardrobe().FillGameOutfit(4, {{5, 6}});
    EXPECT_EQ(game.Global(26823 + 480), 0xF2u);
    EXPECT_EQ(game.Global(26826 + 480), 5u);
    EXPECT_EQ(game.Global(26827 + 480), 6u);
    sim::Wardrobe().EmptyGameOutfit(4);
    EXPECT_EQ(game.Global(26823 + 480), 0xF0u);
    EXPECT_EQ(game.Global(26826 + 480), 0u);
}

TEST_F(SimWardrobe, KeyboardStatusesAndShortLivedResult) {
    sim::Game& game = sim::TheGame();
    auto status = [] { return CallNative<std::int32_t>(kKeyboardStatusNative); };
    EXPECT_GT(status(), 1);
    CallNative(kKeyboardOpenNative, 0, "STABLE_RENAME_MOUNT_PROMPT", "", "Saved Custom Outfit Six",
               "", "", "", 3);
    EXPECT_EQ(sim::NamingKeyboard().InitialText(), "Saved Custom Outfit Six");
    EXPECT_EQ(status(), 0);
    sim::NamingKeyboard().Finish("h\xC3\xA9llo");  // three characters kept, the é as one
    EXPECT_EQ(status(), 1);
    const char* text = CallNative<const char*>(kKeyboardResultNative);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "h\xC3\xA9l");
    CallNative(kKeyboardDoneNative);
    EXPECT_GT(status(), 1);
    game.RunFrame();
    EXPECT_TRUE(sim::NamingKeyboard().ResultReclaimed());

    CallNative(kKeyboardOpenNative, 0, "T", "", "", "", "", "", 30);
    sim::NamingKeyboard().FinishNull();
    EXPECT_EQ(status(), 1);
    EXPECT_EQ(CallNative<const char*>(kKeyboardResultNative), nullptr);
    CallNative(kKeyboardOpenNative, 0, "T", "", "", "", "", "", 30);
    sim::NamingKeyboard().Cancel();
    EXPECT_EQ(status(), 2);
}

}  // namespace
