// Status codes of the device set-up operations: negative means failure.
#pragma once

#include <cstdint>

using Status = int32_t;
constexpr Status STATUS_OK = 0;
constexpr Status STATUS_POINTER = static_cast<Status>(0x80004003u);  // no such object (E_POINTER)
constexpr Status STATUS_FAIL = static_cast<Status>(0x80004005u);     // unspecified failure (E_FAIL)

// Exit codes of the process.
constexpr int EXIT_WINDOW_CLOSED = 0;
constexpr int EXIT_BUTTON = 1;
constexpr int EXIT_FATAL = -1;  // seen as 255 by the parent
