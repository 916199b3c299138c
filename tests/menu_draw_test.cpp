// What the menu draws, read back from the simulated game's draw list.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "menu/draw.h"
#include "menu/menu_layout.h"
#include "menu_fixture.h"
#include "support/seen_name.h"

namespace {

using menu_testing::AddRows;
using menu_testing::Append;
using menu_testing::DescribeDrawList;
using menu_testing::MenuFixture;
using menu_testing::SelectionOption;

const std::string kTick = "<img src='img://generic_textures/tick' height='30' width='30'/>";

class Drawing : public MenuFixture {
  protected:
    const Submenu& Page(int id, int rows, int shown) {
        Menu::AddSubmenu("Wardrobe", "Choose", id, shown,
                         [rows](Submenu* page) { AddRows(page, rows); });
        return Menu::submenuRegistry.at(id);
    }
    void DrawFrame(const Submenu& page, int current) {
        game().RunFrame();
        DrawMenuPage(page, current);
    }
    std::vector<const sim::TextEntry*> Texts() { return sim::Drawing().Texts(); }
    const sim::TextEntry* TextNamed(const std::string& text) {
        for (const sim::TextEntry* entry : Texts()) {
            if (entry->text == text) {
                return entry;
            }
        }
        return nullptr;
    }
    std::vector<std::string> TexturesDrawn() {
        std::vector<std::string> names;
        for (const sim::SpriteEntry* sprite : sim::Drawing().Sprites()) {
            names.push_back(sprite->texture);
        }
        return names;
    }
};

float RowY(int row) {
    return menu_layout::RowTextY(row) / menu_layout::kScreenHeight;
}

// The frame's draw list, a line per sprite or text, as a golden file of
// tests/data/menu-draw holds it.
std::string DrawListText() {
    std::string text;
    for (const std::string& line : DescribeDrawList()) {
        text += line + "\n";
    }
    return text;
}
std::string Golden(const std::string& name) {
    const std::string path = std::string(GARBOLT_TEST_DATA) + "/menu-draw/" + name;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST_F(Drawing, ShortPageDrawsEveryRowAndPullsTheBottomUp) {
    const Submenu& page = Page(1, 5, 12);
    DrawFrame(page, 0);

    EXPECT_EQ(DrawListText(), Golden("short-page.txt"));
}

TEST_F(Drawing, EachTextIsColouredFormattedAndDrawnInThatOrder) {
    DrawFrame(Page(1, 1, 8), 0);
    std::vector<std::string> textCalls;
    for (const sim::TraceEvent& event : game().Trace()) {
        if (event.Name() == "UIDEBUG::_BG_SET_TEXT_COLOR" || event.Name() == "MISC::VAR_STRING" ||
            event.Name() == "UIDEBUG::_BG_DISPLAY_TEXT") {
            textCalls.emplace_back(event.Name());
        }
    }
    ASSERT_GE(textCalls.size(), 3u);
    EXPECT_EQ(textCalls[0], "UIDEBUG::_BG_SET_TEXT_COLOR");
    EXPECT_EQ(textCalls[1], "MISC::VAR_STRING");
    EXPECT_EQ(textCalls[2], "UIDEBUG::_BG_DISPLAY_TEXT");

    const sim::TextEntry* label = TextNamed("Row 0");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->markup,
              "<TEXTFORMAT RIGHTMARGIN = '0'><P ALIGN = 'Left'><FONT FACE = '$body' "
              "LETTERSPACING = '0' SIZE = '22'>~s~Row 0</FONT></P><TEXTFORMAT>");
}

TEST_F(Drawing, CounterSitsUnderTheLastShownRow) {
    DrawFrame(Page(1, 3, 8), 0);
    const sim::TextEntry* counter = TextNamed("1 of 3");
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->y, 408.24f / 1080.0f);

    DrawFrame(Page(2, 20, 12), 2);
    counter = TextNamed("3 of 20");
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(counter->y, 903.96f / 1080.0f);
}

TEST_F(Drawing, ScrolledPageShowsTheWindowEndingAtTheCurrentRow) {
    const Submenu& page = Page(1, 25, 12);
    DrawFrame(page, 14);
    std::vector<std::string> labels;
    for (const sim::TextEntry* text : Texts()) {
        if (text->alignment == "Left") {
            labels.push_back(text->text);
        }
    }
    std::vector<std::string> expected;
    for (int i = 3; i <= 14; ++i) {
        expected.push_back("Row " + std::to_string(i));
    }
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(TextNamed("Row 14")->y, RowY(11));
    EXPECT_EQ(TextNamed("Row 3")->y, RowY(0));
    EXPECT_NE(TextNamed("15 of 25"), nullptr);
    EXPECT_NE(TextNamed("About 14"), nullptr);

    // The frame with arrows at both ends, the highlight on the bottom row.
    EXPECT_EQ(DrawListText(), Golden("scrolled-page.txt"));

    DrawFrame(page, 24);
    EXPECT_EQ(TexturesDrawn()[8], "scroller_line_down");
    EXPECT_NE(TextNamed("25 of 25"), nullptr);
    EXPECT_EQ(TextNamed("Row 13")->y, RowY(0));
}

TEST_F(Drawing, TextSizeFollowsTheWindowWidth) {
    const Submenu& page = Page(1, 3, 8);
    auto sizes = [this] {
        std::vector<int> all;
        for (const sim::TextEntry* text : Texts()) {
            all.push_back(text->size);
        }
        return all;
    };
    const std::vector<int> requested = {45, 23, 22, 18, 22, 22, 20};

    DrawFrame(page, 0);
    EXPECT_EQ(sizes(), requested);

    gameWindow = reinterpret_cast<platform::WindowHandle>(0x1000);
    gameWindowWidth = 2560;
    DrawFrame(page, 0);
    EXPECT_EQ(sizes(), std::vector<int>(7, 21));

    gameWindowWidth = 1280;
    DrawFrame(page, 0);
    EXPECT_EQ(sizes(), std::vector<int>(7, 16));

    gameWindowWidth = 1920;
    DrawFrame(page, 0);
    EXPECT_EQ(sizes(), requested);

    // A width left over from an earlier measurement counts only with a window.
    gameWindow = nullptr;
    gameWindowWidth = 2560;
    DrawFrame(page, 0);
    EXPECT_EQ(sizes(), requested);
}

TEST_F(Drawing, SelectionValueIsRightAlignedWithArrowsWhenCurrent) {
    Menu::AddSubmenu("T", "S", 1, 8, [](Submenu* page) {
        Append(page, SelectionOption("Colour", {"Red", "Green"}));
        Append(page, SelectionOption("Size", {"Small"}));
    });
    const Submenu& page = Menu::submenuRegistry.at(1);
    DrawFrame(page, 0);
    const std::string arrows =
        "<img src='img://menu_textures/selection_arrow_left' height='18' width='18'/> Red "
        "<img src='img://menu_textures/selection_arrow_right' height='18' width='18'/>";
    const sim::TextEntry* current = TextNamed(arrows);
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->alignment, "Right");
    EXPECT_EQ(current->rightMargin, "1400");
    EXPECT_EQ(current->x, 0.0f);
    EXPECT_EQ(current->y, RowY(0));
    EXPECT_NE(current->markup.find("RIGHTMARGIN = '1400'"), std::string::npos);

    const sim::TextEntry* other = TextNamed("Small");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->rightMargin, "1400");
    EXPECT_EQ(other->y, RowY(1));
}

TEST_F(Drawing, TickShowsWhileTheToggleIsOn) {
    bool flag = false;
    Menu::AddSubmenu("T", "S", 1, 8, [&flag](Submenu* page) {
        page->AddOption("Plain", "", [] {});
        page->AddBoolOption("Camera", "", &flag);
        page->AddBoolOption("Unbound", "", nullptr);
    });
    const Submenu& page = Menu::submenuRegistry.at(1);
    DrawFrame(page, 0);
    EXPECT_EQ(TextNamed(kTick), nullptr);
    flag = true;
    DrawFrame(page, 0);
    const sim::TextEntry* tick = TextNamed(kTick);
    ASSERT_NE(tick, nullptr);
    EXPECT_EQ(tick->alignment, "Right");
    EXPECT_EQ(tick->rightMargin, "1400");
    EXPECT_EQ(tick->y,
              (menu_layout::kRowPitch + menu_layout::kTickTop) / menu_layout::kScreenHeight);
    const auto texts = Texts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const sim::TextEntry* t) { return t->text == kTick; }),
              1);
}

TEST_F(Drawing, HeadingIsCentredWithoutBoxOrDescription) {
    Menu::AddSubmenu("T", "S", 1, 8, [](Submenu* page) {
        page->AddOption("Above", "", [] {});
        page->AddHeading("Custom Outfits");
    });
    const Submenu& page = Menu::submenuRegistry.at(1);
    DrawFrame(page, 1);
    const sim::TextEntry* heading = TextNamed("Custom Outfits");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->fontFace, "title");
    EXPECT_EQ(heading->alignment, "Center");
    EXPECT_EQ(heading->size, 22);
    EXPECT_EQ(heading->x, 2.0f * (menu_layout::kCentreX / menu_layout::kScreenWidth) - 1.0f);
    EXPECT_EQ(heading->y, RowY(1));
    const auto textures = TexturesDrawn();
    EXPECT_EQ(std::count(textures.begin(), textures.end(), "selection_box_bg_1c"), 1);
    // Title, subtitle, two rows and the counter; no description for a heading.
    EXPECT_EQ(Texts().size(), 5u);
}

TEST_F(Drawing, LabelHoldingPlaceholderIsDrawnAsItIs) {
    Menu::AddSubmenu("100%s sure", "S", 1, 8,
                     [](Submenu* page) { page->AddOption("Keep %s and %d", "", [] {}); });
    DrawFrame(Menu::submenuRegistry.at(1), 0);
    EXPECT_NE(TextNamed("Keep %s and %d"), nullptr);
    EXPECT_NE(TextNamed("100%s sure"), nullptr);
}

// The game reads what it draws as markup: handed over as markup, these texts
// change colour, add a line, leave the row's font and lose their tags. As a
// page's title, subtitle, labels and values they are words: each shows as
// typed ('~', which has no escape, as its look-alike), on one line, in the
// text's own colour and font.
TEST_F(Drawing, PageTextsShowAsTypedWhateverMarkupTheyHold) {
    const std::vector<std::string> texts = {"~COLOR_RED~Red~s~", "~n~Second line",
                                            "</FONT></P>Broken", "A & <B> &amp; \t%s"};
    game().RunFrame();
    for (const std::string& text : texts) {
        DrawMenuText(text, 0, 255, 255, 255, 255, kAlignLeft, 22, 98.0f, 254.0f, 0);
    }
    const auto read = [](const sim::TextEntry* text) { return sim::ReadGameText(text->markup); };
    EXPECT_EQ(read(Texts()[0]).lines[0].runs.back().colour, "COLOR_RED");
    EXPECT_EQ(read(Texts()[1]).lines.size(), 2u);
    EXPECT_EQ(read(Texts()[2]).lines.back().runs[0].fontFace, "");
    EXPECT_EQ(read(Texts()[3]).Plain(), "A &  & \t%s");

    Menu::AddSubmenu(texts[0], texts[1], 1, 8, [&texts](Submenu* page) {
        page->AddOption(texts[2], texts[3], [] {});
        page->AddHeading(texts[0]);
        Append(page, SelectionOption(texts[3], {texts[1]}));
    });
    DrawFrame(Menu::submenuRegistry.at(1), 2);
    std::vector<std::string> shown;
    for (const sim::TextEntry* text : Texts()) {
        const sim::SeenText seen = read(text);
        ASSERT_LE(seen.lines.size(), 1u) << text->markup;  // none for an empty description
        for (const sim::SeenLine& line : seen.lines) {
            for (const sim::SeenRun& run : line.runs) {
                EXPECT_EQ(run.colour, "") << text->markup;
                EXPECT_EQ(run.fontFace, text->fontFace) << text->markup;
            }
        }
        shown.push_back(seen.Plain());
    }
    using testing_support::SeenName;
    const std::string withTab = "A & <B> &amp;  %s";  // a control character shows as a space
    const std::string arrowLeft =
        "<img src='img://menu_textures/selection_arrow_left' height='18' width='18'/> ";
    const std::string arrowRight =
        " <img src='img://menu_textures/selection_arrow_right' height='18' width='18'/>";
    // Title, subtitle, row 0, the heading, and the current row 2: label, description, value.
    EXPECT_EQ(shown,
              (std::vector<std::string>{SeenName(texts[0]), SeenName(texts[1]), SeenName(texts[2]),
                                        SeenName(texts[0]), withTab, "",
                                        arrowLeft + SeenName(texts[1]) + arrowRight, "3 of 3"}));
}

TEST_F(Drawing, FontOutsideTheTableFallsBackToBody) {
    game().RunFrame();
    DrawMenuText("odd", 31, 1, 2, 3, 4, kAlignLeft, 22, 96.0f, 540.0f, 2);
    DrawMenuText("negative", -1, 1, 2, 3, 4, kAlignLeft, 22, 96.0f, 540.0f, 2);
    DrawMenuText("last", 30, 1, 2, 3, 4, kAlignLeft, 22, 96.0f, 540.0f, 2);
    ASSERT_EQ(Texts().size(), 3u);
    EXPECT_EQ(Texts()[0]->fontFace, "body");
    EXPECT_EQ(Texts()[1]->fontFace, "body");
    EXPECT_EQ(Texts()[2]->fontFace, "wantedPostersGeneric");
    EXPECT_EQ(Texts()[0]->colour, (sim::Colour{1, 2, 3, 4}));
    EXPECT_EQ(Texts()[0]->letterSpacing, 2);
    EXPECT_EQ(Texts()[0]->x, 0.05f);
    EXPECT_EQ(Texts()[0]->y, 0.5f);
}

TEST_F(Drawing, FormattedTextsAreReusedFrameAfterFrame) {
    const Submenu& page = Page(1, 21, 21);
    std::vector<std::string> markups;
    std::vector<std::uint64_t> buffers;
    for (int frame = 0; frame < 3; ++frame) {
        DrawFrame(page, 4);
        std::vector<std::uint64_t> thisFrame;
        for (const sim::TraceEvent& event : game().Trace()) {
            if (event.frame == game().FrameNumber() && event.Name() == "MISC::VAR_STRING") {
                thisFrame.push_back(event.args[2]);
            }
        }
        if (frame > 0) {
            EXPECT_EQ(thisFrame, buffers);
        }
        buffers = thisFrame;
    }
    // One buffer per text of the frame, none shared within it.
    std::vector<std::uint64_t> sorted = buffers;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(buffers.size(), Texts().size());
}

TEST_F(Drawing, ChangedTextsAreFormattedAnew) {
    Menu::AddSubmenu("T", "S", 1, 8, [](Submenu* page) { AddRows(page, 3); });
    Submenu& page = Menu::submenuRegistry.at(1);
    DrawFrame(page, 0);
    page.options[1].SetText("Renamed");
    DrawFrame(page, 1);
    EXPECT_EQ(TextNamed("Row 1"), nullptr);
    ASSERT_NE(TextNamed("Renamed"), nullptr);
    EXPECT_NE(TextNamed("2 of 3"), nullptr);
    EXPECT_NE(TextNamed("About 1"), nullptr);
    EXPECT_EQ(TextNamed("About 0"), nullptr);
    page.options[1].SetText("Row 1");
    DrawFrame(page, 1);
    EXPECT_NE(TextNamed("Row 1"), nullptr);
    EXPECT_EQ(TextNamed("Renamed"), nullptr);
}

}  // namespace
