#include "tools/synth/wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

namespace synth {

namespace {

constexpr std::uint16_t kChannels = 2;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kHeaderBytes = 44;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

std::int16_t toPcm(float sample) {
    if (std::isnan(sample)) return 0;
    const float scaled = std::round(sample * 32767.0f);
    if (scaled >= 32767.0f) return 32767;
    if (scaled <= -32767.0f) return -32767;
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

std::vector<std::uint8_t> encodeWav(const StereoBuffer& buffer) {
    const std::uint32_t blockAlign = kChannels * kBitsPerSample / 8;
    // A RIFF size field is 32 bits: a longer buffer is cut to what fits.
    const std::size_t maxFrames = (0xFFFFFFFFull - kHeaderBytes) / blockAlign;
    const std::size_t frames = std::min({buffer.left.size(), buffer.right.size(), maxFrames});
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames * blockAlign);
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + dataBytes);
    putTag(out, "RIFF");
    put32(out, kHeaderBytes - 8 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // integer PCM
    put16(out, kChannels);
    put32(out, kSampleRate);
    put32(out, kSampleRate * blockAlign);
    put16(out, static_cast<std::uint16_t>(blockAlign));
    put16(out, kBitsPerSample);
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::size_t i = 0; i < frames; ++i) {
        put16(out, static_cast<std::uint16_t>(toPcm(buffer.left[i])));
        put16(out, static_cast<std::uint16_t>(toPcm(buffer.right[i])));
    }
    return out;
}

std::string writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return "cannot create " + path + ": " + std::strerror(errno);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) return "cannot write " + path + ": " + std::strerror(errno);
    return {};
}

}  // namespace synth
