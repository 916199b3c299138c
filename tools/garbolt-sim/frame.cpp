#include "frame.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "sim/draw_list.h"
#include "sim/prompts.h"

namespace garbolt_sim {

namespace {

// The game functions whose calls make up what a player sees and hears.
constexpr std::uint64_t kTextColourNative = 0x16FA5CE47F184F1E;
constexpr std::uint64_t kDrawTextNative = 0x16794E044C9EFB58;
constexpr std::uint64_t kDrawSpriteNative = 0xC9884ECADE94CB34;
constexpr std::uint64_t kSoundPlayNative = 0x67C540AA08E4A6F5;
constexpr std::uint64_t kPromptControlNative = 0xB5352B7494A08258;
constexpr std::uint64_t kPromptTextNative = 0x5DD02A8318420DD7;
constexpr std::uint64_t kFirstPromptStateNative = 0x71215ACCFDE075EE;
constexpr std::uint64_t kSecondPromptStateNative = 0x8A0FB4D03A630D21;
constexpr std::uint64_t kDrawLightNative = 0xD2D9E04C0DF927F4;
constexpr std::uint64_t kCameraActiveNative = 0x87295BCA613800C8;
constexpr std::uint64_t kScriptCameraRenderNative = 0x33281167E4942E4F;
constexpr std::uint64_t kDestroyCameraNative = 0x4E67E0B6D7FD5145;
constexpr std::uint64_t kCameraPositionNative = 0xF9EE7D419EE49DE6;

// The menu's layout in reference pixels, as the screen shows it.
constexpr float kRowPitch = 55.08f;
constexpr float kRowTextTop = 254.0f;
constexpr float kTickTop = 250.0f;
constexpr float kTitleY = 79.0f;
constexpr float kSubtitleY = 172.0f;
constexpr float kDescriptionY = 980.0f;
constexpr float kCounterTop = 243.0f;

float FloatWord(std::uint64_t word) {
    const auto bits = static_cast<std::uint32_t>(word);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Text arguments are read while the call is made: the plug-in keeps them
// valid for the call (and the frame), never longer.
std::string TextWord(std::uint64_t word) {
    const char* text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(word));
    return text != nullptr ? std::string(text) : std::string();
}

int Component(std::uint64_t word) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(word));
}

bool Near(float a, float b) {
    return std::fabs(a - b) < 0.6f;
}

// The row whose text top is at y (given the row's first line), or -1.
int RowAt(float y, float top) {
    const float r = (y - top) / kRowPitch;
    const int row = static_cast<int>(std::lround(r));
    if (row < 0 || row > 40 || !Near(static_cast<float>(row) * kRowPitch + top, y)) {
        return -1;
    }
    return row;
}

// Between the quotes after the key, e.g. RIGHTMARGIN = '1400'.
bool Field(const std::string& raw, const std::string& key, std::string* value, std::size_t* after) {
    const std::size_t at = raw.find(key + " = '", *after);
    if (at == std::string::npos) {
        return false;
    }
    const std::size_t start = at + key.size() + 4;
    const std::size_t end = raw.find('\'', start);
    if (end == std::string::npos) {
        return false;
    }
    *value = raw.substr(start, end - start);
    *after = end + 1;
    return true;
}

bool ToInt(const std::string& text, int* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

// The text behind a game string the variable-string native handed out; a
// value that is none shows as such rather than as some other text.
std::string GameText(std::uint64_t gameString) {
    const std::optional<std::string> text = sim::Drawing().ResolveGameString(gameString);
    return text ? *text : std::string("(not a game string)");
}

// The visible part of a text: the inline images read as short words.
std::string StripImages(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 4, "<img") == 0) {
            const std::size_t end = text.find("/>", i);
            if (end == std::string::npos) {
                break;
            }
            i = end + 2;
            continue;
        }
        out += text[i++];
    }
    while (!out.empty() && out.front() == ' ') {
        out.erase(out.begin());
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

}  // namespace

float Draw::ReferenceX() const {
    if (kind == Kind::Sprite) {
        return x * 1920.0f;
    }
    if (align == "Right") {
        return 1920.0f - static_cast<float>(rightMargin);
    }
    if (align == "Center") {
        return (x + 1.0f) / 2.0f * 1920.0f;
    }
    return x * 1920.0f;
}

bool DecodeMarkup(const std::string& raw, Draw* text) {
    std::size_t at = 0;
    std::string margin, align, face, spacing, size;
    if (raw.rfind("<TEXTFORMAT", 0) != 0 || !Field(raw, "RIGHTMARGIN", &margin, &at) ||
        !Field(raw, "ALIGN", &align, &at) || !Field(raw, "FACE", &face, &at) ||
        !Field(raw, "LETTERSPACING", &spacing, &at) || !Field(raw, "SIZE", &size, &at)) {
        return false;
    }
    const std::string open = ">~s~";
    const std::string close = "</FONT></P><TEXTFORMAT>";
    if (raw.compare(at, open.size(), open) != 0 || raw.size() < at + open.size() + close.size() ||
        raw.compare(raw.size() - close.size(), close.size(), close) != 0) {
        return false;
    }
    int marginValue = 0, spacingValue = 0, sizeValue = 0;
    if (!ToInt(margin, &marginValue) || !ToInt(spacing, &spacingValue) ||
        !ToInt(size, &sizeValue)) {
        return false;
    }
    text->rightMargin = marginValue;
    text->align = align;
    text->font = !face.empty() && face[0] == '$' ? face.substr(1) : face;
    text->letterSpacing = spacingValue;
    text->size = sizeValue;
    const std::size_t start = at + open.size();
    text->text = raw.substr(start, raw.size() - close.size() - start);
    text->decoded = true;
    return true;
}

void TraceWatcher::Attach(sim::Game& game, bool keepTrace) {
    keepTrace_ = keepTrace;
    game.SetTraceObserver([this](const sim::TraceEvent& event) { OnEvent(event); });
}

void TraceWatcher::ForgetPlugin() {
    prompts_.clear();
}

void TraceWatcher::OnEvent(const sim::TraceEvent& event) {
    if (keepTrace_) {
        current_.trace.push_back(event);
    }
    if (event.kind == sim::TraceEvent::Kind::Misuse) {
        ++misuseCount_;
        current_.misuse.push_back(event);
        return;
    }
    if (event.kind != sim::TraceEvent::Kind::Native) {
        return;
    }
    if (event.unknown) {
        ++unknownCount_;
        current_.unknown.push_back(event);
    }
    const auto& a = event.args;
    auto word = [&a](std::size_t i) { return i < a.size() ? a[i] : 0; };
    switch (event.hash) {
        case kTextColourNative:
            pendingColour_ = {Component(word(0)), Component(word(1)), Component(word(2)),
                              Component(word(3))};
            break;
        case kDrawTextNative: {
            // The text itself is read when the frame is drawn (TakeFrame).
            Draw draw;
            draw.kind = Draw::Kind::Text;
            draw.colour = pendingColour_;
            draw.x = FloatWord(word(1));
            draw.y = FloatWord(word(2));
            current_.draws.push_back(std::move(draw));
            break;
        }
        case kDrawSpriteNative: {
            Draw draw;
            draw.kind = Draw::Kind::Sprite;
            draw.dictionary = TextWord(word(0));
            draw.texture = TextWord(word(1));
            draw.x = FloatWord(word(2));
            draw.y = FloatWord(word(3));
            draw.width = FloatWord(word(4));
            draw.height = FloatWord(word(5));
            draw.colour = {Component(word(7)), Component(word(8)), Component(word(9)),
                           Component(word(10))};
            current_.draws.push_back(std::move(draw));
            break;
        }
        case kSoundPlayNative:
            current_.sounds.push_back({TextWord(word(0)), TextWord(word(1))});
            break;
        case kPromptControlNative: {
            Prompt& prompt = prompts_[Component(word(0))];
            prompt.handle = Component(word(0));
            prompt.control = static_cast<std::uint32_t>(word(1));
            break;
        }
        case kPromptTextNative: {
            Prompt& prompt = prompts_[Component(word(0))];
            prompt.handle = Component(word(0));
            prompt.text = GameText(word(1));
            break;
        }
        case kFirstPromptStateNative:
        case kSecondPromptStateNative: {
            Prompt& prompt = prompts_[Component(word(0))];
            prompt.handle = Component(word(0));
            (event.hash == kFirstPromptStateNative ? prompt.shown : prompt.enabled) =
                static_cast<std::uint32_t>(word(1)) != 0;
            break;
        }
        case kDrawLightNative:
            current_.light = Vec3{FloatWord(word(0)), FloatWord(word(1)), FloatWord(word(2))};
            break;
        case kCameraActiveNative:
            cameraHandle_ = static_cast<std::uint32_t>(word(0));
            camera_.exists = true;
            camera_.active = static_cast<std::uint32_t>(word(1)) != 0;
            break;
        case kScriptCameraRenderNative:
            camera_.rendering = static_cast<std::uint32_t>(word(0)) != 0;
            break;
        case kCameraPositionNative:
            cameraHandle_ = static_cast<std::uint32_t>(word(0));
            camera_.exists = true;
            camera_.position = Vec3{FloatWord(word(1)), FloatWord(word(2)), FloatWord(word(3))};
            break;
        case kDestroyCameraNative:
            if (static_cast<std::uint32_t>(word(0)) == cameraHandle_) {
                camera_ = Camera{};
            }
            break;
        default:
            break;
    }
}

// The game reads a text when it draws the frame, through the pointer it was
// given, so what the screen shows is the game's own reading: its draw list
// (in the same order as the calls) and its prompts.
void TraceWatcher::ReadDrawnTexts() {
    const std::vector<const sim::TextEntry*> drawn = sim::Drawing().Texts();
    std::size_t next = 0;
    for (Draw& draw : current_.draws) {
        if (draw.kind != Draw::Kind::Text || next >= drawn.size()) {
            continue;
        }
        const sim::TextEntry& text = *drawn[next++];
        draw.raw = text.validString ? text.markup : std::string("(not a game string)");
        if (!DecodeMarkup(draw.raw, &draw)) {
            draw.text = draw.raw;
        }
    }
    for (auto& [handle, prompt] : prompts_) {
        const sim::PromptRecord* record = sim::Prompts().Find(handle);
        if (record != nullptr && record->hasText) {
            prompt.text = record->text;
        }
    }
}

FrameRecord TraceWatcher::TakeFrame(std::uint64_t frame) {
    ReadDrawnTexts();
    FrameRecord record = std::move(current_);
    current_ = FrameRecord{};
    record.frame = frame;
    return record;
}

const MenuRow* MenuView::Row(int index) const {
    for (const MenuRow& row : rows) {
        if (row.index == index) {
            return &row;
        }
    }
    return nullptr;
}

MenuView ReadMenu(const FrameRecord& frame) {
    MenuView menu;
    std::map<int, MenuRow> byScreenRow;
    int shownRows = 0;
    for (const Draw& draw : frame.draws) {
        menu.open = true;
        if (draw.kind != Draw::Kind::Text) {
            continue;
        }
        const float y = draw.ReferenceY();
        const std::string& text = draw.text;
        if (draw.align == "Center" && Near(y, kTitleY)) {
            menu.title = text;
        } else if (draw.align == "Center" && Near(y, kSubtitleY)) {
            menu.subtitle = text;
        } else if (draw.align == "Center" && Near(y, kDescriptionY)) {
            menu.description = text;
        } else if (draw.align == "Right" && draw.letterSpacing == -1 &&
                   text.find(" of ") != std::string::npos) {
            int current = 0, count = 0;
            const std::size_t of = text.find(" of ");
            if (ToInt(text.substr(0, of), &current) && ToInt(text.substr(of + 4), &count)) {
                menu.current = current - 1;
                menu.count = count;
                shownRows = std::max(0, RowAt(y, kCounterTop));
            }
        } else if (draw.align == "Right" &&
                   text.find("img://generic_textures/tick") != std::string::npos) {
            const int row = RowAt(y, kTickTop);
            if (row >= 0) {
                byScreenRow[row].ticked = true;
            }
        } else if (draw.align == "Right") {
            const int row = RowAt(y, kRowTextTop);
            if (row >= 0) {
                byScreenRow[row].value = StripImages(text);
            }
        } else {
            const int row = RowAt(y, kRowTextTop);
            if (row >= 0) {
                byScreenRow[row].label = text;
                byScreenRow[row].heading = draw.align == "Center";
            }
        }
    }
    if (!menu.open) {
        return menu;
    }
    static const std::map<std::string, int> kPageBySubtitle = {
        {"Change Clothes", 0}, {"Saved Custom Outfits", 1}, {"Preset Outfits", 2}, {"Settings", 3}};
    const auto page = kPageBySubtitle.find(menu.subtitle);
    menu.page = page != kPageBySubtitle.end() ? page->second : -1;
    if (shownRows <= 0) {
        shownRows = std::max(1, menu.count);
    }
    menu.firstShown = std::max(0, menu.current - shownRows + 1);
    for (auto& [screenRow, row] : byScreenRow) {
        row.index = menu.firstShown + screenRow;
        menu.rows.push_back(row);
    }
    return menu;
}

std::string RenderMenuText(const MenuView& menu) {
    std::ostringstream out;
    if (!menu.open) {
        out << "  (menu closed)\n";
        return out.str();
    }
    out << "  +-- " << menu.title << " -- " << menu.subtitle;
    if (menu.page >= 0) {
        out << " (page " << menu.page << ")";
    }
    out << "\n";
    for (const MenuRow& row : menu.rows) {
        const bool current = row.index == menu.current;
        out << "  | " << (current ? "> " : "  ");
        std::string line = row.heading ? "-- " + row.label + " --" : row.label;
        if (row.value) {
            line += "  < " + *row.value + " >";
        }
        if (row.ticked) {
            line += "  [x]";
        }
        out << line << "\n";
    }
    out << "  +-- " << (menu.current + 1) << " of " << menu.count;
    if (!menu.description.empty()) {
        out << " -- " << menu.description;
    }
    out << "\n";
    return out.str();
}

}  // namespace garbolt_sim
