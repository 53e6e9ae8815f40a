#include <gtest/gtest.h>

#include "TestPlayback.h"
#include "engine/sound/BufferOutput.h"
#include "engine/sound/WaveOutputs.h"

namespace {

constexpr int kRing = RingOutput::kRing;

// count frames whose left sample counts up from first and whose right one is its negative.
std::vector<int16_t> ramp(int count, int first = 1) {
    std::vector<int16_t> frames(2 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        frames[2 * i] = static_cast<int16_t>(first + i);
        frames[2 * i + 1] = static_cast<int16_t>(-(first + i));
    }
    return frames;
}

// One card with one deck's DirectSoundOutput, started, its next write going to the write cursor.
struct OneCard {
    OneCard() {
        output.start();
        output.poll();
        output.flush();
    }
    void write(const std::vector<int16_t>& frames) {
        output.write(frames.data(), static_cast<int>(frames.size() / 2));
    }
    // The left samples the device played from frame `from` on.
    std::vector<int16_t> playedLeft(std::size_t from, std::size_t count) const {
        std::vector<int16_t> left;
        for (std::size_t i = from; i < from + count; ++i) {
            left.push_back(clock.played[2 * i]);
        }
        return left;
    }
    AudioDevice device{2};
    TestPlayback clock{device};
    DirectSoundOutput output{device};
};

TEST(OutputTest, ResamplingEmitsPitchScaledFramesAndCarriesThePhase) {
    OneCard card;
    card.output.pitch = 4506;
    for (int call = 1; call <= 10; ++call) {
        card.write(ramp(1152));
    }
    EXPECT_EQ(card.output.queued(), 10 * 1152 * 4096 / 4506);  // nothing lost across calls

    // Slower, and across the end of the ring: every frame once or repeated, none lost.
    card.clock.advance(kRing - 256 - 500);
    card.output.poll();
    card.output.flush();
    ASSERT_EQ(card.output.writePosition(0), kRing - 500);
    card.output.pitch = 3686;
    card.write(ramp(1152));
    EXPECT_EQ(card.output.queued(), 1280);
    card.clock.advance(256 + 1280);
    const auto left = card.playedLeft(kRing - 500, 1280);
    EXPECT_EQ(left.front(), 1);
    EXPECT_EQ(left.back(), 1152);
    for (std::size_t i = 1; i < left.size(); ++i) {
        ASSERT_TRUE(left[i] == left[i - 1] || left[i] == left[i - 1] + 1) << i;  // repeats only
    }
}

TEST(OutputTest, UnderrunDropsWhatShouldHaveBeenHeard) {
    OneCard card;
    card.clock.advance(3000);      // the device ran 3000 frames past the last written frame
    card.output.pendingSamples();  // as the service step finds it
    card.write(ramp(1152));
    card.write(ramp(1152));
    card.write(ramp(1152, 1000));
    EXPECT_EQ(card.output.queued(), 456);
    const int writeCursor = 3000 + 256;
    card.clock.advance(256 + 456);
    EXPECT_EQ(card.playedLeft(writeCursor, 1).front(), 1000 + 696);  // the late part dropped
}

TEST(OutputTest, SilenceAfterAFlushCoversTheRingUpToThePlayCursor) {
    OneCard card;
    for (int i = 0; i < kRing / 1152 + 1; ++i) {
        card.write(ramp(1152, 7));  // a full ring of sound
    }
    card.clock.advance(1000);
    card.output.poll();
    card.output.flush();
    card.output.fillSilence();
    const int play = 1000;
    card.clock.advance(kRing);
    const auto left = card.playedLeft(play, kRing);
    // The device's lead still sounds, then silence, then the frame just before the play cursor.
    EXPECT_NE(left[255], 0);
    EXPECT_EQ(left[256], 0);
    EXPECT_EQ(left[kRing - 2], 0);
    EXPECT_NE(left[kRing - 1], 0);
    EXPECT_EQ(card.output.queued(), 0);
}

TEST(OutputTest, VolumeRampsOverOneBlockAndSilences) {
    OneCard card;
    card.write(std::vector<int16_t>(2 * 4000, 10000));
    card.clock.advance(256);
    card.output.setVolume(128);  // -15 dB
    card.clock.advance(256);
    card.clock.advance(256);
    const auto ramp = card.playedLeft(256, 256);
    EXPECT_GT(ramp.front(), 9000);
    EXPECT_NEAR(ramp.back(), 1778, 2);
    EXPECT_TRUE(std::is_sorted(ramp.rbegin(), ramp.rend()));  // falling smoothly
    card.output.setVolume(0);
    card.clock.advance(512);
    EXPECT_EQ(card.playedLeft(1023, 1).front(), 0);
}

class MixerTest : public ::testing::Test {
  protected:
    MixerTest() {
        auto owned = std::make_unique<WaveDevice>();
        device = owned.get();
        mixer = std::make_unique<WaveOutMixer>(std::move(owned), nullptr);
        decks[0] = std::make_unique<MixedWaveOutput>(*mixer, 0);
        decks[1] = std::make_unique<MixedWaveOutput>(*mixer, 1);
    }
    int16_t mixed(int frame, int channel = 0) const {
        return device->samples()[2 * frame + channel];
    }

    WaveDevice* device = nullptr;
    std::unique_ptr<WaveOutMixer> mixer;
    std::array<std::unique_ptr<MixedWaveOutput>, 2> decks;
};

TEST_F(MixerTest, RegionWrittenByOneDeckWaitsForTheOtherOrItsSilenceAndBothSilentClearTheMix) {
    decks[1]->write(ramp(10, 300).data(), 10);
    decks[0]->write(ramp(1152, 100).data(), 1152);  // deck 1 has written only 10 frames
    EXPECT_EQ(mixed(5), (105 + 305) / 2);
    EXPECT_EQ(mixed(500), 0);  // left for deck 1 to mix
    decks[1]->write(ramp(1142, 700).data(), 1142);
    EXPECT_EQ(mixed(500), (600 + 1190) / 2);

    decks[1]->write(ramp(100, 2000).data(), 100);
    EXPECT_EQ(mixed(1160), 0);
    decks[0]->fillSilence();  // deck 1's frames alone, and what was mixed stays
    EXPECT_TRUE(mixer->isSilent(0));
    EXPECT_EQ(mixed(1160), 2008 / 2);
    EXPECT_EQ(mixed(500), (600 + 1190) / 2);
    decks[1]->fillSilence();  // both silent: the mix is cleared
    EXPECT_EQ(std::count(device->samples(), device->samples() + 2 * kRing, 0), 2 * kRing);
}

}  // namespace
