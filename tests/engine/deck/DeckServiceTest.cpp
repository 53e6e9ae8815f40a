// A deck on a scripted track, driven through its service step while the device's clock advances.
#include <gtest/gtest.h>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "TestPlayback.h"
#include "engine/deck/Deck.h"
#include "engine/deck/DeckEvents.h"
#include "engine/deck/JumpFade.h"
#include "engine/deck/TrackInfoStore.h"
#include "engine/sound/BufferOutput.h"

namespace {

constexpr int kFrame = Deck::kFrameSize;
// 1225 frames of 1152 samples are exactly 32 seconds, so stream fractions convert to samples
// without a remainder.
constexpr int kTrackFrames = 1225;
constexpr int kTrackSamples = kTrackFrames * kFrame;

struct RecordedEvents : DeckEvents {
    void mixInto(int deck) override { mixes.push_back(deck); }
    void trackEnded(int deck) override { endings.push_back(deck); }
    std::vector<int> mixes;
    std::vector<int> endings;
};

float fractionOf(int sample) {
    return static_cast<float>(sample) / kTrackSamples;
}

class DeckServiceTest : public ::testing::Test {
  protected:
    DeckServiceTest() {
        engine.store = &store;
        engine.events = &events;
    }

    Deck& makeDeck(FakeTrack track = {.frames = kTrackFrames, .lengthSeconds = 32}) {
        auto output = std::make_unique<DirectSoundOutput>(device);
        output->start();
        deck = std::make_unique<Deck>(std::move(output), 0, engine, fakeDecoders(track));
        engine.decks[0] = deck.get();
        deck->requestLoad("/music/Track.mp3");
        awaitOpened(*deck);
        steps(1);
        return *deck;
    }

    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            deck->serviceStep();
        }
    }

    // The device plays frames while the deck is served every 256 frames.
    void play(int frames) {
        for (; frames > 0; frames -= TestPlayback::kBlock) {
            clock.advance(TestPlayback::kBlock);
            steps(4);
        }
    }

    void fill() {
        while (deck->aheadCount() < Deck::kDecodeAheadLimit) {
            steps(1);
        }
    }

    // The sample at the play position: (frame number, index within the frame).
    std::pair<int, int> heard() const {
        const int16_t* frame = deck->ring() + 2 * deck->readIndex();
        return {frame[0], frame[1]};
    }

    TrackInfoStore store{{}, 1, 0};
    EngineState engine;
    RecordedEvents events;
    AudioDevice device{2};
    TestPlayback clock{device};
    std::unique_ptr<Deck> deck;
};

TEST_F(DeckServiceTest, PlayingFollowsTheDeviceAndResendsOnPitchChanges) {
    makeDeck();
    fill();
    deck->requestPlay();
    steps(1);
    play(kFrame * 3);
    // The deck's place is the write cursor's, the device's block of lead ahead of what played:
    // played from the start of the track, as that block was written when play began.
    const int heardFrames = deck->readIndex();
    EXPECT_NEAR(heardFrames, 3 * kFrame + TestPlayback::kBlock, TestPlayback::kBlock);

    deck->requestPitch(4506);
    deck->requestSeek(fractionOf(0));
    steps(1);  // the seek first: it outranks the pitch
    EXPECT_EQ(deck->pitch(), 4096);
    steps(1);
    EXPECT_EQ(deck->pitch(), 4506);
    auto& output = static_cast<DirectSoundOutput&>(deck->output());
    // Everything ahead was written again at the new speed, and reads back as the same frames.
    EXPECT_NEAR(output.pendingSamples(), deck->aheadCount(), 1);
    EXPECT_LT(output.queued(), deck->aheadCount() * 4096 / 4506 + 1);
}

TEST_F(DeckServiceTest, MoveBackJustAfterTheStartStopsAtTheStart) {
    makeDeck();
    deck->requestPlay();
    steps(1);
    deck->requestMove(-5000);  // just after the start: back no further than the track's start
    steps(1);
    EXPECT_LE(deck->readIndex(), TestPlayback::kBlock);
    EXPECT_EQ(deck->pendingMove(), 0);
}

// The fade that hides a jump changes neither where playback lands nor when: a few milliseconds
// after the jump the card plays exactly what it would without one.
TEST_F(DeckServiceTest, MoveWhilePlayingIsHeardFromTheSampleItLandsOn) {
    makeDeck();
    fill();
    deck->requestPlay();
    steps(1);
    play(24 * kFrame);  // long enough for decoding to wrap the ring ahead of the play position
    ASSERT_LT(deck->writeIndex(), deck->readIndex());
    const std::size_t asked = clock.played.size() / 2;
    constexpr int kBack = 3000;
    deck->requestMove(-kBack);
    play(4 * kFrame);

    // Each card frame plays one sample of the track: (frame number, index within the frame).
    const auto offset = [&](std::size_t f) {
        return clock.played[2 * f] * kFrame + clock.played[2 * f + 1] - static_cast<long>(f);
    };
    const std::size_t settled = asked - 2 * kFrame;
    const long before = offset(settled);
    const std::size_t end = clock.played.size() / 2;
    std::size_t left = settled;
    while (left < end && offset(left) == before) {
        ++left;
    }
    std::size_t landed = end;
    while (landed > left && offset(landed - 1) == before - kBack) {
        --landed;
    }
    EXPECT_GE(left, asked);  // nothing heard changes before the move is asked for
    EXPECT_LE(left, asked + 2 * TestPlayback::kBlock);
    EXPECT_LE(landed - left, static_cast<std::size_t>(JumpFade::kFrames));
    EXPECT_LT(landed, asked + 2 * kFrame);
}

// A seek and a move beyond what is decoded both land on the exact sample.
TEST_F(DeckServiceTest, SeekAndBackwardMoveWhilePausedBeyondTheHistoryLandOnTheExactSample) {
    makeDeck();
    fill();
    deck->requestSeek(fractionOf(600 * kFrame + 100));
    steps(1);
    EXPECT_TRUE(deck->playing());  // a seek while paused plays
    deck->requestPause();
    steps(1);
    ASSERT_EQ(heard(), std::make_pair(600, 100));
    deck->requestMove(-(50 * kFrame + 700));  // 50 frames and 700 samples back: not decoded
    steps(1);
    EXPECT_FALSE(deck->playing());
    EXPECT_EQ(heard(), std::make_pair(549, 552));
}

// Played to its end, or sought to it, the deck stops with nothing to play until a seek or cue.
TEST_F(DeckServiceTest, EndOfTrackIsReportedOnceAndPausesAsASeekToItDoes) {
    makeDeck({.frames = 60, .lengthSeconds = 1});
    deck->requestPlay();
    play(90 * kFrame);
    EXPECT_EQ(events.endings, std::vector<int>{0});
    EXPECT_FALSE(deck->playing());
    EXPECT_EQ(deck->position(), -1.0f);
    deck->requestPlay();
    steps(1);
    EXPECT_FALSE(deck->playing());
    deck->pressCue();
    steps(1);
    EXPECT_TRUE(deck->isPlayable());

    fill();
    deck->requestSeek(1.0f);  // while paused, which also asks to play
    steps(3);
    EXPECT_FALSE(deck->isPlayable());
    EXPECT_FALSE(deck->playing());
}

TEST_F(DeckServiceTest, AutoMixIsAskedForAtEveryStepFrom80PercentUntilTheOtherPlays) {
    makeDeck({.frames = 200, .lengthSeconds = 5});
    auto otherOutput = std::make_unique<DirectSoundOutput>(device);
    Deck second(std::move(otherOutput), 1, engine, fakeDecoders());
    engine.decks[1] = &second;
    engine.autoMixEnabled = 1;
    deck->requestSeek(0.79f);
    steps(1);
    play(10 * kFrame);
    EXPECT_GT(events.mixes.size(), 10u);

    second.requestLoad("/music/Other.mp3");
    awaitOpened(second);
    second.serviceStep();
    second.requestPlay();
    second.serviceStep();
    const std::size_t asked = events.mixes.size();
    play(kFrame);
    EXPECT_EQ(events.mixes.size(), asked);
    engine.decks[1] = nullptr;
}

}  // namespace
