#include "sim/modules.h"

#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/prompts.h"
#include "sim/sounds.h"

namespace sim {

void RegisterAllModules(Game& game) {
    RegisterCoreNatives(game);
    RegisterControls(game);
    RegisterPrompts(game);
    RegisterSounds(game);
    RegisterDrawing(game);
}

}  // namespace sim
