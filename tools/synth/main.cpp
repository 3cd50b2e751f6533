// synth OUTPUT_FOLDER: renders the game's music and sound effects and writes
// the best-times file into OUTPUT_FOLDER (the build's run folder).
// Exit codes: 0 done, 1 a file or folder could not be written, 2 bad usage.
#include <iostream>

#include "tools/synth/sound_set.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "usage: synth OUTPUT_FOLDER\n";
        return 2;
    }
    const std::string error = synth::writeGameSound(argv[1]);
    if (!error.empty()) {
        std::cerr << "synth: " << error << "\n";
        return 1;
    }
    return 0;
}
