// The best-times reader against the C library's " %d " reading of the four
// entries: an entry the file cannot give keeps its value, and no input makes
// the reader fail once the file is open.
#include <array>
#include <cstdio>

#include "fuzz/fuzz_support.h"
#include "game/best_times.h"

namespace {

int32_t clamp32(long long v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

std::array<int32_t, 4> referenceTimes(const char* path, std::array<int32_t, 4> times) {
    std::FILE* file = std::fopen(path, "r");
    fuzz::check(file != nullptr, "cannot open the scratch file");
    for (int32_t& entry : times) {
        long long value = 0;
        if (std::fscanf(file, " %lld ", &value) == 1) entry = clamp32(value);
    }
    std::fclose(file);
    return times;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = fuzz::writeScratchFile(data, size);
    std::array<int32_t, 4> times{-7, 3599, INT32_MIN, INT32_MAX};
    const std::array<int32_t, 4> expected = referenceTimes(path, times);
    fuzz::check(readBestTimes(path, times), "an existing best-times file did not open");
    fuzz::check(times == expected, "readBestTimes and fscanf read different times");
    return 0;
}
