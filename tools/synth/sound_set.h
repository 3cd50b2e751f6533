// Writes every generated data file of the game into one folder: the music and
// the three effects under "Sound/", and "config0.bst" beside them.
#pragma once

#include <string>
#include <vector>

namespace synth {

// The files writeGameSound makes, relative to its folder, in the order it
// writes them.
std::vector<std::string> gameSoundFiles();

// Renders and writes all files into `folder`, making it and its "Sound"
// subfolder when missing. Returns an empty string on success, otherwise a
// message naming the file or folder that failed and why; the files written
// before the failure stay. Called by the synth tool's main and by tests.
std::string writeGameSound(const std::string& folder);

}  // namespace synth
