// Reads back the synthesiser's WAV files for tests: checks every header field
// of the one format the game's files use and gives the samples as floats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavData {
    std::string error;  // empty when the file is a well-formed 16-bit PCM WAV
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<float> left;  // full scale 1.0 = 32768
    std::vector<float> right;

    std::size_t frames() const { return left.size(); }
    double seconds() const { return sampleRate ? static_cast<double>(frames()) / sampleRate : 0.0; }
};

// Parses a canonical 44-byte-header WAV: "RIFF", the RIFF size equal to the
// file size less 8, "WAVE", a 16-byte "fmt " chunk of integer PCM with a
// consistent byte rate and block align, 16 bits, and a "data" chunk that
// fills the rest of the file exactly. Anything else sets `error`.
WavData parseWav(const std::vector<std::uint8_t>& bytes);

// The whole file, or an empty vector when it cannot be read.
std::vector<std::uint8_t> readBytes(const std::string& path);
