// Best-times files of every malformed shape, read by the best-times screen in
// every frame: no crash, and a time the file cannot give keeps the value it
// had, which is what the screen shows.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "tests/game/screen_fixture.h"

namespace {

using screens::readTime;

constexpr size_t LONG = 3u << 20;

class BadBestTimesFile : public screens::ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        app.state = STATE_HIGH_SCORES;
    }

    // Writes `content` as the best-times file, draws one frame of the screen
    // and returns the four times it shows.
    std::array<std::string, 4> showWith(const std::string& content) {
        standin::writeBestTimes(content);
        return shown();
    }

    std::array<std::string, 4> shown() {
        const headless::Frame& f = frame();
        EXPECT_EQ(app.state, STATE_HIGH_SCORES);
        std::array<std::string, 4> times;
        for (int i = 0; i < 4; ++i) times[i] = readTime(f, 340, 150 + 70 * i);
        return times;
    }
};

using Times = std::array<std::string, 4>;

TEST_F(BadBestTimesFile, OutOfRangeNumbersShowWithinTheClock) {
    // Saturated at 2^31 - 1 seconds: 596523 hours show as 99, then 14 minutes
    // and 7 seconds. Negative times show as zero.
    EXPECT_EQ(showWith("99999999999999999999999 2147483647 -2147483648 -99999999999999999999\n"),
              (Times{"99-14-07", "99-14-07", "00-00-00", "00-00-00"}));
    EXPECT_EQ(showWith(std::string(LONG, '0') + "59 " + std::string(LONG, '9') + " -1 360000"),
              (Times{"00-00-59", "99-14-07", "00-00-00", "99-00-00"}))
        << "megabyte-long numbers";
}

TEST_F(BadBestTimesFile, MegabytesOfWhiteSpaceBetweenTheTimes) {
    const std::string gap = std::string(LONG, ' ') + std::string(LONG / 4, '\n') + "\r\n\t";
    EXPECT_EQ(showWith(gap + "1" + gap + "62" + gap + "3723" + gap + "86399" + gap),
              (Times{"00-00-01", "00-01-02", "01-02-03", "23-59-59"}));
    EXPECT_EQ(showWith("5 6 7 8"), (Times{"00-00-05", "00-00-06", "00-00-07", "00-00-08"})) << "no line end";
}

// Files that give no time, or only some: the screen keeps showing the values
// last read, frame after frame.
TEST_F(BadBestTimesFile, UnreadableFilesKeepTheLastTimesOnScreen) {
    const Times good{"00-01-01", "00-59-59", "01-00-00", "02-02-02"};
    ASSERT_EQ(showWith("61 3599 3600 7322\n"), good);

    std::string junk;
    for (int i = 0; i < 100000; ++i) junk += static_cast<char>(((i * 37) & 0x7F) | 0x80);
    EXPECT_EQ(showWith(junk), good) << "binary junk";
    EXPECT_EQ(showWith(""), good) << "empty file";
    EXPECT_EQ(showWith(std::string(LONG, 'x')), good) << "a megabyte of text";
    EXPECT_EQ(showWith(std::string("\0\0\0\0", 4) + "1 2 3 4"), good) << "zero bytes first";
    EXPECT_EQ(showWith("7 8 oops 9"), (Times{"00-00-07", "00-00-08", "01-00-00", "02-02-02"})) << "half a file";

    std::filesystem::remove("config0.bst");
    EXPECT_EQ(shown(), (Times{"00-00-07", "00-00-08", "01-00-00", "02-02-02"})) << "missing file";
    std::filesystem::create_directory("config0.bst");
    EXPECT_EQ(shown(), (Times{"00-00-07", "00-00-08", "01-00-00", "02-02-02"})) << "a folder in its place";
    std::filesystem::remove("config0.bst");
    EXPECT_EQ(showWith("10 20 30 40"), (Times{"00-00-10", "00-00-20", "00-00-30", "00-00-40"})) << "good again";
}

}  // namespace
