#include "display/pixel_format.h"

bool imageToSurface(const platform::DecodedImage& image, Surface* surface) {
    if (surface == nullptr) return false;
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) {
        *surface = Surface{};
        return false;
    }
    if (!createSurface(surface, image.width, image.height)) return false;
    for (size_t i = 0; i < image.pixels.size(); ++i) surface->pixels[i] = rgbTo565(image.pixels[i]);
    return true;
}
