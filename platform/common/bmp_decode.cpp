// Windows bitmap decoding for both backends.
//
// SDL's loader reads every common variant, but it trusts the header: a few
// bytes claiming a 30000x30000 image make it allocate gigabytes before it
// notices the pixels are missing. So the header is checked here first, and
// only a file whose pixel data can be there is handed on. The game has no
// alpha, so the loader's alpha channel (taken from a 32-bit file's fourth
// byte, or transparent for a version-5 file with an empty alpha) is dropped.
//
// Every image the game ships is an uncompressed 24-bit file. For those, and
// for uncompressed 32-bit ones, SDL's loader reads row by row through small
// buffered reads into a surface that is then converted to 32 bits and copied
// once more; the straight path reads the pixel bytes in one go and converts
// them once. It reads the same bytes SDL would (rows from the pixel offset,
// padded to four bytes, bottom-up unless the height is negative; blue, green,
// red, then an ignored fourth byte) and takes only headers whose meaning SDL
// and it agree on; anything else is left to SDL.
#include "platform/common/bmp_decode.h"

#include <cstdint>
#include <new>
#include <vector>

#include "platform/common/startup_trace.h"
#include "platform/rgb565.h"

namespace bmpdecode {

namespace {

// Far beyond any image of the game (the largest is 800x600), small enough
// that a hostile header cannot exhaust memory.
constexpr int64_t MAX_SIDE = 16384;
constexpr int64_t MAX_PIXELS = int64_t{1} << 24;

constexpr uint32_t FILE_HEADER_BYTES = 14;
constexpr uint32_t CORE_HEADER_BYTES = 12;  // OS/2 1.x: 16-bit sides
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t V4_HEADER_BYTES = 108;
constexpr uint32_t LARGEST_HEADER_BYTES = 124;  // version 5

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

uint32_t le16(const uint8_t* p) {
    return p[0] | (p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

// What the checked headers say.
struct Header {
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // rows, positive
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = BI_RGB;
    int64_t rowBytes = 0;  // uncompressed rows, padded to four bytes
};

// Reads the headers from the start of `rw` (left at an unknown position) and
// refuses anything SDL would misread, or could only read by allocating far
// too much.
bool checkHeaders(SDL_RWops* rw, Header* header, std::string* error) {
    const Sint64 fileSize = SDL_RWsize(rw);
    if (fileSize < 0) return fail(error, std::string("cannot tell the file's size: ") + SDL_GetError());
    uint8_t head[FILE_HEADER_BYTES + LARGEST_HEADER_BYTES] = {};
    const size_t want = static_cast<size_t>(fileSize < static_cast<Sint64>(sizeof head) ? fileSize : sizeof head);
    if (want < FILE_HEADER_BYTES + 4) return fail(error, "file too short for a bitmap header");
    if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0 || SDL_RWread(rw, head, 1, want) != want)
        return fail(error, std::string("cannot read the bitmap header: ") + SDL_GetError());
    if (head[0] != 'B' || head[1] != 'M') return fail(error, "not a bitmap file (no BM signature)");

    Header h;
    h.pixelOffset = le32(head + 10);
    h.headerSize = le32(head + 14);
    if (h.headerSize == CORE_HEADER_BYTES) {
        if (want < FILE_HEADER_BYTES + CORE_HEADER_BYTES) return fail(error, "bitmap header truncated");
        h.width = le16(head + 18);
        h.height = le16(head + 20);
        h.bits = le16(head + 24);
    } else if (h.headerSize >= INFO_HEADER_BYTES) {
        if (want < FILE_HEADER_BYTES + INFO_HEADER_BYTES || FILE_HEADER_BYTES + int64_t{h.headerSize} > fileSize)
            return fail(error, "bitmap header truncated");
        h.width = static_cast<int32_t>(le32(head + 18));
        h.height = static_cast<int32_t>(le32(head + 22));
        h.bits = le16(head + 28);
        h.compression = le32(head + 30);
    } else {
        return fail(error, "unsupported bitmap header size " + std::to_string(h.headerSize));
    }

    if (h.height < 0) {  // top-down rows; int64 holds -INT32_MIN
        h.height = -h.height;
        h.topDown = true;
    }
    if (h.width <= 0 || h.height == 0)
        return fail(error, "bad bitmap dimensions " + std::to_string(h.width) + "x" + std::to_string(h.height));
    if (h.width > MAX_SIDE || h.height > MAX_SIDE || h.width * h.height > MAX_PIXELS)
        return fail(error, "bitmap too large (" + std::to_string(h.width) + "x" + std::to_string(h.height) + ")");

    if (h.bits != 1 && h.bits != 2 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
        return fail(error, "unsupported " + std::to_string(h.bits) + " bits per pixel");
    const bool compressionFits = (h.compression == BI_RGB) || (h.compression == BI_RLE8 && h.bits == 8) ||
                                 (h.compression == BI_RLE4 && h.bits == 4) ||
                                 (h.compression == BI_BITFIELDS && (h.bits == 16 || h.bits == 32));
    if (!compressionFits)
        return fail(error, "unsupported compression " + std::to_string(h.compression) + " at " +
                               std::to_string(h.bits) + " bits per pixel");

    if (h.pixelOffset < FILE_HEADER_BYTES + h.headerSize || h.pixelOffset >= fileSize)
        return fail(error, "bad pixel data offset " + std::to_string(h.pixelOffset));
    h.rowBytes = (h.width * h.bits + 31) / 32 * 4;
    if (h.compression == BI_RGB || h.compression == BI_BITFIELDS) {
        if (h.pixelOffset + h.rowBytes * h.height > fileSize)
            return fail(error, "pixel data truncated (" + std::to_string(h.rowBytes * h.height) + " bytes expected, " +
                                   std::to_string(fileSize - h.pixelOffset) + " present)");
    }
    *header = h;
    return true;
}

// The headers whose uncompressed 24- and 32-bit pixels SDL reads as plain
// blue, green, red (and a fourth byte): the OS/2 core header (24 bits only),
// the classic info header and versions 4 and 5, whose colour masks SDL
// ignores without bitfields compression. Other sizes (the OS/2 2.x header
// among them) stay with SDL.
bool straightPathFits(const Header& h) {
    if (h.compression != BI_RGB) return false;
    if (h.headerSize == CORE_HEADER_BYTES) return h.bits == 24;
    const bool knownHeader =
        h.headerSize == INFO_HEADER_BYTES || h.headerSize == V4_HEADER_BYTES || h.headerSize == LARGEST_HEADER_BYTES;
    return knownHeader && (h.bits == 24 || h.bits == 32);
}

// One pixel of the file (blue, green, red) as each output format holds it.
uint32_t pixelFromBytes(const uint8_t* in, uint32_t*) {
    return static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[1]) << 8 | in[0];
}
uint16_t pixelFromBytes(const uint8_t* in, uint16_t*) {
    return rgbTo565(pixelFromBytes(in, static_cast<uint32_t*>(nullptr)));
}
uint32_t fromRgb(uint32_t rgb, uint32_t*) {
    return rgb;
}
uint16_t fromRgb(uint32_t rgb, uint16_t*) {
    return rgbTo565(rgb);
}

// Reads the rows a block at a time into one small buffer and converts each
// row once, straight into the image. A buffer the size of the file would be
// fresh memory for every image; the small one is reused for every block.
constexpr size_t READ_BLOCK_BYTES = 64 * 1024;

template <typename Image>
bool decodeStraight(SDL_RWops* rw, const Header& h, Image* image, std::string* error) {
    using Pixel = typename decltype(image->pixels)::value_type;
    const size_t rowBytes = static_cast<size_t>(h.rowBytes);
    const size_t width = static_cast<size_t>(h.width);
    const size_t height = static_cast<size_t>(h.height);
    const size_t rowsPerBlock = rowBytes < READ_BLOCK_BYTES ? READ_BLOCK_BYTES / rowBytes : 1;
    std::vector<uint8_t> block(rowsPerBlock * rowBytes);
    if (SDL_RWseek(rw, h.pixelOffset, RW_SEEK_SET) < 0)
        return fail(error, std::string("cannot seek to the pixel data: ") + SDL_GetError());

    image->pixels.resize(width * height);
    const size_t step = h.bits / 8;
    for (size_t fileRow = 0; fileRow < height; fileRow += rowsPerBlock) {
        const size_t rows = height - fileRow < rowsPerBlock ? height - fileRow : rowsPerBlock;
        if (SDL_RWread(rw, block.data(), rowBytes, rows) != rows)
            return fail(error, std::string("cannot read the pixel data: ") + SDL_GetError());
        for (size_t r = 0; r < rows; ++r) {
            const uint8_t* in = block.data() + r * rowBytes;
            const size_t y = h.topDown ? fileRow + r : height - 1 - (fileRow + r);
            Pixel* out = image->pixels.data() + y * width;
            for (size_t x = 0; x < width; ++x, in += step) out[x] = pixelFromBytes(in, out);
        }
    }
    image->width = static_cast<int32_t>(h.width);
    image->height = static_cast<int32_t>(h.height);
    return true;
}

// Every other variant: SDL's loader, then SDL's conversion to 32 bits.
template <typename Image>
bool decodeWithSdl(SDL_RWops* rw, Image* image, std::string* error) {
    using Pixel = typename decltype(image->pixels)::value_type;
    if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0)
        return fail(error, std::string("cannot rewind the file: ") + SDL_GetError());
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 0);
    if (loaded == nullptr) return fail(error, std::string("SDL_LoadBMP_RW failed: ") + SDL_GetError());

    // Copy, never blend: blending would mix a transparent pixel with black.
    SDL_SetSurfaceBlendMode(loaded, SDL_BLENDMODE_NONE);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_XRGB8888, 0);
    SDL_FreeSurface(loaded);
    if (rgb == nullptr) return fail(error, std::string("SDL_ConvertSurfaceFormat failed: ") + SDL_GetError());

    image->width = rgb->w;
    image->height = rgb->h;
    image->pixels.resize(static_cast<size_t>(rgb->w) * static_cast<size_t>(rgb->h));
    for (int y = 0; y < rgb->h; ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                           static_cast<size_t>(y) * rgb->pitch);
        Pixel* out = image->pixels.data() + static_cast<size_t>(y) * rgb->w;
        for (int x = 0; x < rgb->w; ++x) out[x] = fromRgb(in[x] & 0x00FFFFFFu, out);
    }
    SDL_FreeSurface(rgb);
    return true;
}

template <typename Image>
bool decodeAny(SDL_RWops* rw, Image* image, std::string* error, Path path) {
    Header header;
    bool decoded = false;
    try {
        decoded = checkHeaders(rw, &header, error) && (path == Path::FAST_WHERE_IT_FITS && straightPathFits(header)
                                                           ? decodeStraight(rw, header, image, error)
                                                           : decodeWithSdl(rw, image, error));
    } catch (const std::bad_alloc&) {
        decoded = fail(error, "no memory for the image");
    }
    if (!decoded) *image = Image{};
    return decoded;
}

template <typename Image>
bool decodeFile(const char* path, Image* image, std::string* error) {
    if (image != nullptr) *image = Image{};
    if (path == nullptr || image == nullptr) return fail(error, "no file or no image given");
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) return fail(error, std::string("SDL_RWFromFile failed: ") + SDL_GetError());
    const bool decoded = decodeAny(rw, image, error, Path::FAST_WHERE_IT_FITS);
    SDL_RWclose(rw);
    if (decoded) startuptrace::stage("image", path);
    return decoded;
}

}  // namespace

bool decode(SDL_RWops* rw, platform::DecodedImage* image, std::string* error, Path path) {
    return decodeAny(rw, image, error, path);
}

bool decode(SDL_RWops* rw, platform::DecodedImage565* image, std::string* error, Path path) {
    return decodeAny(rw, image, error, path);
}

}  // namespace bmpdecode

namespace platform {

bool decodeBmpFile(const char* path, DecodedImage* image, std::string* error) {
    return bmpdecode::decodeFile(path, image, error);
}

bool decodeBmpFile565(const char* path, DecodedImage565* image, std::string* error) {
    return bmpdecode::decodeFile(path, image, error);
}

}  // namespace platform
