#include "bench/bench_game.h"

#include <unistd.h>

#include <climits>

#include "platform/headless/headless.h"

namespace bench {

BenchGame::BenchGame(const std::string& runDir) {
    headless::reset();
    headless::setFrameRecordLimit(0);
    char here[PATH_MAX];
    if (getcwd(here, sizeof here) != nullptr) previousDir_ = here;
    if (chdir(runDir.c_str()) != 0) {
        error_ = "cannot enter " + runDir;
        return;
    }
    app.window = platform::windowCreate("Tavrin", &error_);
    if (app.window == nullptr) return;
    error_.clear();
    if (app.initKeyboard() < 0 || app.loadAssets() < 0) {
        error_ = "the game cannot be loaded from " + runDir;
        return;
    }
    presenting(false);
}

BenchGame::~BenchGame() {
    presenting(true);
    app.releaseAll();
    app.releaseKeyboard();
    platform::windowDestroy(app.window);
    if (!previousDir_.empty() && chdir(previousDir_.c_str()) != 0) {
        // Nothing sensible is left to do at the end of a benchmark.
    }
}

void BenchGame::presenting(bool on) {
    if (on && app.primarySurface == nullptr) {
        app.primarySurface = primary_;
        primary_ = nullptr;
    } else if (!on && app.primarySurface != nullptr) {
        primary_ = app.primarySurface;
        app.primarySurface = nullptr;
    }
}

double bytesWrittenByLastFrame(const GameApp& app) {
    if (app.backSurface == nullptr) return 0;
    double bytes = 0;
    for (const DrawOp& op : app.backSurface->record.previous)
        bytes += 2.0 * (op.dest.right - op.dest.left) * (op.dest.bottom - op.dest.top);
    return bytes;
}

}  // namespace bench
