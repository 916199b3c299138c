// Where the menu draws, in the reference pixels of a 1920 x 1080 screen (the
// game takes positions and sizes as fractions of the screen). The drawing,
// garbolt-sim's screen reader and the tests all read these.
#pragma once

#include <cstdint>

namespace menu_layout {

constexpr float kScreenWidth = 1920.0f;
constexpr float kScreenHeight = 1080.0f;

// Texts: the top of each, the x it is aligned at, and its size.
constexpr float kCentreX = 313.0f;  // titles, headings, descriptions
constexpr float kTitleY = 79.0f;
constexpr std::int32_t kTitleSize = 45;
constexpr float kSubtitleY = 172.0f;
constexpr std::int32_t kSubtitleSize = 23;
constexpr float kRowPitch = 55.08f;    // from one row to the next
constexpr float kRowTextTop = 254.0f;  // the first row's label, heading and value
constexpr float kTickTop = 250.0f;     // the first row's tick
constexpr float kLabelX = 98.0f;
constexpr float kValueRightX = 520.0f;
constexpr std::int32_t kRowTextSize = 22;
constexpr float kDescriptionY = 980.0f;
constexpr std::int32_t kDescriptionSize = 18;
constexpr float kCounterTop = 243.0f;  // "N of M", below the last shown row
constexpr float kCounterRightX = 531.0f;
constexpr std::int32_t kCounterSize = 20;

// The frame around the rows: the scroller's top edge, and its bottom edge and
// line below the last shown row.
constexpr float kScrollerTopY = 227.5f;
constexpr float kScrollerLeftX = 193.5f;
constexpr float kScrollerRightX = 425.5f;
constexpr float kScrollerPieceWidth = 207.0f;
constexpr float kScrollerHeight = 25.0f;
constexpr float kScrollerArrowX = 310.0f;
constexpr float kScrollerArrowWidth = 25.0f;
constexpr float kScrollerBottomTop = 244.0f;
constexpr float kScrollerLineTop = 256.5f;
// A page whose rows all show ends in a slightly wider right piece and a
// narrower line.
constexpr float kShortPageRightX = 424.5f;
constexpr float kShortPageRightWidth = 211.0f;
constexpr float kShortPageLineX = 308.5f;
constexpr float kShortPageLineWidth = 22.0f;

// The row box behind each row that is no heading (its y a fraction of the
// screen from the row's own top).
constexpr float kRowBoxX = 310.0f;
constexpr float kRowBoxScreenY = 0.25f;
constexpr float kRowBoxWidth = 442.0f;
constexpr float kRowBoxHeight = 52.0f;

// The highlight around the current row: sides and top and bottom edges.
constexpr float kHighlightSideTop = 270.0f;
constexpr float kHighlightLeftX = 86.0f;
constexpr float kHighlightRightX = 534.0f;
constexpr float kHighlightSideWidth = 19.0f;
constexpr float kHighlightSideHeight = 59.0f;
constexpr float kHighlightEdgeX = 310.0f;
constexpr float kHighlightTopTop = 247.0f;
constexpr float kHighlightBottomTop = 293.0f;
constexpr float kHighlightEdgeWidth = 448.0f;
constexpr float kHighlightEdgeHeight = 22.0f;

// The background and header, partly given as fractions of the screen.
constexpr float kBackgroundY = 538.0f;
constexpr float kBackgroundScreenWidth = 0.3f;
constexpr float kBackgroundScreenHeight = 0.95f;
constexpr float kHeaderScreenY = 0.09796296f;
constexpr float kHeaderWidth = 442.0f;
constexpr float kHeaderScreenHeight = 0.1f;
constexpr float kBarScreenX = 0.16f;
constexpr float kBarScreenY = 0.9f;
constexpr float kBarScreenWidth = 0.23f;
constexpr float kBarScreenHeight = 0.0015f;

// A row's text top.
constexpr float RowTextY(std::int32_t row) {
    return static_cast<float>(row) * kRowPitch + kRowTextTop;
}

}  // namespace menu_layout
