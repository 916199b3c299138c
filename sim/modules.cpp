#include "sim/modules.h"

namespace sim {

void RegisterAllModules(Game& game) {
    RegisterCoreNatives(game);
}

}  // namespace sim
