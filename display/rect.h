// A rectangle of pixels, shared by the surfaces and their frame records.
#pragma once

#include <cstdint>

// A rectangle: left and top inclusive, right and bottom exclusive.
struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};
