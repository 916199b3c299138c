#include "sim/game_code.h"

namespace sim {

namespace {
thread_local int gameCodeDepth = 0;
}  // namespace

bool InGameCode() {
    return gameCodeDepth > 0;
}

GameCodeScope::GameCodeScope() {
    ++gameCodeDepth;
}

GameCodeScope::~GameCodeScope() {
    --gameCodeDepth;
}

}  // namespace sim
