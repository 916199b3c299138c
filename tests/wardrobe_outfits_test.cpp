// Preset and game outfits: the exact call order, the kept items, the
// bookkeeping globals and the messages.
#include "wardrobe_fixture.h"

namespace {

using namespace wardrobe_testing;

class WardrobeOutfits : public WardrobeFixture {
  protected:
    void SetUp() override {
        WardrobeFixture::SetUp();
        StartUp(kRootOnly);
        me = std::to_string(sim::Character().Handle());
    }
    std::string me;
};

TEST_F(WardrobeOutfits, PresetPutsTheNineKeptItemsBackInTwoGroups) {
    // Kept entries 1, 6, 7, 5 then 24 to 28; entry 6 holds no item and is passed anyway.
    std::vector<sim::ClothingItem> worn(39);
    const int kept[] = {1, 6, 7, 5, 24, 25, 26, 27, 28};
    for (int k : kept) {
        worn[k] = {static_cast<std::uint32_t>(1000 + k), static_cast<std::uint32_t>(2000 + k)};
    }
    worn[6] = {0, 77};
    worn[3] = {0xABCu, 1};  // not kept
    sim::Wardrobe().Wear(worn);
    menu().currentSubmenu = &Menu::submenuRegistry[2];
    menu().currentOption = 3;
    const std::size_t mark = TraceMark();
    EquipPreset(0xFD336722);

    std::vector<std::string> expected = {
        "PLAYER::PLAYER_PED_ID",
        "ENTITY::GET_ENTITY_MODEL " + me,
        "PED::_DOES_META_PED_OUTFIT_EXIST_FOR_PED_MODEL " + std::to_string(0xFD336722u) + "," +
            std::to_string(sim::NameHash("player_zero")),
        "PLAYER::PLAYER_PED_ID",
        "PED::_RESET_PED_COMPONENTS " + me,
        "PLAYER::PLAYER_PED_ID",
        "PED::_EQUIP_META_PED_OUTFIT " + me + "," + std::to_string(0xFD336722u),
        "PLAYER::PLAYER_PED_ID",
        "PED::_UPDATE_PED_VARIATION " + me + ",1,1,1,1,1",
    };
    auto group = [&](std::vector<int> entries) {
        for (int k : entries) {
            expected.push_back("PLAYER::PLAYER_PED_ID");
            expected.push_back("PED::_APPLY_SHOP_ITEM_TO_PED " + me + "," +
                               std::to_string(worn[k].item) + ",1,0,0");
        }
        for (int k : entries) {
            expected.push_back("PLAYER::PLAYER_PED_ID");
            expected.push_back("PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE " + me + "," +
                               std::to_string(worn[k].item) + "," + std::to_string(worn[k].state) +
                               ",0,0,1");
        }
    };
    group({1, 6, 7, 5});
    group({24, 25, 26, 27, 28});
    expected.push_back("PLAYER::PLAYER_PED_ID");
    expected.push_back("PED::_UPDATE_PED_VARIATION " + me + ",0,1,1,1,0");
    EXPECT_EQ(TraceFrom(mark), expected);
    EXPECT_EQ(LastMessage(), "Equipped: The Grizzlies Outlaw");

    // The preset's own items stay where the kept ones did not go.
    const sim::OutfitEntries* preset =
        sim::Wardrobe().Preset(sim::CharacterModel::Arthur, 0xFD336722);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(sim::Wardrobe().Worn()[0], (*preset)[0]);
    EXPECT_EQ(sim::Wardrobe().Worn()[24], worn[24]);
}

TEST_F(WardrobeOutfits, NamedPresetsAskTheGameForTheirHashWhenActivated) {
    menu().currentSubmenu = &Menu::submenuRegistry[2];
    menu().currentOption = 0;
    const std::size_t mark = TraceMark();
    Row(2, 0).callback();
    const auto trace = TraceFrom(mark);
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0], "MISC::GET_HASH_KEY 'META_OUTFIT_COOL_WEATHER'");
    EXPECT_EQ(trace[3], "PED::_DOES_META_PED_OUTFIT_EXIST_FOR_PED_MODEL " +
                            std::to_string(sim::NameHash("META_OUTFIT_COOL_WEATHER")) + "," +
                            std::to_string(sim::NameHash("player_zero")));
    EXPECT_EQ(LastMessage(), "Equipped: The Gunslinger");
    menu().currentOption = 1;
    Row(2, 1).callback();
    EXPECT_EQ(sim::Wardrobe().LastPreset(), sim::NameHash("META_OUTFIT_HOT_WEATHER"));
    EXPECT_EQ(LastMessage(), "Equipped: The Summer Gunslinger");
}

TEST_F(WardrobeOutfits, EveryPresetWorksForArthurAndNoneForJohn) {
    menu().currentSubmenu = &Menu::submenuRegistry[2];
    for (std::int32_t row = 0; row < 9; ++row) {
        menu().currentOption = row;
        Row(2, row).callback();
        EXPECT_EQ(LastMessage(), "Equipped: " + Row(2, row).label);
    }
    sim::Character().SetModel(sim::CharacterModel::John);
    const sim::OutfitEntries worn = sim::Wardrobe().Worn();
    const int resets = sim::Wardrobe().ResetCount();
    for (std::int32_t row = 0; row < 9; ++row) {
        menu().currentOption = row;
        const std::size_t mark = TraceMark();
        Row(2, row).callback();
        EXPECT_EQ(LastMessage(), "Preset outfits currently only work for Arthur. Sorry!");
        const auto trace = TraceFrom(mark);
        EXPECT_EQ(trace.back().rfind("PED::_DOES_META_PED_OUTFIT_EXIST_FOR_PED_MODEL", 0), 0u);
    }
    EXPECT_EQ(sim::Wardrobe().Worn(), worn);
    EXPECT_EQ(sim::Wardrobe().ResetCount(), resets);
}

TEST_F(WardrobeOutfits, GameOutfitDressesFromItsRecordAndKeepsTheOtherFlagBits) {
    game().SetGlobal(7201, 0xE0F0);
    game().SetGlobal(7198, 0x5);
    sim::Wardrobe().FillGameOutfit(1, {{0, 9}, {0x90000001u, 3}, {0, 0}, {44, 0}});
    OnSavedOutfitsRow(0);
    const std::size_t mark = TraceMark();
    EquipGameOutfit(1);
    const std::uint32_t label = sim::NameHash("CLOTHING_SP_OUTFIT_SAVE_ONE");
    EXPECT_EQ(TraceFrom(mark),
              (std::vector<std::string>{
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_RESET_PED_COMPONENTS " + me,
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_APPLY_SHOP_ITEM_TO_PED " + me + ",2415919105,0,0,0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE " + me + ",2415919105,3,0,0,1",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_APPLY_SHOP_ITEM_TO_PED " + me + ",44,0,0,0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_SHOP_ITEM_WEARABLE_STATE " + me + ",44,0,0,0,1",
                  "MISC::GET_HASH_KEY 'CLOTHING_SP_OUTFIT_SAVE_ONE'",
                  "global 1948301=" + std::to_string(label),
                  "global 1948182=" + std::to_string(label),
                  "global 7769=1",
                  "global 7201=" + std::to_string(0xF0F0),
                  "global 27572=1",
                  "global 1905941=1",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_SET_ACTIVE_META_PED_COMPONENTS_UPDATED " + me + ",0",
                  "PLAYER::PLAYER_PED_ID",
                  "PED::_UPDATE_PED_VARIATION " + me + ",0,1,1,1,0",
              }));
    EXPECT_EQ(game().Global(7198), 0x5u);
    EXPECT_EQ(LastMessage(), "Equipped: Saved Custom Outfit One");
}

TEST_F(WardrobeOutfits, GameOutfitFiveWritesGlobal7213) {
    game().SetGlobal(7213, 0x1001);
    sim::Wardrobe().FillGameOutfit(5, {{7, 8}});
    OnSavedOutfitsRow(4);
    EquipGameOutfit(5);
    EXPECT_EQ(game().Global(7213), 0x1001u);
    EXPECT_EQ(game().Global(7769), 5u);
    EXPECT_EQ(game().Global(1948301), sim::NameHash("CLOTHING_SP_OUTFIT_SAVE_FIVE"));
    EXPECT_EQ(sim::Wardrobe().Worn()[0], (sim::ClothingItem{7, 8}));
    EXPECT_EQ(LastMessage(), "Equipped: Saved Custom Outfit Five");
}

TEST_F(WardrobeOutfits, AllZeroGameOutfitStillWritesTheBookkeeping) {
    sim::Wardrobe().FillGameOutfit(2, {});
    OnSavedOutfitsRow(1);
    const std::size_t mark = TraceMark();
    EquipGameOutfit(2);
    const auto trace = TraceFrom(mark);
    EXPECT_EQ(trace[1], "PED::_RESET_PED_COMPONENTS " + me);
    EXPECT_EQ(trace[2], "MISC::GET_HASH_KEY 'CLOTHING_SP_OUTFIT_SAVE_TWO'");
    EXPECT_EQ(trace.back(), "PED::_UPDATE_PED_VARIATION " + me + ",0,1,1,1,0");
    EXPECT_EQ(game().Global(27572), 2u);
    EXPECT_EQ(game().Global(7204), 0x1000u);
    EXPECT_EQ(LastMessage(), "Equipped: Saved Custom Outfit Two");
}

TEST_F(WardrobeOutfits, EmptyGameSlotOnlyShowsTheMessage) {
    sim::Wardrobe().EmptyGameOutfit(4);
    game().SetGlobal(outfit_globals::FlagsGlobal(4), 0xFD);  // every bit but the saved one
    OnSavedOutfitsRow(3);
    const std::size_t mark = TraceMark();
    EquipGameOutfit(4);
    EXPECT_TRUE(TraceFrom(mark).empty());
    EXPECT_EQ(LastMessage(), "[Vanilla]: There is no saved outfit in this slot");
}

TEST_F(WardrobeOutfits, MissingGlobalsReadAsZeroAndAreNotWritten) {
    sim::Wardrobe().FillGameOutfit(3, {{5, 6}});
    game().SetGlobalMissing(7207, true);
    game().SetGlobalMissing(1948301, true);
    OnSavedOutfitsRow(2);
    EquipGameOutfit(3);
    EXPECT_EQ(LastMessage(), "Equipped: Saved Custom Outfit Three");
    game().SetGlobalMissing(7207, false);
    game().SetGlobalMissing(1948301, false);
    EXPECT_EQ(game().Global(7207), 0u);
    EXPECT_EQ(game().Global(1948301), 0u);
    EXPECT_EQ(game().Global(1948182), sim::NameHash("CLOTHING_SP_OUTFIT_SAVE_THREE"));

    // A lost flags word reads as an empty slot.
    game().SetGlobalMissing(outfit_globals::FlagsGlobal(3), true);
    EquipGameOutfit(3);
    EXPECT_EQ(LastMessage(), "[Vanilla]: There is no saved outfit in this slot");
}

}  // namespace
