// Decoded images of any size and content converted to the display's 16-bit
// format: a consistent image converts pixel for pixel, keeping the top five,
// six and five bits of red, green and blue whatever the fourth byte holds;
// anything else is refused and leaves the surface empty.
#include <vector>

#include "display/pixel_format.h"
#include "fuzz/fuzz_support.h"

namespace {

// Sizes from the input: mostly small, sometimes zero, negative or far too
// large for the pixels that come with them.
int32_t side(fuzz::ByteReader& in) {
    const uint8_t kind = in.byte();
    switch (kind % 8) {
        case 0:
            return static_cast<int32_t>(in.u32());
        case 1:
            return -static_cast<int32_t>(in.byte());
        default:
            return in.byte() % 48;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);
    platform::DecodedImage image;
    image.width = side(in);
    image.height = side(in);
    const uint8_t countRule = in.byte();

    // The pixel count usually matches the size; sometimes it is off by a few.
    const int64_t area = static_cast<int64_t>(image.width) * image.height;
    int64_t count = area >= 0 && area <= 48 * 48 ? area : static_cast<int64_t>(in.left() / 4);
    if (countRule % 5 == 0) count += static_cast<int8_t>(in.byte());
    if (count < 0) count = 0;
    if (count > (1 << 16)) count = 1 << 16;
    const uint8_t* bytes = in.rest();
    const size_t available = in.left();
    image.pixels.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        uint32_t p = 0;
        for (size_t b = 0; b < 4; ++b)
            p |= available > 0 ? static_cast<uint32_t>(bytes[(4 * i + b) % available]) << (8 * b) : 0;
        image.pixels[i] = p;
    }

    Surface surface;
    surface.width = 77;
    surface.hasColorKey = true;
    const bool converted = imageToSurface(image, &surface);
    const bool consistent = image.width > 0 && image.height > 0 && static_cast<int64_t>(image.pixels.size()) == area;
    fuzz::check(converted == consistent, "a consistent image must convert, any other must be refused");
    if (!converted) {
        fuzz::check(surface.width == 0 && surface.height == 0 && surface.pixels.empty() && !surface.hasColorKey,
                    "a refused image left a surface behind");
        return 0;
    }
    fuzz::check(surface.width == image.width && surface.height == image.height, "the surface has another size");
    fuzz::check(surface.pixels.size() == image.pixels.size(), "the surface has another pixel count");
    fuzz::check(!surface.hasColorKey, "a new surface came with a colour key");
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        const uint32_t red = (p >> 16) & 0xFF;
        const uint32_t green = (p >> 8) & 0xFF;
        const uint32_t blue = p & 0xFF;
        const uint16_t expected = static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
        fuzz::check(surface.pixels[i] == expected, "a pixel converted wrongly");
    }
    return 0;
}
