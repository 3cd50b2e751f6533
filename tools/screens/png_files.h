// Screen pictures as PNG files, through SDL2_image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tour {

// Writes an 800x600 RGB565 picture as a 24-bit PNG (each channel widened
// by repeating its top bits). False, with the reason, on failure.
bool writePng(const std::string& path, const std::vector<uint16_t>& pixels, std::string* error);

// Reads a PNG back as 800x600 RGB565 (the top bits of each channel). False,
// with the reason, when the file is missing, unreadable or of another size.
bool readPng(const std::string& path, std::vector<uint16_t>* pixels, std::string* error);

// How two pictures differ: pixels whose 16-bit values differ at all, and
// those where a channel differs by more than one step (a real change, not
// rounding).
struct Difference {
    int changed = 0;
    int farApart = 0;
    int firstX = -1, firstY = -1;  // the first far-apart pixel
};
Difference compare(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b);

}  // namespace tour
