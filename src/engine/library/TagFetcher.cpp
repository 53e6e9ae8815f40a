#include "engine/library/TagFetcher.h"

#include <chrono>
#include <iterator>
#include <utility>

namespace {

// Results go to the main thread in batches, so that a big folder costs it a few dozen updates
// of its lists rather than one per file, yet rows are named while the user looks.
constexpr auto kBatchPeriod = std::chrono::milliseconds(100);

}  // namespace

TagFetcher::TagFetcher(TagReader& reader, Post post, Delivered delivered)
    : reader_(reader), post_(std::move(post)), delivered_(std::move(delivered)) {
    thread_ = std::thread([this] { run(); });
}

TagFetcher::~TagFetcher() {
    stop();
    thread_.join();
}

void TagFetcher::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
}

void TagFetcher::fetchFolder(const std::vector<std::string>& paths) {
    std::deque<std::string> unknown;
    for (const std::string& path : paths) {
        if (known_.count(path) == 0) {
            unknown.push_back(path);
        }
    }
    {
        std::lock_guard lock(mutex_);
        folder_ = std::move(unknown);
    }
    work_.notify_all();
}

void TagFetcher::fetch(const std::string& path) {
    if (known_.count(path) != 0 || !askedSoon_.insert(path).second) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        soon_.push_back(path);
    }
    work_.notify_all();
}

const ArtistTitle* TagFetcher::known(const std::string& path) const {
    const auto found = known_.find(path);
    return found == known_.end() ? nullptr : &found->second;
}

void TagFetcher::deliver() {
    std::vector<TrackTags> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(ready_);
        deliveryPosted_ = false;
    }
    for (const TrackTags& read : batch) {
        known_[read.path] = read.tags;
        askedSoon_.erase(read.path);
    }
    if (delivered_) {
        delivered_(batch);
    }
}

void TagFetcher::run() {
    std::vector<TrackTags> batch;
    auto batchStart = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (true) {
        const bool idle = soon_.empty() && folder_.empty();
        if (!batch.empty() &&
            (idle || stopping_ || std::chrono::steady_clock::now() - batchStart >= kBatchPeriod)) {
            ready_.insert(ready_.end(), std::make_move_iterator(batch.begin()),
                          std::make_move_iterator(batch.end()));
            batch.clear();
            if (!deliveryPosted_) {
                deliveryPosted_ = true;
                lock.unlock();
                post_([this] { deliver(); });
                lock.lock();
            }
            continue;
        }
        if (stopping_) {
            return;
        }
        if (idle) {
            work_.wait(lock, [this] { return stopping_ || !soon_.empty() || !folder_.empty(); });
            continue;
        }
        std::deque<std::string>& queue = soon_.empty() ? folder_ : soon_;
        std::string path = std::move(queue.front());
        queue.pop_front();
        lock.unlock();
        if (batch.empty()) {
            batchStart = std::chrono::steady_clock::now();
        }
        ArtistTitle tags = reader_.readTags(path);
        batch.push_back(TrackTags{std::move(path), std::move(tags)});
        lock.lock();
    }
}
