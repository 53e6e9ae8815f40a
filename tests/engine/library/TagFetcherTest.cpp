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

// The test's own thread stands for the main thread: posted tasks wait until it runs them.
class TaskQueue {
  public:
    void post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    // Runs the tasks posted until the condition holds; false when it did not within ten seconds.
    template <class Condition>
    bool runUntil(Condition condition) {
        return waitFor([&] {
            runPosted();
            return condition();
        });
    }
    void runPosted() {
        std::deque<std::function<void()>> ready;
        {
            std::lock_guard lock(mutex_);
            ready.swap(tasks_);
        }
        for (auto& task : ready) {
            task();
        }
    }

  private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

std::vector<std::string> paths(const std::string& prefix, int count) {
    std::vector<std::string> made;
    for (int i = 0; i < count; ++i) {
        made.push_back(prefix + std::to_string(i));
    }
    return made;
}

class TagFetcherTest : public ::testing::Test {
  protected:
    void start() {
        fetcher.emplace(
            reader, [this](std::function<void()> task) { tasks.post(std::move(task)); },
            [this](const std::vector<TrackTags>& batch) {
                deliveredOn.insert(std::this_thread::get_id());
                for (const TrackTags& read : batch) {
                    delivered.push_back(read.path);
                    EXPECT_NE(fetcher->known(read.path), nullptr);  // the cache comes first
                }
            });
    }
    bool allKnown(const std::vector<std::string>& wanted) {
        return std::all_of(wanted.begin(), wanted.end(),
                           [&](const std::string& path) { return fetcher->known(path); });
    }

    ScriptedReader reader;
    TaskQueue tasks;
    std::vector<std::string> delivered;
    std::set<std::thread::id> deliveredOn;
    std::optional<TagFetcher> fetcher;  // last: it stops before what it uses goes
};

TEST_F(TagFetcherTest, FolderTagsReachTheMainThreadOnceEach) {
    start();
    const std::vector<std::string> folder = paths("/music/", 300);
    fetcher->fetchFolder(folder);
    ASSERT_TRUE(tasks.runUntil([&] { return allKnown(folder); }));
    EXPECT_EQ(fetcher->known("/music/7")->title, "Title of /music/7");
    EXPECT_EQ(deliveredOn, std::set{std::this_thread::get_id()});
    EXPECT_EQ(std::multiset(delivered.begin(), delivered.end()),
              std::multiset(folder.begin(), folder.end()));

    // Known tags are not read again, whether for the folder or a single track.
    fetcher->fetchFolder(folder);
    fetcher->fetch("/music/3");
    fetcher->fetch("/other");
    ASSERT_TRUE(tasks.runUntil([&] { return fetcher->known("/other") != nullptr; }));
    EXPECT_EQ(reader.reads, folder.size() + 1);
}

}  // namespace
