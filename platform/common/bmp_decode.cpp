// Windows bitmap decoding for every backend.
//
// A loader that trusts the header can be made to allocate gigabytes by a few
// bytes claiming a 30000x30000 image before it notices the pixels are
// missing. So the header is checked here first, and only a file whose pixel
// data can be there is decoded. The game has no alpha, so a fourth byte (or a
// loader's alpha channel) is dropped.
//
// Every image the game ships is an uncompressed 24-bit file. For those, and
// for uncompressed 32-bit ones, the straight path reads the pixel bytes and
// converts them once. It reads the same bytes SDL's loader would (rows from
// the pixel offset, padded to four bytes, bottom-up unless the height is
// negative; blue, green, red, then an ignored fourth byte) and takes only
// headers whose meaning SDL and it agree on. Every other variant goes to the
// backend's decoder (decodeOtherVariant): SDL's loader on the desktop, the
// browser's on the web. Files are read through stdio, which both have.
#include "platform/common/bmp_decode.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
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

// The reason of a failed stdio call: errno, or the end of the file.
std::string stdioReason(std::FILE* file) {
    if (file != nullptr && std::ferror(file) == 0 && std::feof(file) != 0) return "the file ends early";
    return errno != 0 ? std::strerror(errno) : "unknown error";
}

// The file's length in bytes, or -1 (with errno) when it cannot be told.
int64_t sizeOf(std::FILE* file) {
    errno = 0;
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    return size;
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

// Reads the headers from the start of `file` (left at an unknown position)
// and refuses anything SDL would misread, or could only read by allocating
// far too much.
bool checkHeaders(std::FILE* file, Header* header, int64_t* size, std::string* error) {
    const int64_t fileSize = sizeOf(file);
    if (fileSize < 0) return fail(error, "cannot tell the file's size: " + stdioReason(file));
    *size = fileSize;
    uint8_t head[FILE_HEADER_BYTES + LARGEST_HEADER_BYTES] = {};
    const size_t want = static_cast<size_t>(fileSize < static_cast<int64_t>(sizeof head) ? fileSize : sizeof head);
    if (want < FILE_HEADER_BYTES + 4) return fail(error, "file too short for a bitmap header");
    errno = 0;
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(head, 1, want, file) != want)
        return fail(error, "cannot read the bitmap header: " + stdioReason(file));
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
// among them) go to the backend's decoder.
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

// Reads the rows a block at a time into one small buffer and converts each
// row once, straight into the image. A buffer the size of the file would be
// fresh memory for every image; the small one is reused for every block.
constexpr size_t READ_BLOCK_BYTES = 64 * 1024;

template <typename Image>
bool decodeStraight(std::FILE* file, const Header& h, Image* image, std::string* error) {
    using Pixel = typename decltype(image->pixels)::value_type;
    const size_t rowBytes = static_cast<size_t>(h.rowBytes);
    const size_t width = static_cast<size_t>(h.width);
    const size_t height = static_cast<size_t>(h.height);
    const size_t rowsPerBlock = rowBytes < READ_BLOCK_BYTES ? READ_BLOCK_BYTES / rowBytes : 1;
    std::vector<uint8_t> block(rowsPerBlock * rowBytes);
    errno = 0;
    if (std::fseek(file, static_cast<long>(h.pixelOffset), SEEK_SET) != 0)
        return fail(error, "cannot seek to the pixel data: " + stdioReason(file));

    image->pixels.resize(width * height);
    const size_t step = h.bits / 8;
    for (size_t fileRow = 0; fileRow < height; fileRow += rowsPerBlock) {
        const size_t rows = height - fileRow < rowsPerBlock ? height - fileRow : rowsPerBlock;
        errno = 0;
        if (std::fread(block.data(), rowBytes, rows, file) != rows)
            return fail(error, "cannot read the pixel data: " + stdioReason(file));
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

// Every other variant: the backend's decoder, then the output format.
bool decodeOther(std::FILE* file, int64_t fileSize, platform::DecodedImage* image, std::string* error) {
    return decodeOtherVariant(file, fileSize, image, error);
}

bool decodeOther(std::FILE* file, int64_t fileSize, platform::DecodedImage565* image, std::string* error) {
    platform::DecodedImage wide;
    if (!decodeOtherVariant(file, fileSize, &wide, error)) return false;
    image->pixels.resize(wide.pixels.size());
    for (size_t i = 0; i < wide.pixels.size(); ++i) image->pixels[i] = rgbTo565(wide.pixels[i]);
    image->width = wide.width;
    image->height = wide.height;
    return true;
}

template <typename Image>
bool decodeAny(std::FILE* file, Image* image, std::string* error, Path path) {
    Header header;
    int64_t fileSize = 0;
    bool decoded = false;
    try {
        decoded =
            checkHeaders(file, &header, &fileSize, error) &&
            (path == Path::FAST_WHERE_IT_FITS && straightPathFits(header) ? decodeStraight(file, header, image, error)
                                                                          : decodeOther(file, fileSize, image, error));
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
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return fail(error, std::string("cannot open ") + path + ": " + std::strerror(errno));
    const bool decoded = decodeAny(file, image, error, Path::FAST_WHERE_IT_FITS);
    std::fclose(file);
    if (decoded) startuptrace::stage("image", path);
    return decoded;
}

}  // namespace

bool decode(std::FILE* file, platform::DecodedImage* image, std::string* error, Path path) {
    return decodeAny(file, image, error, path);
}

bool decode(std::FILE* file, platform::DecodedImage565* image, std::string* error, Path path) {
    return decodeAny(file, image, error, path);
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
