// Pages and their rows: the add operations, renaming, and the registry.
#include <gtest/gtest.h>

#include <functional>

#include "menu_fixture.h"

namespace {

using menu_testing::MenuFixture;
using menu_testing::SelectionOption;
using Pages = MenuFixture;

TEST_F(Pages, RowsTakeTheirIndexInAddOrderAndHeadingsCount) {
    bool flag = false;
    Menu::AddSubmenu("Title", "Subtitle", 3, 12, [&flag](Submenu* page) {
        page->AddOption("Plain", "Runs", [] {});
        page->AddBoolOption("Toggle", "Flips", &flag);
        page->AddHeading("Heading");
        page->AddSubmenuOption("Link", "Opens", 7);
        page->AddOption("Fifth", "", nullptr);
    });
    const Submenu& page = Menu::submenuRegistry.at(3);
    EXPECT_EQ(page.title, "Title");
    EXPECT_EQ(page.subtitle, "Subtitle");
    EXPECT_EQ(page.id, 3);
    EXPECT_EQ(page.maxVisibleOptions, 12);
    ASSERT_EQ(page.optionCount, 5);
    ASSERT_EQ(page.options.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page.options[i].index, i);
    }

    const Option& plain = page.options[0];
    EXPECT_TRUE(plain.isRegular);
    EXPECT_FALSE(plain.isToggle || plain.isSelection || plain.isSubmenuLink || plain.isHeading);
    EXPECT_EQ(plain.label, "Plain");
    EXPECT_EQ(plain.description, "Runs");
    EXPECT_TRUE(static_cast<bool>(plain.callback));

    const Option& toggle = page.options[1];
    EXPECT_TRUE(toggle.isToggle);
    EXPECT_EQ(toggle.toggleTarget, &flag);
    EXPECT_TRUE(static_cast<bool>(toggle.callback));  // the do-nothing default

    const Option& heading = page.options[2];
    EXPECT_TRUE(heading.isHeading);
    EXPECT_FALSE(heading.isRegular);
    EXPECT_EQ(heading.label, "Heading");
    EXPECT_EQ(heading.description, "");
    EXPECT_FALSE(static_cast<bool>(heading.callback));

    const Option& link = page.options[3];
    EXPECT_TRUE(link.isSubmenuLink);
    EXPECT_EQ(link.targetSubmenu, 7);
    EXPECT_FALSE(static_cast<bool>(link.callback));
    EXPECT_EQ(page.options[4].targetSubmenu, -1);
}

TEST_F(Pages, SetTextOnASelectionShowsTheFirstValueOnce) {
    Option plain(true, false, false, false);
    plain.SetText("New name");
    EXPECT_EQ(plain.label, "New name");
    EXPECT_EQ(plain.valueText, "");
    EXPECT_FALSE(plain.valueTextSet);

    Option choice = SelectionOption("Colour", {"Red", "Green"});
    EXPECT_EQ(choice.valueText, "Red");
    EXPECT_TRUE(choice.valueTextSet);
    choice.valueText = "Green";
    choice.SetText("Hue");
    EXPECT_EQ(choice.label, "Hue");
    EXPECT_EQ(choice.valueText, "Green");
}

TEST_F(Pages, SetTextOnASelectionWithoutValuesOnlyRenames) {
    Option empty = SelectionOption("Nothing yet", {});
    EXPECT_EQ(empty.label, "Nothing yet");
    EXPECT_FALSE(empty.valueTextSet);
    empty.values = {"First"};
    empty.SetText("Now");
    EXPECT_EQ(empty.valueText, "First");
}

TEST_F(Pages, SecondRegistrationReplacesTheFirstAtTheSameAddress) {
    Menu::AddSubmenu("Old", "Old sub", 1, 8, [](Submenu* page) {
        page->AddOption("A", "", [] {});
        page->AddOption("B", "", [] {});
    });
    const Submenu* first = &Menu::submenuRegistry.at(1);
    Menu::AddSubmenu("New", "New sub", 1, 12,
                     [](Submenu* page) { page->AddOption("Only", "", [] {}); });
    const Submenu& page = Menu::submenuRegistry.at(1);
    EXPECT_EQ(&page, first);
    EXPECT_EQ(page.title, "New");
    EXPECT_EQ(page.subtitle, "New sub");
    EXPECT_EQ(page.maxVisibleOptions, 12);
    EXPECT_EQ(page.optionCount, 1);
    ASSERT_EQ(page.options.size(), 1u);
    EXPECT_EQ(page.options[0].label, "Only");
    EXPECT_TRUE(static_cast<bool>(page.builder));
}

TEST_F(Pages, PageAddressesStayPutAsPagesAreAdded) {
    Menu::AddSubmenu("Main", "", 0, 8, [](Submenu* page) { page->AddOption("A", "", [] {}); });
    const Submenu* main = &Menu::submenuRegistry.at(0);
    for (int id = 1; id < 200; ++id) {
        Menu::AddSubmenu("Page", "", id, 8, [](Submenu*) {});
    }
    EXPECT_EQ(&Menu::submenuRegistry.at(0), main);
    EXPECT_EQ(main->options[0].label, "A");
}

TEST_F(Pages, BuilderRunsOnceOnAPageNotYetRegistered) {
    int calls = 0;
    bool registeredWhileBuilding = true;
    Menu::AddSubmenu("T", "S", 5, 8, [&](Submenu* page) {
        ++calls;
        registeredWhileBuilding = Menu::submenuRegistry.count(5) != 0;
        EXPECT_EQ(page->id, 5);
        EXPECT_EQ(page->title, "T");
    });
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(registeredWhileBuilding);
}

TEST_F(Pages, EmptyBuilderFailsBeforeRegistering) {
    EXPECT_THROW(Menu::AddSubmenu("T", "S", 9, 8, std::function<void(Submenu*)>()),
                 std::bad_function_call);
    EXPECT_EQ(Menu::submenuRegistry.count(9), 0u);
}

}  // namespace
