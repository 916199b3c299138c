// Marks the simulated game's own work on a thread, so a test that counts heap
// allocations can count only the plug-in's: every hook operation runs inside
// a GameCodeScope, and so may a test's frame driver.
//
//   void* operator new(std::size_t n) {
//       if (counting && !sim::InGameCode()) ++allocations;
//       ...
//   }
#pragma once

namespace sim {

// True while this thread is inside the simulated game's code.
bool InGameCode();

class GameCodeScope {
  public:
    GameCodeScope();
    ~GameCodeScope();
    GameCodeScope(const GameCodeScope&) = delete;
    GameCodeScope& operator=(const GameCodeScope&) = delete;
};

}  // namespace sim
