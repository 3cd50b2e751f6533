// Finding the System V segment behind the window surface in a maps text.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/sdl/x11_server_warmup.h"

namespace {

const char* const MAPS =
    "55d0c0a00000-55d0c0a21000 r--p 00000000 fd:01 1311 /usr/games/quillmara\n"
    "7f06ae636000-7f06ae936000 rw-s 00000000 00:01 32786                      /SYSV00000000 (deleted)\n"
    "7f06ae936000-7f06ae937000 rw-s 00000000 00:01 5                          /SYSV0000abcd (deleted)\n"
    "7f06ae940000-7f06ae950000 rw-s 00000000 00:05 77                         /dev/shm/other\n"
    "7f06ae960000-7f06ae970000 rw-p 00000000 00:00 0 \n"
    "7f06ae970000-7f06ae980000 rw-s 00000000 00:01 99999999999                /SYSV00000000 (deleted)\n"
    "garbage line\n"
    "7f06ae990000-7f06ae9a0000 rw-s 00000000 00:01 41                         /SYSV00000000 (deleted)";

const void* at(uintptr_t address) {
    return reinterpret_cast<const void*>(address);
}

TEST(SharedSegment, IsFoundOnlyWhereASegmentStarts) {
    const struct {
        uintptr_t address;
        int segment;
        const char* why;
    } cases[] = {
        {0x7f06ae636000, 32786, "a segment's first byte"},
        {0x7f06ae936000, 5, "a segment with a key"},
        {0x7f06ae990000, 41, "the last line, without a newline"},
        {0x7f06ae637000, -1, "inside a segment, not at its start"},
        {0x7f06ae940000, -1, "shared memory that is not a System V segment"},
        {0x7f06ae960000, -1, "private memory"},
        {0x7f06ae970000, -1, "an id out of range"},
        {0x1000, -1, "no mapping there"},
    };
    for (const auto& c : cases) EXPECT_EQ(sdlbackend::sharedSegmentAt(MAPS, at(c.address)), c.segment) << c.why;
    EXPECT_EQ(sdlbackend::sharedSegmentAt("", at(0x7f06ae636000)), -1);
    EXPECT_EQ(sdlbackend::sharedSegmentAt(nullptr, at(0x7f06ae636000)), -1);
}

}  // namespace
