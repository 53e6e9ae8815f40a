#include "engine/deck/TrackOpener.h"

#include <condition_variable>
#include <mutex>

#include "engine/deck/TrackInfoStore.h"

namespace {

// What a loader's load is doing. Main moves Idle to Opening; the loader moves Opening to Ready;
// the audio thread claims Ready (or an overdue Opening) and hands it back as Returned; a newer
// load moves an Opening or Ready one to Superseded. The loader then retires it to Idle.
enum LoadState : int { kIdle, kOpening, kReady, kClaimed, kReturned, kSuperseded };

// How often a loader looks whether the audio thread has handed its load back: the audio thread
// cannot wake anybody.
constexpr auto kHandBackPoll = std::chrono::milliseconds(2);
// How long the opener's end waits for a loader before leaving it behind.
constexpr auto kEndWait = std::chrono::milliseconds(200);

int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool openInput(Decoder& decoder, int& durationSeconds) {
    if (!decoder.open()) {
        return false;
    }
    int result;
    do {
        result = decoder.decode(nullptr);
    } while (result == Decoder::kTryAgain);
    if (result != Decoder::kDecoded) {
        return false;
    }
    durationSeconds = decoder.lengthSeconds();
    return durationSeconds != 0;
}

}  // namespace

struct TrackOpener::Loader {
    std::atomic<int> state{kIdle};
    std::atomic<int64_t> startedAt{0};  // steady clock, nanoseconds

    std::mutex mutex;  // guards the job fields below while Idle, `stop` and `exited`
    std::condition_variable wake;
    bool stop = false;
    bool replaced = false;  // no longer one of the opener's loaders: ends after its load
    bool exited = false;

    // The job, written by main while Idle.
    std::string path;
    TrackInfoRecord current{};
    bool autoMix = false;
    DecoderFactory makeDecoder;

    // Written by the loader before Ready; the audio thread's once claimed.
    OpenedTrack track;
    // Written by the audio thread before Returned.
    std::unique_ptr<Decoder> oldDecoder;
    TrackInfoRecord previous{};

    std::mutex storeMutex;
    TrackInfoStore* store = nullptr;  // null once the opener has ended

    template <class Use>
    void withStore(Use use) {
        std::lock_guard lock(storeMutex);
        if (store != nullptr) {
            use(*store);
        }
    }
};

TrackOpener::TrackOpener(DecoderFactory makeDecoder, TrackInfoStore* store,
                         std::chrono::milliseconds timeout)
    : makeDecoder_(std::move(makeDecoder)), store_(store), timeout_(timeout) {}

void TrackOpener::close() {
    std::vector<std::shared_ptr<Loader>> all = std::move(replaced_);
    replaced_.clear();
    for (int i = 0; i < kLoaders; ++i) {
        if (loaders_[i]) {
            all.push_back(std::move(loaders_[i]));
            loaders_[i].reset();
            live_[i] = nullptr;
        }
    }
    for (const auto& loader : all) {
        std::lock_guard lock(loader->mutex);
        loader->stop = true;
        loader->wake.notify_all();
    }
    const auto deadline = std::chrono::steady_clock::now() + kEndWait;
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::unique_lock lock(all[i]->mutex);
        all[i]->wake.wait_until(lock, deadline, [&] { return all[i]->exited; });
    }
    for (const auto& loader : all) {
        std::lock_guard lock(loader->storeMutex);
        loader->store = nullptr;
    }
    for (std::thread& thread : threads_) {
        // A loader stuck in the file system keeps its own state alive and touches nothing else.
        thread.detach();
    }
    threads_.clear();
}

void TrackOpener::run(std::shared_ptr<Loader> loader) {
    std::unique_lock lock(loader->mutex);
    for (;;) {
        loader->wake.wait(
            lock, [&] { return loader->stop || loader->replaced || loader->state == kOpening; });
        if (loader->stop || loader->replaced) {
            break;
        }
        lock.unlock();
        prepare(*loader);
        int opening = kOpening;
        loader->state.compare_exchange_strong(opening, kReady);
        lock.lock();
        for (;;) {
            int ready = kReady;
            const int state = loader->state;
            if (state == kReturned || state == kSuperseded ||
                (loader->stop && loader->state.compare_exchange_strong(ready, kSuperseded))) {
                break;
            }
            loader->wake.wait_for(lock, kHandBackPoll);
        }
        retire(*loader);
    }
    loader->exited = true;
    loader->wake.notify_all();
}

void TrackOpener::prepare(Loader& loader) {
    loader.withStore([&](TrackInfoStore& store) { store.insert(loader.current); });
    OpenedTrack& track = loader.track;
    track.decoder = loader.makeDecoder();
    track.decoder->newInput(loader.path.c_str());
    track.opened = openInput(*track.decoder, track.durationSeconds);
    if (!track.opened) {
        return;
    }
    const auto sizeKey = static_cast<int32_t>(track.decoder->inputSize());
    track.record = freshRecord(loader.path, sizeKey);
    loader.withStore(
        [&](TrackInfoStore& store) { store.lookup(loader.path, sizeKey, track.record); });

    float start = track.record.cuePosition;
    track.cueState = start != 0.0f ? 1 : 2;
    if (loader.autoMix && start < track.record.startPosition) {
        start = track.record.startPosition;
        track.cueState = 0;
    }
    if (!(start < 0.5f)) {
        start = 0.0f;
    }
    track.start = start;
    track.decoder->seekTo(start);
}

void TrackOpener::retire(Loader& loader) {
    if (loader.state == kReturned) {
        loader.withStore([&](TrackInfoStore& store) { store.insert(loader.previous); });
    }
    loader.oldDecoder.reset();
    loader.track = OpenedTrack{};
    loader.state = kIdle;
}

TrackOpener::Loader* TrackOpener::idleLoader() {
    for (int i = 0; i < kLoaders; ++i) {
        if (!loaders_[i]) {
            loaders_[i] = std::make_shared<Loader>();
            loaders_[i]->store = store_;
            threads_.emplace_back(&TrackOpener::run, loaders_[i]);
            live_[i] = loaders_[i].get();
            return loaders_[i].get();
        }
        if (loaders_[i]->state == kIdle) {
            return loaders_[i].get();
        }
    }
    // Every loader is busy, so the load being replaced has been given up or superseded while
    // stuck in the file system: put a fresh loader in place of the one that started longest ago.
    int oldest = 0;
    for (int i = 1; i < kLoaders; ++i) {
        if (loaders_[i]->startedAt < loaders_[oldest]->startedAt) {
            oldest = i;
        }
    }
    {
        std::lock_guard lock(loaders_[oldest]->mutex);
        loaders_[oldest]->replaced = true;
        loaders_[oldest]->wake.notify_all();
    }
    // The audio thread may still be looking at it: it stays alive until the opener ends.
    replaced_.push_back(std::move(loaders_[oldest]));
    live_[oldest] = nullptr;
    return idleLoader();
}

void TrackOpener::open(const std::string& path, const TrackInfoRecord& current, bool autoMix) {
    for (const auto& loader : loaders_) {
        if (loader) {
            int opening = kOpening;
            int ready = kReady;
            if (!loader->state.compare_exchange_strong(opening, kSuperseded)) {
                loader->state.compare_exchange_strong(ready, kSuperseded);
            }
        }
    }
    Loader* loader = idleLoader();
    std::lock_guard lock(loader->mutex);
    loader->path = path;
    loader->current = current;
    loader->autoMix = autoMix;
    loader->makeDecoder = makeDecoder_;
    loader->startedAt = nowNanoseconds();
    loader->state = kOpening;
    loader->wake.notify_all();
}

bool TrackOpener::pending() const {
    for (const auto& loader : live_) {
        const Loader* l = loader.load();
        if (l != nullptr && (l->state == kOpening || l->state == kReady || l->state == kClaimed)) {
            return true;
        }
    }
    return false;
}

bool TrackOpener::ready() const {
    for (const auto& loader : live_) {
        const Loader* l = loader.load();
        if (l != nullptr && l->state == kReady) {
            return true;
        }
    }
    return false;
}

OpenedTrack* TrackOpener::takeReady() {
    for (auto& live : live_) {
        Loader* loader = live.load();
        int ready = kReady;
        if (loader != nullptr && loader->state.compare_exchange_strong(ready, kClaimed)) {
            claimed_ = loader;
            return &loader->track;
        }
    }
    return nullptr;
}

bool TrackOpener::giveUpOverdue() {
    const int64_t limit = nowNanoseconds() - std::chrono::nanoseconds(timeout_).count();
    for (auto& live : live_) {
        Loader* loader = live.load();
        int opening = kOpening;
        if (loader != nullptr && loader->state == kOpening && loader->startedAt < limit &&
            loader->state.compare_exchange_strong(opening, kClaimed)) {
            claimed_ = loader;
            return true;
        }
    }
    return false;
}

void TrackOpener::handBack(std::unique_ptr<Decoder> oldDecoder, const TrackInfoRecord& previous) {
    claimed_->oldDecoder = std::move(oldDecoder);
    claimed_->previous = previous;
    claimed_->state = kReturned;
    claimed_ = nullptr;
}
