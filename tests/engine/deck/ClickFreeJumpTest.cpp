// Jumps of a playing deck, heard through every kind of output: a sustained tone stays smooth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

#include "DeckLoading.h"
#include "FakeDecoder.h"
#include "TestSoundSystem.h"
#include "engine/beat/BeatDetector.h"
#include "engine/deck/JumpFade.h"

namespace {

// 441 Hz: a period of exactly 100 frames, so a move of 50 turns the tone upside down.
const FakeTrack kTone{.frames = 1225, .lengthSeconds = 32, .toneHz = 441.0};

// The largest step from one sample to the next, and the largest sample, of one channel of
// interleaved audio, over frames [from, to).
struct Smoothness {
    int step = 0;
    int peak = 0;
};

Smoothness smoothness(const std::vector<int16_t>& played, int channels, int channel,
                      std::size_t from, std::size_t to) {
    Smoothness s;
    for (std::size_t f = from + 1; f < to; ++f) {
        const int a = played[(f - 1) * channels + channel];
        const int b = played[f * channels + channel];
        s.step = std::max(s.step, std::abs(b - a));
        s.peak = std::max(s.peak, std::abs(b));
    }
    return s;
}

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
            {"play from the cue point",
             [&] {
                 deck0.record().cuePosition = 0.2037f;
                 deck0.requestPlayFromCue();
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
                const TestPlayback& clock = *cards[k];
                for (int ch = 0; ch < clock.channels(); ++ch) {
                    SCOPED_TRACE(testing::Message() << "card " << k << " channel " << ch);
                    const Smoothness tone =
                        smoothness(clock.played, clock.channels(), ch, steady[k], firstJump[k]);
                    // A straight fade between two places of the tone adds at most the change of
                    // its weight times their difference (twice the peak) to each step.
                    const int limit = tone.step + 2 * tone.peak / JumpFade::kFrames + 2;
                    EXPECT_LE(smoothness(clock.played, clock.channels(), ch, from[k], to[k]).step,
                              limit);
                }
            }
            from = to;
        }
        t.sound.closeSound();
    }
}

}  // namespace
