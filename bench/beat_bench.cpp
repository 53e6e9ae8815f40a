// The beat detector runs on the audio thread for every decoded frame, and in bursts after a load
// or seek: one feed must stay far below the 26 ms a frame lasts.
#include <benchmark/benchmark.h>

#include <array>

#include "Pcm.h"
#include "engine/beat/BeatDetector.h"

namespace {

void feedOneFrame(benchmark::State& state) {
    const Pcm music = drums(126, 10.0);
    const int frames = music.frames() / 1152;
    std::array<float, 128> frameTable{};
    frameTable.fill(0.5f);
    int decoding = 1;
    BeatDetector detector(frameTable.data(), &decoding, static_cast<int32_t>(state.range(0)));
    int frame = 0;
    for (auto _ : state) {
        detector.feed(music.samples.data() + 2 * 1152 * frame);
        frame = (frame + 1) % frames;
    }
    state.SetLabel(state.range(0) != 0 ? "adaptive kernels" : "kick template");
}

}  // namespace

BENCHMARK(feedOneFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
