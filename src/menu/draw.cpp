#include "menu/draw.h"

#include <algorithm>
#include <charconv>
#include <deque>
#include <string>

#include "host/native_hashes.h"
#include "host/natives.h"
#include "host/window.h"
#include "menu/menu_layout.h"
#include "menu/plain_text.h"

const std::array<const char*, kFontCount> fontTable = {
    "body",
    "body1",
    "body2",
    "body3",
    "catalog1",
    "catalog2",
    "catalog3",
    "catalog4",
    "catalog5",
    "chalk",
    "creditNames",
    "creditTitles",
    "Debug_BOLD",
    "Debug_REG",
    "FixedWidthNumbers",
    "Font2",
    "Font2_cond_NOT_GAMERNAME",
    "Font5",
    "Font5_limited",
    "gtaCash",
    "gamername",
    "handwritten",
    "ledger",
    "RockstarTAG",
    "SOCIAL_CLUB_COND_BOLD",
    "SOCIAL_CLUB_COND_REG",
    "title",
    "title1",
    "title2",
    "util",
    "wantedPostersGeneric",
};

namespace {

using namespace game_natives;
using namespace menu_layout;

constexpr std::int32_t kBodyFont = 0;
constexpr std::int32_t kTitleFont = 26;

constexpr std::string_view kTextTemplate =
    "<TEXTFORMAT RIGHTMARGIN = '%s'><P ALIGN = '%s'><FONT FACE = '$%s' LETTERSPACING = '%s' "
    "SIZE = '%s'>~s~%s</FONT></P><TEXTFORMAT>";
constexpr std::string_view kAlignmentNames[] = {"Left", "Center", "Right"};
constexpr std::string_view kSelectionArrowLeft =
    "<img src='img://menu_textures/selection_arrow_left' height='18' width='18'/> ";
constexpr std::string_view kSelectionArrowRight =
    " <img src='img://menu_textures/selection_arrow_right' height='18' width='18'/>";
constexpr std::string_view kTick =
    "<img src='img://generic_textures/tick' height='30' width='30'/>";

// How a text is handed to the formatting: as markup, or as words that must
// show as they are (AppendPlainText, applied only when the buffer is formatted).
enum class TextKind { Markup, Words };

// The game reads a formatted text when it draws the frame, after the call
// that handed it over has returned, so each text of a frame keeps its own
// buffer until the next frame. The deque keeps every buffer at its address as
// more are added; buffers keep their capacity, so a warm menu allocates nothing.
// A page draws the same texts in the same order frame after frame, so each
// buffer also remembers what it was made from and is formatted again only
// when that changes.
struct TextSlot {
    std::string formatted;
    std::string text;
    TextKind kind = TextKind::Markup;
    std::int32_t margin = 0;
    std::int32_t alignment = -1;
    std::int32_t font = -1;
    std::int32_t spacing = 0;
    std::int32_t size = 0;

    bool Holds(std::string_view newText, TextKind newKind, std::int32_t newMargin,
               std::int32_t newAlignment, std::int32_t newFont, std::int32_t newSpacing,
               std::int32_t newSize) const {
        return alignment == newAlignment && font == newFont && size == newSize &&
               margin == newMargin && spacing == newSpacing && kind == newKind &&
               std::string_view(text) == newText;
    }
};
constexpr std::size_t kMaxTextSlots = 256;
constexpr std::size_t kTextSlotCapacity = 512;
std::deque<TextSlot> textSlots;
std::size_t nextTextSlot = 0;

TextSlot& NextTextSlot() {
    if (nextTextSlot == kMaxTextSlots) {
        // More texts than any page draws: reuse the oldest rather than grow.
        nextTextSlot = 0;
    }
    if (nextTextSlot == textSlots.size()) {
        textSlots.emplace_back();
        textSlots.back().formatted.reserve(kTextSlotCapacity);
        textSlots.back().text.reserve(kTextSlotCapacity);
    }
    return textSlots[nextTextSlot++];
}

// Row texts that are put together from pieces before they are formatted.
std::string& SelectionText() {
    static std::string text = [] {
        std::string buffer;
        buffer.reserve(kTextSlotCapacity);
        return buffer;
    }();
    return text;
}

// Room for any 32-bit decimal.
struct Decimal {
    char digits[16];
    std::size_t length = 0;
    explicit Decimal(std::int32_t value) {
        length = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                          digits);
    }
    std::string_view View() const { return {digits, length}; }
};

// The template cut at its six "%s" placeholders. The first five values
// (margin, alignment, font face, spacing and size) never hold "%s" themselves,
// so putting each value in place of the first "%s" left, in turn, is the same
// as joining these pieces with the values in order; the text comes last, so a
// "%s" inside it stays as it is.
struct TemplatePieces {
    std::array<std::string_view, 7> pieces;
    TemplatePieces() {
        std::string_view rest = kTextTemplate;
        for (std::size_t i = 0; i < 6; ++i) {
            const std::size_t at = rest.find("%s");
            pieces[i] = rest.substr(0, at);
            rest.remove_prefix(at + 2);
        }
        pieces[6] = rest;
    }
};
const TemplatePieces kTemplatePieces;

void Append(std::string& text, std::string_view piece) {
    text.append(piece.data(), piece.size());
}

std::int32_t EffectiveTextSize(std::int32_t requested) {
    if (gameWindow != nullptr) {
        if (gameWindowWidth > 1920) {
            return gameWindowWidth / 120;
        }
        if (gameWindowWidth < 1920) {
            return gameWindowWidth / 80;
        }
    }
    return requested;
}

// The visible row of option `index`, or -1 when it is scrolled out.
std::int32_t VisibleRow(const Submenu& page, std::int32_t currentOption, std::int32_t index) {
    const std::int32_t shown = page.maxVisibleOptions;
    if (currentOption <= shown - 1) {
        return index >= 0 && index <= shown - 1 ? index : -1;
    }
    if (index < currentOption - shown + 1 || index > currentOption) {
        return -1;
    }
    return index - currentOption - 1 + shown;
}

std::int32_t ShownRows(const Submenu& page) {
    return std::min(page.optionCount, page.maxVisibleOptions);
}

// DrawMenuText for either kind of text.
void DrawText(std::string_view text, TextKind kind, std::int32_t font, std::int32_t r,
              std::int32_t g, std::int32_t b, std::int32_t a, std::int32_t alignment,
              std::int32_t size, float x, float y, std::int32_t letterSpacing) {
    const std::int32_t effectiveSize = EffectiveTextSize(size);
    if (font < 0 || static_cast<std::size_t>(font) >= kFontCount) {
        font = kBodyFont;
    }
    float screenX = x / kScreenWidth;
    if (alignment == kAlignCenter) {
        screenX = 2.0f * (x / kScreenWidth) - 1.0f;
    } else if (alignment == kAlignRight) {
        screenX = 0.0f;
    }
    const float screenY = y / kScreenHeight;

    std::apply([](auto... colour) { CallNative(kTextColourNative, colour...); },
               PushColor(r, g, b, a));

    const std::int32_t margin =
        alignment == kAlignRight ? static_cast<std::int32_t>(kScreenWidth - x) : 0;
    TextSlot& slot = NextTextSlot();
    if (!slot.Holds(text, kind, margin, alignment, font, letterSpacing, effectiveSize)) {
        const Decimal rightMargin(margin);
        const std::string_view alignmentName =
            alignment >= 0 && alignment <= 2 ? kAlignmentNames[alignment] : kAlignmentNames[0];
        const Decimal spacing(letterSpacing);
        const Decimal sizeText(effectiveSize);
        const std::string_view values[5] = {rightMargin.View(), alignmentName,
                                            fontTable[static_cast<std::size_t>(font)],
                                            spacing.View(), sizeText.View()};
        slot.formatted.clear();
        for (std::size_t i = 0; i < 5; ++i) {
            Append(slot.formatted, kTemplatePieces.pieces[i]);
            Append(slot.formatted, values[i]);
        }
        Append(slot.formatted, kTemplatePieces.pieces[5]);
        if (kind == TextKind::Words) {
            AppendPlainText(slot.formatted, text);
        } else {
            Append(slot.formatted, text);
        }
        Append(slot.formatted, kTemplatePieces.pieces[6]);
        slot.text.assign(text.data(), text.size());
        slot.kind = kind;
        slot.margin = margin;
        slot.alignment = alignment;
        slot.font = font;
        slot.spacing = letterSpacing;
        slot.size = effectiveSize;
    }
    const std::string& formatted = slot.formatted;

    const auto gameText =
        CallNative<std::uint64_t>(kVariableStringNative, 10, "LITERAL_STRING", formatted.c_str());
    CallNative(kDrawTextNative, gameText, screenX, screenY);
}

void DrawWhiteText(std::string_view text, std::int32_t font, std::int32_t alignment,
                   std::int32_t size, float x, float y) {
    DrawMenuText(text, font, 255, 255, 255, 255, alignment, size, x, y, 0);
}

// Titles, labels, descriptions and values are words: whatever they hold is
// shown as it is, never read as markup.
void DrawWhiteWords(std::string_view text, std::int32_t font, std::int32_t alignment,
                    std::int32_t size, float x, float y) {
    DrawText(text, TextKind::Words, font, 255, 255, 255, 255, alignment, size, x, y, 0);
}

}  // namespace

std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> PushColor(std::int32_t r,
                                                                             std::int32_t g,
                                                                             std::int32_t b,
                                                                             std::int32_t a) {
    return {r, g, b, a};
}

void BeginMenuTextFrame() {
    nextTextSlot = 0;
}

void DrawMenuText(std::string_view text, std::int32_t font, std::int32_t r, std::int32_t g,
                  std::int32_t b, std::int32_t a, std::int32_t alignment, std::int32_t size,
                  float x, float y, std::int32_t letterSpacing) {
    DrawText(text, TextKind::Markup, font, r, g, b, a, alignment, size, x, y, letterSpacing);
}

void DrawSprite(const char* dictionary, const char* texture, float x, float y, float width,
                float height, std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a) {
    std::apply(
        [&](auto... colour) {
            CallNative(kDrawSpriteNative, dictionary, texture, x, y, width, height, 0.0f, colour...,
                       0);
        },
        PushColor(r, g, b, a));
}

// Reference pixels across and down as fractions of the screen.
constexpr float Across(float pixels) {
    return pixels / kScreenWidth;
}
constexpr float Down(float pixels) {
    return pixels / kScreenHeight;
}

void DrawMenuFrame(const Submenu& page, std::int32_t currentOption) {
    DrawSprite("generic_textures", "inkroller_1a", Across(kCentreX), Down(kBackgroundY),
               kBackgroundScreenWidth, kBackgroundScreenHeight, 0, 0, 0, 230);
    DrawSprite("generic_textures", "menu_header_1a", Across(kCentreX), kHeaderScreenY,
               Across(kHeaderWidth), kHeaderScreenHeight, 255, 255, 255, 255);
    DrawSprite("generic_textures", "menu_bar", kBarScreenX, kBarScreenY, kBarScreenWidth,
               kBarScreenHeight, 255, 255, 255, 175);
    DrawSprite("menu_textures", "scroller_left_top", Across(kScrollerLeftX), Down(kScrollerTopY),
               Across(kScrollerPieceWidth), Down(kScrollerHeight), 255, 255, 255, 255);
    DrawSprite("menu_textures", "scroller_right_top", Across(kScrollerRightX), Down(kScrollerTopY),
               Across(kScrollerPieceWidth), Down(kScrollerHeight), 255, 255, 255, 255);
    DrawSprite("menu_textures",
               currentOption < page.maxVisibleOptions ? "scroller_line_up" : "scroller_arrow_top",
               Across(kScrollerArrowX), Down(kScrollerTopY), Across(kScrollerArrowWidth),
               Down(kScrollerHeight), 255, 255, 255, 255);

    const float shown = static_cast<float>(ShownRows(page));
    const float bottomY =
        Down(shown * kRowPitch + kScrollerBottomTop) + Down(kScrollerHeight / 2.0f);
    const float lineY = Down(shown * kRowPitch + kScrollerLineTop);
    DrawSprite("menu_textures", "scroller_left_bottom", Across(kScrollerLeftX), bottomY,
               Across(kScrollerPieceWidth), Down(kScrollerHeight), 255, 255, 255, 255);
    if (page.optionCount <= page.maxVisibleOptions) {
        DrawSprite("menu_textures", "scroller_right_bottom", Across(kShortPageRightX), bottomY,
                   Across(kShortPageRightWidth), Down(kScrollerHeight), 255, 255, 255, 255);
        DrawSprite("menu_textures", "scroller_line_down", Across(kShortPageLineX), lineY,
                   Across(kShortPageLineWidth), Down(kScrollerHeight), 255, 255, 255, 255);
    } else {
        DrawSprite("menu_textures", "scroller_right_bottom", Across(kScrollerRightX), bottomY,
                   Across(kScrollerPieceWidth), Down(kScrollerHeight), 255, 255, 255, 255);
        DrawSprite(
            "menu_textures",
            currentOption == page.optionCount - 1 ? "scroller_line_down" : "scroller_arrow_bottom",
            Across(kScrollerArrowX), lineY, Across(kScrollerArrowWidth), Down(kScrollerHeight), 255,
            255, 255, 255);
    }
}

void DrawHighlight(const Submenu& page, std::int32_t currentOption) {
    const float row = static_cast<float>(std::min(currentOption, page.maxVisibleOptions - 1));
    const float sideY = Down(row * kRowPitch + kHighlightSideTop);
    DrawSprite("menu_textures", "crafting_highlight_l", Across(kHighlightLeftX), sideY,
               Across(kHighlightSideWidth), Down(kHighlightSideHeight), 255, 0, 0, 255);
    DrawSprite("menu_textures", "crafting_highlight_r", Across(kHighlightRightX), sideY,
               Across(kHighlightSideWidth), Down(kHighlightSideHeight), 255, 0, 0, 255);
    DrawSprite("menu_textures", "crafting_highlight_t", Across(kHighlightEdgeX),
               Down(row * kRowPitch + kHighlightTopTop), Across(kHighlightEdgeWidth),
               Down(kHighlightEdgeHeight), 255, 0, 0, 255);
    DrawSprite("menu_textures", "crafting_highlight_b", Across(kHighlightEdgeX),
               Down(row * kRowPitch + kHighlightBottomTop), Across(kHighlightEdgeWidth),
               Down(kHighlightEdgeHeight), 255, 0, 0, 255);
}

void DrawOptionRow(const Submenu& page, std::int32_t currentOption, const Option& option) {
    const std::int32_t row = VisibleRow(page, currentOption, option.index);
    const bool visible = row >= 0;
    const bool current = option.index == currentOption;

    if (visible) {
        if (option.isHeading) {
            DrawWhiteWords(option.label, kTitleFont, kAlignCenter, kRowTextSize, kCentreX,
                           RowTextY(row));
        } else {
            DrawSprite("generic_textures", "selection_box_bg_1c", Across(kRowBoxX),
                       Down(static_cast<float>(row) * kRowPitch) + kRowBoxScreenY,
                       Across(kRowBoxWidth), Down(kRowBoxHeight), 50, 50, 50, 110);
            DrawWhiteWords(option.label, kBodyFont, kAlignLeft, kRowTextSize, kLabelX,
                           RowTextY(row));
        }
    }
    if (current && !option.isHeading) {
        DrawWhiteWords(option.description, kBodyFont, kAlignCenter, kDescriptionSize, kCentreX,
                       kDescriptionY);
    }
    if (option.isSelection && visible) {
        if (current) {
            std::string& text = SelectionText();
            text.assign(kSelectionArrowLeft.data(), kSelectionArrowLeft.size());
            AppendPlainText(text, option.valueText);
            text.append(kSelectionArrowRight.data(), kSelectionArrowRight.size());
            DrawWhiteText(text, kBodyFont, kAlignRight, kRowTextSize, kValueRightX, RowTextY(row));
        } else {
            DrawWhiteWords(option.valueText, kBodyFont, kAlignRight, kRowTextSize, kValueRightX,
                           RowTextY(row));
        }
    }
    if (option.isToggle && option.toggleTarget != nullptr && *option.toggleTarget && visible) {
        DrawWhiteText(kTick, kBodyFont, kAlignRight, kRowTextSize, kValueRightX,
                      static_cast<float>(row) * kRowPitch + kTickTop);
    }
}

void DrawMenuPage(const Submenu& page, std::int32_t currentOption) {
    BeginMenuTextFrame();
    DrawMenuFrame(page, currentOption);
    DrawHighlight(page, currentOption);
    DrawWhiteWords(page.title, kTitleFont, kAlignCenter, kTitleSize, kCentreX, kTitleY);
    DrawWhiteWords(page.subtitle, kTitleFont, kAlignCenter, kSubtitleSize, kCentreX, kSubtitleY);
    const auto listed = static_cast<std::int32_t>(page.options.size());
    for (std::int32_t i = 0; i < page.optionCount && i < listed; ++i) {
        DrawOptionRow(page, currentOption, page.options[static_cast<std::size_t>(i)]);
    }

    // Built anew every frame into the same reserved buffer.
    static std::string counter = [] {
        std::string buffer;
        buffer.reserve(32);
        return buffer;
    }();
    const Decimal position(currentOption + 1);
    const Decimal count(page.optionCount);
    counter.assign(position.View().data(), position.View().size());
    counter.append(" of ");
    counter.append(count.View().data(), count.View().size());
    DrawMenuText(counter, kBodyFont, 144, 144, 144, 230, kAlignRight, kCounterSize, kCounterRightX,
                 static_cast<float>(ShownRows(page)) * kRowPitch + kCounterTop, -1);
}
