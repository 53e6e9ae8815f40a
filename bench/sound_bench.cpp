// How soon a request is heard, and what the audio thread costs while both decks play.
//
// Latency: the real audio thread serves two decks on a card that takes 256 frames every 5.8 ms,
// as SDL's callback would; the card watches what it plays for the change a request makes (a
// scripted track tells every sample's place) and reports the time from the request to the first
// changed sample.
//
// CPU: the whole sound system on SDL's dummy driver with two real tracks playing, for
// SPINORA_BENCH_SECONDS (60 by default); the audio thread's own CPU time over that time.
#include <benchmark/benchmark.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "FakeDecoder.h"
#include "Mp3Fixtures.h"
#include "engine/deck/DeckEvents.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SdlAudioBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 256;

enum class Watch { Nothing, Sound, Frame, Skip };

// A card on its own thread at the pace of real time, watching for the change it is told of.
class PacedCard : public PlaybackStream {
  public:
    explicit PacedCard(MixSource& source) : source_(source), thread_([this] { run(); }) {}
    ~PacedCard() override {
        running_ = false;
        thread_.join();
    }
    int blockFrames() const override { return kBlock; }
    void setPaused(bool paused) override { paused_ = paused; }

    // Starts watching (the left channel only: the card has deck 0 alone on it).
    void watch(Watch what, int frame = 0) {
        frame_ = frame;
        heardAt_ = {};
        watching_ = what;
    }
    bool heard() const { return watching_ == Watch::Nothing; }
    Clock::time_point heardAt() const { return heardAt_; }

  private:
    void run() {
        std::vector<int16_t> block(2 * kBlock);
        auto next = Clock::now();
        while (running_) {
            if (!paused_) {
                source_.mix(block.data(), kBlock);
                inspect(block, next);
            }
            next += std::chrono::nanoseconds(1'000'000'000LL * kBlock / 44100);
            std::this_thread::sleep_until(next);
        }
    }

    void inspect(const std::vector<int16_t>& block, Clock::time_point start) {
        const Watch what = watching_;
        for (int i = 0; i < kBlock && what != Watch::Nothing; ++i) {
            const int16_t frame = block[2 * i];
            const int16_t index = block[2 * i + 1];
            bool changed = false;
            switch (what) {
                case Watch::Sound:
                    changed = index != 0;
                    break;
                case Watch::Frame:
                    changed = frame == frame_;
                    break;
                case Watch::Skip:  // a step other than the next sample of the scripted track
                    changed = !(index == lastIndex_ + 1 || (index == 0 && lastIndex_ == 1151)) &&
                              lastIndex_ >= 0;
                    break;
                case Watch::Nothing:
                    break;
            }
            lastIndex_ = index;
            if (changed) {
                heardAt_ = start + std::chrono::nanoseconds(1'000'000'000LL * i / 44100);
                watching_ = Watch::Nothing;
                break;
            }
        }
        lastIndex_ = block[2 * (kBlock - 1) + 1];
    }

    MixSource& source_;
    std::atomic<bool> running_{true};
    std::atomic<bool> paused_{false};
    std::atomic<Watch> watching_{Watch::Nothing};
    std::atomic<int> frame_{0};
    Clock::time_point heardAt_{};
    int lastIndex_ = -1;
    std::thread thread_;
};

class PacedBackend : public AudioBackend {
  public:
    std::unique_ptr<PlaybackStream> open(const std::string&, MixSource& source,
                                         DeviceError& error) override {
        error = DeviceError::None;
        auto card = std::make_unique<PacedCard>(source);
        card_ = card.get();
        return card;
    }
    std::string deviceName(int) override { return {}; }
    PacedCard* card_ = nullptr;
};

void waitUntil(const PacedCard& card, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    while (!card.heard() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

// One request kind: arg 0 play, 1 seek, 2 pitch, 3 nudge.
void requestHeard(benchmark::State& state) {
    TrackInfoStore store({}, 1, 0);
    EngineState engine;
    engine.store = &store;
    PacedBackend backend;
    SoundSystem sound(backend, engine, [] {
        return std::make_unique<FakeDecoder>(FakeTrack{.frames = 20000, .lengthSeconds = 522});
    });
    sound.openSound({});
    Deck& deck = *sound.deck(0);
    PacedCard& card = *backend.card_;
    deck.requestLoad("/bench/scripted.mp3");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    double worst = 0.0;
    int seekFrame = 100;
    for (auto _ : state) {
        const int kind = static_cast<int>(state.range(0));
        if (kind == 0) {
            deck.requestPause();
        } else {
            deck.requestPlay();
            deck.requestPitch(4096);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        // A random moment within a block of the card.
        std::this_thread::sleep_for(std::chrono::microseconds(std::rand() % 5800));
        const auto requested = Clock::now();
        switch (kind) {
            case 0:
                card.watch(Watch::Sound);
                deck.requestPlay();
                break;
            case 1:
                seekFrame = (seekFrame + 977) % 19000;
                card.watch(Watch::Frame, seekFrame);
                deck.requestSeek(static_cast<float>(seekFrame) / 20000);
                break;
            case 2:
                card.watch(Watch::Skip);
                deck.requestPitch(4506);
                break;
            default:
                card.watch(Watch::Skip);
                deck.requestMove(441);
                break;
        }
        waitUntil(card, std::chrono::seconds(1));
        const double seconds = std::chrono::duration<double>(card.heardAt() - requested).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000.0;
    sound.closeSound();
}

std::string encodedTrack(const char* name, double bpm, double seconds) {
    static TempDir dir;
    return dir.write(name, encodeMp3(drums(bpm, seconds), {.kbps = 128}));
}

struct Restarts : DeckEvents {
    void mixInto(int) override {}
    void trackEnded(int deck) override { ended[deck] = true; }
    std::atomic<bool> ended[2] = {false, false};
};

double threadSeconds(pthread_t thread) {
    clockid_t clock;
    pthread_getcpuclockid(thread, &clock);
    timespec time{};
    clock_gettime(clock, &time);
    return static_cast<double>(time.tv_sec) + time.tv_nsec * 1e-9;
}

void audioThreadLoad(benchmark::State& state) {
    const char* configured = std::getenv("SPINORA_BENCH_SECONDS");
    const int seconds = configured != nullptr ? std::atoi(configured) : 60;
    const std::string tracks[2] = {encodedTrack("a.mp3", 124, 40.0),
                                   encodedTrack("b.mp3", 128, 40.0)};
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (auto _ : state) {
        TrackInfoStore store({}, 1, 0);
        EngineState engine;
        Restarts events;
        engine.store = &store;
        engine.events = &events;
        SdlAudioBackend backend;
        SoundSystem sound(backend, engine, makeMpg123Decoder);
        if (const char* error = sound.openSound({})) {
            state.SkipWithError(error);
            return;
        }
        for (int d = 0; d < 2; ++d) {
            sound.deck(d)->requestLoad(tracks[d]);
        }
        // A play asked before the track is in is ignored, as a user's would be.
        for (int d = 0; d < 2; ++d) {
            const auto loadedBy = Clock::now() + std::chrono::seconds(5);
            while (!sound.deck(d)->isPlayable() && Clock::now() < loadedBy) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            sound.deck(d)->requestPlay();
        }
        const pthread_t thread = sound.audioThread()->nativeHandle();
        const double cpuBefore = threadSeconds(thread);
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (int d = 0; d < 2; ++d) {
                if (events.ended[d].exchange(false)) {
                    sound.deck(d)->requestSeek(0.0f);  // keep both playing
                }
            }
        }
        const double cpu = threadSeconds(thread) - cpuBefore;
        sound.closeSound();
        state.SetIterationTime(cpu);
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
    }
}

}  // namespace

BENCHMARK(requestHeard)
    ->ArgName("play0_seek1_pitch2_nudge3")
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(audioThreadLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
