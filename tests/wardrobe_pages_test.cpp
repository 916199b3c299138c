// The wardrobe's four pages: titles, rows, descriptions and what each row runs.
#include <iterator>

#include "wardrobe/presets.h"
#include "wardrobe_fixture.h"

namespace {

using namespace wardrobe_testing;

class WardrobePages : public WardrobeFixture {
  protected:
    void SetUp() override {
        WardrobeFixture::SetUp();
        StartUp(FileWith(OutfitXml("Named", 6, {0x31}, {0}) + OutfitXml("Last", 20, {0x32}, {0})));
    }
    std::vector<std::string> Labels(std::int32_t page) {
        std::vector<std::string> labels;
        for (const Option& option : Menu::submenuRegistry[page].options) {
            labels.push_back(option.label);
        }
        return labels;
    }
};

TEST_F(WardrobePages, FourPagesWithTheirTitlesAndSizes) {
    ASSERT_EQ(Menu::submenuRegistry.size(), 4u);
    const char* subtitles[] = {"Change Clothes", "Saved Custom Outfits", "Preset Outfits",
                               "Settings"};
    const std::int32_t visible[] = {8, 12, 12, 12};
    const auto presets = static_cast<std::int32_t>(std::size(wardrobe_presets::kPresets));
    const std::int32_t counts[] = {3, 21, presets, 3};
    for (std::int32_t id = 0; id < 4; ++id) {
        const Submenu& page = Menu::submenuRegistry[id];
        EXPECT_EQ(page.title, "WARDROBE");
        EXPECT_EQ(page.subtitle, subtitles[id]);
        EXPECT_EQ(page.id, id);
        EXPECT_EQ(page.maxVisibleOptions, visible[id]);
        EXPECT_EQ(page.optionCount, counts[id]);
        EXPECT_EQ(static_cast<std::int32_t>(page.options.size()), counts[id]);
    }
}

TEST_F(WardrobePages, MainPageLinksCarryTheCredit) {
    EXPECT_EQ(Labels(0), (std::vector<std::string>{"Saved Outfits", "Preset Outfits", "Settings"}));
    for (std::int32_t row = 0; row < 3; ++row) {
        EXPECT_TRUE(Row(0, row).isSubmenuLink);
        EXPECT_EQ(Row(0, row).targetSubmenu, row + 1);
        EXPECT_EQ(Row(0, row).description, Row(0, 0).description);
        EXPECT_NE(Row(0, row).description.find("Garbolt"), std::string::npos);
    }
}

TEST_F(WardrobePages, SavedOutfitsRowsRunTheirSlotNumbers) {
    const std::vector<std::string> labels = Labels(1);
    EXPECT_EQ(labels[0], "Saved Custom Outfit One");
    EXPECT_EQ(labels[4], "Saved Custom Outfit Five");
    EXPECT_EQ(labels[5], "Garbolt Outfits");
    EXPECT_EQ(labels[6], "Named");  // the stored name replaces "Saved Custom Outfit Six"
    EXPECT_EQ(labels[7], "Saved Custom Outfit Seven");
    EXPECT_EQ(labels[19], "Saved Custom Outfit Nineteen");
    EXPECT_EQ(labels[20], "Last");
    const Option& heading = Row(1, 5);
    EXPECT_TRUE(heading.isHeading);
    EXPECT_TRUE(heading.description.empty());
    EXPECT_FALSE(heading.callback);
    EXPECT_EQ(Row(1, 0).description, "Equip this vanilla custom saved outfit");
    EXPECT_EQ(Row(1, 12).description, "Equip this custom saved outfit");
    for (std::int32_t row = 0; row < 21; ++row) {
        EXPECT_EQ(Row(1, row).index, row);
    }

    // Row 0 puts on game outfit 1, row 6 custom slot 7, row 20 custom slot 21.
    sim::Wardrobe().FillGameOutfit(1, {{0x30, 0}});
    OnSavedOutfitsRow(0);
    Row(1, 0).callback();
    EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 0x30u);
    OnSavedOutfitsRow(6);
    Row(1, 6).callback();
    EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 0x31u);
    EXPECT_EQ(LastMessage(), "Equipped: Named");
    OnSavedOutfitsRow(20);
    Row(1, 20).callback();
    EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 0x32u);
    // A label that strayed from the file follows it again at the equip.
    Row(1, 20).SetText("Renamed");
    Row(1, 20).callback();
    EXPECT_EQ(LastMessage(), "Equipped: Last");
    EXPECT_EQ(sim::Wardrobe().Worn()[0].item, 0x32u);
    OnSavedOutfitsRow(13);
    Row(1, 13).callback();
    EXPECT_EQ(LastMessage(), "[Custom]: There is no saved outfit in this slot");
}

TEST_F(WardrobePages, PresetsAndSettings) {
    // The page is the presets table, row for row, and each row puts its outfit on.
    menu().currentSubmenu = &Menu::submenuRegistry[2];
    std::vector<std::string> labels;
    std::int32_t row = 0;
    for (const wardrobe_presets::Preset& preset : wardrobe_presets::kPresets) {
        labels.push_back(preset.label);
        EXPECT_EQ(Row(2, row).description, "Equip this preset outfit");
        menu().currentOption = row;
        Row(2, row).callback();
        const std::uint32_t hash =
            preset.gameName != nullptr ? sim::NameHash(preset.gameName) : preset.hash;
        EXPECT_EQ(sim::Wardrobe().LastPreset(), hash) << row;
        EXPECT_EQ(LastMessage(), std::string("Equipped: ") + preset.label);
        ++row;
    }
    EXPECT_EQ(Labels(2), labels);
    EXPECT_EQ(Labels(3),
              (std::vector<std::string>{"Use Wardrobe Camera", "Draw Light", "Save Settings"}));
    EXPECT_TRUE(Row(3, 0).isToggle);
    EXPECT_EQ(Row(3, 0).toggleTarget, &useCamera);
    EXPECT_EQ(Row(3, 0).description, "Create a camera facing the player when using the wardrobe");
    EXPECT_EQ(Row(3, 1).toggleTarget, &drawLight);
    EXPECT_EQ(Row(3, 1).description, "Draw a light in front of the player while in the wardrobe");
    EXPECT_EQ(Row(3, 2).description, "Save Current Settings");
    EXPECT_TRUE(Row(3, 2).isRegular);
}

}  // namespace
