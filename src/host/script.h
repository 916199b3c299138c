// The script routine the hook runs: start-up once, then one pass per frame.
#pragma once

// The routine the hook runs: ScriptStartUp, then ScriptFrame and a wait, forever.
void ScriptMain();

// The start-up in its order (menu, prompts, pages, first page, settings,
// stored outfit names, game window); nothing escapes it.
void ScriptStartUp();
// One frame's work: the outcome of finished outfit-file work, the menu,
// then the wardrobe; nothing escapes it.
void ScriptFrame();
// Before the library is unloaded (not at the process's end): outfit-file
// work still running away from the game's thread ends first, since it runs
// the library's code and uses its memory.
void ScriptUnload();
