// How fast a five-minute, 128 kbit/s stereo track is analysed, in-process and as the
// spinora-analyze program a user runs, next to aubio's beat tracker on the same file (aubiotempo
// became aubiotrack in aubio 0.4; "aubio tempo" is its BPM command).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "Mp3Fixtures.h"
#include "engine/deck/TrackAnalysis.h"
#include "platform/Mpg123Decoder.h"

namespace {

constexpr double kTrackSeconds = 300.0;

const std::string& trackPath() {
    static TempDir dir;
    static const std::string path =
        dir.write("five-minutes.mp3", encodeMp3(drums(124, kTrackSeconds), {.kbps = 128}));
    return path;
}

void runQuietly(const std::string& command) {
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
    }
}

void reportSpeed(benchmark::State& state) {
    state.counters["x_realtime"] = benchmark::Counter(
        kTrackSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void analyseInProcess(benchmark::State& state) {
    const std::string& path = trackPath();
    for (auto _ : state) {
        const TrackAnalysis a = analyseTrack(path, 1, makeMpg123Decoder);
        benchmark::DoNotOptimize(a.record.bpm);
    }
    reportSpeed(state);
}

void spinoraAnalyzeProgram(benchmark::State& state) {
    const std::string command = std::string(SPINORA_ANALYZE_PATH) + " " + trackPath();
    for (auto _ : state) {
        runQuietly(command);
    }
    reportSpeed(state);
}

void runAubio(benchmark::State& state, const std::string& program, const std::string& command) {
    if (std::system(("command -v " + program + " > /dev/null").c_str()) != 0) {
        state.SkipWithError("aubio is not installed (make bench installs aubio-tools)");
        return;
    }
    for (auto _ : state) {
        runQuietly(command + " " + trackPath());
    }
    reportSpeed(state);
}

void aubiotrack(benchmark::State& state) {
    runAubio(state, "aubiotrack", "aubiotrack -i");
}

void aubioTempo(benchmark::State& state) {
    runAubio(state, "aubio", "aubio tempo");
}

// Keeps each benchmark's mean time, to print the ratio at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0) {
                seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
    }
    std::map<std::string, double> seconds;
};

}  // namespace

BENCHMARK(analyseInProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(spinoraAnalyzeProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(aubiotrack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(aubioTempo)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    trackPath();  // encode before timing anything
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ours = reporter.seconds.find("spinoraAnalyzeProgram");
    if (ours != reporter.seconds.end()) {
        std::printf("\nspinora-analyze: %.0f times real time\n", kTrackSeconds / ours->second);
        for (const char* other : {"aubiotrack", "aubioTempo"}) {
            if (const auto theirs = reporter.seconds.find(other);
                theirs != reporter.seconds.end()) {
                std::printf("%.1f times as fast as %s\n", theirs->second / ours->second, other);
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
