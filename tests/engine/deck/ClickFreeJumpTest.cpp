// Jumps of a playing deck, heard through every kind of output: a sustained tone stays smooth.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "Pcm.h"
#include "TestSoundSystem.h"
#include "engine/beat/BeatDetector.h"
#include "engine/deck/JumpFade.h"

namespace {

// 441 Hz: a period of exactly 100 frames, so a move of 50 turns the tone upside down.
const FakeTrack kTone{.frames = 1225, .lengthSeconds = 32, .toneHz = 441.0};

TEST(ClickFreeJumpTest, JumpsWhilePlayingMakeNoStepLargerThanTheToneOwn) {
    for (const OutputConfiguration& c : kOutputConfigurations) {
        SCOPED_TRACE(c.name);
        TestSoundSystem t(c.settings(), fakeDecoders(kTone));
        ASSERT_EQ(t.openError, nullptr);
        Deck& deck0 = t.deck(0);
        const std::vector<TestPlayback*>& cards = t.backend.streams;
        deck0.requestLoad("/music/Tone.mp3");
        awaitOpened(deck0);
        t.play(1);
        deck0.requestPlay();
        t.play(40);
        // Where each card stands, in its frames.
        const auto marks = [&] {
            std::vector<std::size_t> at;
            for (const TestPlayback* clock : cards) {
                at.push_back(clock->played.size() / clock->channels());
            }
            return at;
        };
        const std::vector<std::size_t> steady = marks();
        t.play(20);

        const std::pair<const char*, std::function<void()>> jumps[] = {
            {"half a period on", [&] { deck0.requestMove(50); }},
            {"a sync move back", [&] { deck0.requestMove(-4 * BeatDetector::kSlotFrames); }},
            {"a seek", [&] { deck0.requestSeek(0.61f); }},
            {"a move, and a step later a pitch change that writes everything again",
             [&] {
                 deck0.requestMove(50);
                 deck0.serviceStep();
                 deck0.requestPitch(Deck::kUnityPitch);
             }},
        };
        const std::vector<std::size_t> firstJump = marks();
        std::vector<std::size_t> from = firstJump;
        for (const auto& [name, request] : jumps) {
            SCOPED_TRACE(name);
            request();
            t.play(20);
            ASSERT_TRUE(deck0.playing());
            const std::vector<std::size_t> to = marks();
            for (std::size_t k = 0; k < cards.size(); ++k) {
                SCOPED_TRACE(k);
                const TestPlayback& clock = *cards[k];
                // A straight fade between two places of the tone adds at most the change of its
                // weight times their difference (twice the peak) to each step.
                const int64_t limit =
                    largestStep(clock.played, clock.channels(), steady[k], firstJump[k]) +
                    static_cast<int64_t>(2 * FakeDecoder::kToneAmplitude / JumpFade::kFrames) + 2;
                EXPECT_LE(largestStep(clock.played, clock.channels(), from[k], to[k]), limit);
            }
            from = to;
        }
        t.sound.closeSound();
    }
}

}  // namespace
