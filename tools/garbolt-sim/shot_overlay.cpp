#include "shot_overlay.h"

#include <algorithm>
#include <cstdio>

#include "safe_text.h"
#include "sim/play/player.h"

namespace garbolt_sim {

std::vector<ColourSpan> ColourSpans(const std::string& text) {
    std::vector<ColourSpan> spans(1);
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '~') {
            const std::size_t end = text.find('~', i + 1);
            if (end != std::string::npos && end - i <= 24) {
                const std::string code = text.substr(i + 1, end - i - 1);
                const bool word = std::all_of(code.begin(), code.end(), [](char c) {
                    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '_';
                });
                if (word) {
                    const bool red = code == "COLOR_RED" || (code != "s" && spans.back().red);
                    if (red != spans.back().red) {
                        spans.push_back({std::string(), red});
                    }
                    i = end + 1;
                    continue;
                }
            }
        }
        spans.back().text += text[i++];
    }
    spans.erase(std::remove_if(spans.begin(), spans.end(),
                               [](const ColourSpan& span) { return span.text.empty(); }),
                spans.end());
    return spans;
}

#if defined(GARBOLT_SIM_HAS_CAIRO)

namespace {

constexpr const char* kFamily = "DejaVu Sans";

struct Ink {
    double r, g, b, a;
};
constexpr Ink kWhite{0.95, 0.95, 0.92, 1};
constexpr Ink kRed{0.92, 0.25, 0.22, 1};
constexpr Ink kGrey{0.55, 0.55, 0.55, 1};
constexpr Ink kGold{0.85, 0.68, 0.30, 1};
constexpr Ink kPanel{0.02, 0.02, 0.02, 0.78};

void Use(cairo_t* cr, const Ink& ink) {
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, ink.a);
}

void Box(cairo_t* cr, double left, double top, double w, double h, const Ink& ink) {
    Use(cr, ink);
    cairo_rectangle(cr, left, top, w, h);
    cairo_fill(cr);
}

void Font(cairo_t* cr, double size, bool bold = false) {
    cairo_select_font_face(cr, kFamily, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

// Cairo fails the whole picture on a text that is not UTF-8 or holds a
// noncharacter, so such bytes are drawn as U+FFFD.
double Advance(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, DrawableUtf8(text).c_str(), &extents);
    return extents.x_advance;
}

// Text at a baseline; answers the x after it.
double Write(cairo_t* cr, double x, double baseline, const std::string& text, const Ink& ink) {
    Use(cr, ink);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, DrawableUtf8(text).c_str());
    return x + Advance(cr, text);
}

// The key that completes a prompt, by the name a scenario presses it with.
std::string KeyOf(std::uint32_t control) {
    using namespace play::controls;
    if (control == kSelect) {
        return "select";
    }
    if (control == kBack) {
        return "back";
    }
    if (control == kSave) {
        return "save";
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", control);
    return hex;
}

}  // namespace

// The game's feed: one dark box per message at the top of the screen, in the
// right half (clear of the menu), oldest on top; failures in red.
void DrawNotifications(cairo_t* cr, const std::vector<std::string>& notifications, double width,
                       double height) {
    const double scale = width / 1920.0;
    const double size = 24 * scale + 1;
    const double pad = 14 * scale + 1;
    const double boxW = width * 0.34;
    const double boxH = size + 2 * pad;
    const double left = width * 0.51;
    double top = height * 0.03;
    Font(cr, size);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    for (const std::string& text : notifications) {
        const std::vector<ColourSpan> spans = ColourSpans(DrawableUtf8(text));
        const bool failure = !spans.empty() && spans.front().red;
        Box(cr, left, top, boxW, boxH, kPanel);
        Box(cr, left, top, 5 * scale + 1, boxH, failure ? kRed : kGold);
        cairo_save(cr);
        cairo_rectangle(cr, left, top, boxW - pad / 2, boxH);
        cairo_clip(cr);
        double x = left + 2 * pad;
        const double baseline = top + pad + (size + font.ascent - font.descent) / 2;
        for (const ColourSpan& span : spans) {
            x = Write(cr, x, baseline, span.text, span.red ? kRed : kWhite);
        }
        cairo_restore(cr);
        top += boxH + 8 * scale;
    }
}

// The prompts the game shows, along the bottom right: the key to press in a
// frame, then the prompt's text; a prompt shown but not enabled is greyed.
void DrawPrompts(cairo_t* cr, const std::vector<sim::ShownPrompt>& prompts, double width,
                 double height) {
    const double scale = width / 1920.0;
    const double size = 20 * scale + 1;
    const double keySize = 15 * scale + 1;
    const double pad = 8 * scale + 1;
    const double gap = 28 * scale;
    struct Laid {
        std::string key, text;
        double keyW, textW;
        bool enabled;
    };
    std::vector<Laid> laid;
    double total = 0;
    for (const sim::ShownPrompt& prompt : prompts) {
        if (!prompt.shown) {
            continue;
        }
        Laid one{KeyOf(prompt.control), DrawableUtf8(prompt.text), 0, 0, prompt.enabled};
        Font(cr, keySize, true);
        one.keyW = Advance(cr, one.key) + 2 * pad;
        Font(cr, size);
        one.textW = Advance(cr, one.text);
        total += (total > 0 ? gap : 0) + one.keyW + pad + one.textW;
        laid.push_back(one);
    }
    if (laid.empty()) {
        return;
    }
    const double barH = size + 2 * pad;
    const double top = height * 0.985 - barH;
    double x = width * 0.985 - total;
    Box(cr, x - pad, top - pad / 2, total + 2 * pad, barH + pad, kPanel);
    for (const Laid& one : laid) {
        const Ink& ink = one.enabled ? kWhite : kGrey;
        Use(cr, ink);
        cairo_set_line_width(cr, 1.5 * scale + 0.5);
        cairo_rectangle(cr, x, top + pad / 2, one.keyW, barH - pad);
        cairo_stroke(cr);
        Font(cr, keySize, true);
        Write(cr, x + pad, top + barH / 2 + keySize * 0.35, one.key, ink);
        x += one.keyW + pad;
        Font(cr, size);
        x = Write(cr, x, top + barH / 2 + size * 0.35, one.text, ink) + gap;
    }
}

// The game's keyboard while it waits for a name: its title, the text it
// started with (a scenario's `type` fills it in one step), and its limit.
void DrawNamingKeyboard(cairo_t* cr, const sim::KeyboardView& keyboard, double width,
                        double height) {
    if (!keyboard.open) {
        return;
    }
    const double scale = width / 1920.0;
    const double pad = 24 * scale + 1;
    const double titleSize = 26 * scale + 1;
    const double size = 24 * scale + 1;
    const double boxW = width * 0.36;
    const double boxH = titleSize + size * 3 + pad * 4;
    const double left = (width - boxW) / 2;
    const double top = height * 0.38;
    Box(cr, left, top, boxW, boxH, {0.03, 0.03, 0.03, 0.92});
    Box(cr, left, top, boxW, 4 * scale + 1, kGold);
    cairo_save(cr);
    cairo_rectangle(cr, left, top, boxW, boxH);
    cairo_clip(cr);
    Font(cr, titleSize, true);
    Write(cr, left + pad, top + pad + titleSize, DrawableUtf8(keyboard.title), kGold);
    const double fieldTop = top + 2 * pad + titleSize;
    const double fieldH = size * 1.8;
    Box(cr, left + pad, fieldTop, boxW - 2 * pad, fieldH, {0.18, 0.18, 0.18, 1});
    Font(cr, size);
    const double caret = Write(cr, left + pad * 1.5, fieldTop + fieldH / 2 + size * 0.35,
                               DrawableUtf8(keyboard.initialText), kWhite);
    Box(cr, caret + 2 * scale, fieldTop + fieldH * 0.2, 2 * scale + 1, fieldH * 0.6, kWhite);
    Font(cr, size * 0.75);
    Write(cr, left + pad, fieldTop + fieldH + pad + size * 0.6,
          "up to " + std::to_string(keyboard.maxLength) + " characters", kGrey);
    cairo_restore(cr);
}

#endif

}  // namespace garbolt_sim
