// Reading back what SDL's disk audio driver wrote: raw 16-bit stereo frames
// at 44.1 kHz, the format the game opens its device with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int RATE = 44100;
constexpr int BYTES_PER_FRAME = 4;   // two 16-bit channels
constexpr int BUFFER_FRAMES = 1024;  // one mixer buffer

// A mono 16-bit 44.1 kHz WAV file holding `samples`.
void writeWav(const std::string& path, const std::vector<int16_t>& samples);

// `frames` of a sine of `hertz` at `amplitude`.
std::vector<int16_t> tone(int frames, int hertz, int amplitude);

// Size of the file at `path` in bytes; 0 when it does not exist.
int64_t fileSize(const std::string& path);

// Waits until the file at `path` holds at least `bytes`; false when it has
// not grown that far after ten seconds (the device stopped writing).
bool waitForBytes(const std::string& path, int64_t bytes);

// A stretch of the output, addressed by frame numbers of the whole file.
struct Capture {
    int64_t origin = 0;                                                                   // the first frame held
    std::vector<int16_t> samples;                                                         // interleaved left, right
    int64_t frames() const { return origin + static_cast<int64_t>(samples.size() / 2); }  // one past the last
    int16_t at(int64_t frame, int channel) const {
        return samples[static_cast<size_t>((frame - origin) * 2 + channel)];
    }
    // Root mean square of one channel (0 left, 1 right) over [from, to).
    double rms(int64_t from, int64_t to, int channel) const;
    // The first frame at or after `from` with any non-zero sample; -1 if none.
    int64_t firstSound(int64_t from) const;
};

// Reads at most `count` frames from frame `first` on. The file may still be
// growing (the device runs flat out), so reads are always bounded.
Capture readCapture(const std::string& path, int64_t first = 0, int64_t count = 50 * RATE);
