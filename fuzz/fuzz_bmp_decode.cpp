// Any bytes as a bitmap file, decoded by the straight path where it applies
// and by SDL's loader alone: both must accept or refuse alike and give the
// same pixels, in both output formats, and the 16-bit ones must be the
// 32-bit ones converted.
#include "fuzz/fuzz_support.h"
#include "platform/common/bmp_decode.h"
#include "platform/rgb565.h"

namespace {

template <typename Image>
bool decodeBytes(const uint8_t* data, size_t size, Image* image, bmpdecode::Path path) {
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (rw == nullptr) return false;
    const bool ok = bmpdecode::decode(rw, image, nullptr, path);
    SDL_RWclose(rw);
    return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    platform::DecodedImage straight, sdl;
    platform::DecodedImage565 packed;
    const bool straightOk = decodeBytes(data, size, &straight, bmpdecode::Path::FAST_WHERE_IT_FITS);
    const bool sdlOk = decodeBytes(data, size, &sdl, bmpdecode::Path::SDL_ONLY);
    const bool packedOk = decodeBytes(data, size, &packed, bmpdecode::Path::FAST_WHERE_IT_FITS);
    fuzz::check(straightOk == sdlOk, "the straight path and SDL's loader disagree on accepting the file");
    fuzz::check(packedOk == sdlOk, "the 16-bit decoder disagrees on accepting the file");
    if (!sdlOk) {
        fuzz::check(straight.pixels.empty() && packed.pixels.empty() && straight.width == 0 && packed.width == 0,
                    "a refused file left pixels behind");
        return 0;
    }
    fuzz::check(straight.width == sdl.width && straight.height == sdl.height, "the straight path's size differs");
    fuzz::check(packed.width == sdl.width && packed.height == sdl.height, "the 16-bit size differs");
    fuzz::check(straight.pixels == sdl.pixels, "the straight path's pixels differ from SDL's");
    fuzz::check(packed.pixels.size() == sdl.pixels.size(), "the 16-bit pixel count differs");
    for (size_t i = 0; i < sdl.pixels.size(); ++i)
        fuzz::check(packed.pixels[i] == rgbTo565(sdl.pixels[i]), "a 16-bit pixel is not SDL's pixel converted");
    return 0;
}
