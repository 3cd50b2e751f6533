// Helpers shared by the fuzz targets and their replay driver.
//
// Each target is one function, LLVMFuzzerTestOneInput, built twice: with
// libFuzzer in the clang fuzz build (fuzz/CMakeLists.txt as its own
// project), and with replay_main.cpp in the game's own builds, where it
// replays the seed corpus and every input that ever failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// Stops the run with `what` on standard error when `condition` is false: a
// wrong result is reported as a crash, so libFuzzer keeps the input.
void check(bool condition, const char* what);

// The path of a scratch file in a private temporary folder (made on first
// use, removed at exit), holding exactly `size` bytes of `data`. The readers
// under test take paths, so every input goes through a real file.
const char* writeScratchFile(const uint8_t* data, size_t size);

// Takes values off the front of the input; past its end every value is 0.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    uint32_t u32() { return u16() | (static_cast<uint32_t>(u16()) << 16); }
    size_t left() const { return size_ - at_; }
    const uint8_t* rest() const { return data_ + at_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace fuzz
