// Reading the best-times file shown on the best-times screen.
#pragma once

#include <array>
#include <cstdint>

// The file holding the four best times, in whole seconds. The game only
// reads it; nothing writes it.
constexpr const char* BEST_TIMES_FILE = "config0.bst";

// Reads up to four integers (white space between and around them) into
// `times`, in order. An entry whose number cannot be read keeps its value,
// and so does every entry after it (reading stops at the unreadable text).
// Returns false, with `times` untouched, when the file cannot be opened for
// reading (a folder of that name cannot). Called by the best-times screen in
// every frame, so an edit to the file shows on the next frame. `path` is
// relative to the current folder.
bool readBestTimes(const char* path, std::array<int32_t, 4>& times);
