// The plug-in's process state as a whole. Each part owns its globals and the
// reset beside them; this puts every one back at once, so a test, fuzzer or
// benchmark that links the plug-in into its own program can play a fresh
// load without loading a library again.
#pragma once

// The keyboard table, the game window, the menu and its pages, the settings
// and their document, the wardrobe scene and the stored rows: all as at load.
void ResetPluginState();
