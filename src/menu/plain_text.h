// Texts that are words, never markup. The game reads every text it draws or
// shows as markup: tags between '<' and '>', entities after '&', and codes
// between '~' (colours, line breaks). A name the player typed must show as
// typed, so it goes through here before it reaches the game:
//   '<', '>', '&'  as the entities "&lt;", "&gt;", "&amp;";
//   '~'            has no escape in the game's text, so it is drawn as the
//                  small tilde U+02DC, a look-alike that starts no code;
//   control bytes  (below 0x20, and 0x7F) as a space, so none breaks a line.
// Every other byte stays as it is.
#pragma once

#include <string>
#include <string_view>

// Appends `text` to `out` as words for the game.
void AppendPlainText(std::string& out, std::string_view text);
// `text` as words for the game, in a string of its own.
std::string PlainText(std::string_view text);
