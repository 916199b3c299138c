#include "menu/menu.h"

#include <algorithm>
#include <deque>
#include <stdexcept>
#include <utility>

#include "host/controls.h"
#include "host/keyboard.h"
#include "host/native_hashes.h"
#include "host/natives.h"
#include "menu/draw.h"
#include "settings/settings.h"

std::unordered_map<std::int32_t, Submenu> Menu::submenuRegistry;
std::unique_ptr<Menu> activeMenu;

void ResetMenu() {
    activeMenu.reset();
    Menu::submenuRegistry.clear();
}

namespace {

using namespace game_natives;

// Control groups: 0 while the player uses keyboard and mouse, 2 for a gamepad.
constexpr std::int32_t kKeyboardGroup = 0;
constexpr std::int32_t kGamepadGroup = 2;

// Set before the gamepad-only controls are held off.
constexpr std::int32_t kGamepadMenuGlobal = 1900699;

constexpr std::uint32_t kShiftKey = 16;
constexpr std::int32_t kFastScrollStep = 10;

// While a prompt is on screen the game completes it from the same control,
// and only that completion counts. A completion may last until the prompt's
// modes are restarted, so the one taken restarts them: one press, one event.
bool Confirmed(std::int32_t prompt, bool pressed) {
    if (!CallNative<bool>(kPromptActiveNative, prompt)) {
        return pressed;
    }
    if (!CallNative<bool>(kPromptCompletedNative, prompt, 0)) {
        return false;
    }
    CallNative(kPromptClearNative, prompt);
    return true;
}

// The game reads a prompt's text through the pointer it was given, every
// frame it shows the prompt, for as long as the prompt lives; prompts outlive
// the menu that made them. So each text is kept once, for the process.
const char* KeptPromptText(const std::string& text) {
    static std::deque<std::string> kept;
    for (const std::string& entry : kept) {
        if (entry == text) {
            return entry.c_str();
        }
    }
    kept.push_back(text);
    return kept.back().c_str();
}

bool IsHeadingAt(const Submenu& page, std::int32_t row) {
    return row >= 0 && static_cast<std::size_t>(row) < page.options.size() &&
           page.options[static_cast<std::size_t>(row)].isHeading;
}

// One step of a selection option's value, left or right, with its callback.
// An option without values has nothing to step to and is left alone.
bool StepSelection(Option& option, bool right) {
    if (option.values.empty()) {
        return false;
    }
    const auto last = static_cast<std::int32_t>(option.values.size()) - 1;
    option.movedRight = right;
    option.movedLeft = !right;
    if (right) {
        ++option.selectedValue;
        if (option.selectedValue > last || option.selectedValue < 0) {
            option.selectedValue = 0;
        }
    } else {
        --option.selectedValue;
        if (option.selectedValue < 0 || option.selectedValue > last) {
            option.selectedValue = last;
        }
    }
    option.valueText = option.values[static_cast<std::size_t>(option.selectedValue)];
    if (option.callback) {
        option.callback();
    }
    option.movedLeft = false;
    option.movedRight = false;
    return true;
}

}  // namespace

std::int32_t& RowMemory::operator[](std::int32_t pageId) {
    for (Entry& entry : entries_) {
        if (entry.pageId == pageId) {
            return entry.row;
        }
    }
    entries_.push_back({pageId, 0});
    return entries_.back().row;
}

std::int32_t RowMemory::at(std::int32_t pageId) const {
    if (const std::int32_t* row = Find(pageId)) {
        return *row;
    }
    throw std::out_of_range("no remembered row for this page");
}

std::size_t RowMemory::erase(std::int32_t pageId) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->pageId == pageId) {
            entries_.erase(it);
            return 1;
        }
    }
    return 0;
}

const std::int32_t* RowMemory::Find(std::int32_t pageId) const {
    for (const Entry& entry : entries_) {
        if (entry.pageId == pageId) {
            return &entry.row;
        }
    }
    return nullptr;
}

void Menu::Update() {
    ReadInput();
    HandleInput();
    SuppressGameControls();
    if (isOpen && currentSubmenu != nullptr) {
        DrawMenuPage(*currentSubmenu, currentOption);
    }
    if (currentSubmenu != nullptr) {
        currentSubmenuId = currentSubmenu->id;
    }
    CallNative(kFirstPromptStateNative, selectPrompt, isOpen);
    CallNative(kSecondPromptStateNative, selectPrompt, isOpen);
    CallNative(kFirstPromptStateNative, backPrompt, isOpen);
    CallNative(kSecondPromptStateNative, backPrompt, isOpen);
}

void Menu::ReadInput() {
    controlGroup = CallNative<bool>(kInputSourceNative, 0) ? kKeyboardGroup : kGamepadGroup;

    openPressed = false;
    if (menuKey >= 0 && menuKey < 255 && KeyJustReleased(static_cast<std::uint32_t>(menuKey))) {
        openPressed = true;
    } else {
        openPressed =
            CallNative<bool>(kFirstOpenChordNative, kGamepadGroup, game_controls::kOpenChordFirst) &&
            CallNative<bool>(kSecondOpenChordNative, kGamepadGroup, game_controls::kOpenChordSecond);
    }

    selectPressed = CallNative<bool>(kControlNative, controlGroup, game_controls::kSelect);
    backPressed = CallNative<bool>(kControlNative, controlGroup, game_controls::kBack);
    upPressed = CallNative<bool>(kControlNative, controlGroup, game_controls::kUp);
    downPressed = CallNative<bool>(kControlNative, controlGroup, game_controls::kDown);
    leftPressed = CallNative<bool>(kSideControlNative, controlGroup, game_controls::kLeft);
    rightPressed = CallNative<bool>(kSideControlNative, controlGroup, game_controls::kRight);

    selectConfirmed = Confirmed(selectPrompt, selectPressed);
    backConfirmed = Confirmed(backPrompt, backPressed);
}

void Menu::HandleInput() {
    if (openPressed) {
        SetOpen(!isOpen, true);
    }
    if (!isOpen || currentSubmenu == nullptr) {
        return;
    }
    // Each event acts on what the one before left; one that ends the
    // handling (no row to act on, or the menu closed) skips the rest.
    if (selectConfirmed && !HandleSelect()) {
        return;
    }
    if (backConfirmed && !HandleBack()) {
        return;
    }
    if (upPressed && !HandleMove(false)) {
        return;
    }
    if (downPressed && !HandleMove(true)) {
        return;
    }
    if (leftPressed && !HandleStep(false)) {
        return;
    }
    if (rightPressed) {
        HandleStep(true);
    }
}

bool Menu::HandleSelect() {
    Option* option = SelectedOption();
    if (option == nullptr) {
        return false;
    }
    if (option->isRegular) {
        if (option->callback) {
            option->callback();
        }
    } else if (option->isToggle) {
        if (option->toggleTarget != nullptr) {
            *option->toggleTarget = !*option->toggleTarget;
        }
        if (option->callback) {
            option->callback();
        }
    } else if (option->isSelection) {
        StepSelection(*option, true);
    } else if (option->isSubmenuLink) {
        OpenLinkedPage(option->targetSubmenu);
    }
    PlayMenuSound("SELECT", "HUD_SHOP_SOUNDSET");
    return true;
}

void Menu::OpenLinkedPage(std::int32_t id) {
    auto target = submenuRegistry.find(id);
    if (target == submenuRegistry.end()) {
        return;
    }
    navigationStack.push_back(currentSubmenu->id);
    rememberedOption[currentSubmenu->id] = currentOption;
    currentSubmenu = &target->second;
    currentOption = 0;
}

bool Menu::HandleBack() {
    if (currentSubmenu->id <= 0) {
        // A top page: back closes the menu.
        PlayMenuSound("BACK", "HUD_SHOP_SOUNDSET");
        isOpen = false;
        CallNative(kMenuStateNative, 1);
        PlayMenuSound("MENU_CLOSE", "HUD_PLAYER_MENU");
        return false;
    }
    if (!navigationStack.empty()) {
        const std::int32_t previous = navigationStack.back();
        currentSubmenu = &submenuRegistry[previous];
        navigationStack.pop_back();
        const std::int32_t* remembered = rememberedOption.Find(previous);
        currentOption = remembered != nullptr ? *remembered : 0;
        rememberedOption.erase(previous);
    } else {
        currentSubmenu = &submenuRegistry[0];
        currentOption = rememberedOption[0];
    }
    PlayMenuSound("BACK", "HUD_SHOP_SOUNDSET");
    return true;
}

bool Menu::HandleMove(bool down) {
    if (SelectedOption() == nullptr) {
        return false;
    }
    const std::int32_t last = currentSubmenu->optionCount - 1;
    const std::int32_t step = down ? 1 : -1;
    if (!KeyHeld(kShiftKey)) {
        currentOption += step;
    } else if (down) {
        // Fast scrolling stops at the end rather than wrapping.
        currentOption = std::min(currentOption + kFastScrollStep, last);
    } else {
        currentOption = std::max(currentOption - kFastScrollStep, 0);
    }
    const bool onPage = down ? currentOption <= last : currentOption >= 0;
    if (onPage && IsHeadingAt(*currentSubmenu, currentOption)) {
        currentOption += step;
    }
    if (down && currentOption > last) {
        currentOption = 0;
    } else if (!down && currentOption < 0) {
        currentOption = last;
    }
    PlayMenuSound(down ? "NAV_DOWN" : "NAV_UP", "Ledger_Sounds");
    return true;
}

bool Menu::HandleStep(bool right) {
    Option* option = SelectedOption();
    if (option == nullptr) {
        return false;
    }
    if (option->isSelection && StepSelection(*option, right)) {
        PlayMenuSound(right ? "NAV_RIGHT" : "NAV_LEFT", "PAUSE_MENU_SOUNDSET");
    }
    return true;
}

void Menu::SuppressGameControls() {
    if (!isOpen) {
        return;
    }
    if (controlGroup == kGamepadGroup) {
        WriteGlobal(kGamepadMenuGlobal, 2);
        for (std::uint32_t control : game_controls::kGamepadOnlySuppressed) {
            CallNative(kControlSuppressionNative, kGamepadGroup, control, 0);
        }
    }
    for (std::uint32_t control : game_controls::kSuppressed) {
        CallNative(kControlSuppressionNative, controlGroup, control, 0);
    }
}

void Menu::SetOpen(bool open, bool withSound) {
    isOpen = open;
    if (!withSound) {
        return;
    }
    if (open) {
        CallNative(kMenuStateNative, 0);
        PlayMenuSound("MENU_ENTER", "HUD_PLAYER_MENU");
    } else {
        CallNative(kMenuStateNative, 1);
        PlayMenuSound("MENU_CLOSE", "HUD_PLAYER_MENU");
    }
}

void Menu::CreatePrompt(std::int32_t& handle, const std::string& text, std::uint32_t controlHash) {
    handle = CallNative<std::int32_t>(kPromptCreateNative);
    CallNative(kPromptControlNative, handle, controlHash);
    CallNative(kPromptPriorityNative, handle, 2);
    const auto gameText = CallNative<std::uint64_t>(kVariableStringNative, 10, "LITERAL_STRING",
                                                    KeptPromptText(text));
    CallNative(kPromptTextNative, handle, gameText);
    CallNative(kPromptModeNative, handle, 1);
    CallNative(kPromptGroupNative, handle, 34, 1);
    CallNative(kPromptFinishNative, handle);
    CallNative(kFirstPromptStateNative, handle, false);
    CallNative(kSecondPromptStateNative, handle, false);
}

Option* Menu::SelectedOption() {
    if (currentSubmenu == nullptr) {
        return nullptr;
    }
    auto page = submenuRegistry.find(currentSubmenu->id);
    if (page == submenuRegistry.end()) {
        return nullptr;
    }
    std::vector<Option>& options = page->second.options;
    if (currentOption < 0 || static_cast<std::size_t>(currentOption) >= options.size()) {
        return nullptr;
    }
    return &options[static_cast<std::size_t>(currentOption)];
}

void Menu::PlayMenuSound(const char* name, const char* set) {
    CallNative(kSoundPrepareNative, name, set);
    CallNative(kSoundPlayNative, name, set, 1, 0);
}

void Menu::AddSubmenu(const std::string& title, const std::string& subtitle, std::int32_t id,
                      std::int32_t maxVisibleOptions, std::function<void(Submenu*)> builder) {
    Submenu page;
    page.title = title;
    page.subtitle = subtitle;
    page.id = id;
    page.maxVisibleOptions = maxVisibleOptions;
    page.builder = builder;
    // An empty builder throws here, before anything is registered.
    builder(&page);

    Submenu& entry = submenuRegistry[id];
    entry.builder = std::move(page.builder);
    entry.options = std::move(page.options);
    entry.title = std::move(page.title);
    entry.subtitle = std::move(page.subtitle);
    entry.id = page.id;
    entry.maxVisibleOptions = page.maxVisibleOptions;
    entry.optionCount = page.optionCount;
}
