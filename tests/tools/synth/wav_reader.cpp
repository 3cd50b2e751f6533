#include "tests/tools/synth/wav_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

bool tagAt(const std::vector<std::uint8_t>& b, std::size_t at, const char* tag) {
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

}  // namespace

WavData parseWav(const std::vector<std::uint8_t>& b) {
    WavData wav;
    if (b.size() < 44) return wav.error = "shorter than a WAV header", wav;
    if (!tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE")) return wav.error = "not RIFF/WAVE", wav;
    if (le(b, 4, 4) != b.size() - 8) return wav.error = "RIFF size does not match the file", wav;
    if (!tagAt(b, 12, "fmt ") || le(b, 16, 4) != 16) return wav.error = "no 16-byte fmt chunk first", wav;
    if (le(b, 20, 2) != 1) return wav.error = "not integer PCM", wav;
    wav.channels = static_cast<std::uint16_t>(le(b, 22, 2));
    wav.sampleRate = le(b, 24, 4);
    wav.bitsPerSample = static_cast<std::uint16_t>(le(b, 34, 2));
    const std::uint32_t blockAlign = le(b, 32, 2);
    if (wav.bitsPerSample != 16 || wav.channels < 1 || wav.channels > 2)
        return wav.error = "not 16-bit mono/stereo", wav;
    if (blockAlign != wav.channels * 2u || le(b, 28, 4) != wav.sampleRate * blockAlign)
        return wav.error = "inconsistent byte rate or block align", wav;
    if (!tagAt(b, 36, "data") || le(b, 40, 4) != b.size() - 44)
        return wav.error = "data chunk does not fill the file", wav;
    if ((b.size() - 44) % blockAlign != 0) return wav.error = "partial frame at the end", wav;
    const std::size_t frames = (b.size() - 44) / blockAlign;
    wav.left.resize(frames);
    wav.right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t at = 44 + i * blockAlign;
        wav.left[i] = static_cast<std::int16_t>(le(b, at, 2)) / 32768.0f;
        wav.right[i] = wav.channels == 2 ? static_cast<std::int16_t>(le(b, at + 2, 2)) / 32768.0f : wav.left[i];
    }
    return wav;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
