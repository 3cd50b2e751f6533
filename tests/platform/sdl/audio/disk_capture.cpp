#include "tests/platform/sdl/audio/disk_capture.h"

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <thread>

#include "tests/support/little_endian.h"

void writeWav(const std::string& path, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string s = "RIFF";
    put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);  // PCM
    put16(s, 1);  // mono
    put32(s, RATE);
    put32(s, RATE * 2);
    put16(s, 2);
    put16(s, 16);
    s += "data";
    put32(s, dataBytes);
    for (int16_t v : samples) put16(s, static_cast<uint16_t>(v));
    std::ofstream(path, std::ios::binary) << s;
}

std::vector<int16_t> tone(int frames, int hertz, int amplitude) {
    std::vector<int16_t> out(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        out[static_cast<size_t>(i)] =
            static_cast<int16_t>(amplitude * std::sin(2 * std::numbers::pi * hertz * i / RATE));
    }
    return out;
}

int64_t fileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

bool waitForBytes(const std::string& path, int64_t bytes) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fileSize(path) < bytes) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

double Capture::rms(int64_t from, int64_t to, int channel) const {
    if (from < origin || to > frames() || to <= from) return -1;
    double sum = 0;
    for (int64_t f = from; f < to; ++f) sum += static_cast<double>(at(f, channel)) * at(f, channel);
    return std::sqrt(sum / static_cast<double>(to - from));
}

int64_t Capture::firstSound(int64_t from) const {
    for (int64_t f = from < origin ? origin : from; f < frames(); ++f) {
        if (at(f, 0) != 0 || at(f, 1) != 0) return f;
    }
    return -1;
}

Capture readCapture(const std::string& path, int64_t first, int64_t count) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(first * BYTES_PER_FRAME);
    std::string bytes(static_cast<size_t>(count * BYTES_PER_FRAME), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()) / BYTES_PER_FRAME * BYTES_PER_FRAME);
    Capture capture;
    capture.origin = first;
    capture.samples.resize(bytes.size() / 2);
    for (size_t i = 0; i < capture.samples.size(); ++i) {
        capture.samples[i] =
            static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return capture;
}
