#include "sim/modules.h"

#include "sim/character.h"
#include "sim/clothing.h"
#include "sim/naming_keyboard.h"
#include "sim/scene.h"

namespace sim {

void RegisterAllModules(Game& game) {
    RegisterCoreNatives(game);
    RegisterCharacterNatives(game);
    RegisterClothingNatives(game);
    RegisterSceneNatives(game);
    RegisterNamingKeyboardNatives(game);
}

}  // namespace sim
