// The bitmap decoder behind platform::decodeBmpFile, open to its tests, its
// fuzz target and its benchmark. Internal to platform/.
//
// Two paths give the same pixels: uncompressed 24- and 32-bit files (every
// image the game ships) are converted straight from their bytes, and every
// other variant goes to the backend's own decoder (decodeOtherVariant). Both
// start from the same header check, so a file either path refuses is refused
// with the same reason.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace bmpdecode {

enum class Path {
    FAST_WHERE_IT_FITS,     // the straight conversion where it applies, else the backend's decoder
    OTHER_ONLY,             // always the backend's decoder: the reference the straight path must match
    SDL_ONLY = OTHER_ONLY,  // its name on the desktop, where that decoder is SDL's loader
};

// Decodes the bitmap that `file` holds from its first byte (the caller keeps
// and closes `file`), as 0x00RRGGBB or as RGB565. On failure `image` is left
// empty and `error`, when given, says why.
bool decode(std::FILE* file, platform::DecodedImage* image, std::string* error, Path path);
bool decode(std::FILE* file, platform::DecodedImage565* image, std::string* error, Path path);

// The variants the straight path does not take (palettes, run lengths, 16
// bits, bitfields, the OS/2 2.x header), decoded by what the backend has:
// SDL's loader on the desktop (platform/sdl/bmp_decode_sdl.cpp), the
// browser's image decoder on the web (platform/web/web_bmp_decode.cpp).
// Called only for a file whose headers passed the check, `fileSize` bytes
// long, at any position. Fills `image` (0x00RRGGBB, top row first), or
// returns false with the reason in `error` (when given).
bool decodeOtherVariant(std::FILE* file, int64_t fileSize, platform::DecodedImage* image, std::string* error);

}  // namespace bmpdecode

#ifndef __EMSCRIPTEN__
// On the desktop the same decoder also reads SDL_RWops, for the tests, fuzz
// targets and benchmarks that hold their files in memory.
#include "platform/sdl/bmp_decode_sdl.h"
#endif
