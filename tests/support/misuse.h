// The simulated game's record of misused natives, checked in one way by every
// fixture that drives the game: a misuse is a fault of the plug-in, whatever
// the test was about.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// "NAMESPACE::NAME (0x...): problem" for each misuse the game kept.
std::vector<std::string> MisuseTexts();

// Fails the running test with every misuse recorded since the game was reset
// (or the misuses were last taken), and forgets them.
void ExpectNoMisuse();

}  // namespace testing_support
