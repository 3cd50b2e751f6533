// A small random source whose output is the same on every platform and
// compiler (the standard distributions are not), so that a seed names one
// level for ever.
#pragma once

#include <cstdint>

class RandomSource {
public:
    explicit RandomSource(uint64_t seed) : state_(seed) {}

    // SplitMix64.
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in 0..n-1 for n > 0 (the bias of 2^64 mod n is negligible).
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }

private:
    uint64_t state_;
};
