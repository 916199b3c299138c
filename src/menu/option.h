// Pages of the menu (`Submenu`) and their rows (`Option`).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One row of a page. Exactly one of the five kind flags is set.
struct Option {
    Option(bool isRegular, bool isToggle, bool isSubmenuLink, bool isHeading);

    // Renames the row; a selection option also shows its first value from now on.
    void SetText(const std::string& text);

    std::string label;
    std::string valueText;    // current choice, shown at the right of a selection option
    std::string description;  // help text shown while the option is current
    bool movedLeft = false;   // only while a selection option's callback runs after a step left
    bool movedRight = false;  // only while it runs after a step right or an activation
    bool valueTextSet = false;
    std::vector<std::string> values;
    bool* toggleTarget = nullptr;  // owned by the caller; outlives the menu
    std::function<void()> callback;
    bool isRegular = false;
    bool isToggle = false;
    bool isSelection = false;
    bool isSubmenuLink = false;
    bool isHeading = false;
    std::int32_t index = 0;
    std::int32_t selectedValue = 0;
    std::int32_t targetSubmenu = -1;
};

// One page: its rows in display order.
struct Submenu {
    void AddOption(const std::string& text, const std::string& description,
                   std::function<void()> callback);
    void AddBoolOption(const std::string& text, const std::string& description, bool* target,
                       std::function<void()> callback = [] {});
    void AddSubmenuOption(const std::string& text, const std::string& description,
                          std::int32_t targetId);
    // Appends a centred heading row (no description, no callback).
    void AddHeading(const std::string& text);

    std::function<void(Submenu*)> builder;
    std::vector<Option> options;
    std::string title;
    std::string subtitle;
    std::int32_t id = -1;
    std::int32_t maxVisibleOptions = 8;
    std::int32_t optionCount = 0;
};
