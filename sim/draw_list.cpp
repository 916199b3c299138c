#include "sim/draw_list.h"

#include <charconv>

#include "host/native_hashes.h"
#include "sim/game.h"

namespace sim {

using game_natives::kDrawSpriteNative;
using game_natives::kDrawTextNative;
using game_natives::kTextColourNative;
using game_natives::kVariableStringNative;

namespace {

// Reads the text between `open` and the next quote at `pos`; moves pos past it.
bool ReadQuoted(const std::string& markup, std::size_t& pos, const char* open, std::string& value) {
    const std::string opening(open);
    if (markup.compare(pos, opening.size(), opening) != 0) {
        return false;
    }
    pos += opening.size();
    const std::size_t close = markup.find('\'', pos);
    if (close == std::string::npos) {
        return false;
    }
    value = markup.substr(pos, close - pos);
    pos = close + 1;
    return true;
}

bool ParseInt(const std::string& text, std::int32_t& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

DrawRecorder& Drawing() {
    static DrawRecorder drawing;
    return drawing;
}

void DecodeTextMarkup(TextEntry& entry) {
    const std::string& m = entry.markup;
    TextEntry decoded;
    std::size_t pos = 0;
    std::string spacing;
    std::string size;
    static const std::string kClose = "</FONT></P><TEXTFORMAT>";
    bool ok = ReadQuoted(m, pos, "<TEXTFORMAT RIGHTMARGIN = '", decoded.rightMargin) &&
              ReadQuoted(m, pos, "><P ALIGN = '", decoded.alignment) &&
              ReadQuoted(m, pos, "><FONT FACE = '", decoded.fontFace) &&
              ReadQuoted(m, pos, " LETTERSPACING = '", spacing) &&
              ReadQuoted(m, pos, " SIZE = '", size) && m.compare(pos, 1, ">") == 0 &&
              ParseInt(spacing, decoded.letterSpacing) && ParseInt(size, decoded.size);
    ++pos;
    const std::size_t close = m.rfind(kClose);
    ok = ok && close != std::string::npos && close >= pos && close + kClose.size() == m.size();
    if (!ok) {
        entry.decoded = false;
        return;
    }
    if (!decoded.fontFace.empty() && decoded.fontFace[0] == '$') {
        decoded.fontFace.erase(0, 1);
    }
    std::string body = m.substr(pos, close - pos);
    if (body.compare(0, 3, "~s~") == 0) {
        body.erase(0, 3);
    }
    entry.decoded = true;
    entry.rightMargin = std::move(decoded.rightMargin);
    entry.alignment = std::move(decoded.alignment);
    entry.fontFace = std::move(decoded.fontFace);
    entry.letterSpacing = decoded.letterSpacing;
    entry.size = decoded.size;
    entry.text = std::move(body);
}

std::vector<const TextEntry*> DrawRecorder::Texts() const {
    std::vector<const TextEntry*> texts;
    for (const DrawEntry& entry : List()) {
        if (entry.kind == DrawEntry::Kind::Text) {
            texts.push_back(&entry.text);
        }
    }
    return texts;
}

std::vector<const SpriteEntry*> DrawRecorder::Sprites() const {
    std::vector<const SpriteEntry*> sprites;
    for (const DrawEntry& entry : list_) {
        if (entry.kind == DrawEntry::Kind::Sprite) {
            sprites.push_back(&entry.sprite);
        }
    }
    return sprites;
}

std::uint64_t DrawRecorder::MakeGameString(const char* text) {
    current_.push_back(GameString{text});
    const GameString* record = &current_.back();
    const auto value = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(record));
    live_[value] = record;
    return value;
}

std::optional<const char*> DrawRecorder::GameStringSource(std::uint64_t value) const {
    auto found = live_.find(value);
    if (found == live_.end()) {
        return std::nullopt;
    }
    return found->second->source;
}

std::optional<std::string> DrawRecorder::ResolveGameString(std::uint64_t value) const {
    const std::optional<const char*> source = GameStringSource(value);
    if (!source) {
        return std::nullopt;
    }
    return std::string(*source != nullptr ? *source : "");
}

void DrawRecorder::Reset() {
    list_.clear();
    pending_.clear();
    pendingColour_ = Colour();
    current_.clear();
    previous_.clear();
    live_.clear();
}

void DrawRecorder::BeginFrame() {
    list_.clear();
    pending_.clear();
    pendingColour_ = Colour();
    // Strings of the frame before last are released.
    for (const GameString& old : previous_) {
        live_.erase(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&old)));
    }
    previous_.swap(current_);
    current_.clear();
}

void DrawRecorder::DrawText(std::uint64_t frame, std::uint64_t gameString, float x, float y) {
    DrawEntry entry;
    entry.kind = DrawEntry::Kind::Text;
    entry.frame = frame;
    entry.text.x = x;
    entry.text.y = y;
    entry.text.colour = pendingColour_;
    pendingColour_ = Colour();
    if (const std::optional<const char*> source = GameStringSource(gameString)) {
        pending_.push_back({list_.size(), *source});
    } else {
        entry.text.validString = false;
    }
    list_.push_back(std::move(entry));
}

void DrawRecorder::ReadPendingTexts() const {
    for (const PendingText& pending : pending_) {
        TextEntry& text = list_[pending.entry].text;
        text.markup = pending.source != nullptr ? pending.source : "";
        DecodeTextMarkup(text);
    }
    pending_.clear();
}

void DrawRecorder::DrawSprite(std::uint64_t frame, SpriteEntry sprite) {
    DrawEntry entry;
    entry.kind = DrawEntry::Kind::Sprite;
    entry.frame = frame;
    entry.sprite = std::move(sprite);
    list_.push_back(std::move(entry));
}

void RegisterDrawing(Game& game) {
    Drawing().Reset();
    game.SetGameTextOwner(
        [](std::uint64_t value) { return Drawing().GameStringSource(value).has_value(); });
    game.RegisterNative(kTextColourNative, [](NativeCall& call) {
        Drawing().SetTextColour({call.Int(0), call.Int(1), call.Int(2), call.Int(3)});
    });
    game.RegisterNative(kVariableStringNative, [](NativeCall& call) {
        call.ReturnWord(Drawing().MakeGameString(call.RawText(2)));
    });
    game.RegisterNative(kDrawTextNative, [&game](NativeCall& call) {
        Drawing().DrawText(game.FrameNumber(), call.Word(0), call.Float(1), call.Float(2));
    });
    game.RegisterNative(kDrawSpriteNative, [&game](NativeCall& call) {
        SpriteEntry sprite;
        sprite.dictionary = call.Text(0).value_or("");
        sprite.texture = call.Text(1).value_or("");
        sprite.x = call.Float(2);
        sprite.y = call.Float(3);
        sprite.width = call.Float(4);
        sprite.height = call.Float(5);
        sprite.heading = call.Float(6);
        sprite.colour = {call.Int(7), call.Int(8), call.Int(9), call.Int(10)};
        sprite.last = call.Int(11);
        Drawing().DrawSprite(game.FrameNumber(), std::move(sprite));
    });
    game.AddFrameHook([] { Drawing().BeginFrame(); });
    game.AddDrawHook([] { Drawing().ReadPendingTexts(); });
}

}  // namespace sim
