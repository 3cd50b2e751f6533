// F9 screenshots: the picture last shown on screen, written as GAME<n>.bmp.
#pragma once

#include <cstdint>
#include <vector>

// Number of the next screenshot file name. Starts at 0 in every run; each
// capture moves it past the number it used, written or not.
extern int32_t screenshotCounter;

// Size of a screenshot file: 14-byte file header, 40-byte info header and
// 600 rows of 800 pixels at 3 bytes (rows of 2400 bytes need no padding).
constexpr uint32_t SCREENSHOT_HEADER_BYTES = 54;
constexpr uint32_t SCREENSHOT_IMAGE_BYTES = 800u * 600u * 3u;
constexpr uint32_t SCREENSHOT_FILE_BYTES = SCREENSHOT_HEADER_BYTES + SCREENSHOT_IMAGE_BYTES;

// Writes the picture last presented (platform::displayLastPresented; black
// when nothing has been presented yet) to the first free name "GAME<n>.bmp"
// in the current folder, n counting up from screenshotCounter. An existing
// file is never replaced. A file that cannot be created for any reason but
// "exists", or cannot be written whole (a full disk: it is removed again),
// uses up its number and is skipped silently: the game goes on.
// Called by the keyboard poll in every frame in which F9 is down, before
// that frame is drawn, so the picture never holds the frame being drawn.
void captureScreen();

// The whole screenshot file of one 800x600 RGB565 picture (row by row, top
// row first; null means black): a 24-bit bottom-up BMP of exactly
// SCREENSHOT_FILE_BYTES bytes, pixels as B, G, R widened from 5/6 bits by
// repeating their top bits (so white stays 255, 255, 255). Throws
// std::bad_alloc only when the buffer cannot be had.
std::vector<uint8_t> encodeScreenshot(const uint16_t* pixels);
