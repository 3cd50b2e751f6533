#include "display/screen_capture.h"

#include <exception>
#include <limits>
#include <string>

#include "display/bmp_writer.h"
#include "platform/rgb565.h"
#include "platform/platform.h"

static_assert(SCREENSHOT_FILE_BYTES == bmp24FileBytes(platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT));

int32_t screenshotCounter = 0;

std::vector<uint8_t> encodeScreenshot(const uint16_t* pixels) {
    return encodeBmp24(platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT, [pixels](int32_t y, uint8_t* bgr) {
        if (pixels == nullptr) return;  // black
        const uint16_t* src = pixels + static_cast<size_t>(y) * platform::PICTURE_WIDTH;
        for (int32_t x = 0; x < platform::PICTURE_WIDTH; ++x, bgr += 3) {
            const uint32_t rgb = rgbFrom565(src[x]);
            bgr[0] = static_cast<uint8_t>(rgb);
            bgr[1] = static_cast<uint8_t>(rgb >> 8);
            bgr[2] = static_cast<uint8_t>(rgb >> 16);
        }
    });
}

void captureScreen() {
    std::vector<uint8_t> file;
    try {
        file = encodeScreenshot(platform::displayLastPresented());
    } catch (const std::exception&) {
        // No memory for the picture: like an uncreatable file, the number is
        // used up and the game goes on.
        if (screenshotCounter < std::numeric_limits<int32_t>::max()) ++screenshotCounter;
        return;
    }

    // The first free name is taken, so a screenshot of an earlier run (or any
    // other file of that name) is never replaced. A file that cannot be
    // written whole (a full disk) is removed and its number used up.
    while (screenshotCounter < std::numeric_limits<int32_t>::max()) {
        const std::string name = "GAME" + std::to_string(screenshotCounter) + ".bmp";
        ++screenshotCounter;
        if (writeNewFile(name, file, nullptr) != NewFileResult::EXISTS) return;
    }
}
