// The engine played for a long time: both decks on SDL's dummy driver, and a seeded random stream
// of requests (play, pause, seek, pitch, nudge, sync, beat skip, loads of good and damaged files,
// automatic mixes) for SPINORA_SOAK_SECONDS (600 by default; seed SPINORA_SOAK_SEED, 0 by default).
// The decks are served by a thread of this program, as the audio thread serves them, so that each
// service step is timed. Reports the underruns, the resident memory at the start and the end, and
// the longest service step with the request last made before it; fails on an underrun, on more
// than 2 MB of growth, or on a step that took more CPU time than one 256-frame block of the card
// lasts. (A step's time from start to end, shown too, also holds any preemption of the thread.)
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Mp3Fixtures.h"
#include "core/Environment.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/mix/AutoMixLogic.h"
#include "engine/mix/DeckActions.h"
#include "engine/mix/DecksPort.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SdlAudioBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kBlockTime = std::chrono::nanoseconds(1'000'000'000LL * 256 / 44100);
constexpr long kAllowedGrowthKb = 2048;

int64_t threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

// The deck actions and the automatic mix on the two decks, with nothing around them to draw.
class Mixer final : public DeckActions::Host, public DecksPort {
  public:
    explicit Mixer(SoundSystem& sound) : sound_(sound) {}

    Deck& deck(int index) override { return *sound_.deck(index); }
    int cueVolume() const override { return 256; }
    void deckSelected(int deck) override { selected_ = deck; }
    void pitchChanged(int, int) override {}
    void pageChosen(int) override {}
    void volumesChanged(int deck0, int deck1) override {
        deck(0).setVolume(deck0);
        deck(1).setVolume(deck1);
    }
    void stopMix() override { mix.stop(); }

    const Deck& mixDeck(int index) const override { return *sound_.deck(index); }
    void play(int index) override { deck(index).requestPlay(); }
    void stop(int index) override { deck(index).requestPause(); }
    void setVolume(int index, int volume) override { deck(index).setVolume(volume); }
    int currentDeck() const override { return selected_; }
    bool shortMix() const override { return false; }
    bool autoBpmOn() const override { return true; }
    bool autoMixOn() const override { return false; }
    bool loadNextFromPlaylist(int) override { return false; }
    bool returnUnplayableRow(int) override { return false; }
    void mixRunning(bool) override {}

    DeckActions actions{*this};
    AutoMixLogic mix{actions, *this};

  private:
    SoundSystem& sound_;
    int selected_ = 0;
};

// Good tracks at a few tempos, and damaged ones: cut short, overwritten in the middle, noise.
std::vector<std::string> makeTracks(const TempDir& dir) {
    std::vector<std::string> paths;
    for (double bpm : {120.0, 126.0, 133.0}) {
        const auto mp3 = encodeMp3(drums(bpm, 40.0), {.kbps = 128});
        paths.push_back(dir.write("good" + std::to_string(paths.size()) + ".mp3", mp3));
        paths.push_back(
            dir.write("cut" + std::to_string(paths.size()) + ".mp3", truncated(mp3, 0.5)));
        paths.push_back(dir.write("hole" + std::to_string(paths.size()) + ".mp3",
                                  damaged(mp3, mp3.size() / 3, 20000, 3)));
    }
    paths.push_back(dir.write("noise.mp3", randomBytes(200000, 5)));
    paths.push_back((dir.path() / "missing.mp3").string());
    return paths;
}

}  // namespace

int main() {
    const std::string secondsText = environmentVariable("SPINORA_SOAK_SECONDS");
    const int seconds = secondsText.empty() ? 600 : std::atoi(secondsText.c_str());
    const auto seed =
        static_cast<unsigned>(std::atoi(environmentVariable("SPINORA_SOAK_SEED").c_str()));
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    TempDir dir;
    const std::vector<std::string> tracks = makeTracks(dir);
    TrackInfoStore store(dir.path() / "Spinora.idb", 1, 0);
    EngineState engine;
    engine.store = &store;
    SdlAudioBackend backend;
    SoundSystem sound(backend, engine, makeMpg123Decoder);
    if (const char* error = sound.openSound({})) {
        std::fprintf(stderr, "soak: %s\n", error);
        return 1;
    }
    // This program serves the decks itself, timing each step.
    sound.audioThread()->stop();
    Deck& deck0 = *sound.deck(0);
    Deck& deck1 = *sound.deck(1);
    std::atomic<bool> serving{true};
    std::atomic<int64_t> longestStep{0};        // nanoseconds of the thread's own CPU time
    std::atomic<int64_t> longestWallStep{0};    // nanoseconds, preemption included
    std::atomic<int> lastRequest{-1};           // the kind of request last made, and the one
    std::atomic<int> requestBeforeLongest{-1};  // made last before the longest step
    std::thread server([&] {
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // as the audio thread asks
        while (serving) {
            const int64_t cpu = threadCpuNanoseconds();
            const auto start = Clock::now();
            deck0.serviceStep();
            deck1.serviceStep();
            longestWallStep = std::max<int64_t>(longestWallStep, (Clock::now() - start).count());
            if (const int64_t took = threadCpuNanoseconds() - cpu; took > longestStep) {
                longestStep = took;
                requestBeforeLongest = lastRequest.load();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    Mixer mixer(sound);
    std::mt19937 random(seed);
    const auto pick = [&random](int count) {
        return std::uniform_int_distribution<int>(0, count - 1)(random);
    };
    deck0.requestLoad(tracks[0]);
    deck1.requestLoad(tracks[3]);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    deck0.requestPlay();
    deck1.requestPlay();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const long startKb = residentKb();
    longestStep = 0;
    longestWallStep = 0;
    requestBeforeLongest = -1;

    const auto end = Clock::now() + std::chrono::seconds(seconds);
    auto nextMixStep = Clock::now();
    int requests = 0;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50 + pick(1500)));
        const int d = pick(2);
        Deck& deck = *sound.deck(d);
        ++requests;
        const int kind = pick(12);
        lastRequest = kind;
        switch (kind) {
            case 0:
                deck.requestPlay();
                break;
            case 1:
                deck.requestPause();
                break;
            case 2:
                deck.requestSeek(static_cast<float>(pick(1000)) / 1000.0f);
                break;
            case 3:
                mixer.actions.setPitch(d,
                                       Deck::kMinPitch + pick(Deck::kMaxPitch - Deck::kMinPitch));
                break;
            case 4:
                deck.requestMove(pick(4000) - 2000);
                break;
            case 5:
                mixer.actions.syncTempo(d);
                break;
            case 6:
                mixer.actions.skipBeat(d);
                break;
            case 7:
                mixer.actions.alignBeat(d);
                break;
            case 8:
                deck.requestLoad(tracks[pick(static_cast<int>(tracks.size()))]);
                break;
            case 9:
                deck.pressCue();
                break;
            case 10:
                mixer.mix.start(d);
                break;
            default:
                deck.requestPlay();
                sound.deck(1 - d)->requestPlay();
                break;
        }
        while (mixer.mix.running() && Clock::now() >= nextMixStep) {
            mixer.mix.step();
            nextMixStep += std::chrono::milliseconds(AutoMixLogic::kStepPeriod);
        }
        if (!mixer.mix.running()) {
            nextMixStep = Clock::now();
        }
        if (const std::string line = sound.underrunWarning(Clock::now()); !line.empty()) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
    }
    const long endKb = residentKb();
    const auto longest = std::chrono::nanoseconds(longestStep.load());
    const auto longestWall = std::chrono::nanoseconds(longestWallStep.load());
    serving = false;
    server.join();
    sound.closeSound();

    const std::string underruns = sound.underrunTotals();
    std::printf("soak: %d s, %d requests (seed %u)\n", seconds, requests, seed);
    std::printf("underruns: %s\n", underruns.empty() ? "none" : underruns.c_str());
    std::printf("resident memory: %ld kB at the start, %ld kB at the end\n", startKb, endKb);
    std::printf(
        "longest service step: %.3f ms of CPU, %.3f ms from start to end (a card block: "
        "%.3f ms)\n",
        longest.count() / 1e6, longestWall.count() / 1e6, kBlockTime.count() / 1e6);
    static constexpr const char* kRequestNames[] = {
        "play",      "pause",          "seek", "pitch", "nudge",         "sync",
        "beat skip", "beat alignment", "load", "cue",   "automatic mix", "play both"};
    const int before = requestBeforeLongest.load();
    std::printf("last request before it: %s\n", before < 0 ? "none" : kRequestNames[before]);
    const bool passed =
        underruns.empty() && endKb - startKb < kAllowedGrowthKb && longest < kBlockTime;
    std::printf("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
