// How fast spinora-mix renders a set: four five-minute tracks, already analysed, mixed into
// memory and into a WAV file, in times real time.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "Mp3Fixtures.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/mix/MixRender.h"
#include "engine/sound/PcmSink.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SoundFileWriter.h"

namespace {

constexpr double kTrackSeconds = 300.0;
constexpr int kTracks = 4;

struct Set {
    TempDir dir;
    std::vector<std::string> paths;
    TrackInfoStore store{{}, 1, 0};
};

// Four tempos, each track a tone over drums, analysed as spinora-mix would have stored them.
Set& theSet() {
    static Set* set = [] {
        auto* made = new Set;
        const double bpms[kTracks] = {124, 128, 122, 126};
        for (int i = 0; i < kTracks; ++i) {
            const Pcm pcm = scaled(mixed({drums(bpms[i], kTrackSeconds),
                                          tone(300.0 * (i + 1), kTrackSeconds, 44100, 2, 3000)}),
                                   0.45);
            made->paths.push_back(
                made->dir.write("track" + std::to_string(i) + ".mp3", encodeMp3(pcm)));
            made->store.insertAnalysis(
                analyseTrack(made->paths.back(), 1, makeMpg123Decoder).record);
        }
        return made;
    }();
    return *set;
}

class NullSink : public PcmSink {
  public:
    bool write(const int16_t* frames, int stereoFrames) override {
        benchmark::DoNotOptimize(frames[stereoFrames - 1]);
        return true;
    }
};

void reportSpeed(benchmark::State& state, int64_t frames) {
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
    state.counters["mix_minutes"] = static_cast<double>(frames) / 44100.0 / 60.0;
}

void renderToMemory(benchmark::State& state) {
    Set& set = theSet();
    int64_t frames = 0;
    for (auto _ : state) {
        MixRender render(set.paths, {}, set.store, makeMpg123Decoder);
        NullSink sink;
        if (!render.run(sink).empty()) {
            state.SkipWithError("the render failed");
            return;
        }
        frames += render.framesRendered();
    }
    reportSpeed(state, frames);
}

void renderToWavFile(benchmark::State& state) {
    Set& set = theSet();
    int64_t frames = 0;
    for (auto _ : state) {
        MixRender render(set.paths, {}, set.store, makeMpg123Decoder);
        SoundFileWriter writer(set.dir.path() / "mix.wav");
        if (!render.run(writer).empty() || !writer.finish()) {
            state.SkipWithError("the render failed");
            return;
        }
        frames += render.framesRendered();
    }
    reportSpeed(state, frames);
}

}  // namespace

BENCHMARK(renderToMemory)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(renderToWavFile)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK_MAIN();
