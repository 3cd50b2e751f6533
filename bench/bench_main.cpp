// Runs the benchmarks, then prints the ratios that the targets are stated
// in: each whole-frame copy against memcpy of the same bytes, and each
// screen's full frame against memcpy of the bytes its fills and copies
// write, all measured in this run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// The console output as usual, and every result's time kept by name.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that saved output stays plain text.
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                seconds[run.benchmark_name()] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

void printRatio(const RatioReporter& reporter, const std::string& what, const std::string& yardstick) {
    const auto a = reporter.seconds.find(what);
    const auto b = reporter.seconds.find(yardstick);
    if (a == reporter.seconds.end() || b == reporter.seconds.end() || b->second <= 0) return;
    std::printf("%-36s %6.2f x %s\n", what.c_str(), a->second / b->second, yardstick.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRatios (CPU time; a target is within 2 x):\n");
    printRatio(reporter, "BM_KeyedFullFrame", "BM_MemcpyFullFrame");
    printRatio(reporter, "BM_OpaqueFullFrame", "BM_MemcpyFullFrame");
    for (const char* screen : {"MainMenuHovered", "Options", "BestTimes", "PlayingSelected", "Won"})
        printRatio(reporter, std::string("BM_Frame/Full/") + screen, std::string("BM_Memcpy/") + screen);
    std::printf("\nStart-up work against reading the same bytes from the page cache:\n");
    printRatio(reporter, "BM_DecodeImage", "BM_ReadImageBytes");
    printRatio(reporter, "BM_DecodeImageThroughSdl", "BM_ReadImageBytes");
    printRatio(reporter, "BM_LoadAssets", "BM_ReadAssetBytes");
    return 0;
}
