// The menu controller: turns keys and game controls into menu events once per
// frame, with sounds and prompts, keeps game controls quiet while open, and
// draws the current page.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "menu/option.h"

// The row to return to on each page, by page id. A menu has a handful of
// pages, so a short list searched in order does a hash map's work, and once
// it has room for them all, remembering and forgetting rows allocates nothing.
class RowMemory {
  public:
    RowMemory() { entries_.reserve(16); }
    // The remembered row of the page, made 0 when there was none.
    std::int32_t& operator[](std::int32_t pageId);
    // The remembered row; throws std::out_of_range when there is none.
    std::int32_t at(std::int32_t pageId) const;
    // 1 when the page has a remembered row, else 0.
    std::size_t count(std::int32_t pageId) const { return Find(pageId) != nullptr ? 1 : 0; }
    // Forgets the page's row; returns how many were forgotten (0 or 1).
    std::size_t erase(std::int32_t pageId);
    // How many pages have a remembered row.
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // The remembered row, or null.
    const std::int32_t* Find(std::int32_t pageId) const;

  private:
    struct Entry {
        std::int32_t pageId;
        std::int32_t row;
    };
    std::vector<Entry> entries_;
};

// The menu controller; one instance per process, `activeMenu`.
class Menu {
  public:
    // Room for a deep page history up front, so navigating allocates nothing.
    Menu() { navigationStack.reserve(16); }

    // Once per frame: read input, handle it, suppress game controls, draw, prompts.
    void Update();
    // This frame's controls, menu key and prompt completions into the input fields.
    void ReadInput();
    // Acts on this frame's input in a fixed order: open/close, select, back, up, down, left, right.
    void HandleInput();
    // Keeps the game's own uses of the menu's keys and buttons quiet while open.
    void SuppressGameControls();
    // Opens or closes; with sound, also tells the game and plays the menu sound.
    void SetOpen(bool open, bool withSound);
    // Creates a game prompt for the control and stores its handle in `handle`.
    void CreatePrompt(std::int32_t& handle, const std::string& text, std::uint32_t controlHash);
    // The current row of the current page; null when the page has no row at
    // `currentOption` (no rows at all, or an index outside them).
    Option* SelectedOption();
    // Prepares, then plays, a frontend sound.
    void PlayMenuSound(const char* name, const char* set);

    // Builds a page with `builder` and registers it under `id`, replacing an earlier page.
    static void AddSubmenu(const std::string& title, const std::string& subtitle, std::int32_t id,
                           std::int32_t maxVisibleOptions, std::function<void(Submenu*)> builder);

    // Node-based, so a page's address stays put while others are added.
    static std::unordered_map<std::int32_t, Submenu> submenuRegistry;

    Submenu* currentSubmenu = nullptr;          // the page shown, inside the registry
    std::int32_t currentSubmenuId = -1;         // its id, refreshed at the end of every Update
    std::int32_t currentOption = 0;             // index of the current row in its options
    std::int32_t savePrompt = 0;                // the "Save Outfit" prompt, driven by the wardrobe
    bool isOpen = false;                        // shown and taking input
    std::vector<std::int32_t> navigationStack;  // pages to go back to, the latest last
    RowMemory rememberedOption;                 // the row to restore on going back to a page
    std::int32_t controlGroup = 0;  // 0 for keyboard and mouse, 2 for a gamepad, this frame
    // This frame's input, as read by ReadInput.
    bool openPressed = false;
    bool backPressed = false;
    bool selectPressed = false;
    bool upPressed = false;
    bool downPressed = false;
    bool leftPressed = false;
    bool rightPressed = false;
    std::int32_t selectPrompt = 0;  // the "Select" prompt
    std::int32_t backPrompt = 0;    // the "Back" prompt
    // Select and back after the prompt check: a prompt on screen counts only when completed.
    bool selectConfirmed = false;
    bool backConfirmed = false;

  private:
    // One input each, in HandleInput's order; false ends this frame's handling.
    bool HandleSelect();
    bool HandleBack();
    bool HandleMove(bool down);   // up or down, ten rows with Shift held
    bool HandleStep(bool right);  // a selection option's value, left or right
    // Select on a link: remembers where the player was and opens the page.
    void OpenLinkedPage(std::int32_t id);
};

// The one menu of the process, made by the script routine at start-up.
extern std::unique_ptr<Menu> activeMenu;

// No menu and no pages, as at load.
void ResetMenu();
