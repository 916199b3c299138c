#include "shot.h"

#if defined(GARBOLT_SIM_HAS_CAIRO)

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "safe_text.h"
#include "shot_overlay.h"

namespace garbolt_sim {

namespace {

// Stand-ins for the game's fonts: a bold serif for the title face, a sans
// for everything else (both from DejaVu).
constexpr const char* kTitleFamily = "DejaVu Serif";
constexpr const char* kBodyFamily = "DejaVu Sans";
// The game's text sizes read a little larger than pixels at 1920 wide.
constexpr double kTextScale = 1.1;

struct Piece {
    enum class Kind { Text, Tick, ArrowLeft, ArrowRight, Image };
    Kind kind = Kind::Text;
    std::string text;  // the text, or an image's texture path
    double size = 0;   // an image's height in pixels
    double width = 0;  // measured
};

void SetColour(cairo_t* cr, const sim::Colour& c) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

// Drops the game's inline colour codes (~s~, ~COLOR_RED~ ...) from the shown text.
std::string WithoutCodes(const std::string& text) {
    std::string out;
    for (const ColourSpan& span : ColourSpans(text)) {
        out += span.text;
    }
    return out;
}

std::string Attribute(const std::string& tag, const std::string& name) {
    const std::size_t at = tag.find(name + "='");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + name.size() + 2;
    const std::size_t end = tag.find('\'', start);
    return end == std::string::npos ? std::string() : tag.substr(start, end - start);
}

std::vector<Piece> Split(const std::string& text, double scale) {
    std::vector<Piece> pieces;
    std::size_t i = 0;
    std::string plain;
    auto flush = [&]() {
        if (!plain.empty()) {
            pieces.push_back({Piece::Kind::Text, WithoutCodes(plain), 0, 0});
            plain.clear();
        }
    };
    while (i < text.size()) {
        if (text.compare(i, 4, "<img") == 0) {
            const std::size_t end = text.find("/>", i);
            if (end != std::string::npos) {
                flush();
                const std::string tag = text.substr(i, end + 2 - i);
                const std::string source = Attribute(tag, "src");
                Piece piece;
                piece.text = source;
                piece.size = std::atof(Attribute(tag, "height").c_str()) * scale;
                if (piece.size <= 0) {
                    piece.size = 18 * scale;
                }
                piece.kind =
                    source.find("tick") != std::string::npos          ? Piece::Kind::Tick
                    : source.find("arrow_left") != std::string::npos  ? Piece::Kind::ArrowLeft
                    : source.find("arrow_right") != std::string::npos ? Piece::Kind::ArrowRight
                                                                      : Piece::Kind::Image;
                pieces.push_back(piece);
                i = end + 2;
                continue;
            }
        }
        plain += text[i++];
    }
    flush();
    return pieces;
}

// Length in bytes of the UTF-8 sequence that starts with this byte.
std::size_t Utf8Length(unsigned char lead) {
    return lead < 0x80         ? 1
           : (lead >> 5) == 6  ? 2
           : (lead >> 4) == 14 ? 3
           : (lead >> 3) == 30 ? 4
                               : 1;
}

// Cairo fails a whole picture on a text that is not UTF-8 or holds a
// noncharacter, so both of these draw such bytes as U+FFFD.
double TextWidth(cairo_t* cr, const std::string& drawn, double spacing) {
    const std::string text = DrawableUtf8(drawn);
    if (spacing == 0) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        return extents.x_advance;
    }
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n =
            std::min(Utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string glyph = text.substr(i, n);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, glyph.c_str(), &extents);
        width += extents.x_advance + spacing;
        i += n;
    }
    return width;
}

void ShowText(cairo_t* cr, double x, double baseline, const std::string& drawn, double spacing) {
    const std::string text = DrawableUtf8(drawn);
    if (spacing == 0) {
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, text.c_str());
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n =
            std::min(Utf8Length(static_cast<unsigned char>(text[i])), text.size() - i);
        const std::string glyph = text.substr(i, n);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, glyph.c_str());
        cairo_text_extents_t extents;
        cairo_text_extents(cr, glyph.c_str(), &extents);
        x += extents.x_advance + spacing;
        i += n;
    }
}

// A filled triangle on the line `cy`: its upright side at `base`, its point at `tip`.
void FillArrow(cairo_t* cr, double base, double tip, double cy, double halfHeight) {
    cairo_move_to(cr, base, cy - halfHeight);
    cairo_line_to(cr, tip, cy);
    cairo_line_to(cr, base, cy + halfHeight);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void DrawGlyph(cairo_t* cr, const Piece& piece, double x, double top, double lineHeight,
               const sim::Colour& colour) {
    const double s = piece.size;
    const double cy = top + lineHeight / 2;
    cairo_save(cr);
    SetColour(cr, colour);
    switch (piece.kind) {
        case Piece::Kind::Tick:
            cairo_set_line_width(cr, s / 7);
            cairo_move_to(cr, x + s * 0.18, cy);
            cairo_line_to(cr, x + s * 0.42, cy + s * 0.26);
            cairo_line_to(cr, x + s * 0.86, cy - s * 0.3);
            cairo_stroke(cr);
            break;
        case Piece::Kind::ArrowLeft:
            FillArrow(cr, x + s * 0.8, x + s * 0.2, cy, s * 0.4);
            break;
        case Piece::Kind::ArrowRight:
            FillArrow(cr, x + s * 0.2, x + s * 0.8, cy, s * 0.4);
            break;
        default:
            cairo_set_line_width(cr, 1);
            cairo_rectangle(cr, x + 1, cy - s / 2, s - 2, s);
            cairo_stroke(cr);
            break;
    }
    cairo_restore(cr);
}

void DrawTextEntry(cairo_t* cr, const sim::DrawEntry& entry, double width, double height) {
    const sim::TextEntry& draw = entry.text;
    const double scale = width / 1920.0;
    const bool title = draw.fontFace == "title" || draw.fontFace.rfind("title", 0) == 0;
    cairo_select_font_face(cr, title ? kTitleFamily : kBodyFamily, CAIRO_FONT_SLANT_NORMAL,
                           title ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // No text is drawn taller than the picture, whatever size its markup asks for.
    const double px = (draw.decoded ? draw.size : 22) * kTextScale * scale;
    cairo_set_font_size(cr, std::clamp(px, 1.0, height));
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    const double spacing = draw.letterSpacing * scale;

    // Cairo draws nothing more once handed bytes that are not UTF-8.
    std::vector<Piece> pieces = Split(DrawableUtf8(sim::ShownText(draw)), scale);
    double total = 0;
    for (Piece& piece : pieces) {
        piece.width =
            piece.kind == Piece::Kind::Text ? TextWidth(cr, piece.text, spacing) : piece.size;
        total += piece.width;
    }
    const double anchor = ReferenceX(entry) / 1920.0 * width;
    double x = draw.alignment == "Right"    ? anchor - total
               : draw.alignment == "Center" ? anchor - total / 2
                                            : anchor;
    const double top = ReferenceY(entry) / 1080.0 * height;
    const double baseline = top + font.ascent;
    SetColour(cr, draw.colour);
    for (const Piece& piece : pieces) {
        if (piece.kind == Piece::Kind::Text) {
            ShowText(cr, x, baseline, piece.text, spacing);
        } else {
            DrawGlyph(cr, piece, x, top, font.ascent + font.descent, draw.colour);
        }
        x += piece.width;
    }
}

void DrawSpriteEntry(cairo_t* cr, const sim::SpriteEntry& draw, double width, double height) {
    const double w = draw.width * width;
    const double h = draw.height * height;
    const double left = draw.x * width - w / 2;
    const double top = draw.y * height - h / 2;
    const sim::Colour& c = draw.colour;
    const double luminance = 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
    // Light art (the header, the scroller pieces) is mostly see-through in
    // the game; a solid light box would wash out the texts drawn over it
    // (the grey row counter sits on the bottom scroller).
    const double a = c.a / 255.0 * (luminance > 100 ? 0.2 : 0.9);
    // A shaded box: the sprite's colour fading a little towards the bottom,
    // edged in its full colour.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, top, 0, top + h);
    cairo_pattern_add_color_stop_rgba(shade, 0, c.r / 255.0, c.g / 255.0, c.b / 255.0, a);
    cairo_pattern_add_color_stop_rgba(shade, 1, c.r / 255.0 * 0.6, c.g / 255.0 * 0.6,
                                      c.b / 255.0 * 0.6, a);
    cairo_rectangle(cr, left, top, w, h);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    if (w >= 4 && h >= 4) {
        cairo_set_line_width(cr, 1);
        cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0,
                              c.a / 255.0 * (luminance > 100 ? 0.8 : 0.5));
        cairo_rectangle(cr, left + 0.5, top + 0.5, w - 1, h - 1);
        cairo_stroke(cr);
    }
}

// One part of the body filled with its bands, top to bottom, each an equal
// share of the part's height; the shape is the clip already set.
void DrawBands(cairo_t* cr, const std::vector<Band>& bands, double top, double bottom, double left,
               double right) {
    if (bands.empty()) {
        return;
    }
    const double step = (bottom - top) / static_cast<double>(bands.size());
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const Rgba& c = bands[i].colour;
        cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, 0.92);
        cairo_rectangle(cr, left, top + step * static_cast<double>(i), right - left, step + 0.5);
        cairo_fill(cr);
    }
}

// The world behind the menu: a dusk backdrop, the character standing right of
// centre in the clothes worn, and the light's glow when it is drawn.
void DrawScene(cairo_t* cr, const sim::Observation& frame, const CharacterLook& look, double width,
               double height) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, height);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.16, 0.20, 0.26);
    cairo_pattern_add_color_stop_rgb(sky, 0.62, 0.34, 0.30, 0.25);
    cairo_pattern_add_color_stop_rgb(sky, 0.63, 0.20, 0.22, 0.14);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.11, 0.12, 0.08);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    const double cx = width * 0.62;
    const double feet = height * 0.86;
    const double tall = height * 0.46;
    if (frame.light) {
        cairo_pattern_t* glow =
            cairo_pattern_create_radial(cx, feet - tall * 0.55, 0, cx, feet - tall * 0.55, tall);
        cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.95, 0.8, 0.55);
        cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.95, 0.8, 0);
        cairo_rectangle(cr, 0, 0, width, height);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }

    // Head, torso (shoulders to hips) and legs, each a shape of its own so
    // that its bands stay inside it.
    const double headY = feet - tall * 0.92;
    const double headR = tall * 0.08;
    const double shoulders = feet - tall * 0.8;
    const double hips = feet - tall * 0.42;
    const auto head = [&]() { cairo_arc(cr, cx, headY, headR, 0, 2 * M_PI); };
    const auto torso = [&]() {
        cairo_move_to(cr, cx - tall * 0.14, shoulders);
        cairo_line_to(cr, cx + tall * 0.14, shoulders);
        cairo_line_to(cr, cx + tall * 0.12, hips);
        cairo_line_to(cr, cx - tall * 0.12, hips);
        cairo_close_path(cr);
    };
    const auto legs = [&]() {
        cairo_move_to(cr, cx - tall * 0.12, hips);
        cairo_line_to(cr, cx + tall * 0.12, hips);
        cairo_line_to(cr, cx + tall * 0.10, feet);
        cairo_line_to(cr, cx + tall * 0.015, feet);
        cairo_line_to(cr, cx, hips + tall * 0.08);
        cairo_line_to(cr, cx - tall * 0.015, feet);
        cairo_line_to(cr, cx - tall * 0.10, feet);
        cairo_close_path(cr);
    };
    struct Part {
        std::function<void()> shape;
        const std::vector<Band>* bands;
        double top, bottom;
    };
    const Part parts[] = {{head, &look.head, headY - headR, headY + headR},
                          {torso, &look.torso, shoulders, hips},
                          {legs, &look.legs, hips, feet}};
    for (const Part& part : parts) {
        cairo_save(cr);
        part.shape();
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.06, 0.85);
        cairo_fill_preserve(cr);
        cairo_clip(cr);
        DrawBands(cr, *part.bands, part.top, part.bottom, cx - tall * 0.2, cx + tall * 0.2);
        cairo_restore(cr);
    }

    // What the character wears, under its feet.
    const std::string wearing = WearingLine(look);
    cairo_select_font_face(cr, kBodyFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 18.0 * width / 1920.0 + 1);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, wearing.c_str(), &extents);
    cairo_set_source_rgba(cr, 0.9, 0.9, 0.85, 0.9);
    cairo_move_to(cr, cx - extents.x_advance / 2, feet + tall * 0.07);
    cairo_show_text(cr, wearing.c_str());
}

// The frame number, the light and the camera, in the bottom right corner
// above the prompts (the notifications have the top).
void DrawCorner(cairo_t* cr, const sim::Observation& frame, double width, double height) {
    const sim::CameraView& camera = frame.camera;
    const double size = 16.0 * width / 1920.0 + 2;
    cairo_select_font_face(cr, "DejaVu Sans Mono", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    char lines[3][96];
    std::snprintf(lines[0], sizeof lines[0], "frame %llu",
                  static_cast<unsigned long long>(frame.frame));
    if (frame.light) {
        std::snprintf(lines[1], sizeof lines[1], "light on  (%.2f, %.2f, %.2f)",
                      static_cast<double>(frame.light->x), static_cast<double>(frame.light->y),
                      static_cast<double>(frame.light->z));
    } else {
        std::snprintf(lines[1], sizeof lines[1], "light off");
    }
    if (camera.exists && camera.active && camera.position) {
        std::snprintf(lines[2], sizeof lines[2], "camera on  (%.2f, %.2f, %.2f)",
                      static_cast<double>(camera.position->x),
                      static_cast<double>(camera.position->y),
                      static_cast<double>(camera.position->z));
    } else {
        std::snprintf(lines[2], sizeof lines[2], "camera %s",
                      camera.exists && camera.active ? "on" : "off");
    }
    double widest = 0;
    for (const char* line : lines) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, line, &extents);
        widest = std::max(widest, extents.x_advance);
    }
    const double pad = size * 0.6;
    const double boxW = widest + 2 * pad;
    const double boxH = 3 * size * 1.3 + pad;
    const double left = width - boxW - pad;
    const double top = height * 0.92 - boxH;
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_rectangle(cr, left, top, boxW, boxH);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.9, 0.9, 0.85, 1);
    for (int i = 0; i < 3; ++i) {
        cairo_move_to(cr, left + pad, top + pad / 2 + size * 1.3 * (i + 1) - size * 0.25);
        cairo_show_text(cr, lines[i]);
    }
}

}  // namespace

bool RenderShot(const Screen& screen, int width, const std::string& path, std::string* error) {
    const sim::Observation& frame = screen.frame;
    if (width < 16) {
        width = 16;
    }
    const int height = width * 9 / 16;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_font_options_t* options = cairo_font_options_create();
    // Greyscale antialiasing and no hinting: the same picture on every machine.
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);

    DrawScene(cr, frame, screen.look, width, height);
    for (const sim::DrawEntry& draw : frame.draws) {
        if (draw.kind == sim::DrawEntry::Kind::Sprite) {
            DrawSpriteEntry(cr, draw.sprite, width, height);
        } else {
            DrawTextEntry(cr, draw, width, height);
        }
    }
    DrawPrompts(cr, frame.prompts, width, height);
    DrawNotifications(cr, screen.notifications, width, height);
    DrawNamingKeyboard(cr, frame.keyboard, width, height);
    DrawCorner(cr, frame, width, height);

    // Cairo stops drawing at its first error: such a picture would lie.
    const cairo_status_t drawn = cairo_status(cr);
    cairo_destroy(cr);
    if (drawn != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        *error = "cannot draw " + path + ": " + cairo_status_to_string(drawn);
        return false;
    }
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

void ReleaseShotCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

}  // namespace garbolt_sim

#else

namespace garbolt_sim {

bool RenderShot(const Screen&, int, const std::string& path, std::string* error) {
    *error = "cannot write " + path + ": this build has no screenshots (cairo is missing)";
    return false;
}

void ReleaseShotCaches() {}

}  // namespace garbolt_sim

#endif
