// The wardrobe's per-frame work: the save or delete prompt, the naming
// keyboard, and the scene set up while the menu is open (camera, box area,
// light, and the game's controls limited to the menu's own under the camera).
#pragma once

#include <cstdint>
#include <string>

// What the wardrobe keeps between frames, for the life of the plug-in.
struct WardrobeState {
    bool sceneActive = false;   // set up and not yet torn down
    bool cameraActive = false;  // the camera part ran at the last opening
    bool naming = false;        // the naming keyboard is open
    bool deleteMode = false;    // the save prompt reads "Delete Outfit"
    std::int32_t wardrobeCamera = 0;
    std::int32_t wardrobeArea = 0;
    std::int32_t areaCompanion = 0;
    std::int32_t keyboardStatus = -1;  // last keyboard status; -1 when none
    // The plug-in's own copy of the typed name; the game's text is never kept.
    std::string enteredName;
    // The custom row (6 to 20 of page 1) whose text the prompt showed on the
    // last frame, or -1: a completion acts on that row, not on the cursor.
    std::int32_t promptRow = -1;
    // The row being named: the name is saved there when it arrives.
    std::int32_t namingRow = -1;
};

extern WardrobeState wardrobe;

// The scene's state and the stored custom rows back to what a fresh load has.
void ResetWardrobeState();

// Once per frame, after the menu's update.
void UpdateWardrobe();
// Sets up the box area and, with the camera setting on, the camera facing the character.
void OpenWardrobeScene();
// Undoes the opening; a forced close leaves the area for the next opening to remove.
void CloseWardrobeScene(bool forced);
// Takes the wardrobe camera down if the game still has it.
void RemoveWardrobeCamera();
// Opens the game's keyboard for an outfit name, starting from `initialText`.
void OpenNamingKeyboard(const char* initialText);
