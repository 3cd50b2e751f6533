// The bitmap decoder behind platform::decodeBmpFile, open to its tests, its
// fuzz target and its benchmark. Internal to platform/.
//
// Two paths give the same pixels: uncompressed 24- and 32-bit files (every
// image the game ships) are converted straight from their bytes, and every
// other variant goes through SDL's loader. Both start from the same header
// check, so a file either path refuses is refused with the same reason.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/platform.h"

namespace bmpdecode {

enum class Path {
    FAST_WHERE_IT_FITS,  // the straight conversion where it applies, else SDL's loader
    SDL_ONLY,            // always SDL's loader: the reference the straight path must match
};

// Decodes the bitmap that `rw` holds from its first byte (the caller keeps
// and closes `rw`), as 0x00RRGGBB or as RGB565. On failure `image` is left
// empty and `error`, when given, says why.
bool decode(SDL_RWops* rw, platform::DecodedImage* image, std::string* error, Path path);
bool decode(SDL_RWops* rw, platform::DecodedImage565* image, std::string* error, Path path);

}  // namespace bmpdecode
