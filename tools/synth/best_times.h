// The best-times file "config0.bst": four times in whole seconds, separated
// by white space, that the best-times screen shows. The game only reads it.
#pragma once

#include <array>
#include <string>

namespace synth {

// The shipped times, best first: 1:35, 2:22, 3:23 and 5:18.
constexpr std::array<int, 4> kBestTimes{95, 142, 203, 318};

// The file's text: the four times on one line, ending in a newline.
std::string bestTimesText();

}  // namespace synth
