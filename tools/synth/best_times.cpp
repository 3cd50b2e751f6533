#include "tools/synth/best_times.h"

namespace synth {

std::string bestTimesText() {
    std::string text;
    for (int seconds : kBestTimes) {
        if (!text.empty()) text += ' ';
        text += std::to_string(seconds);
    }
    return text + "\n";
}

}  // namespace synth
