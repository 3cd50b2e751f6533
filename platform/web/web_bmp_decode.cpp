// The bitmap variants the straight path does not take, decoded by the
// browser's own image decoder, the same job SDL's loader does on the
// desktop: createImageBitmap on the file's bytes, read back through an
// OffscreenCanvas.
#include <emscripten.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "platform/common/bmp_decode.h"

// Decodes `size` bytes at `bytes`: a malloc'd block of width*height RGBA
// pixels with the sides at `width` and `height`, or 0 with the browser's
// reason in `reason` (`reasonSize` bytes).
EM_ASYNC_JS(uint8_t*, browserDecodeImage,
            (const uint8_t* bytes, int size, int* width, int* height, char* reason, int reasonSize),
            { return await QM.decodeImage(bytes, size, width, height, reason, reasonSize); });

namespace {

constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;

uint32_t le32(const std::vector<uint8_t>& file, size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
}

// SDL's loader refuses run-length data that ends before its end-of-bitmap
// code, where the browser shows what it got; such a file is refused here
// alike. The headers were checked: a run-length file has an info header.
bool runLengthsComplete(const std::vector<uint8_t>& file) {
    const uint32_t compression = le32(file, 30);
    if (compression != BI_RLE8 && compression != BI_RLE4) return true;
    size_t at = le32(file, 10);
    while (at + 1 < file.size()) {
        const uint8_t count = file[at], code = file[at + 1];
        at += 2;
        if (count != 0 || code == 0) continue;  // a run, or the end of a line
        if (code == 1) return true;             // the end of the bitmap
        if (code == 2) {                        // a move right and down
            at += 2;
            continue;
        }
        // `code` pixels as they are, padded to an even number of bytes.
        const size_t bytes = compression == BI_RLE8 ? code : (code + 1u) / 2;
        at += bytes + (bytes & 1);
    }
    return false;
}

}  // namespace

namespace bmpdecode {

bool decodeOtherVariant(std::FILE* file, int64_t fileSize, platform::DecodedImage* image, std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error != nullptr) *error = reason;
        return false;
    };
    std::vector<uint8_t> bytes(static_cast<size_t>(fileSize));
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return fail("cannot read the file");
    if (!runLengthsComplete(bytes)) return fail("the run-length data ends before the end-of-bitmap code");
    int width = 0, height = 0;
    char reason[256] = "";
    uint8_t* rgba = browserDecodeImage(bytes.data(), static_cast<int>(bytes.size()), &width, &height, reason,
                                       static_cast<int>(sizeof reason));
    if (rgba == nullptr) return fail(reason);
    try {
        image->pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        std::free(rgba);
        throw;
    }
    for (size_t i = 0; i < image->pixels.size(); ++i) {
        const uint8_t* p = rgba + 4 * i;
        image->pixels[i] = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    std::free(rgba);
    image->width = width;
    image->height = height;
    return true;
}

}  // namespace bmpdecode
