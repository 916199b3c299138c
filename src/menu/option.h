// Pages of the menu (`Submenu`) and their rows (`Option`).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One row of a page. Exactly one of the five kind flags is set.
struct Option {
    // An option of the kind whose flag is set; every other field starts empty.
    Option(bool isRegular, bool isToggle, bool isSubmenuLink, bool isHeading);

    // Renames the row; a selection option also shows its first value from now on.
    void SetText(const std::string& text);

    std::string label;          // text of the row
    std::string valueText;      // current choice, shown at the right of a selection option
    std::string description;    // help text shown while the option is current
    bool movedLeft = false;     // only while a selection option's callback runs after a step left
    bool movedRight = false;    // only while it runs after a step right or an activation
    bool valueTextSet = false;  // the first value has been copied into valueText
    std::vector<std::string> values;  // the choices of a selection option
    bool* toggleTarget = nullptr;     // owned by the caller; outlives the menu
    std::function<void()> callback;   // run on activation, when not empty
    bool isRegular = false;           // a plain action
    bool isToggle = false;            // flips *toggleTarget
    bool isSelection = false;         // steps through `values` with left and right
    bool isSubmenuLink = false;       // opens page `targetSubmenu`
    bool isHeading = false;           // centred, without action; navigation passes over it
    std::int32_t index = 0;           // position in the page's options, set when added
    std::int32_t selectedValue = 0;   // index into `values` of the current choice
    std::int32_t targetSubmenu = -1;  // id of the page a link opens
};

// One page: its rows in display order.
struct Submenu {
    // Appends a plain action row that runs `callback` when activated.
    void AddOption(const std::string& text, const std::string& description,
                   std::function<void()> callback);
    // Appends a toggle that flips `*target` when activated and shows a tick while it is true.
    void AddBoolOption(
        const std::string& text, const std::string& description, bool* target,
        std::function<void()> callback = [] {});
    // Appends a link that opens the page registered under `targetId`.
    void AddSubmenuOption(const std::string& text, const std::string& description,
                          std::int32_t targetId);
    // Appends a centred heading row (no description, no callback).
    void AddHeading(const std::string& text);

    std::function<void(Submenu*)> builder;  // the routine that filled the page
    std::vector<Option> options;            // the rows, in display order
    std::string title;                      // large header text
    std::string subtitle;                   // smaller text under the title
    std::int32_t id = -1;                   // key in the page registry
    std::int32_t maxVisibleOptions = 8;     // rows shown at once; the rest scroll
    std::int32_t optionCount = 0;           // rows added; the page's length everywhere
};
