// The background analysis beside a live set: both decks play on SDL's dummy driver, served by the
// sound system's own audio thread as in the program, while the analyser learns 100 playlist
// tracks that have no record. Run once at a fair share of the machine (the harder case for the
// decks) and once at the idle priority the program uses. Reports the underruns, the time taken
// and the records stored; fails on an underrun or a track left without a record.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "Mp3Fixtures.h"
#include "engine/deck/BackgroundAnalyser.h"
#include "engine/deck/SoundSystem.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"
#include "platform/SdlAudioBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTracks = 100;

// Returns true when the run passed.
bool run(BackgroundAnalyser::Priority priority, const char* name) {
    TempDir dir;
    // A few tempos, each written under many names: the store knows a track by its name and size.
    std::vector<std::vector<uint8_t>> kinds;
    for (double bpm : {118.0, 124.0, 130.0}) {
        kinds.push_back(encodeMp3(drums(bpm, 30.0), {.kbps = 128}));
    }
    std::vector<std::string> playlist;
    for (int i = 0; i < kTracks; ++i) {
        playlist.push_back(
            dir.write("track" + std::to_string(i) + ".mp3", kinds[i % kinds.size()]));
    }
    const std::string live = dir.write("live.mp3", encodeMp3(drums(126.0, 600.0), {.kbps = 192}));

    TrackInfoStore store(dir.path() / "Spinora.idb", 1, 0);
    EngineState engine;
    engine.store = &store;
    SdlAudioBackend backend;
    SoundSystem sound(backend, engine, makeMpg123Decoder);
    if (const char* error = sound.openSound({})) {
        std::fprintf(stderr, "background analysis: %s\n", error);
        return false;
    }
    for (int d = 0; d < 2; ++d) {
        sound.deck(d)->requestLoad(live);
    }
    const auto loaded = Clock::now() + std::chrono::seconds(10);
    while (!(sound.deck(0)->isPlayable() && sound.deck(1)->isPlayable()) && Clock::now() < loaded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    sound.deck(0)->requestPlay();
    sound.deck(1)->requestSeek(0.5f);
    sound.deck(1)->requestPlay();
    std::this_thread::sleep_for(std::chrono::seconds(1));

    const auto start = Clock::now();
    {
        BackgroundAnalyser analyser(
            store, 1, makeMpg123Decoder, [](const std::string&, const TrackInfoRecord&) {},
            priority);
        for (const std::string& path : playlist) {
            analyser.enqueue(path);
        }
        while (!analyser.idle()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (const std::string line = sound.underrunWarning(Clock::now()); !line.empty()) {
                std::fprintf(stderr, "%s\n", line.c_str());
            }
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const bool played = sound.deck(0)->playing() && sound.deck(1)->playing();
    sound.closeSound();

    int stored = 0;
    for (int i = 0; i < kTracks; ++i) {
        TrackInfoRecord record{};
        const auto size = static_cast<int32_t>(kinds[i % kinds.size()].size());
        if (store.lookup(playlist[i], size, record)) {
            ++stored;
        }
    }
    const std::string underruns = sound.underrunTotals();
    std::printf(
        "%s priority: %d tracks (%d s of audio) analysed in %.1f s beside two playing "
        "decks; %d records stored; underruns: %s\n",
        name, kTracks, kTracks * 30, seconds, stored,
        underruns.empty() ? "none" : underruns.c_str());
    return played && underruns.empty() && stored == kTracks;
}

}  // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const bool fair = run(BackgroundAnalyser::Priority::kNormal, "fair-share");
    const bool idle = run(BackgroundAnalyser::Priority::kIdle, "idle");
    const bool passed = fair && idle;
    std::printf("%s\n", passed ? "PASS" : "FAIL");
    return passed ? 0 : 1;
}
