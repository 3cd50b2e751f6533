// The real game binary, started on SDL's dummy video and audio drivers in a
// folder of stand-in data: it runs, it ends cleanly on SIGTERM and SIGINT,
// its fatal paths end with their message on standard error and 255, and its
// start-up trace names every stage in order.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

extern char** environ;

namespace {

// The game as a child process. Whatever happens in the test, the child is
// killed and reaped when this goes out of scope.
class GameProcess {
public:
    // Starts the game in the current folder with the current environment,
    // minus the variables in `unset`, plus `set` ("NAME=value").
    GameProcess(const std::vector<std::string>& unset, const std::vector<std::string>& set)
        : stderrPath_(std::filesystem::current_path() / "game-stderr.txt") {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            std::string entry(*e);
            std::string name = entry.substr(0, entry.find('='));
            bool drop = false;
            for (const std::string& u : unset) drop = drop || name == u;
            for (const std::string& s : set) drop = drop || name == s.substr(0, s.find('='));
            if (!drop) env.push_back(entry);
        }
        env.insert(env.end(), set.begin(), set.end());
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);

        pid_ = fork();
        if (pid_ == 0) {
            int fd = open(stderrPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) dup2(fd, STDERR_FILENO);
            // A test runner may ignore these; the game must get them as a player's shell sends them.
            signal(SIGINT, SIG_DFL);
            signal(SIGTERM, SIG_DFL);
            char* argv[] = {const_cast<char*>(QM_GAME_BINARY), nullptr};
            execve(QM_GAME_BINARY, argv, envp.data());
            _exit(127);
        }
    }

    ~GameProcess() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
        }
    }

    bool started() const { return pid_ > 0; }

    bool running() {
        if (reaped_) return false;
        if (waitpid(pid_, &status_, WNOHANG) == pid_) reaped_ = true;
        return !reaped_;
    }

    void sendSignal(int sig) { kill(pid_, sig); }

    // Waits up to `limit` for the game to end; true when it did.
    bool waitForEnd(std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (running()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    // The exit code, or -1 when the game did not exit normally (killed by a signal).
    int exitCode() const { return reaped_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
    std::string describe() const {
        if (!reaped_) return "still running";
        if (WIFSIGNALED(status_)) return "killed by signal " + std::to_string(WTERMSIG(status_));
        return "exit code " + std::to_string(WEXITSTATUS(status_));
    }
    std::string stderrText() const { return readFile(stderrPath_); }

private:
    std::string stderrPath_;
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

const std::vector<std::string> DUMMY_DRIVERS = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
// Without these no real message box can open, which nobody would close.
const std::vector<std::string> NO_DISPLAY = {"DISPLAY", "WAYLAND_DISPLAY"};

}  // namespace

class GameBinary : public testing::TestWithParam<int> {};

TEST_P(GameBinary, RunsItsFramesAndEndsWithZeroOnASignal) {
    TempDir folder;
    standin::writeAll();
    GameProcess game(NO_DISPLAY, DUMMY_DRIVERS);
    ASSERT_TRUE(game.started());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(game.running()) << "the game ended by itself: " << game.describe() << "\n" << game.stderrText();
    game.sendSignal(GetParam());
    ASSERT_TRUE(game.waitForEnd(std::chrono::seconds(10))) << "no end after the signal";
    EXPECT_EQ(game.exitCode(), 0) << game.describe() << "\n" << game.stderrText();
    EXPECT_EQ(game.stderrText().find("Can't Load"), std::string::npos) << game.stderrText();
}

INSTANTIATE_TEST_SUITE_P(Signals, GameBinary, testing::Values(SIGTERM, SIGINT),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == SIGTERM ? std::string("SIGTERM") : std::string("SIGINT");
                         });

// QM_TRACE_FIRST_PRESENT: one stamped line per stage of the start-up, in the
// order the game reaches them (every image in load order, then the audio),
// then the first-frame line that scripts/measure.sh reads; nothing after it.
TEST(GameBinaryTrace, StagesInLoadOrderThenTheFirstFrame) {
    TempDir folder;
    standin::writeAll();
    std::vector<std::string> set = DUMMY_DRIVERS;
    set.push_back("QM_TRACE_FIRST_PRESENT=1");
    GameProcess game(NO_DISPLAY, set);
    ASSERT_TRUE(game.started());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    game.sendSignal(SIGTERM);
    ASSERT_TRUE(game.waitForEnd(std::chrono::seconds(10)));

    std::vector<std::string> expected = {"main", "SDL video", "window", "icon", "keyboard", "window surface"};
    for (const auto& image : standin::images()) expected.push_back(std::string("image ") + image.path);
    for (const char* stage : {"audio device", "music Sound/BkGnd.mus", "effect Sound/Button.aud",
                              "effect Sound/Explode.aud", "effect Sound/Success.aud", "first frame presented"})
        expected.push_back(stage);
    std::vector<std::string> stages;
    long long previous = 0;
    std::istringstream lines(game.stderrText());
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.rfind(" at ");
        const std::string prefix = "quillmara: ";
        if (line.rfind(prefix, 0) != 0 || at == std::string::npos || line.size() < 3 ||
            line.compare(line.size() - 3, 3, " ns") != 0)
            continue;
        std::string stage = line.substr(prefix.size(), at - prefix.size());
        if (stage.rfind("start-up: ", 0) == 0) stage = stage.substr(10);
        const long long stamp = std::stoll(line.substr(at + 4));
        EXPECT_GE(stamp, previous) << stage << ": the clock went back";
        previous = stamp;
        stages.push_back(stage);
    }
    EXPECT_EQ(stages, expected) << game.stderrText();
}

TEST(GameBinaryFatal, MissingImageEndsWithItsMessageAnd255) {
    TempDir folder;
    standin::writeAll();
    const std::string missing = standin::images().back().path;  // the last one loaded: all others succeed
    std::filesystem::remove(missing);
    GameProcess game(NO_DISPLAY, DUMMY_DRIVERS);
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.waitForEnd(std::chrono::seconds(20))) << "the game kept running without " << missing;
    EXPECT_EQ(game.exitCode(), 255) << game.describe();
    EXPECT_NE(game.stderrText().find("Can't Load " + missing + "! Quillmara is Exiting!!"), std::string::npos)
        << "standard error was:\n"
        << game.stderrText();
}

// No display at all, or one that cannot be reached: SDL would fall back to
// a driver that shows nothing. The game refuses it and says so in one line,
// its own, with nothing of the libraries it tried before it.
TEST(GameBinaryFatal, NoUsableDisplayEndsWithOneLineAnd255) {
    for (const char* display : {"", ":987"}) {
        TempDir folder;
        standin::writeAll();
        std::vector<std::string> set = {"SDL_AUDIODRIVER=dummy"};
        if (*display != '\0') set.push_back(std::string("DISPLAY=") + display);
        GameProcess game({"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "SDL_VIDEODRIVER", "XDG_RUNTIME_DIR"}, set);
        ASSERT_TRUE(game.started());
        ASSERT_TRUE(game.waitForEnd(std::chrono::seconds(20))) << "the game runs without a display";
        EXPECT_EQ(game.exitCode(), 255) << game.describe();
        const std::string text = game.stderrText();
        EXPECT_EQ(text.rfind("quillmara: cannot open the display: ", 0), 0u) << "DISPLAY=" << display << ":\n" << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "more than one line, DISPLAY=" << display << ":\n" << text;
    }
}
