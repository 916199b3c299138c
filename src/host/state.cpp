#include "host/state.h"

#include "host/keyboard.h"
#include "host/window.h"
#include "menu/menu.h"
#include "settings/settings.h"
#include "wardrobe/scene.h"

void ResetPluginState() {
    ResetMenu();
    ResetWardrobeState();
    ResetSettings();
    ResetKeyStates();
    ResetGameWindow();
}
