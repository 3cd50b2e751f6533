// Writing the game's sound files: RIFF/WAVE, 16-bit PCM, stereo, 44.1 kHz,
// the format the game's audio loader reads whatever the file's extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/synth/sample_buffer.h"

namespace synth {

// Encodes the buffer as a complete WAV file (44-byte header, then the frames
// interleaved left/right, little-endian). Samples are rounded to the nearest
// 16-bit step; anything beyond full scale is clipped to +-32767 and a NaN
// becomes 0, so a bad sample can neither wrap around nor crash the writer.
// Only frames present in both channels are written.
std::vector<std::uint8_t> encodeWav(const StereoBuffer& buffer);

// Writes `bytes` to `path`, replacing any file there. Returns an empty string
// on success, otherwise a message naming the path and the reason.
std::string writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace synth
