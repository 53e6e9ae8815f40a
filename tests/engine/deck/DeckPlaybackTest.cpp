// Decks on real MP3 files: what the decoder, the ring and the beat detector make of them together.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "DeckLoading.h"
#include "Mp3Fixtures.h"
#include "RecordingOutput.h"
#include "engine/deck/Deck.h"
#include "engine/deck/TrackAnalysis.h"
#include "engine/deck/TrackInfoStore.h"
#include "platform/Mpg123Decoder.h"

namespace {

class DeckPlaybackTest : public ::testing::Test {
  protected:
    DeckPlaybackTest() { engine.store = &store; }

    Deck& makeDeck() {
        deck = std::make_unique<Deck>(std::make_unique<RecordingOutput>(), 0, engine,
                                      makeMpg123Decoder);
        engine.decks[0] = deck.get();
        return *deck;
    }

    int loadNow(const std::string& path) {
        deck->requestLoad(path);
        EXPECT_TRUE(finishLoad(*deck));
        return engine.deckStatus[0];
    }

    TempDir dir;
    TrackInfoStore store{{}, 1, 2048399};
    EngineState engine;
    std::unique_ptr<Deck> deck;
};

TEST_F(DeckPlaybackTest, EveryDamagedFileGivesItsStatus) {
    const std::vector<std::tuple<std::string, std::vector<uint8_t>, int>> cases = {
        {"empty.mp3", {}, kDeckCannotOpen},
        {"random.mp3", randomBytes(100000, 11), kDeckCannotOpen},
        {"tag.mp3", id3TagOnly(), kDeckCannotOpen},
        {"short.mp3", encodeMp3(drums(120, 0.8)), kDeckCannotOpen},  // under a second long
        {"cut.mp3", truncated(encodeMp3(drums(120, 6.0)), 0.6), kDeckNormal},
    };
    makeDeck();
    for (const auto& [name, bytes, status] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(loadNow(dir.write(name, bytes)), status);
        EXPECT_EQ(deck->isLoaded(), status == kDeckNormal);
        while (deck->decodeStep() != 0) {
        }
    }
    EXPECT_EQ(loadNow((dir.path() / "missing.mp3").string()), kDeckCannotOpen);
}

TEST_F(DeckPlaybackTest, MonoTrackPlaysOnBothChannels) {
    makeDeck();
    ASSERT_EQ(loadNow(dir.write("mono.mp3", encodeMp3(tone(300, 3.0, 44100, 1)))), kDeckNormal);
    while (deck->decodeStep() != 0) {
    }
    const int16_t* ring = deck->ring();
    int loud = 0;
    for (int i = 0; i < 44100; ++i) {
        ASSERT_EQ(ring[2 * i], ring[2 * i + 1]) << i;
        loud += std::abs(ring[2 * i]) > 1000;
    }
    EXPECT_GT(loud, 20000);
}

// The analysis must be what a deck on the turntable learns while it plays the track from its start
// at normal pitch: here a deck plays it through an output whose device takes frames in uneven
// steps, stops at the end like a deck does, and keeps decoding until its ring is full.
TEST_F(DeckPlaybackTest, AnalysisEqualsADeckPlayingTheTrack) {
    const Pcm music = concat({silence(1.5), drums(128, 25.0), silence(3.0)});
    const std::string path = dir.write("played.mp3", encodeMp3(music, {.vbr = true}));

    makeDeck();
    ASSERT_EQ(loadNow(path), kDeckNormal);
    deck->requestPlay();
    deck->restartAt();
    std::mt19937 device(42);
    std::uniform_int_distribution<int> consumed(0, 3000);
    while (deck->position() != -1.0f) {
        if (deck->decodeStep() == 0 || consumed(device) < 600) {
            deck->followPlayPosition(std::max(0, deck->aheadCount() - consumed(device)));
        }
    }
    deck->pause();
    while (deck->decodeStep() != 0) {
    }

    const TrackAnalysis analysis = analyseTrack(path, 1, makeMpg123Decoder);
    const TrackInfoRecord played = deck->record();
    EXPECT_EQ(std::memcmp(&analysis.record, &played, sizeof played), 0);
    EXPECT_EQ(analysis.durationSeconds, deck->durationSeconds());
    EXPECT_NEAR(played.bpm, 128.0, 0.2);
}

}  // namespace
