// Tracks are analysed on a thread of their own before a deck needs them, and the end of the
// program never waits for an analysis.
#include "engine/deck/BackgroundAnalyser.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "FakeDecoder.h"
#include "Mp3Fixtures.h"
#include "Waiting.h"
#include "engine/deck/TrackInfoStore.h"

namespace {

using namespace std::chrono_literals;

TEST(BackgroundAnalyserTest, KnownTracksMissingFilesAndRepeatsAreNotAnalysed) {
    TempDir dir;
    TrackInfoStore store{dir.path() / "Spinora.idb", 1, 2048399};
    const std::string knownPath = dir.write("Known.mp3", std::string(1000, 'k'));
    const std::string newPath = dir.write("New.mp3", std::string(2000, 'n'));
    TrackInfoRecord stored = freshRecord(knownPath, 1000);
    stored.bpm = 97.0f;
    stored.bpmVotes = 12;
    store.insert(stored);

    auto log = std::make_shared<FakeDecoderLog>();
    std::vector<std::string> reports;  // on the analyser's thread, read once it has ended
    {
        // At a fair share of the machine, which other programs may be keeping busy.
        BackgroundAnalyser analysis(
            store, 1, [log] { return std::make_unique<FakeDecoder>(FakeTrack{.size = 2000}, log); },
            [&](const std::string& path, const TrackInfoRecord&) { reports.push_back(path); },
            BackgroundAnalyser::Priority::kNormal);
        analysis.enqueue(knownPath);
        analysis.enqueue(newPath);
        analysis.enqueue((dir.path() / "Gone.mp3").string());
        analysis.enqueue(newPath);
        ASSERT_TRUE(waitFor([&] { return analysis.idle(); }, 60s));
    }
    EXPECT_EQ(log->inputs, std::vector<std::string>{newPath});
    TrackInfoRecord record;
    ASSERT_TRUE(store.lookup(knownPath, 1000, record));
    EXPECT_EQ(record.bpm, 97.0f);
    EXPECT_EQ(record.bpmVotes, 12);
    EXPECT_TRUE(store.lookup(newPath, 2000, record));
    EXPECT_EQ(reports, std::vector<std::string>{newPath});
}

// A decoder that takes its time over every frame, as on a slow network share.
class SlowDecoder : public FakeDecoder {
  public:
    SlowDecoder(FakeTrack track, std::shared_ptr<std::atomic<int>> decoded)
        : FakeDecoder(std::move(track)), decoded_(std::move(decoded)) {}
    int decode(int16_t* dest) override {
        std::this_thread::sleep_for(2ms);
        ++*decoded_;
        return FakeDecoder::decode(dest);
    }

  private:
    std::shared_ptr<std::atomic<int>> decoded_;
};

TEST(BackgroundAnalyserTest, EndingDuringAnAnalysisReturnsAtOnceAndStoresNothing) {
    using Clock = std::chrono::steady_clock;
    TempDir dir;
    TrackInfoStore store{dir.path() / "Spinora.idb", 1, 2048399};
    const std::string path = dir.write("Long.mp3", std::string(3000, 'l'));
    const FakeTrack track{.frames = 100000, .lengthSeconds = 2600, .size = 3000};  // minutes
    std::atomic<int> reports{0};
    const auto analyser = [&](Deck::DecoderFactory decoders) {
        return std::make_unique<BackgroundAnalyser>(
            store, 1, std::move(decoders),
            [&](const std::string&, const TrackInfoRecord&) { ++reports; },
            BackgroundAnalyser::Priority::kNormal);
    };

    auto decoded = std::make_shared<std::atomic<int>>(0);
    auto analysis = analyser([=] { return std::make_unique<SlowDecoder>(track, decoded); });
    analysis->enqueue(path);
    ASSERT_TRUE(waitFor([&] { return *decoded > 20; }, 60s));
    auto started = Clock::now();
    analysis.reset();
    EXPECT_LT(Clock::now() - started, 1s);

    // A file that never finishes opening holds up the end no longer either.
    auto gate = std::make_shared<Gate>();  // the stuck loader outlives the analyser
    FakeTrack stuck = track;
    stuck.onOpen = [gate] { gate->wait(); };
    analysis = analyser(fakeDecoders(stuck));
    analysis->enqueue(path);
    ASSERT_TRUE(gate->awaitEntered());
    started = Clock::now();
    analysis.reset();
    EXPECT_LT(Clock::now() - started, 1s);
    gate->release();

    TrackInfoRecord record;
    EXPECT_FALSE(store.lookup(path, 3000, record));
    EXPECT_EQ(reports, 0);
}

}  // namespace
