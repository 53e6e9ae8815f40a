// The tags of a folder's tracks read on a thread of their own and handed to the main thread.
#include "engine/library/TagFetcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>

#include "Waiting.h"

namespace {

// Tags made from the path, counting the reads.
class ScriptedReader : public TagReader {
  public:
    ArtistTitle readTags(const std::string& path) override {
        ++reads;
        return ArtistTitle{"Artist of " + path, "Title of " + path};
    }
    std::atomic<std::size_t> reads{0};
};

TEST(TagFetcherTest, FolderTagsReachTheMainThreadOnceEach) {
    ScriptedReader reader;
    // The test's own thread stands for the main thread: posted tasks wait until it runs them.
    std::mutex mutex;
    std::deque<std::function<void()>> posted;
    const auto runPostedUntil = [&](auto condition) {
        return waitFor([&] {
            std::deque<std::function<void()>> ready;
            {
                std::lock_guard lock(mutex);
                ready.swap(posted);
            }
            for (auto& task : ready) {
                task();
            }
            return condition();
        });
    };
    std::vector<std::string> delivered;
    std::set<std::thread::id> deliveredOn;
    std::optional<TagFetcher> fetcher;  // last: it stops before what it uses goes
    fetcher.emplace(
        reader,
        [&](std::function<void()> task) {
            std::lock_guard lock(mutex);
            posted.push_back(std::move(task));
        },
        [&](const std::vector<TrackTags>& batch) {
            deliveredOn.insert(std::this_thread::get_id());
            for (const TrackTags& read : batch) {
                delivered.push_back(read.path);
                EXPECT_NE(fetcher->known(read.path), nullptr);  // the cache comes first
            }
        });

    std::vector<std::string> folder;
    for (int i = 0; i < 300; ++i) {
        folder.push_back("/music/" + std::to_string(i));
    }
    fetcher->fetchFolder(folder);
    ASSERT_TRUE(runPostedUntil([&] {
        return std::all_of(folder.begin(), folder.end(),
                           [&](const std::string& path) { return fetcher->known(path); });
    }));
    EXPECT_EQ(fetcher->known("/music/7")->title, "Title of /music/7");
    EXPECT_EQ(deliveredOn, std::set{std::this_thread::get_id()});
    EXPECT_EQ(std::multiset(delivered.begin(), delivered.end()),
              std::multiset(folder.begin(), folder.end()));

    // Known tags are not read again, whether for the folder or a single track.
    fetcher->fetchFolder(folder);
    fetcher->fetch("/music/3");
    fetcher->fetch("/other");
    ASSERT_TRUE(runPostedUntil([&] { return fetcher->known("/other") != nullptr; }));
    EXPECT_EQ(reader.reads, folder.size() + 1);
}

}  // namespace
