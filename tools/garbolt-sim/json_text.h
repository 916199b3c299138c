// Texts in garbolt-sim's JSON lines. JSON holds only UTF-8, yet a text the
// plug-in hands over may be any bytes: such a text goes in with U+FFFD for
// each stray byte, and its exact bytes in hex beside it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace garbolt_sim {

using json = nlohmann::ordered_json;

// object[key] = the text; when it is not UTF-8, also object[key + "Hex"] = its bytes.
void PutText(json& object, const std::string& key, const std::string& text);

// A text inside an array: a string, or {"text": ..., "hex": ...} when it is not UTF-8.
json TextValue(const std::string& text);

}  // namespace garbolt_sim
