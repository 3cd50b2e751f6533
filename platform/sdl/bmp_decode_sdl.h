// The bitmap decoder on SDL: SDL's loader for the variants the straight path
// does not take, and the whole decoder on an SDL_RWops. Internal to
// platform/; the desktop backends, the decoder's tests, its fuzz target and
// its benchmark link it.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/common/bmp_decode.h"

namespace bmpdecode {

// Decodes the bitmap that `rw` holds from its first byte (the caller keeps
// and closes `rw`), as bmpdecode::decode does a file. Path::SDL_ONLY decodes
// through SDL's loader alone.
bool decode(SDL_RWops* rw, platform::DecodedImage* image, std::string* error, Path path);
bool decode(SDL_RWops* rw, platform::DecodedImage565* image, std::string* error, Path path);

}  // namespace bmpdecode
