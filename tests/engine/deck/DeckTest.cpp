#include "engine/deck/Deck.h"

#include <gtest/gtest.h>
#include <future>
#include <optional>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "RecordingOutput.h"
#include "engine/deck/TrackInfoStore.h"

namespace {

constexpr int kFrame = Deck::kFrameSize;

class DeckTest : public ::testing::Test {
  protected:
    DeckTest() { engine.store = &store; }

    // Every file the deck opens plays `script` (the test may change it between loads).
    Deck& makeDeck(FakeTrack script = {}, int index = 0) {
        decks[index].reset();  // its loaders read the script
        scripts[index] = std::move(script);
        logs[index] = std::make_shared<FakeDecoderLog>();
        auto output = std::make_unique<RecordingOutput>();
        outputs[index] = output.get();
        decks[index] = std::make_unique<Deck>(std::move(output), index, engine, [this, index] {
            return std::make_unique<FakeDecoder>(scripts[index], logs[index]);
        });
        engine.decks[index] = decks[index].get();
        return *decks[index];
    }

    static void loadNow(Deck& deck, const std::string& path = "/music/Track.mp3") {
        deck.requestLoad(path);
        ASSERT_TRUE(finishLoad(deck));
    }

    static int fill(Deck& deck) {
        int steps = 0;
        while (deck.decodeStep() != 0) {
            ++steps;
        }
        return steps;
    }

    static void startPlaying(Deck& deck) {
        deck.requestPlay();
        deck.restartAt();
    }

    TrackInfoStore store{{}, 1, 2048399};
    EngineState engine;
    std::array<FakeTrack, 2> scripts{};
    std::array<std::shared_ptr<FakeDecoderLog>, 2> logs{};
    std::array<RecordingOutput*, 2> outputs{};
    std::array<std::unique_ptr<Deck>, 2> decks;
};

TEST_F(DeckTest, LoadStoresThePreviousTrackAndDestructionTheCurrentOne) {
    Deck& deck = makeDeck();
    deck.requestLoad("/music/Replaced.mp3");  // a later request replaces it: never stored
    loadNow(deck, "/music/First.mp3");
    deck.record().bpm = 127.0f;
    scripts[0].size = 999;
    loadNow(deck, "/music/Second.mp3");
    ASSERT_EQ(store.records().size(), 1u);
    EXPECT_EQ(store.records()[0].bpm, 127.0f);
    EXPECT_EQ(store.records()[0].sizeKey, 123456);
    decks[0].reset();
    EXPECT_EQ(store.records().size(), 2u);
    EXPECT_EQ(store.records()[0].sizeKey, 999);
}

TEST_F(DeckTest, FilesThatCannotBeOpenedLeaveTheDeckEmptyAndDeafToTransport) {
    const std::vector<FakeTrack> failures = {{.opens = false}, {.frames = 0}, {.lengthSeconds = 0}};
    for (const auto& script : failures) {
        Deck& deck = makeDeck(script);
        deck.record().bpm = 120.0f;  // left from an earlier track
        loadNow(deck);
        EXPECT_EQ(engine.deckStatus[0], kDeckCannotOpen);
        EXPECT_FALSE(deck.isPlayable());
        EXPECT_EQ(deck.record().bpm, 0.0f);
        deck.requestPlay();
        deck.requestSeek(0.5f);
        deck.pressCue();
        deck.requestMove(100);
        deck.serviceStep();
        EXPECT_FALSE(deck.playing());
        EXPECT_EQ(outputs[0]->writes, 0);
    }
}

TEST_F(DeckTest, StartPositionFollowsTheCuePoint) {
    struct Case {
        float cue, start;
        bool autoMix;
        float expectedPosition;
        int expectedCueState;
    };
    const Case cases[] = {
        {0.25f, 0.0f, false, 0.25f, 1},
        {0.5f, 0.0f, false, 0.0f, 1},  // at or past half the track: from the beginning
        {0.0f, 0.1f, true, 0.1f, 0},   // auto mix starts where the music starts
        {0.05f, 0.1f, true, 0.1f, 0},
        {0.2f, 0.1f, true, 0.2f, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cue);
        Deck& deck = makeDeck();  // the deck it replaces stores its own record first
        TrackInfoRecord stored = freshRecord("Cued.mp3", 123456);
        stored.cuePosition = c.cue;
        stored.startPosition = c.start;
        store.insert(stored);
        engine.autoMixEnabled = c.autoMix;
        loadNow(deck, "/music/Cued.mp3");
        EXPECT_FLOAT_EQ(deck.position(), c.expectedPosition);
        EXPECT_EQ(deck.cueState(), c.expectedCueState);
        EXPECT_FLOAT_EQ(logs[0]->seeks.back(), c.expectedPosition);
    }
}

// Files open in parallel, so the track asked for second may open first; it still waits.
TEST_F(DeckTest, LoadsAreTakenInTheOrderAskedSoTheLaterTrackMatchesTheEarlier) {
    std::promise<void> release;
    FakeTrack slow;
    slow.onOpen = [opens = release.get_future().share()] { opens.wait(); };
    Deck& first = makeDeck(slow, 0);
    Deck& second = makeDeck({}, 1);
    for (auto [name, bpm] : {std::pair{"First.mp3", 140.0f}, {"Second.mp3", 128.0f}}) {
        TrackInfoRecord stored = freshRecord(name, 123456);
        stored.bpm = bpm;
        store.insert(stored);
    }
    engine.autoBpmEnabled = 1;
    first.requestLoad("/music/First.mp3");
    second.requestLoad("/music/Second.mp3");
    awaitOpened(second);
    EXPECT_FALSE(second.load());
    release.set_value();
    ASSERT_TRUE(finishLoad(first));
    ASSERT_TRUE(second.load());
    EXPECT_EQ(first.pitch(), 4096);
    EXPECT_EQ(second.pitch(), 4480);  // 140 / 128 x 4096
    EXPECT_EQ(outputs[1]->pitch, 4480);
    EXPECT_EQ(second.pendingPitch(), 0);
    EXPECT_FALSE(second.pitchFromUser());
}

// The background analysis may finish after the track went onto the deck.
TEST_F(DeckTest, AnalysisArrivingAfterTheLoadIsTakenAndMovesAWaitingDeckToTheMusic) {
    struct Case {
        const char* name;
        bool autoMix, playing, locked;
        float position;  // once the record has arrived
    };
    const Case cases[] = {
        {"waiting, auto mix", true, false, false, 0.2f},
        {"waiting, locked tempo", true, false, true, 0.2f},
        {"without auto mix", false, false, false, 0.0f},
        {"already playing", true, true, false, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.autoMixEnabled = c.autoMix;
        Deck& deck = makeDeck();
        loadNow(deck, std::string("/music/") + c.name + ".mp3");  // no record of the last case
        fill(deck);
        if (c.playing) {
            startPlaying(deck);
        }
        if (c.locked) {
            deck.record().bpm = 90.0f;
            deck.record().bpmVotes = kLockedBpmVotes;
        }
        TrackInfoRecord analysed = snapshotRecord(deck.record());
        analysed.bpm = 124.0f;
        analysed.bpmVotes = 800;
        analysed.startPosition = 0.2f;
        analysed.startStrength = 9000;
        deck.takeAnalysis(analysed);
        EXPECT_NE(deck.record().startPosition, 0.2f) << "the service step takes it";
        deck.serviceStep();
        EXPECT_EQ(deck.record().bpm, c.locked ? 90.0f : 124.0f);
        EXPECT_EQ(deck.record().startPosition, 0.2f);
        EXPECT_EQ(deck.playing(), c.playing);
        EXPECT_NEAR(deck.position(), c.position, 0.05f);

        // Handed over just before another track goes on: it stays with its own track.
        deck.takeAnalysis(analysed);
        loadNow(deck, "/music/Next.mp3");
        deck.serviceStep();
        EXPECT_NE(deck.record().startPosition, 0.2f);
    }
}

TEST_F(DeckTest, TempoMatching) {
    Deck& deck = makeDeck();
    deck.record().bpm = 70.0f;
    EXPECT_TRUE(deck.matchTempo(140.0f));  // ratio 2, halved to 1
    EXPECT_EQ(deck.pendingPitch(), 4096);
    deck.record().bpm = 100.0f;
    deck.requestPitch(0);
    EXPECT_FALSE(deck.matchTempo(128.0f));  // 5242 is out of range
    EXPECT_EQ(deck.pendingPitch(), 0);
    EXPECT_FALSE(deck.matchTempo(40.0f));  // 0.4 doubled to 0.8: 3276, too slow
    EXPECT_TRUE(deck.matchTempo(110.0f));
    EXPECT_EQ(deck.pendingPitch(), 4505);
    EXPECT_FALSE(deck.matchTempo(999.9f));
    deck.record().bpm = 999.9f;
    EXPECT_FALSE(deck.matchTempo(120.0f));
    EXPECT_FLOAT_EQ(deck.effectiveBpm(), 999.9f);  // no tempo: not scaled
}

TEST_F(DeckTest, TryAgainRepeatsTheStepAndFailureFillsSilence) {
    Deck& deck = makeDeck({.tryAgainBefore = {3}, .failAt = 5});
    loadNow(deck);
    fill(deck);  // frame 3 after a try again, then frame 5 fails: decoding ends
    EXPECT_EQ(deck.ring()[2 * 3 * kFrame], 3);
    EXPECT_FALSE(deck.decoding());
    EXPECT_EQ(deck.frameTable()[5], -1.0f);
    EXPECT_EQ(deck.ring()[2 * 5 * kFrame], 0);
    EXPECT_EQ(engine.deckStatus[0], kDeckNormal);  // a quiet end

    Deck& odd = makeDeck({.frameBytes = 4000});  // a frame of another size is an error
    loadNow(odd);                                // the load itself does not look at the size
    EXPECT_TRUE(odd.isLoaded());
    EXPECT_EQ(engine.deckStatus[0], kDeckDecodingError);
    EXPECT_FALSE(odd.decoding());
    EXPECT_EQ(odd.writeIndex(), 0);
}

TEST_F(DeckTest, CueCyclesCuePointBeginningAndStartOfTheMusic) {
    Deck& deck = makeDeck();
    loadNow(deck);
    deck.record().cuePosition = 0.4f;
    deck.record().startPosition = 0.02f;
    ASSERT_EQ(deck.cueState(), 2);
    const auto seekAsked = [&deck] { return deck.pendingSeek().value_or(-1.0f); };
    deck.pressCue();
    EXPECT_FLOAT_EQ(seekAsked(), 0.02f);
    deck.pressCue();
    EXPECT_FLOAT_EQ(seekAsked(), 0.4f);
    deck.pressCue();
    EXPECT_FLOAT_EQ(seekAsked(), 0.0f);
    EXPECT_EQ(deck.cueState(), 2);
    deck.serviceStep();
    EXPECT_FALSE(deck.playing()) << "a press while paused moves without playing";

    startPlaying(deck);
    deck.pressCue();  // while playing: pause at the cue point
    EXPECT_FLOAT_EQ(seekAsked(), 0.4f);
    EXPECT_EQ(deck.cueState(), 1);

    deck.record().cuePosition = 0.0f;
    deck.pressCue();  // still playing: to the cue point, and with none the next press skips ahead
    EXPECT_FLOAT_EQ(seekAsked(), 0.0f);
    EXPECT_EQ(deck.cueState(), 2);
    deck.serviceStep();
    EXPECT_FALSE(deck.playing());
    EXPECT_EQ(deck.position(), 0.0f);

    // A cue point set here is the exact sample being heard.
    fill(deck);
    deck.followPlayPosition(deck.aheadCount() - 4 * kFrame - 441);
    deck.setCueHere();
    EXPECT_FLOAT_EQ(deck.record().cuePosition, 4.0f / 400 + 441.0f / (10 * 44100));
}

}  // namespace
