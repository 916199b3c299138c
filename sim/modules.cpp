#include "sim/modules.h"

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/controls.h"
#include "sim/draw_list.h"
#include "sim/host_window.h"
#include "sim/naming_keyboard.h"
#include "sim/prompts.h"
#include "sim/scene.h"
#include "sim/sounds.h"

namespace sim {

void RegisterAllModules(Game& game) {
    RegisterCoreNatives(game);
    RegisterControls(game);
    RegisterPrompts(game);
    RegisterSounds(game);
    RegisterDrawing(game);
    RegisterCharacterNatives(game);
    RegisterClothingNatives(game);
    RegisterSceneNatives(game);
    RegisterNamingKeyboardNatives(game);
    RegisterHostWindow(game);
}

}  // namespace sim
