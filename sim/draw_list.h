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
// The variable-string native keeps the pointer it is given: the game string
// it answers is a game-owned record of that pointer, not a copy of the text.
// Game strings live for the frame they were made in and the next one. The
// draw-text native takes a game string and the text behind it is read when
// the frame is drawn (the game's DrawFrame, at the routine's scriptWait), so
// a plug-in buffer freed or reused before then shows up under ASan or as the
// wrong text. A value that is no live game string is drawn as an entry with
// validString false. Whoever looks at the list before the frame is drawn sees
// it as it would be drawn at that moment.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class Game;

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
    const std::vector<DrawEntry>& List() const {
        ReadPendingTexts();
        return list_;
    }
    std::vector<const TextEntry*> Texts() const;
    std::vector<const SpriteEntry*> Sprites() const;

    // The variable-string native's work: a game string that keeps `text`, the
    // caller's pointer, to be read when the game uses it.
    std::uint64_t MakeGameString(const char* text);
    // The text of a live game string, read now, or nullopt.
    std::optional<std::string> ResolveGameString(std::uint64_t value) const;
    // The caller's pointer behind a live game string (null stays null), or nullopt.
    std::optional<const char*> GameStringSource(std::uint64_t value) const;
    std::size_t LiveGameStrings() const { return current_.size() + previous_.size(); }

    // --- The game's side --------------------------------------------------
    void Reset();
    void BeginFrame();
    void SetTextColour(const Colour& colour) { pendingColour_ = colour; }
    void DrawText(std::uint64_t frame, std::uint64_t gameString, float x, float y);
    void DrawSprite(std::uint64_t frame, SpriteEntry sprite);
    // The frame is drawn: the texts drawn since the last reading are read
    // through the pointers they were given.
    void ReadPendingTexts() const;

  private:
    // What a game string holds: the pointer the variable-string native was given.
    struct GameString {
        const char* source = nullptr;
    };
    // A text entry not read yet: its place in the list and its pointer.
    struct PendingText {
        std::size_t entry = 0;
        const char* source = nullptr;
    };
    // Reading is the game's drawing, not a change anyone asked for.
    mutable std::vector<DrawEntry> list_;
    mutable std::vector<PendingText> pending_;
    Colour pendingColour_;
    std::deque<GameString> current_;
    std::deque<GameString> previous_;
    std::unordered_map<std::uint64_t, const GameString*> live_;
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
