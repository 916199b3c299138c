// The outfit file as other programs read it: a strict XML 1.0 reader
// (expat, as browsers and Python use) rejects a whole file for one character
// that XML forbids, even written as a reference such as "&#1;", and for bytes
// that are no UTF-8. pugixml, which the plug-in reads with, lets both pass.
#pragma once

#include <string>

namespace testing_support {

// Empty when `bytes` are a well-formed XML 1.0 document; otherwise the
// strict reader's complaint and the line it stopped at.
std::string StrictXmlProblem(const std::string& bytes);

}  // namespace testing_support
