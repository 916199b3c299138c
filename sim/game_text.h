// How the game reads a text that it draws or shows in a notification: as
// markup, of which the plug-in uses the text-format tags, the colour codes
// and the line-break code. What the player sees is lines of runs: letters
// in one colour and font, or a picture.
//
//   tags between '<' and '>'  P starts and ends a paragraph (a line of its
//                             own), BR breaks the line, FONT sets the face
//                             and size up to its </FONT>, IMG is a picture,
//                             TEXTFORMAT and any other tag show nothing;
//   entities after '&'        &lt; &gt; &amp; &quot; &apos; are their
//                             characters; any other '&' is itself;
//   codes between two '~'     (letters, digits and '_') ~n~ breaks the line,
//                             ~s~ goes back to the text's own colour,
//                             ~COLOR_…~ is that colour; every code shows
//                             nothing itself. A '~' that starts no code is itself;
//   line feeds and returns    break the line.
//
//   const sim::SeenText seen = sim::ReadGameText(markup);
//   seen.lines.size();  seen.lines[0].runs[0].colour;  seen.Plain();
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct SeenRun {
    bool image = false;
    std::string text;       // the letters, or a picture's tag as the markup wrote it
    std::string colour;     // the colour code in force ("COLOR_RED"); empty: the text's own
    std::string fontFace;   // the FONT in force, without its '$'; empty outside every FONT
    std::int32_t size = 0;  // that FONT's SIZE; 0 outside every FONT
};

struct SeenLine {
    std::vector<SeenRun> runs;
};

struct SeenText {
    std::vector<SeenLine> lines;
    // The runs of each line joined (a picture as its tag), lines joined by '\n'.
    std::string Plain() const;
};

// What the player sees of `markup`.
SeenText ReadGameText(std::string_view markup);

}  // namespace sim
