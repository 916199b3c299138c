// The game's frontend sounds: every prepared and every played sound, in order.
//
//   sim::Sounds().Played()          // {"MENU_ENTER/HUD_PLAYER_MENU", ...}
//   sim::Sounds().PlayedOnFrame(f)  // the same for one frame
//   sim::Sounds().Events()          // prepares and plays with every argument
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class Game;

struct SoundEvent {
    enum class Kind { Prepare, Play };
    Kind kind = Kind::Play;
    std::uint64_t frame = 0;
    std::string name;
    std::string set;
    // The sound-play native's third and fourth arguments (1 and 0 from the menu).
    std::int32_t third = 0;
    std::int32_t fourth = 0;
    // A play whose name and set were prepared earlier (and not yet played).
    bool wasPrepared = false;
};

class SoundLog {
  public:
    const std::vector<SoundEvent>& Events() const { return events_; }
    // Played sounds as "name/set", in order.
    std::vector<std::string> Played() const;
    std::vector<std::string> PlayedOnFrame(std::uint64_t frame) const;
    void Clear() { events_.clear(); }

    // --- The game's side --------------------------------------------------
    void Reset() { *this = SoundLog(); }
    void Record(SoundEvent event);

  private:
    std::vector<SoundEvent> events_;
};

SoundLog& Sounds();

// Registers the two sound natives and resets the log.
void RegisterSounds(Game& game);

}  // namespace sim
