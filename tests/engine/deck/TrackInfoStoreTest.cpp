#include "engine/deck/TrackInfoStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "FileSizeLimit.h"
#include "Mp3Fixtures.h"

namespace {

constexpr int32_t kToday = 2048399;

TrackInfoRecord analysed(const std::string& path, int32_t size, float bpm) {
    TrackInfoRecord r = freshRecord(path, size);
    r.bpm = bpm;
    r.startPosition = 0.01f;
    r.endPosition = 0.97f;
    r.startStrength = 700;
    r.endStrength = 600;
    r.bpmVotes = 42;
    r.peakLevel = 900;
    r.optimizedDetection = 1;
    return r;
}

class TrackInfoStoreTest : public ::testing::Test {
  protected:
    std::filesystem::path file() const { return dir.path() / "Spinora.idb"; }
    TrackInfoStore store() const { return {file(), 1, kToday}; }
    TempDir dir;
};

TEST_F(TrackInfoStoreTest, NewRecordsGoFirstAndUpdatesKeepTheirPlace) {
    TrackInfoStore s = store();
    s.insert(analysed("/a/One.mp3", 100, 120.0f));
    s.insert(analysed("/a/Two.mp3", 200, 130.0f));
    s.insert(analysed("/b/One.mp3", 100, 125.0f));  // same name and size: the same record
    s.insert(analysed("/a/None.mp3", 0, 120.0f));   // no track: never stored
    const auto records = s.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].sizeKey, 200);
    EXPECT_EQ(records[1].bpm, 125.0f);
    TrackInfoRecord r;
    EXPECT_TRUE(s.lookup("C:\\Old\\One.mp3", 100, r)) << "found from any folder";
    EXPECT_FALSE(s.lookup("/a/One.mp3", 101, r)) << "another size is another track";
    TrackInfoRecord fresh = freshRecord("One.mp3", 101);
    fresh.optimizedDetection = 1;                     // stamped with the store's setting
    EXPECT_EQ(std::memcmp(&r, &fresh, sizeof r), 0);  // nothing left of the record found before
}

// A deck began to play a track the store knew nothing of; the background analysis stored the
// whole track meanwhile, and the deck hands its record back afterwards.
TEST_F(TrackInfoStoreTest, DeckRecordBegunFreshKeepsTheAnalysisStoredMeanwhile) {
    TrackInfoStore s = store();
    const TrackInfoRecord whole = analysed("/a/Song.mp3", 77, 120.0f);
    TrackInfoRecord deck = freshRecord("/a/Song.mp3", 77);  // a part heard after a seek
    deck.startPosition = 0.5f;
    deck.startStrength = 300;
    deck.peakLevel = 400;
    deck.bpm = 60.0f;
    deck.bpmVotes = 5;
    EXPECT_EQ(s.insertAnalysis(whole).dateStamp, kToday);

    s.insert(deck);
    TrackInfoRecord r = s.records()[0];
    EXPECT_EQ(r.startPosition, 0.01f);
    EXPECT_EQ(r.bpm, 120.0f);

    // What the deck's user set, and a tempo counted over more beats, are the deck's.
    deck.cuePosition = 0.3f;
    s.insert(deck);
    deck.bpm = 121.0f;
    deck.bpmVotes = 50;
    s.insert(deck);
    r = s.records()[0];
    EXPECT_EQ(r.cuePosition, 0.3f);
    EXPECT_EQ(r.bpm, 121.0f);
    deck.bpm = 60.5f;
    deck.bpmVotes = kLockedBpmVotes;
    s.insert(deck);
    EXPECT_EQ(s.records()[0].bpm, 60.5f);

    // A deck that loaded the stored record learned on top of it: it replaces it.
    TrackInfoRecord later = s.records()[0];
    later.startPosition = 0.02f;
    s.insert(later);
    EXPECT_EQ(s.records()[0].startPosition, 0.02f);
    ASSERT_EQ(s.records().size(), 1u);

    // The analysis replaces a deck's record but for its cue point and locked tempo.
    const TrackInfoRecord stored = s.insertAnalysis(analysed("/a/Song.mp3", 77, 119.0f));
    EXPECT_EQ(stored.startPosition, 0.01f);
    EXPECT_EQ(stored.cuePosition, 0.3f);
    EXPECT_EQ(stored.bpm, 60.5f);
}

// Saved byte for byte and read back; a save that fails keeps the file as it was.
TEST_F(TrackInfoStoreTest, SavesTheRecordsByteForByteAndReadsThemBack) {
    TrackInfoStore s = store();
    s.insert(analysed("/a/One.mp3", 100, 120.5f));
    s.insert(analysed("/a/Two.mp3", 0x01020304, 99.0f));
    ASSERT_TRUE(s.save());

    const std::string bytes = fileText(file());
    ASSERT_EQ(bytes.size(), 96u);
    const uint8_t sizeKey[] = {0x04, 0x03, 0x02, 0x01};  // little-endian, first record first
    EXPECT_EQ(std::memcmp(bytes.data(), sizeKey, 4), 0);

    s.insert(analysed("/a/Three.mp3", 300, 121.0f));
    {
        FileSizeLimit full(100);
        std::error_code error;
        EXPECT_FALSE(s.save(&error));
        EXPECT_EQ(error, std::errc::file_too_large);
    }
    EXPECT_EQ(fileText(file()), bytes);
    EXPECT_EQ(dir.entries(), 1);  // no temporary file left behind

    std::ofstream(file(), std::ios::binary | std::ios::app) << "partial";  // dropped on load
    TrackInfoStore again = store();
    again.load();
    const auto records = again.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(std::memcmp(records.data(), bytes.data(), bytes.size()), 0);
}

TEST_F(TrackInfoStoreTest, ValuesNoAnalysisGivesAreRepairedOnLoad) {
    std::vector<TrackInfoRecord> written;
    for (const float bad : {NAN, -INFINITY, INFINITY, -0.5f, 1000.0f, 3e38f, 128.0f}) {
        TrackInfoRecord r = analysed("/a/Bad.mp3", static_cast<int32_t>(written.size() + 1), bad);
        r.startPosition = r.endPosition = r.cuePosition = bad / 128.0f;
        r.dateStamp = bad == 128.0f ? kToday : -2;  // the last one is good
        written.push_back(r);
    }
    std::ofstream(file(), std::ios::binary)
        .write(reinterpret_cast<const char*>(written.data()),
               static_cast<std::streamsize>(written.size() * sizeof(TrackInfoRecord)));

    TrackInfoStore s = store();
    s.load();
    ASSERT_EQ(s.records().size(), written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        TrackInfoRecord expected = written[i];  // still found by its file, its peak kept
        if (i + 1 < written.size()) {
            expected.bpm = expected.startPosition = expected.endPosition = expected.cuePosition = 0;
            expected.bpmVotes = expected.startStrength = expected.endStrength = 0;
            expected.dateStamp = 1;
        }
        EXPECT_EQ(std::memcmp(&s.records()[i], &expected, sizeof expected), 0) << i;
    }
}

}  // namespace
