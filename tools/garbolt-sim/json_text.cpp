#include "json_text.h"

#include "safe_text.h"

namespace garbolt_sim {

void PutText(json& object, const std::string& key, const std::string& text) {
    if (IsUtf8(text)) {
        object[key] = text;
        return;
    }
    object[key] = ValidUtf8(text);
    object[key + "Hex"] = HexBytes(text);
}

json TextValue(const std::string& text) {
    if (IsUtf8(text)) {
        return text;
    }
    json value;
    value["text"] = ValidUtf8(text);
    value["hex"] = HexBytes(text);
    return value;
}

}  // namespace garbolt_sim
