#include "engine/deck/TrackAnalysis.h"

#include <chrono>
#include <thread>

#include "core/SharedValue.h"
#include "engine/deck/Deck.h"
#include "engine/deck/TrackInfoStore.h"

namespace {

// The analysis deck never plays: its output only has to exist.
class SilentOutput : public SoundOutput {
  public:
    void write(const int16_t*, int) override {}
    void poll() override {}
    int pendingSamples() override { return 0; }
    void fillSilence() override {}
    void setVolume(int) override {}
    void setCueVolume(int) override {}
    const char* start() override { return nullptr; }
    void flush() override {}
};

}  // namespace

TrackAnalysis analyseTrack(const std::string& path, int32_t optimizedDetection,
                           const Deck::DecoderFactory& makeDecoder, const std::atomic<bool>* stop) {
    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    TrackInfoStore scratch({}, optimizedDetection, 0);  // never loaded nor saved: a fresh record
    EngineState engine;
    engine.store = &scratch;
    engine.optimizedDetection = optimizedDetection;
    Deck deck(std::make_unique<SilentOutput>(), 0, engine, makeDecoder);

    TrackAnalysis result;
    deck.requestLoad(path);
    while (!deck.load()) {
        if (stopped()) {
            result.stopped = true;
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The ring fills, the play position moves on a frame at a time, until it reaches the silence
    // after the end of the stream; the deck then stops there and fills its ring once more.
    while (engine.deckStatus[0] == kDeckNormal) {
        if (stopped()) {
            result.stopped = true;
            return result;
        }
        if (deck.decodeStep() != 0) {
            continue;
        }
        if (deck.position() == -1.0f) {
            break;
        }
        deck.followPlayPosition(deck.aheadCount() - Deck::kFrameSize);
    }

    result.status = engine.deckStatus[0];
    result.record = snapshotRecord(deck.record());
    result.durationSeconds = deck.durationSeconds();
    return result;
}
