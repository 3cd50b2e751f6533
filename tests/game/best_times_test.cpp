// Reading the best-times file: whatever the file holds, four entries come out.
#include "game/best_times.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>

#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

using Times = std::array<int32_t, 4>;

Times readFrom(const std::string& content, Times before = {-7, -7, -7, -7}) {
    writeFile("times.bst", content);
    EXPECT_TRUE(readBestTimes("times.bst", before)) << "content: " << content;
    return before;
}

TEST(BestTimesFile, ReadsFourNumbersWhateverTheWhiteSpace) {
    TempDir dir;
    EXPECT_EQ(readFrom("61 3599 3600 7322\n"), (Times{61, 3599, 3600, 7322}));
    EXPECT_EQ(readFrom("\n\t 1\n\n2\r\n3\t4"), (Times{1, 2, 3, 4}));
    EXPECT_EQ(readFrom("+5 -6 007 0"), (Times{5, -6, 7, 0}));
    EXPECT_EQ(readFrom("1 2 3 4 5 6 junk"), (Times{1, 2, 3, 4})) << "anything after the fourth is ignored";
}

TEST(BestTimesFile, UnreadableValuesKeepTheirEntries) {
    TempDir dir;
    EXPECT_EQ(readFrom(""), (Times{-7, -7, -7, -7})) << "empty file";
    EXPECT_EQ(readFrom("1 2"), (Times{1, 2, -7, -7})) << "short file";
    EXPECT_EQ(readFrom("1 x 3 4"), (Times{1, -7, -7, -7})) << "reading stops at a non-number";
    EXPECT_EQ(readFrom("12abc 3"), (Times{12, -7, -7, -7})) << "text glued to a number";
    EXPECT_EQ(readFrom("- 5 6 7"), (Times{-7, 5, 6, 7})) << "a lone sign fails its entry and is dropped";
    EXPECT_EQ(readFrom(std::string("1\0 2", 4)), (Times{1, -7, -7, -7})) << "a zero byte";
}

TEST(BestTimesFile, AFileThatCannotBeReadLeavesEveryEntry) {
    TempDir dir;
    Times times{1, 2, 3, 4};
    EXPECT_FALSE(readBestTimes("missing.bst", times));
    EXPECT_EQ(times, (Times{1, 2, 3, 4}));

    // A folder opens for reading on Linux, but it is no file of times.
    ASSERT_EQ(mkdir("folder.bst", 0755), 0);
    EXPECT_FALSE(readBestTimes("folder.bst", times));
    EXPECT_EQ(times, (Times{1, 2, 3, 4}));

    EXPECT_FALSE(readBestTimes("", times));
    EXPECT_EQ(times, (Times{1, 2, 3, 4}));
}

// Root may open any file for writing, so there this passes either way; for
// any other user it fails as soon as the file is opened for update.
TEST(BestTimesFile, AFileWithoutWriteAccessIsStillRead) {
    TempDir dir;
    writeFile("times.bst", "9 8 7 6");
    ASSERT_EQ(chmod("times.bst", 0444), 0);
    Times times{};
    EXPECT_TRUE(readBestTimes("times.bst", times));
    EXPECT_EQ(times, (Times{9, 8, 7, 6}));
}

}  // namespace
