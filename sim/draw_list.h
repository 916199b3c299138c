// What the game draws on a frame: the text-colour, variable-string, draw-text
// and draw-sprite natives build a draw list per frame.
//
//   sim::TheGame().RunFrame();
//   for (const sim::DrawEntry& entry : sim::DrawList()) { ... }
//
// sim::DrawList() is the list of the frame in progress; between frames that
// is the frame that ran last. It is emptied when a frame begins.
//
// A text entry keeps the raw markup the game was given and the fields the
// game reads out of it (right margin, alignment, font face, letter spacing,
// size, text), with its screen position (fractions of the screen) and the
// colour set by the text-colour native just before it; a text drawn without
// a colour of its own is white, as the colour applies to one text only.
//
// The variable-string native copies the text it is given into game-owned
// storage and answers the address of that copy: the game string. Game strings
// live for the frame they were made in and the next one; the draw-text and
// prompt-text natives read them at once. A value that is no live game string
// is drawn as an entry with validString false.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class Game;

constexpr std::uint64_t kTextColourNative = 0x16FA5CE47F184F1E;
constexpr std::uint64_t kVariableStringNative = 0xFA925AC00EB830B9;
constexpr std::uint64_t kDrawTextNative = 0x16794E044C9EFB58;
constexpr std::uint64_t kDrawSpriteNative = 0xC9884ECADE94CB34;

struct Colour {
    std::int32_t r = 255;
    std::int32_t g = 255;
    std::int32_t b = 255;
    std::int32_t a = 255;
    bool operator==(const Colour& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
};

struct TextEntry {
    std::string markup;  // the game string as drawn
    bool validString = true;
    // The fields read from the markup; decoded is false when the markup is
    // not the text-format form, and the fields are then empty.
    bool decoded = false;
    std::string rightMargin;
    std::string alignment;  // "Left", "Center" or "Right"
    std::string fontFace;   // without the leading '$'
    std::int32_t letterSpacing = 0;
    std::int32_t size = 0;
    std::string text;  // after the leading "~s~"
    float x = 0.0f;
    float y = 0.0f;
    Colour colour;
};

struct SpriteEntry {
    std::string dictionary;
    std::string texture;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float heading = 0.0f;
    Colour colour;
    std::int32_t last = 0;  // the final argument, 0 from the menu
};

struct DrawEntry {
    enum class Kind { Text, Sprite };
    Kind kind = Kind::Text;
    std::uint64_t frame = 0;
    TextEntry text;      // for Kind::Text
    SpriteEntry sprite;  // for Kind::Sprite
};

class DrawRecorder {
  public:
    const std::vector<DrawEntry>& List() const { return list_; }
    std::vector<const TextEntry*> Texts() const;
    std::vector<const SpriteEntry*> Sprites() const;

    // The variable-string native's work: a game-owned copy of the text.
    std::uint64_t MakeGameString(const char* text);
    // The text of a live game string, or nullopt.
    std::optional<std::string> ResolveGameString(std::uint64_t value) const;
    std::size_t LiveGameStrings() const { return current_.size() + previous_.size(); }

    // --- The game's side --------------------------------------------------
    void Reset();
    void BeginFrame();
    void SetTextColour(const Colour& colour) { pendingColour_ = colour; }
    void DrawText(std::uint64_t frame, std::uint64_t gameString, float x, float y);
    void DrawSprite(std::uint64_t frame, SpriteEntry sprite);

  private:
    std::vector<DrawEntry> list_;
    Colour pendingColour_;
    std::deque<std::string> current_;
    std::deque<std::string> previous_;
    std::unordered_map<std::uint64_t, const std::string*> live_;
};

DrawRecorder& Drawing();

// Reads the text-format markup into the entry's fields.
void DecodeTextMarkup(TextEntry& entry);

// Registers the four drawing natives and resets the recorder.
void RegisterDrawing(Game& game);

// The draw list of the frame in progress, or of the last frame run.
inline const std::vector<DrawEntry>& DrawList() {
    return Drawing().List();
}

}  // namespace sim
