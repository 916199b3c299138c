// garbolt-sim's reporters on random texts and numbers: a frame of random
// texts, sprites, sounds and notifications read as the menu, written as the
// transcript and the JSON lines would write it, and painted. Every reported
// text is UTF-8 without a control character; a quoted text reads back, as a
// scenario, to its very bytes; a JSON text gives its bytes back (from the
// hex beside it when it is not UTF-8); the picture is drawn without a cairo
// error.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>

#include "frame.h"
#include "fuzz_files.h"
#include "json_text.h"
#include "safe_text.h"
#include "scenario.h"
#include "shot.h"
#include "sim/observation.h"

namespace {

using fuzz_support::Broken;
using garbolt_sim::json;

// Checked by nlohmann's own reader rather than the code under test.
bool Utf8(const std::string& text) {
    try {
        (void)json(text).dump();
        return true;
    } catch (const json::exception&) {
        return false;
    }
}

void CheckPrintable(const std::string& shown, const std::string& what) {
    if (!Utf8(shown)) {
        Broken(what + " is not UTF-8: " + shown);
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto byte = static_cast<unsigned char>(shown[i]);
        const bool c1 =
            byte == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || c1) {
            Broken(what + " holds a control character: " + shown);
        }
    }
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

void CheckText(const std::string& text) {
    const std::string quoted = garbolt_sim::Quote(text);
    CheckPrintable(quoted, "a quoted text");
    const garbolt_sim::ParseResult read =
        garbolt_sim::ParseScenario("expect notification " + quoted + "\n");
    if (!read.ok || read.commands.size() != 1 || read.commands[0].text != text) {
        Broken("a quoted text does not read back as its bytes: " + quoted);
    }
    CheckPrintable(garbolt_sim::TerminalSafe(text), "a transcript text");

    json event;
    garbolt_sim::PutText(event, "text", text);
    event["args"] = json::array({garbolt_sim::TextValue(text)});
    const json back = json::parse(event.dump());
    const std::string field =
        back.contains("textHex") ? FromHex(back["textHex"]) : back["text"].get<std::string>();
    const json& arg = back["args"][0];
    const std::string argument = arg.is_object() ? FromHex(arg["hex"]) : arg.get<std::string>();
    if (field != text || argument != text) {
        Broken("a JSON text does not give its bytes back");
    }
}

float Coordinate(FuzzedDataProvider& input) {
    static const float kOdd[] = {std::numeric_limits<float>::quiet_NaN(),
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 1e30f,
                                 -1e30f,
                                 -0.0f};
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        return kOdd[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kOdd) - 1)];
    }
    return input.ConsumeFloatingPointInRange(-0.5f, 1.5f);
}

// A text's or a sprite's colour and place on the screen.
template <typename Drawn>
void Place(Drawn& drawn, const sim::Colour& colour, float x, float y) {
    drawn.colour = colour;
    drawn.x = x;
    drawn.y = y;
}

// The menu's markup around random fields, so the decoder and the menu reader get past their first
// checks.
std::string Markup(FuzzedDataProvider& input) {
    static const char* const kAligns[] = {"Left", "Center", "Right"};
    const std::string align = input.ConsumeBool() ? kAligns[input.ConsumeIntegralInRange(0, 2)]
                                                  : input.ConsumeRandomLengthString(8);
    return "<TEXTFORMAT RIGHTMARGIN = '" + std::to_string(input.ConsumeIntegral<std::int32_t>()) +
           "'><P ALIGN = '" + align + "'><FONT FACE = '$" + input.ConsumeRandomLengthString(8) +
           "' LETTERSPACING = '" + std::to_string(input.ConsumeIntegral<std::int32_t>()) +
           "' SIZE = '" + std::to_string(input.ConsumeIntegralInRange(-100, 100000)) + "'>~s~" +
           input.ConsumeRandomLengthString(64) + "</FONT></P><TEXTFORMAT>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = [] {
        // What the font machinery keeps is let go at the end, as the program does.
        std::atexit(garbolt_sim::ReleaseShotCaches);
        return fuzz_support::ScratchFolder("sim_report");
    }();
    FuzzedDataProvider input(data, size);
    sim::Observation frame;
    frame.frame = input.ConsumeIntegral<std::uint64_t>();
    for (int i = 0; i < 12 && input.remaining_bytes() > 0; ++i) {
        const sim::Colour colour = {
            input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>(),
            input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>()};
        const float x = Coordinate(input);
        const float y = Coordinate(input);
        sim::DrawEntry draw;
        switch (input.ConsumeIntegralInRange(0, 4)) {
            case 0:
            case 1:
                draw.text.markup =
                    input.ConsumeBool() ? Markup(input) : input.ConsumeRandomLengthString(64);
                draw.text.validString = input.ConsumeIntegralInRange(0, 7) != 0;
                if (draw.text.validString) {
                    sim::DecodeTextMarkup(draw.text);
                }
                Place(draw.text, colour, x, y);
                frame.draws.push_back(draw);
                break;
            case 2:
                draw.kind = sim::DrawEntry::Kind::Sprite;
                draw.sprite.dictionary = input.ConsumeRandomLengthString(16);
                draw.sprite.texture = input.ConsumeRandomLengthString(16);
                draw.sprite.width = Coordinate(input);
                draw.sprite.height = Coordinate(input);
                Place(draw.sprite, colour, x, y);
                frame.draws.push_back(draw);
                break;
            case 3:
                frame.notifications.push_back(input.ConsumeRandomLengthString(64));
                break;
            default:
                frame.sounds.push_back(
                    {input.ConsumeRandomLengthString(16), input.ConsumeRandomLengthString(16)});
                break;
        }
    }
    if (input.ConsumeBool()) {
        frame.light = sim::Vec3{Coordinate(input), Coordinate(input), Coordinate(input)};
    }

    for (const sim::DrawEntry& draw : frame.draws) {
        for (const std::string& text :
             {sim::DrawnMarkup(draw.text), sim::ShownText(draw.text), draw.text.alignment,
              draw.text.fontFace, draw.sprite.dictionary, draw.sprite.texture}) {
            CheckText(text);
        }
    }
    for (const std::string& text : frame.notifications) {
        CheckText(text);
    }
    for (const sim::HeardSound& sound : frame.sounds) {
        CheckText(sound.name);
        CheckText(sound.set);
    }
    std::istringstream menu(garbolt_sim::RenderMenuText(garbolt_sim::ReadMenu(frame)));
    for (std::string line; std::getline(menu, line);) {
        CheckPrintable(garbolt_sim::TerminalSafe(line), "a menu line");
    }

    std::string error;
    const int width = input.ConsumeIntegralInRange(16, 96);
    const garbolt_sim::CharacterLook look = garbolt_sim::LookOf(frame.worn);
    const garbolt_sim::Screen screen{frame, look, frame.notifications};
    if (!garbolt_sim::RenderShot(screen, width, folder + "/shot.png", &error)) {
        Broken("the picture failed: " + error);
    }
    return 0;
}
