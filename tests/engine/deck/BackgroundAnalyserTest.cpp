// Tracks are analysed on a thread of their own before a deck needs them.
#include "engine/deck/BackgroundAnalyser.h"

#include <gtest/gtest.h>

#include <chrono>
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

}  // namespace
