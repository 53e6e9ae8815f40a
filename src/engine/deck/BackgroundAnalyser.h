#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "core/TrackInfoRecord.h"
#include "engine/deck/Deck.h"

class TrackInfoStore;

// Analyses the tracks the track info store has no record of yet, one after the other on a thread
// of its own at the lowest priority, and stores what it finds, so that the automatic mix knows a
// track's tempo and start of music before a deck first plays it. It never touches the decks: each
// track is played through a private deck, as spinora-analyze does (analyseTrack).
class BackgroundAnalyser {
  public:
    // analysed(path, stored) runs on the analyser's thread after each record it stored.
    using Analysed = std::function<void(const std::string& path, const TrackInfoRecord& stored)>;

    // How much of the machine the analysis may take: only what nothing else wants (SCHED_IDLE, or
    // the lowest nice value where that is refused), or a fair share.
    enum class Priority { kIdle, kNormal };

    // main: the store must outlive the analyser; makeDecoder gives the decoder of each analysis.
    BackgroundAnalyser(TrackInfoStore& store, int32_t optimizedDetection,
                       Deck::DecoderFactory makeDecoder, Analysed analysed,
                       Priority priority = Priority::kIdle);
    // main: stops at once: an analysis under way is given up after its current MP3 frame.
    ~BackgroundAnalyser();
    BackgroundAnalyser(const BackgroundAnalyser&) = delete;
    BackgroundAnalyser& operator=(const BackgroundAnalyser&) = delete;

    // main: adds a track to the end of the queue, unless it was given before in this run. A track
    // that has a record once its turn comes, or whose file is missing, is passed over.
    void enqueue(const std::string& path);
    // any: nothing queued and no analysis under way.
    bool idle() const;

  private:
    void run(Priority priority);
    // The analyser's thread: analyses the track when the store has no record of it.
    void analyse(const std::string& path);

    TrackInfoStore& store_;
    const int32_t optimizedDetection_;
    Deck::DecoderFactory makeDecoder_;
    Analysed analysed_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;  // guards the queue, `given_` and `busy_`
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    std::set<std::string> given_;
    bool busy_ = false;
    std::thread thread_;
};
