// Drawing of the menu: one routine for text (wrapped in the game's text-format
// markup), one for sprites, and the fixed layout of a page on top of them.
// Text positions are reference pixels of a 1920 x 1080 screen; sprite
// positions and sizes are fractions of the screen, a sprite's position its centre.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <tuple>

#include "menu/option.h"

// Font faces of the game by font index: 0 is "body", 26 is "title".
constexpr std::size_t kFontCount = 31;
extern const std::array<const char*, kFontCount> fontTable;

// Text alignments as DrawMenuText takes them.
constexpr std::int32_t kAlignLeft = 0;
constexpr std::int32_t kAlignCenter = 1;
constexpr std::int32_t kAlignRight = 2;

// The four parts of a colour, in the order both drawing natives take them as
// four native arguments.
std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t> PushColor(std::int32_t r,
                                                                             std::int32_t g,
                                                                             std::int32_t b,
                                                                             std::int32_t a);

// Draws one text at (x, y) in reference pixels. `text` is markup; the page
// layout below formats its titles, labels, descriptions and values as words
// instead (menu/plain_text.h), so they show as they are. The formatted markup
// handed to the game stays readable until the frame has been drawn; its
// buffers are reused frame after frame. A font index outside the table draws
// with font 0.
void DrawMenuText(std::string_view text, std::int32_t font, std::int32_t r, std::int32_t g,
                  std::int32_t b, std::int32_t a, std::int32_t alignment, std::int32_t size,
                  float x, float y, std::int32_t letterSpacing);

// Draws a texture sprite: position and size in fractions of the screen.
void DrawSprite(const char* dictionary, const char* texture, float x, float y, float width,
                float height, std::int32_t r, std::int32_t g, std::int32_t b, std::int32_t a);

// The dark background, header, bottom bar and scroller pieces.
void DrawMenuFrame(const Submenu& page, std::int32_t currentOption);
// The red frame around the current row.
void DrawHighlight(const Submenu& page, std::int32_t currentOption);
// One option's row, if it is in the scrolled window, and its description if current.
void DrawOptionRow(const Submenu& page, std::int32_t currentOption, const Option& option);
// The whole page for one frame: frame, highlight, title, subtitle, rows, row counter.
void DrawMenuPage(const Submenu& page, std::int32_t currentOption);

// Starts a new frame of text: the markup buffers of the frame before are
// reused from here on. DrawMenuPage calls it; other drawing that does not go
// through a page calls it once per frame.
void BeginMenuTextFrame();
