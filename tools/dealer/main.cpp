// quillmara-deal: gives every new game a new level, for the launcher's
// --series and --endless.
//
//   quillmara-deal PID PLAY_FOLDER --series DATA_FOLDER [NAME]
//   quillmara-deal PID PLAY_FOLDER --endless PIECES
//
// The game reads Tex/Level.txt once at every new game and knows nothing
// else, so the dealer works on that link alone. Each level it deals is a
// file of the play folder of its own (series/NAME.txt, a copy of the
// installed level, or endless/SEED-PIECES.txt), never a shared file: any
// reader of a watched file wakes the watch. It links Tex/Level.txt to the
// level, watches the level with inotify, and once the game has read it
// (IN_CLOSE_NOWRITE) writes the next one, watches that, and renames a new
// link over Tex/Level.txt, so the game never finds the link missing.
//
// The launcher runs the dealer with its own PID before it execs the game
// (which keeps that PID). The dealer opens a pidfd on it, deals the first
// level and forks; the parent exits 0 and the child deals until the game
// ends. The dealer is therefore no child of the game, which reaps none.
//
// --series plays DATA_FOLDER/levels.order from NAME on, or from the level
// after the one the last series played (kept in series/last), easiest
// first after the hardest. --endless makes each level from a random seed;
// endless/ keeps its KEEP_ENDLESS newest files.
//
// Exit codes: 0 dealing (the parent) or the game ended (the child); 2 on a
// wrong command line or when the first level cannot be dealt.
#include <poll.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/solver/generator.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PROGRAM = "quillmara-deal";
constexpr size_t KEEP_ENDLESS = 100;

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, message.c_str());
    std::exit(2);
}

bool parseNumber(const char* text, long min, long max, long* value) {
    const char* end = text + std::strlen(text);
    auto [stop, ec] = std::from_chars(text, end, *value);
    return ec == std::errc() && stop == end && end != text && *value >= min && *value <= max;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Written beside its place under a hidden name and renamed over it: a reader
// finds the old file or the new one, never half of one.
void writeFile(const fs::path& path, const std::string& text) {
    const fs::path temporary = path.parent_path() / ("." + path.filename().string() + ".new");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) die("cannot write " + temporary.string());
    }
    std::error_code failure;
    fs::rename(temporary, path, failure);
    if (failure) die("cannot write " + path.string() + ": " + failure.message());
}

fs::path makeFolder(const fs::path& play, const char* name) {
    const fs::path path = play / name;
    std::error_code failure;
    fs::create_directories(path, failure);
    if (failure) die("cannot make the folder " + path.string() + ": " + failure.message());
    return path;
}

// Tex/Level.txt and the watch on the level it leads to.
class LevelLink {
public:
    LevelLink(const fs::path& play, int inotify) : play_(play), inotify_(inotify) {}

    // Points the link at `level` once it is watched.
    void deal(const fs::path& level) {
        const int watch = inotify_add_watch(inotify_, level.c_str(), IN_CLOSE_NOWRITE);
        if (watch < 0) die("cannot watch " + level.string() + ": " + std::strerror(errno));
        if (watch_ >= 0 && watch_ != watch) inotify_rm_watch(inotify_, watch_);
        watch_ = watch;
        const fs::path link = play_ / "Tex" / "Level.txt";
        const fs::path temporary = play_ / "Tex" / ".Level.txt.new";
        std::error_code failure;
        fs::remove(temporary, failure);
        fs::create_symlink(level, temporary, failure);
        if (!failure) fs::rename(temporary, link, failure);
        if (failure) die("cannot point " + link.string() + " at " + level.string() + ": " + failure.message());
    }

    // True when the game read the level dealt last.
    bool levelRead() {
        alignas(inotify_event) char buffer[4096];
        const ssize_t length = read(inotify_, buffer, sizeof buffer);
        bool read = false;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            read = read || (event->wd == watch_ && (event->mask & IN_CLOSE_NOWRITE) != 0);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
        return read;
    }

private:
    const fs::path play_;
    const int inotify_;
    int watch_ = -1;
};

// The set in its order, a copy of each level in series/.
class Series {
public:
    Series(const fs::path& play, const fs::path& data, const char* name) : data_(data) {
        std::istringstream order(readFile(data / "levels.order"));
        for (std::string line; std::getline(order, line);) {
            const std::string level = line.substr(0, line.find('\t'));
            if (!level.empty()) names_.push_back(level);
        }
        if (names_.empty()) die("no levels listed in " + (data / "levels.order").string());
        folder_ = makeFolder(play, "series");
        if (name != nullptr) {
            next_ = indexOf(name);
            if (next_ == names_.size()) die(std::string("no level named '") + name + "' in the set");
        } else {
            std::string last = readFile(folder_ / "last");
            last = last.substr(0, last.find('\n'));
            const size_t played = indexOf(last);
            next_ = played == names_.size() ? 0 : (played + 1) % names_.size();
        }
    }

    // The game read the level dealt last: the next follows it.
    void played() {
        writeFile(folder_ / "last", names_[current_] + "\n");
        next_ = (current_ + 1) % names_.size();
    }

    // Writes the next level's file.
    fs::path nextLevel() {
        current_ = next_;
        const std::string& name = names_[current_];
        const std::string text = readFile(data_ / "levels" / (name + ".txt"));
        if (text.empty()) die("cannot read the level " + (data_ / "levels" / (name + ".txt")).string());
        const fs::path level = folder_ / (name + ".txt");
        writeFile(level, text);
        return level;
    }

private:
    size_t indexOf(const std::string& name) const {
        return static_cast<size_t>(std::find(names_.begin(), names_.end(), name) - names_.begin());
    }

    const fs::path data_;
    fs::path folder_;
    std::vector<std::string> names_;
    size_t next_ = 0, current_ = 0;
};

// A generated level from a new random seed each time.
class Endless {
public:
    Endless(const fs::path& play, int pieces) : pieces_(pieces), folder_(makeFolder(play, "endless")) {}

    void played() {}

    fs::path nextLevel() {
        const uint32_t seed = random_();
        const fs::path level = folder_ / (std::to_string(seed) + "-" + std::to_string(pieces_) + ".txt");
        writeFile(level, levelText(generateLevel(seed, pieces_)));
        prune(level);
        return level;
    }

private:
    // Only the KEEP_ENDLESS newest levels stay; the one just dealt always does.
    void prune(const fs::path& dealt) {
        std::vector<std::pair<fs::file_time_type, fs::path>> levels;
        std::error_code failure;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_, failure)) {
            const std::string name = entry.path().filename().string();
            if (name[0] == '.' || entry.path().extension() != ".txt" || !entry.is_regular_file(failure)) continue;
            if (entry.path() != dealt) levels.emplace_back(entry.last_write_time(failure), entry.path());
        }
        if (levels.size() < KEEP_ENDLESS) return;
        std::sort(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a > b; });
        for (size_t i = KEEP_ENDLESS - 1; i < levels.size(); ++i) fs::remove(levels[i].second, failure);
    }

    const int pieces_;
    const fs::path folder_;
    std::random_device random_;
};

int openPidfd(long pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

void usage() {
    std::fprintf(stderr,
                 "usage: %s PID PLAY_FOLDER --series DATA_FOLDER [NAME]\n"
                 "       %s PID PLAY_FOLDER --endless PIECES\n"
                 "Deals a new level into PLAY_FOLDER/Tex/Level.txt whenever the game of PID has read it.\n",
                 PROGRAM, PROGRAM);
    std::exit(2);
}

// Deals the first level, leaves the caller, and deals a new level each time
// the game has read the last one, until the game ends. `Source` gives the
// levels: nextLevel() writes the next one's file, played() hears that the
// game read it.
template <typename Source>
int dealUntilTheGameEnds(Source& source, LevelLink& link, int game, int inotify) {
    link.deal(source.nextLevel());

    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) die(std::string("cannot fork: ") + std::strerror(errno));
    if (child > 0) return 0;

    // Standard input and output may be a pipe that its reader waits to see
    // closed; standard error stays for a failure to report. The caller's
    // folder is not kept busy.
    if (std::freopen("/dev/null", "r", stdin) == nullptr || std::freopen("/dev/null", "w", stdout) == nullptr ||
        chdir("/") != 0) {
        return 2;
    }
    pollfd watched[2] = {{game, POLLIN, 0}, {inotify, POLLIN, 0}};
    for (;;) {
        if (poll(watched, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return 2;
        }
        if (watched[0].revents != 0) return 0;  // the game ended
        if (watched[1].revents != 0 && link.levelRead()) {
            source.played();
            link.deal(source.nextLevel());
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) usage();
    long pid = 0, pieces = 0;
    if (!parseNumber(argv[1], 1, INT32_MAX, &pid)) usage();
    const std::string mode = argv[3];
    const bool endless = mode == "--endless";
    if (endless ? argc != 5 || !parseNumber(argv[4], GENERATED_PIECES_MIN, GENERATED_PIECES_MAX, &pieces)
                : mode != "--series") {
        usage();
    }

    const int game = openPidfd(pid);
    if (game < 0) die("cannot follow the process " + std::string(argv[1]) + ": " + std::strerror(errno));
    const int inotify = inotify_init1(IN_CLOEXEC);
    if (inotify < 0) die(std::string("cannot watch files: ") + std::strerror(errno));

    const fs::path play = argv[2];
    LevelLink link(play, inotify);
    if (endless) {
        Endless source(play, static_cast<int>(pieces));
        return dealUntilTheGameEnds(source, link, game, inotify);
    }
    Series source(play, argv[4], argc == 6 ? argv[5] : nullptr);
    return dealUntilTheGameEnds(source, link, game, inotify);
}
