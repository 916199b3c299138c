#include "menu/option.h"

#include <utility>

Option::Option(bool isRegular, bool isToggle, bool isSubmenuLink, bool isHeading)
    : isRegular(isRegular),
      isToggle(isToggle),
      isSubmenuLink(isSubmenuLink),
      isHeading(isHeading) {}

void Option::SetText(const std::string& text) {
    label = text;
    // A selection option without values has nothing to show yet; it picks up
    // its first value on a later rename.
    if (isSelection && !valueTextSet && !values.empty()) {
        valueText = values[0];
        valueTextSet = true;
    }
}

namespace {

void Append(Submenu& page, Option& option) {
    option.index = static_cast<std::int32_t>(page.options.size());
    page.options.push_back(option);
    ++page.optionCount;
}

}  // namespace

void Submenu::AddOption(const std::string& text, const std::string& description,
                        std::function<void()> callback) {
    Option option(true, false, false, false);
    option.SetText(text);
    option.description = description;
    option.callback = std::move(callback);
    Append(*this, option);
}

void Submenu::AddBoolOption(const std::string& text, const std::string& description, bool* target,
                            std::function<void()> callback) {
    Option option(false, true, false, false);
    option.SetText(text);
    option.description = description;
    option.toggleTarget = target;
    option.callback = std::move(callback);
    Append(*this, option);
}

void Submenu::AddSubmenuOption(const std::string& text, const std::string& description,
                               std::int32_t targetId) {
    Option option(false, false, true, false);
    option.SetText(text);
    option.description = description;
    option.targetSubmenu = targetId;
    Append(*this, option);
}

void Submenu::AddHeading(const std::string& text) {
    Option option(false, false, false, true);
    option.SetText(text);
    Append(*this, option);
}
