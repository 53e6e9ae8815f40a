// How fast a five-minute, 128 kbit/s stereo track is analysed, in-process and as the
// spinora-analyze program a user runs, next to aubio's beat tracker on the same file (aubiotempo
// became aubiotrack in aubio 0.4; "aubio tempo" is its BPM command); and a folder of such tracks,
// analysed by spinora-analyze on every core, next to aubiotrack run on them file by file. Each
// figure is printed as a ratio to its target; fails when one misses it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Mp3Fixtures.h"
#include "engine/deck/TrackAnalysis.h"
#include "platform/Mpg123Decoder.h"

namespace {

constexpr double kTrackSeconds = 300.0;
constexpr int kFolderTracks = 8;
// Targets, as ratios: to real time for one file on one core, to aubiotrack for one file, and to
// aubiotrack file by file for a folder.
constexpr double kRealTimeTarget = 500.0;
constexpr double kFileTarget = 2.0;
constexpr double kFolderTarget = 3.0;

const TempDir& tracksDir() {
    static TempDir dir;
    return dir;
}

// The folder's tracks first, then the single one, all the same five minutes.
const std::vector<std::string>& trackPaths() {
    static const std::vector<std::string> paths = [] {
        const std::vector<uint8_t> mp3 = encodeMp3(drums(124, kTrackSeconds), {.kbps = 128});
        std::vector<std::string> written;
        for (int i = 0; i < kFolderTracks; ++i) {
            written.push_back(tracksDir().write("folder/track" + std::to_string(i) + ".mp3", mp3));
        }
        written.push_back(tracksDir().write("five-minutes.mp3", mp3));
        return written;
    }();
    return paths;
}

const std::string& trackPath() {
    return trackPaths().back();
}

std::string folderPath() {
    return (tracksDir().path() / "folder").string();
}

void runQuietly(const std::string& command) {
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
    }
}

void reportSpeed(benchmark::State& state, int tracks = 1) {
    state.counters["x_realtime"] =
        benchmark::Counter(kTrackSeconds * tracks * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

bool aubioInstalled(benchmark::State& state, const std::string& program) {
    if (std::system(("command -v " + program + " > /dev/null").c_str()) == 0) {
        return true;
    }
    state.SkipWithError("aubio is not installed (make bench installs aubio-tools)");
    return false;
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
    if (!aubioInstalled(state, program)) {
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

// The folder with the default number of jobs: one per core.
void spinoraAnalyzeFolder(benchmark::State& state) {
    const std::string command = std::string(SPINORA_ANALYZE_PATH) + " " + folderPath();
    for (auto _ : state) {
        runQuietly(command);
    }
    reportSpeed(state, kFolderTracks);
}

void aubiotrackFileByFile(benchmark::State& state) {
    if (!aubioInstalled(state, "aubiotrack")) {
        return;
    }
    const std::vector<std::string>& paths = trackPaths();
    for (auto _ : state) {
        for (int i = 0; i < kFolderTracks; ++i) {
            runQuietly("aubiotrack -i " + paths[static_cast<std::size_t>(i)]);
        }
    }
    reportSpeed(state, kFolderTracks);
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
BENCHMARK(spinoraAnalyzeFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(aubiotrackFileByFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    trackPaths();  // encode before timing anything
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // Seconds of a run; 0 when it did not run (aubio absent, say), which misses every target.
    const auto seconds = [&](const char* name) {
        const auto found = reporter.seconds.find(name);
        return found != reporter.seconds.end() ? found->second : 0.0;
    };
    bool met = true;
    const auto report = [&](const std::string& what, double figure, double target) {
        std::printf("%s: %.1f (%.2f of the %.0f target)\n", what.c_str(), figure, figure / target,
                    target);
        met = met && figure >= target;
    };
    const double file = seconds("spinoraAnalyzeProgram");
    const double folder = seconds("spinoraAnalyzeFolder");
    std::printf("\n");
    report("spinora-analyze, one file: times real time", file > 0 ? kTrackSeconds / file : 0,
           kRealTimeTarget);
    report("one file: times as fast as aubiotrack", file > 0 ? seconds("aubiotrack") / file : 0,
           kFileTarget);
    report("a folder of " + std::to_string(kFolderTracks) +
               " on every core: times as fast as aubiotrack file by file",
           folder > 0 ? seconds("aubiotrackFileByFile") / folder : 0, kFolderTarget);
    if (file > 0 && seconds("aubioTempo") > 0) {
        std::printf("one file: %.1f times as fast as aubio tempo\n", seconds("aubioTempo") / file);
    }
    return met ? 0 : 1;
}
