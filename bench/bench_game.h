// A whole game on the headless backend, loaded from the generated art and
// sound in the run folder, for benchmarks that compose real frames.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "app/game_app.h"

namespace bench {

// Loads the game from `runDir` (the build's run folder). The game composes
// and finishes frames as usual, but nothing is presented: the presenting
// handle is set aside, so a frame step costs exactly its composition.
class BenchGame {
public:
    explicit BenchGame(const std::string& runDir);
    ~BenchGame();
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    // False, with the reason, when the run folder cannot be loaded.
    bool ready() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // ready(), and when it is not, `state` is skipped with the reason.
    bool readyFor(benchmark::State& state) const {
        if (!ready()) state.SkipWithError(error_.c_str());
        return ready();
    }

    // Presenting on or off (off by default); on, frames go to the headless
    // backend's record as in the tests.
    void presenting(bool on);

    GameApp app;

private:
    std::string error_;
    std::string previousDir_;
    platform::PrimarySurface* primary_ = nullptr;
};

// Bytes that the fills and copies of the last finished frame write: the
// areas of its drawing acts, two bytes a pixel.
double bytesWrittenByLastFrame(const GameApp& app);

}  // namespace bench
