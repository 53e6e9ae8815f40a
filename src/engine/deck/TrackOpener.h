#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/TrackInfoRecord.h"
#include "engine/deck/Decoder.h"

class TrackInfoStore;

// A track opened off the audio thread, ready for a deck to take in.
struct OpenedTrack {
    std::unique_ptr<Decoder> decoder;  // at `start` when opened
    bool opened = false;
    TrackInfoRecord record{};  // as the store knows it, or fresh
    int durationSeconds = -1;  // whole seconds
    float start = 0.0f;        // stream position (0..1) where the deck begins
    int cueState = 2;          // what the next cue press does from there
};

// Opens the tracks one deck is asked to load, on loader threads, so that a file that is slow to
// open (a stalled network share, a long file on a slow stick) never holds up the audio thread:
// opening, scanning and the store look-up happen there, and the audio thread only swaps the
// prepared decoder in and hands the old one back to be freed and its record stored.
//
// A loader stuck in the file system is given up by the deck after the timeout and, when a new load
// finds every loader busy, replaced; it owns everything it touches but the store, which it reaches
// only while the opener lives, so nothing waits for it.
class TrackOpener {
  public:
    using DecoderFactory = std::function<std::unique_ptr<Decoder>()>;
    static constexpr int kLoaders = 4;

    // main: the store is where records are looked up and stored; it must outlive the opener.
    TrackOpener(DecoderFactory makeDecoder, TrackInfoStore* store,
                std::chrono::milliseconds timeout);
    // main: ends the loaders, storing the record a finished load handed back; a loader still
    // opening a file is left behind after a moment, not waited for. Nothing may be opened after.
    void close();
    ~TrackOpener() { close(); }
    TrackOpener(const TrackOpener&) = delete;
    TrackOpener& operator=(const TrackOpener&) = delete;

    // main: opens `path` on a loader. `current` is the record of the deck's track now: it is
    // stored first, so that a reload of the same file finds what was learned. With autoMix the
    // track starts at its start of music rather than its cue point. A load not yet taken in is
    // dropped.
    void open(const std::string& path, const TrackInfoRecord& current, bool autoMix);
    // any: a load was asked for and the deck has not taken it in yet.
    bool pending() const;
    // any: the load asked for last is opened and waits for the deck.
    bool ready() const;

    // audio: the track opened for the latest load, or null while it is still opening. The deck
    // must answer with handBack().
    OpenedTrack* takeReady();
    // audio: whether the latest load has been opening for longer than the timeout; it is then
    // given up, and the deck must answer with handBack().
    bool giveUpOverdue();
    // audio: ends a take or a give-up: the deck's old decoder (to be freed) and the last record
    // of its old track (to be stored) go back to the loader.
    void handBack(std::unique_ptr<Decoder> oldDecoder, const TrackInfoRecord& previous);

  private:
    struct Loader;
    static void run(std::shared_ptr<Loader> loader);
    static void prepare(Loader& loader);
    static void retire(Loader& loader);
    Loader* idleLoader();

    DecoderFactory makeDecoder_;
    TrackInfoStore* store_;
    const std::chrono::milliseconds timeout_;
    // Written by the main thread only; the audio thread reads the live ones through `live_`.
    std::array<std::shared_ptr<Loader>, kLoaders> loaders_;
    std::array<std::atomic<Loader*>, kLoaders> live_{};
    std::vector<std::shared_ptr<Loader>> replaced_;  // stuck ones, kept until the end
    std::vector<std::thread> threads_;
    Loader* claimed_ = nullptr;  // audio thread: the load being taken in
};
