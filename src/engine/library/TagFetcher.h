#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/library/TagReader.h"

struct TrackTags {
    std::string path;
    ArtistTitle tags;  // empty texts: the file has none
};

// Reads the tags of tracks on a thread of its own, so that a folder lists at once and its rows
// are named as the tags come. Tags read are kept for the rest of the run. The public functions
// run on the main thread unless said otherwise; the results reach it through post, in batches.
class TagFetcher {
  public:
    // post: called on the fetcher's thread with a task the main thread is to run soon. The task
    // holds no data of its own: the batches wait in the fetcher, handed over under its lock.
    using Post = std::function<void(std::function<void()> task)>;
    // delivered: on the main thread, each batch of tags read (the cache already holds them).
    using Delivered = std::function<void(const std::vector<TrackTags>& batch)>;

    // The reader must outlive the fetcher.
    TagFetcher(TagReader& reader, Post post, Delivered delivered);
    // Stops (see stop) and waits for the thread; tasks posted but not run must then be dropped.
    ~TagFetcher();
    TagFetcher(const TagFetcher&) = delete;
    TagFetcher& operator=(const TagFetcher&) = delete;

    // The tracks of the folder shown: they replace the previous folder's tracks not read yet.
    void fetchFolder(const std::vector<std::string>& paths);
    // One track wanted sooner than the folder's (a playlist row, a deck).
    void fetch(const std::string& path);
    // The tags of a track read before, or null.
    const ArtistTitle* known(const std::string& path) const;
    // Reads no further file once the one being read is done, without waiting for it; what was
    // read is still posted. Any thread.
    void stop();

  private:
    void run();
    void deliver();

    TagReader& reader_;
    const Post post_;
    const Delivered delivered_;
    std::unordered_map<std::string, ArtistTitle> known_;  // main thread only
    std::unordered_set<std::string> askedSoon_;           // main thread only

    std::mutex mutex_;
    std::condition_variable work_;
    std::deque<std::string> soon_;
    std::deque<std::string> folder_;
    std::vector<TrackTags> ready_;  // read, for the main thread to take
    bool deliveryPosted_ = false;   // a task that takes them is on its way
    bool stopping_ = false;
    std::thread thread_;
};
