// Effect latency: from the call that plays an effect to its first sample in
// the output, in wall-clock time, on SDL's disk driver running in real time
// (one 1024-frame buffer every 23.2 ms, as a sound card takes them).
//   BM_EffectLatency/Mixed:  until the mixer has put the first sample into
//                            the buffer it hands to the driver (seen by a
//                            post-mix hook in the audio thread);
//   BM_EffectLatency/InFile: until the sample is in the driver's file
//                            (which SDL writes through stdio, 8 KB at a time).
// A sound card then plays that buffer after the one it is playing.
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace {

constexpr int RATE = 44100;

int64_t fileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

// A mono 16-bit WAV of a 20 ms tone.
void writeClick(const std::string& path) {
    std::vector<int16_t> samples(RATE / 50);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(10000 * std::sin(2 * 3.14159265 * 2000 * static_cast<double>(i) / RATE));
    const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    put32(36 + data);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(RATE);
    put32(RATE * 2);
    put16(2);
    put16(16);
    out.write("data", 4);
    put32(data);
    out.write(reinterpret_cast<const char*>(samples.data()), data);
}

// True once a non-zero sample lies at or after byte `from` of the output.
// Set by the post-mix hook: when the first buffer with sound was mixed.
std::atomic<bool> waitingForSound{false};
std::atomic<int64_t> soundMixedAt{0};  // steady_clock nanoseconds

void postMix(void*, Uint8* stream, int bytes) {
    if (!waitingForSound.load()) return;
    const auto* samples = reinterpret_cast<const int16_t*>(stream);
    for (int i = 0; i < bytes / 2; ++i)
        if (samples[i] != 0) {
            soundMixedAt = std::chrono::steady_clock::now().time_since_epoch().count();
            waitingForSound = false;
            return;
        }
}

bool soundAfter(const std::string& path, int64_t from) {
    std::ifstream in(path, std::ios::binary);
    in.seekg(from);
    int16_t sample = 0;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample))
        if (sample != 0) return true;
    return false;
}

void BM_EffectLatency(benchmark::State& state, bool inFile) {
    char folder[] = "/tmp/quillmara-latency-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string output = std::string(folder) + "/out.raw";
    const std::string click = std::string(folder) + "/click.wav";
    writeClick(click);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    unsetenv("SDL_DISKAUDIODELAY");  // real time
    platform::AudioDevice* device = platform::audioOpenDevice();
    platform::AudioSample* sample = platform::audioLoadSample(device, click.c_str());
    platform::AudioPath* path = platform::audioCreatePath(device);
    Mix_SetPostMix(postMix, nullptr);
    if (sample == nullptr || path == nullptr) {
        state.SkipWithError("the disk audio device cannot play");
    } else {
        double worst = 0;
        int phase = 0;
        for (auto _ : state) {
            // The last click has ended; the next request falls at another
            // point of the 23.2 ms buffer cycle each time.
            phase = (phase + 7) % 23;
            std::this_thread::sleep_for(std::chrono::milliseconds(60 + phase));
            const int64_t before = fileSize(output);
            waitingForSound = true;
            const auto start = std::chrono::steady_clock::now();
            platform::audioPlayOnPath(device, path, sample, 1, 1);
            auto heard = [&] { return inFile ? soundAfter(output, before) : !waitingForSound.load(); };
            while (!heard() && std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            const auto end =
                inFile
                    ? std::chrono::steady_clock::now()
                    : std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(soundMixedAt.load()));
            const double seconds =
                waitingForSound.load() && !inFile ? 2.0 : std::chrono::duration<double>(end - start).count();
            if (seconds >= 2) {
                state.SkipWithError("the effect never reached the output");
                break;
            }
            worst = std::max(worst, seconds);
            state.SetIterationTime(seconds);
        }
        state.counters["worst_ms"] = worst * 1000;
    }
    Mix_SetPostMix(nullptr, nullptr);
    waitingForSound = false;
    platform::audioFreePath(path);
    platform::audioFreeSample(sample);
    platform::audioCloseDevice(device);
    unlink(output.c_str());
    unlink(click.c_str());
    rmdir(folder);
}
BENCHMARK_CAPTURE(BM_EffectLatency, Mixed, false)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EffectLatency, InFile, true)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace
