#include "engine/deck/BackgroundAnalyser.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "engine/deck/EngineState.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"

namespace {

// The analysis only uses what the decks, the window and the rest of the system leave over; the
// loader threads of its private deck inherit this.
void lowerPriority() {
    sched_param param{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) != 0) {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    }
}

}  // namespace

BackgroundAnalyser::BackgroundAnalyser(TrackInfoStore& store, int32_t optimizedDetection,
                                       Deck::DecoderFactory makeDecoder, Analysed analysed,
                                       Priority priority)
    : store_(store),
      optimizedDetection_(optimizedDetection),
      makeDecoder_(std::move(makeDecoder)),
      analysed_(std::move(analysed)),
      thread_([this, priority] { run(priority); }) {}

BackgroundAnalyser::~BackgroundAnalyser() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void BackgroundAnalyser::enqueue(const std::string& path) {
    {
        std::lock_guard lock(mutex_);
        if (!given_.insert(path).second) {
            return;
        }
        queue_.push_back(path);
    }
    wake_.notify_one();
}

bool BackgroundAnalyser::idle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !busy_;
}

void BackgroundAnalyser::run(Priority priority) {
    if (priority == Priority::kIdle) {
        lowerPriority();
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        busy_ = false;
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_) {
            return;
        }
        const std::string path = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        analyse(path);
        lock.lock();
    }
}

void BackgroundAnalyser::analyse(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    TrackInfoRecord known;
    if (error || store_.lookup(path, static_cast<int32_t>(static_cast<uint32_t>(size)), known)) {
        return;
    }
    const TrackAnalysis analysis = analyseTrack(path, optimizedDetection_, makeDecoder_, &stop_);
    if (analysis.stopped || analysis.status != kDeckNormal) {
        return;  // a track that cannot be played stays unknown
    }
    analysed_(path, store_.insertAnalysis(analysis.record));
}
